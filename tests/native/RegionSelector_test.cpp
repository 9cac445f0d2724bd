#include "capture/RegionSelector.h"

#include "capture/MonitorGeometry.h"

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

TEST(RegionSelector, PressDragReleaseCapturesTheBandAtTheReleasePoint) {
    RegionSelector r;
    r.MouseMove(40, 40);
    r.ButtonDown(true, 50, 60);
    r.MouseMove(70, 75);
    RegionStep s = r.ButtonUp(80, 90);  // the last move before the release was not reported
    EXPECT_EQ(s.Draw, (std::vector<RegionDraw>{{kBox, 50, 60, 70, 75}, {kBox, 50, 60, 80, 90}}));
    EXPECT_TRUE(s.Close);
    ASSERT_TRUE(s.Choice);
    ASSERT_FALSE(s.Choice->TooSmall);
    EXPECT_EQ(s.Choice->Source, (CaptureSource{51, 61, 29, 29}));
}

TEST(RegionSelector, ReleaseWithoutDragKeepsTheBandOpenForASecondClick) {
    RegionSelector r;
    r.MouseMove(40, 40);
    r.ButtonDown(true, 50, 60);
    RegionStep up = r.ButtonUp(50 + kRegionDragDistance - 1, 60 - kRegionDragDistance + 1);  // a shaky click
    EXPECT_FALSE(up.Close);
    EXPECT_FALSE(up.Choice);
    EXPECT_EQ(r.State(), 2);
    r.MouseMove(90, 100);
    EXPECT_FALSE(r.ButtonUp(90, 100).Close) << "a release without the press that opened the band";
    RegionStep second = r.ButtonDown(true, 90, 100);
    ASSERT_TRUE(second.Choice);
    EXPECT_EQ(second.Choice->Source, (CaptureSource{51, 61, 39, 39}));
}

TEST(RegionSelector, ReleaseBeforeTheBandOpensDoesNothing) {
    RegionSelector r;
    EXPECT_TRUE(r.ButtonUp(5, 5).Draw.empty());
    r.MouseMove(5, 5);
    RegionStep s = r.ButtonUp(100, 100);
    EXPECT_TRUE(s.Draw.empty());
    EXPECT_FALSE(s.Close);
    EXPECT_EQ(r.State(), 1);
}

TEST(RegionSelector, DraggedTooLittleInOneDirectionIsTooSmall) {
    RegionSelector r;
    r.MouseMove(10, 10);
    r.ButtonDown(true, 10, 10);
    RegionStep s = r.ButtonUp(60, 11);
    EXPECT_TRUE(s.Close);
    ASSERT_TRUE(s.Choice);
    EXPECT_TRUE(s.Choice->TooSmall);
}

TEST(RegionSelector, BandLabelShowsWhatTheBandWouldCaptureBesideThePointer) {
    RegionSelector r;
    r.MouseMove(0, 0);
    RegionStep s = r.ButtonDown(true, -100, 20);  // a monitor left of the primary
    ASSERT_TRUE(s.Label);
    EXPECT_EQ(BandSizeLabel(s.Label->Inside), "0 x 0");
    s = r.MouseMove(-40, -10);
    ASSERT_TRUE(s.Label);
    EXPECT_EQ(s.Label->PointerX, -40);
    EXPECT_EQ(s.Label->PointerY, -10);
    EXPECT_EQ(BandSizeLabel(s.Label->Inside), "59 x 29");
    RegionStep end = r.ButtonDown(true, -40, -10);
    EXPECT_FALSE(end.Label);
    ASSERT_TRUE(end.Choice);
    EXPECT_EQ(end.Choice->Source.SrcWidth, 59);
    EXPECT_EQ(end.Choice->Source.SrcHeight, 29);
}
