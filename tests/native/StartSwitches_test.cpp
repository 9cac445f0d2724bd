// Plenvue.exe's start switches and the record a second start hands to the running instance.
#include <gtest/gtest.h>

#include "shell/StartSwitches.h"

using namespace plenvue;

namespace {

TEST(StartSwitches, CaptureModesMapToTheCaptureCommandsIndices) {
    const char* modes[] = {"screen", "region", "active", "client", "pick", "repeat"};
    for (int i = 0; i < 6; ++i) {
        StartRequest r = ParseStartSwitches({"/capture", modes[i]});
        EXPECT_EQ(r.Action, StartAction::Capture);
        EXPECT_EQ(r.CaptureIndex, i);
    }
    EXPECT_EQ(ParseStartSwitches({"-CAPTURE", "Region"}).CaptureIndex, 1);
}

TEST(StartSwitches, EditTrayAndEverythingElseShowsTheWindow) {
    StartRequest e = ParseStartSwitches({"/edit", "C:\\\xD0\x96\\a b.png"});
    EXPECT_EQ(e.Action, StartAction::Edit);
    EXPECT_EQ(e.File, "C:\\\xD0\x96\\a b.png");
    EXPECT_EQ(ParseStartSwitches({"/Tray"}).Action, StartAction::Tray);
    EXPECT_EQ(ParseStartSwitches({}).Action, StartAction::Show);
    EXPECT_EQ(ParseStartSwitches({"/capture"}).Action, StartAction::Show);
    EXPECT_EQ(ParseStartSwitches({"/capture", "desk"}).Action, StartAction::Show);
    EXPECT_EQ(ParseStartSwitches({"/edit"}).Action, StartAction::Show);
    EXPECT_EQ(ParseStartSwitches({"/edit", ""}).Action, StartAction::Show);
    EXPECT_EQ(ParseStartSwitches({"picture.png"}).Action, StartAction::Show);
    EXPECT_EQ(ParseStartSwitches({"/"}).Action, StartAction::Show);
}

TEST(StartSwitches, UninstallCleanupOnlyAlone) {
    EXPECT_TRUE(IsUninstallCleanup({"/uninstall"}));
    EXPECT_TRUE(IsUninstallCleanup({"-UnInstall"}));
    EXPECT_FALSE(IsUninstallCleanup({"/uninstall", "x"}));
    EXPECT_FALSE(IsUninstallCleanup({"uninstall"}));
    EXPECT_FALSE(IsUninstallCleanup({"/uninstal"}));
    EXPECT_FALSE(IsUninstallCleanup({}));
    // To a running instance it is no request: a plain start.
    EXPECT_EQ(ParseStartSwitches({"/uninstall"}).Action, StartAction::Show);
}

TEST(HandOver, RecordRoundTripsAndHostileRecordsAreRefused) {
    const std::vector<std::string> args{"/edit", "C:\\\xE6\x97\xA5\\x.png", ""};
    const std::string record = EncodeHandOver(args);
    EXPECT_EQ(DecodeHandOver(record.data(), record.size()), args);
    EXPECT_EQ(DecodeHandOver(nullptr, 0), std::vector<std::string>{});
    EXPECT_FALSE(DecodeHandOver("abc", 3).has_value());            // no closing zero
    EXPECT_FALSE(DecodeHandOver("a\xFF\0", 3).has_value());        // not UTF-8
    EXPECT_FALSE(DecodeHandOver(nullptr, 4).has_value());
    const std::string huge(kHandOverLimit + 1, '\0');
    EXPECT_FALSE(DecodeHandOver(huge.data(), huge.size()).has_value());
}

}  // namespace
