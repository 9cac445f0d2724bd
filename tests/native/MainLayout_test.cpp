#include "shell/MainLayout.h"

#include <gtest/gtest.h>

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

TEST(PreviewStrip, TickStepsAtMostTwentyAndStopsWithoutRoom) {
    EXPECT_EQ(ScrollerTick(+1, -100, 600, 16, 484), -80);
    EXPECT_EQ(ScrollerTick(+1, 10, 600, 16, 484), 16);
    EXPECT_EQ(ScrollerTick(+1, 16, 600, 16, 484), std::nullopt);
    EXPECT_EQ(ScrollerTick(-1, 16, 600, 16, 484), -4);
    EXPECT_EQ(ScrollerTick(-1, -116, 600, 16, 484), std::nullopt);
    EXPECT_EQ(ScrollerTick(-1, -110, 600, 16, 484), -116);
}
