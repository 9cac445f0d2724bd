#include "shell/MainLayout.h"

#include <gtest/gtest.h>

#include "capture/MonitorGeometry.h"

using namespace plenvue;

TEST(MainLayout, HistoryPaneLeftOfSplitterAndViewToTheRight) {
    LayoutInput in{800, 600, 28, 20, HistoryMode::Preview, 138, 3};
    MainLayout l = ArrangeControls(in);
    EXPECT_EQ(l.Splitter, (PaneRect{138, 28, 3, 552}));
    ASSERT_TRUE(l.History.has_value());
    EXPECT_EQ(*l.History, (PaneRect{0, 28, 138, 552}));
    EXPECT_EQ(l.ScrollView, (PaneRect{141, 28, 659, 552}));
}

TEST(MainLayout, ModeNoneGivesViewTheFullWidth) {
    MainLayout l = ArrangeControls({800, 600, 0, 0, HistoryMode::None, 138, 3});
    EXPECT_FALSE(l.History.has_value());
    EXPECT_EQ(l.ScrollView, (PaneRect{0, 0, 800, 600}));
}

TEST(MainLayout, HiddenPaneAndTinyClientKeepAtLeastOnePixel) {
    MainLayout l = ArrangeControls({800, 600, 28, 20, HistoryMode::List, 0, 3});
    EXPECT_EQ(*l.History, (PaneRect{0, 28, 0, 552}));
    EXPECT_EQ(l.ScrollView, (PaneRect{3, 28, 797, 552}));
    l = ArrangeControls({100, 30, 28, 20, HistoryMode::List, 138, 3});
    EXPECT_EQ(l.ScrollView, (PaneRect{141, 28, 1, 1}));
}

TEST(MainLayout, HistoryModeFromStoredStatus) {
    EXPECT_EQ(HistoryModeFromStatus("NONE"), HistoryMode::None);
    EXPECT_EQ(HistoryModeFromStatus("LIST"), HistoryMode::List);
    EXPECT_EQ(HistoryModeFromStatus(""), HistoryMode::Preview);
    EXPECT_EQ(HistoryModeFromStatus("list"), HistoryMode::Preview);  // the load step upper-cases
}

TEST(PreviewStrip, ButtonsLimitsAndItemPositions) {
    ScrollerLayout s = ArrangeScroller(138, 500, 16, 16);
    EXPECT_EQ(s.Button0, (PaneRect{0, 0, 138, 16}));
    EXPECT_EQ(s.Button1, (PaneRect{0, 484, 138, 16}));
    EXPECT_EQ(s.UpperLimit, 16);
    EXPECT_EQ(s.LowerLimit, 484);
    EXPECT_EQ(PreviewItemTop(1, 90), 10);
    EXPECT_EQ(PreviewItemTop(3, 90), 210);
    EXPECT_EQ(PreviewClientHeight(3, 90), 310);
}

// The window's design sizes scaled to a monitor's DPI: every pane keeps its proportion, and at 144
// DPI the odd sizes round as the platform's MulDiv does (splitter 4.5 -> 5, status bar 30).
TEST(MainLayout, DesignSizesScaledToTheDpiKeepTheLayoutsProportions) {
    const MainLayout at96 = ArrangeControls({640, 480, 25, 20, HistoryMode::Preview, 138, 3});
    for (int32_t dpi : {96, 120, 144, 192}) {
        auto s = [dpi](int32_t v) { return ScaleForDpi(v, dpi); };
        LayoutInput in{s(640), s(480), s(25), s(20), HistoryMode::Preview, s(138), s(3)};
        MainLayout l = ArrangeControls(in);
        ASSERT_TRUE(l.History.has_value());
        EXPECT_EQ(l.History->Width, s(at96.History->Width)) << dpi;
        EXPECT_EQ(l.Splitter.Left + l.Splitter.Width, l.ScrollView.Left) << dpi;
        EXPECT_EQ(l.ScrollView.Left + l.ScrollView.Width, s(640)) << dpi;
        EXPECT_EQ(l.ScrollView.Top + l.ScrollView.Height + s(20), s(480)) << dpi;
        EXPECT_NEAR(l.ScrollView.Height, s(at96.ScrollView.Height), 1) << dpi;
    }
    MainLayout l = ArrangeControls({960, 720, 38, 30, HistoryMode::Preview, 207, 5});
    EXPECT_EQ(l.ScrollView, (PaneRect{212, 38, 748, 652}));
}

TEST(PreviewStrip, ItemGapScalesWithTheItems) {
    // 120 x 100 items with 10-pixel gaps at 96 DPI; at 144 DPI 150-high items with 15-pixel gaps.
    EXPECT_EQ(PreviewItemTop(1, 150, 15), 15);
    EXPECT_EQ(PreviewItemTop(3, 150, 15), 15 + 2 * 165);
    EXPECT_EQ(PreviewClientHeight(3, 150, 15), 3 * 165 + 15);
    EXPECT_EQ(PreviewClientHeight(0, 200, 20), 20);
    EXPECT_EQ(PreviewItemTop(2, 100), PreviewItemTop(2, 100, 10));
}

TEST(PreviewStrip, TickStepsAtMostTwentyAndStopsWithoutRoom) {
    EXPECT_EQ(ScrollerTick(+1, -100, 600, 16, 484), -80);
    EXPECT_EQ(ScrollerTick(+1, 10, 600, 16, 484), 16);
    EXPECT_EQ(ScrollerTick(+1, 16, 600, 16, 484), std::nullopt);
    EXPECT_EQ(ScrollerTick(-1, 16, 600, 16, 484), -4);
    EXPECT_EQ(ScrollerTick(-1, -116, 600, 16, 484), std::nullopt);
    EXPECT_EQ(ScrollerTick(-1, -110, 600, 16, 484), -116);
}
