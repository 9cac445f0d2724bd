#include "capture/RegionSelector.h"

#include <gtest/gtest.h>

using namespace plenvue;

namespace {
constexpr auto kCross = RegionDraw::Kind::Crosshair;
constexpr auto kBox = RegionDraw::Kind::Box;
}  // namespace

TEST(RegionSelector, CrosshairFollowsPointerErasingTheOldOne) {
    RegionSelector r;
    EXPECT_EQ(r.MouseMove(5, 6).Draw, (std::vector<RegionDraw>{{kCross, 5, 6, 0, 0}}));
    EXPECT_EQ(r.State(), 1);
    EXPECT_EQ(r.MouseMove(7, 8).Draw, (std::vector<RegionDraw>{{kCross, 5, 6, 0, 0}, {kCross, 7, 8, 0, 0}}));
}

TEST(RegionSelector, DragThenSecondClickCapturesInsideOfBox) {
    RegionSelector r;
    r.MouseMove(90, 90);
    RegionStep s = r.ButtonDown(true, 100, 100);
    EXPECT_TRUE(s.SwitchToDotted);
    EXPECT_EQ(s.Draw, (std::vector<RegionDraw>{{kCross, 90, 90, 0, 0}}));
    EXPECT_EQ(r.State(), 2);
    s = r.MouseMove(103, 102);
    EXPECT_EQ(s.Draw, (std::vector<RegionDraw>{{kBox, 100, 100, 100, 100}, {kBox, 100, 100, 103, 102}}));
    s = r.ButtonDown(true, 110, 110);  // the box as last drawn counts, not the click point
    EXPECT_TRUE(s.Close);
    ASSERT_TRUE(s.Choice);
    ASSERT_FALSE(s.Choice->TooSmall);
    EXPECT_EQ(s.Choice->Source, (CaptureSource{101, 101, 2, 1}));
}

TEST(RegionSelector, ClickClickOnSameSpotIsTooSmall) {
    RegionSelector r;
    r.MouseMove(10, 10);
    r.ButtonDown(true, 10, 10);
    RegionStep s = r.ButtonDown(true, 10, 10);
    ASSERT_TRUE(s.Choice);
    EXPECT_TRUE(s.Choice->TooSmall);
    EXPECT_TRUE(s.Close);
}

TEST(RegionSelector, OtherButtonClosesWithoutChoice) {
    RegionSelector r;
    r.MouseMove(10, 10);
    r.ButtonDown(true, 10, 10);
    RegionStep s = r.ButtonDown(false, 50, 50);
    EXPECT_TRUE(s.Close);
    EXPECT_FALSE(s.Choice);
}

TEST(RegionSelector, ClickBeforeAnyMoveIsZeroSizedRegion) {
    RegionSelector r;
    RegionStep s = r.ButtonDown(true, 300, 300);
    ASSERT_TRUE(s.Choice);
    EXPECT_TRUE(s.Choice->TooSmall);
}
