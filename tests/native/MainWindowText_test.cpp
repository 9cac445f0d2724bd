#include "shell/MainWindowText.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(MainWindowText, CaptionShowsPathOrNewFile) {
    EXPECT_EQ(MainWindowCaption("Korvane Plenvue", ""), "Korvane Plenvue--NewFile");
    EXPECT_EQ(MainWindowCaption("Korvane Plenvue", "C:\\a.bmp"), "Korvane Plenvue--C:\\a.bmp");
}

TEST(MainWindowText, CaptureStatusAndMenuCaption) {
    EXPECT_EQ(CaptureStatusText("Capture Image Success", 1024, 768), "Capture Image Success1024*768");
    EXPECT_EQ(CaptureMenuCaption("Capture &Region", "Ctrl+Alt+1"), "Capture &Region\tCtrl+Alt+1");
}

TEST(MainWindowText, ToolbarTipSplitsAtFirstBar) {
    ToolbarTipText t = SplitToolbarTip("Open|Open a picture|x");
    EXPECT_EQ(t.Tip, "Open");
    EXPECT_EQ(t.Status, "Open a picture|x");
    t = SplitToolbarTip("Save");
    EXPECT_EQ(t.Tip, "Save");
    EXPECT_FALSE(t.Status.has_value());
}

TEST(MainWindowText, CaptureSourcesMapToIndices) {
    EXPECT_EQ(CaptureIndexFromToolbarCommand(6), 0);
    EXPECT_EQ(CaptureIndexFromToolbarCommand(11), 5);
    EXPECT_EQ(CaptureIndexFromToolbarCommand(12), std::nullopt);
    EXPECT_EQ(CaptureIndexFromSystemCommand(1863), 2);
    EXPECT_EQ(CaptureIndexFromSystemCommand(1860), std::nullopt);
    EXPECT_EQ(CaptureIndexFromHotkeyId(45062), 5);
    EXPECT_EQ(CaptureIndexFromHotkeyId(45063), std::nullopt);
}

namespace plenvue {
namespace {

TEST(MainWindowText, StatusTextIsCutToTheBarsLimitNeverInsideACharacter) {
    EXPECT_EQ(StatusBarText("short"), "short");
    const std::string exact(127, 'a');
    EXPECT_EQ(StatusBarText(exact), exact);
    const std::string cut = StatusBarText(std::string(300, 'a'));
    EXPECT_EQ(cut, std::string(126, 'a') + "\xE2\x80\xA6");
    // "😀" is two UTF-16 units: the cut falls before it, not between its halves.
    const std::string emoji = std::string(125, 'a') + "\xF0\x9F\x98\x80" + "tail";
    EXPECT_EQ(StatusBarText(emoji), std::string(125, 'a') + "\xE2\x80\xA6");
    // German umlauts are one unit each, however many bytes they take in UTF-8.
    std::string umlauts;
    for (int i = 0; i < 127; ++i) umlauts += "\xC3\xB6";
    EXPECT_EQ(StatusBarText(umlauts), umlauts);
}

}  // namespace
}  // namespace plenvue
