// The command-line capture's argument parser, exit statuses, formats, monitor numbers and JSON.
#include <gtest/gtest.h>

#include "base/MessageTable.h"
#include "shell/CaptureCommand.h"

using namespace plenvue;

namespace {

CaptureRequest Parsed(const std::vector<std::string>& args) {
    CaptureParse p = ParseCaptureArguments(args);
    EXPECT_TRUE(p.Request.has_value()) << "item " << p.Error.Item << " " << p.Error.Detail;
    return p.Request.value_or(CaptureRequest{});
}

CaptureUsageError Refused(const std::vector<std::string>& args) {
    CaptureParse p = ParseCaptureArguments(args);
    EXPECT_FALSE(p.Request.has_value());
    return p.Error;
}

TEST(CaptureArguments, EveryModeWithItsArgument) {
    EXPECT_EQ(Parsed({"screen"}).Mode, CaptureMode::Screen);
    EXPECT_EQ(Parsed({"active"}).Mode, CaptureMode::Active);
    EXPECT_EQ(Parsed({"pick"}).Mode, CaptureMode::Pick);
    EXPECT_EQ(Parsed({"region"}).Mode, CaptureMode::RegionSelect);
    CaptureRequest m = Parsed({"monitor", "2"});
    EXPECT_EQ(m.Mode, CaptureMode::Monitor);
    EXPECT_EQ(m.MonitorNumber, 2);
    CaptureRequest w = Parsed({"window", "Notes \xD0\x96 1", "--match", "contains", "--client"});
    EXPECT_EQ(w.Mode, CaptureMode::Window);
    EXPECT_EQ(w.Title, "Notes \xD0\x96 1");
    EXPECT_TRUE(w.MatchContains);
    EXPECT_TRUE(w.Client);
    CaptureRequest r = Parsed({"region", "-800,-20,300,200"});
    EXPECT_EQ(r.Mode, CaptureMode::Region);
    EXPECT_EQ(r.Region, (ScreenRect{-800, -20, -500, 180}));
    // A title that looks like an option comes after "--".
    EXPECT_EQ(Parsed({"window", "--json", "--", "--odd"}).Title, "--odd");
}

TEST(CaptureArguments, OptionsTakeValuesSeparatelyOrAfterAnEqualsSign) {
    CaptureRequest r = Parsed({"--delay=3", "screen", "--cursor", "--out", "-", "--format", "JPEG", "--quality",
                               "55", "--clipboard", "--area", "primary"});
    EXPECT_EQ(r.DelaySeconds, 3);
    EXPECT_TRUE(r.Cursor);
    EXPECT_TRUE(r.ToStdout());
    EXPECT_EQ(r.Format, SaveFormat::Jpeg);
    EXPECT_EQ(r.Quality, 55);
    EXPECT_TRUE(r.Clipboard);
    EXPECT_EQ(r.Area, FullScreenArea::PrimaryMonitor);
    CaptureRequest d = Parsed({"screen"});
    EXPECT_EQ(d.Quality, 90);
    EXPECT_FALSE(d.Area.has_value());
    EXPECT_FALSE(d.OutPath.has_value());
    EXPECT_TRUE(Parsed({"bogus", "--help"}).Help);
    EXPECT_TRUE(Parsed({"-h"}).Help);
}

TEST(CaptureArguments, UsageErrorsNameWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        int item;
        std::string detail;
    };
    const Case cases[] = {
        {{}, kMsgCliNoMode, ""},
        {{"desk"}, kMsgCliUnknownMode, "desk"},
        {{"screen", "--colour"}, kMsgCliUnknownOption, "--colour"},
        {{"screen", "--out"}, kMsgCliNeedsValue, "--out"},
        {{"screen", "--json=1"}, kMsgCliTakesNoValue, "--json"},
        {{"screen", "--delay", "61"}, kMsgCliBadDelay, "61"},
        {{"screen", "--delay", "-1"}, kMsgCliBadDelay, "-1"},
        {{"screen", "--delay", "1.5"}, kMsgCliBadDelay, "1.5"},
        {{"screen", "--quality", "0"}, kMsgCliBadQuality, "0"},
        {{"region", "0,0,0,10"}, kMsgCliBadRegion, "0,0,0,10"},
        {{"region", "0,0,10,-1"}, kMsgCliBadRegion, "0,0,10,-1"},
        {{"region", "1,2,3"}, kMsgCliBadRegion, "1,2,3"},
        {{"region", "1,2,3,4,5"}, kMsgCliBadRegion, "1,2,3,4,5"},
        {{"region", "2147483000,0,1000,10"}, kMsgCliBadRegion, "2147483000,0,1000,10"},
        {{"monitor"}, kMsgCliModeNeedsArgument, "monitor"},
        {{"monitor", "0"}, kMsgCliBadMonitor, "0"},
        {{"monitor", "x"}, kMsgCliBadMonitor, "x"},
        {{"window"}, kMsgCliModeNeedsArgument, "window"},
        {{"screen", "extra"}, kMsgCliExtraArgument, "extra"},
        {{"screen", "--area", "left"}, kMsgCliBadArea, "left"},
        {{"active", "--area", "primary"}, kMsgCliOptionNotForMode, "--area"},
        {{"screen", "--client"}, kMsgCliOptionNotForMode, "--client"},
        {{"active", "--match", "contains"}, kMsgCliOptionNotForMode, "--match"},
        {{"window", "A", "--match", "some"}, kMsgCliBadMatch, "some"},
        {{"screen", "--format", "gif"}, kMsgCliBadFormat, "gif"},
        {{"screen", "--json", "--out", "-"}, kMsgCliJsonWithStdout, ""},
    };
    for (const Case& c : cases) {
        CaptureUsageError e = Refused(c.args);
        EXPECT_EQ(e.Item, c.item) << c.detail;
        EXPECT_EQ(e.Detail, c.detail);
        EXPECT_FALSE(DefaultMessage(e.Item).empty()) << e.Item;
    }
}

TEST(CaptureArguments, OutcomesMapToTheToolsExitStatuses) {
    EXPECT_EQ(CaptureExitStatus(CaptureOutcome::Saved), 0);
    EXPECT_EQ(CaptureExitStatus(CaptureOutcome::Cancelled), 1);
    EXPECT_EQ(CaptureExitStatus(CaptureOutcome::Usage), 2);
    EXPECT_EQ(CaptureExitStatus(CaptureOutcome::Failed), 3);
}

TEST(CaptureFormat, ChosenFormatThenExtensionThenSetting) {
    EXPECT_EQ(ResolveCaptureFormat(SaveFormat::Bmp, "a.png", "PNG"), SaveFormat::Bmp);
    EXPECT_EQ(ResolveCaptureFormat(std::nullopt, "C:\\x\\a.PNG", "BMP"), SaveFormat::Png);
    EXPECT_EQ(ResolveCaptureFormat(std::nullopt, "a.jpeg", "BMP"), SaveFormat::Jpeg);
    EXPECT_EQ(ResolveCaptureFormat(std::nullopt, "a.Jpg", "BMP"), SaveFormat::Jpeg);
    EXPECT_EQ(ResolveCaptureFormat(std::nullopt, "C:\\my.pics\\shot", " png "), SaveFormat::Png);
    EXPECT_EQ(ResolveCaptureFormat(std::nullopt, "shot.tif", "jpeg"), SaveFormat::Jpeg);
    EXPECT_EQ(ResolveCaptureFormat(std::nullopt, "", "nonsense"), SaveFormat::Png);
    EXPECT_EQ(ResolveCaptureFormat(std::nullopt, "", ""), SaveFormat::Png);  // a fresh installation
    EXPECT_EQ(SaveFormatName(SaveFormat::Jpeg), "jpeg");
    EXPECT_EQ(SaveFormatExtension(SaveFormat::Jpeg), "jpg");
    EXPECT_EQ(SaveFormatExtension(SaveFormat::Png), "png");
}

TEST(CaptureMonitors, PrimaryIsOneThenLeftToRightThenTopToBottom) {
    MonitorInfo a{{-800, 0, 0, 600}, {}, false};
    MonitorInfo p{{0, 0, 1024, 768}, {}, true};
    MonitorInfo b{{1024, 300, 1824, 900}, {}, false};
    MonitorInfo c{{1024, -300, 1824, 300}, {}, false};
    const MonitorList list{b, a, p, c};
    EXPECT_EQ(MonitorOfNumber(list, 1), 2);
    EXPECT_EQ(MonitorOfNumber(list, 2), 1);
    EXPECT_EQ(MonitorOfNumber(list, 3), 3);
    EXPECT_EQ(MonitorOfNumber(list, 4), 0);
    EXPECT_EQ(MonitorOfNumber(list, 5), kNoMonitor);
    EXPECT_EQ(MonitorOfNumber(list, 0), kNoMonitor);
    for (int32_t n = 1; n <= 4; ++n) EXPECT_EQ(NumberOfMonitor(list, MonitorOfNumber(list, n)), n);
    EXPECT_EQ(NumberOfMonitor(list, kNoMonitor), 0);
    EXPECT_EQ(MonitorOfNumber({}, 1), kNoMonitor);
}

TEST(CaptureWindowTitle, WholeTitleOrAPartWithCase) {
    EXPECT_TRUE(TitleMatches("Untitled - Notepad", "Untitled - Notepad", false));
    EXPECT_FALSE(TitleMatches("Untitled - Notepad", "Notepad", false));
    EXPECT_TRUE(TitleMatches("Untitled - Notepad", "Notepad", true));
    EXPECT_FALSE(TitleMatches("Untitled - Notepad", "notepad", true));
    EXPECT_FALSE(TitleMatches("Notepad", "", true));
    EXPECT_TRUE(TitleMatches("", "", true));
}

TEST(CaptureJson, OneObjectOnOneLineWithEscapedText) {
    CaptureResultInfo info{"C:\\shots\\\"a\"\xE6\x97\xA5.png", 640, 480, -800, 12, SaveFormat::Png, 2};
    EXPECT_EQ(CaptureResultJson(info),
              "{\"path\":\"C:\\\\shots\\\\\\\"a\\\"\xE6\x97\xA5.png\",\"width\":640,\"height\":480,"
              "\"left\":-800,\"top\":12,\"format\":\"png\",\"monitor\":2}\n");
    EXPECT_EQ(JsonString(std::string("a\x01\n\tb", 5)), "\"a\\u0001\\n\\tb\"");
}

}  // namespace
