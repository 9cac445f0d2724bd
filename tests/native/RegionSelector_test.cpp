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

TEST(RegionSelector, PressDragReleaseCapturesFromThePressedPixelAtTheReleasePoint) {
    RegionSelector r;
    r.MouseMove(40, 40);
    RegionStep s = r.ButtonDown(true, 50, 60);
    EXPECT_TRUE(s.SwitchToDotted);
    EXPECT_EQ(s.Draw, (std::vector<RegionDraw>{{kCross, 40, 40, 0, 0}}));
    EXPECT_EQ(r.State(), 2);
    s = r.MouseMove(70, 75);
    EXPECT_EQ(s.Draw, (std::vector<RegionDraw>{{kBox, 50, 60, 50, 60}, {kBox, 50, 60, 70, 75}}));
    s = r.ButtonUp(80, 90);  // the last move before the release was not reported
    EXPECT_EQ(s.Draw, (std::vector<RegionDraw>{{kBox, 50, 60, 70, 75}, {kBox, 50, 60, 80, 90}}));
    EXPECT_TRUE(s.Close);
    EXPECT_FALSE(s.Click);
    ASSERT_TRUE(s.Choice);
    ASSERT_FALSE(s.Choice->TooSmall);
    EXPECT_EQ(s.Choice->Source, (CaptureSource{50, 60, 30, 30}));
}

TEST(RegionSelector, DragUpAndLeftGivesTheSameRectangleAsDownAndRight) {
    RegionSelector down, up;
    down.ButtonDown(true, 100, 40);
    up.ButtonDown(true, 500, 200);
    const RegionStep a = down.ButtonUp(500, 200), b = up.ButtonUp(100, 40);
    ASSERT_TRUE(a.Choice && b.Choice);
    EXPECT_EQ(a.Choice->Source, (CaptureSource{100, 40, 400, 160}));
    EXPECT_EQ(b.Choice->Source, a.Choice->Source);
}

TEST(RegionSelector, OtherButtonClosesWithoutChoice) {
    RegionSelector r;
    r.MouseMove(10, 10);
    r.ButtonDown(true, 10, 10);
    RegionStep s = r.ButtonDown(false, 50, 50);
    EXPECT_TRUE(s.Close);
    EXPECT_FALSE(s.Choice);
    EXPECT_TRUE(RegionSelector().ButtonDown(false, 1, 1).Close);
}

TEST(RegionSelector, ReleaseWithinTheClickThresholdIsAClickAndEndsTheSelection) {
    RegionSelector r(4, 3);
    r.MouseMove(40, 40);
    r.ButtonDown(true, 50, 60);
    r.MouseMove(52, 61);
    RegionStep up = r.ButtonUp(53, 58);  // a shaky click: 3 and 2 are inside the threshold
    EXPECT_TRUE(up.Close);
    EXPECT_TRUE(up.Click);
    EXPECT_FALSE(up.Choice);
    EXPECT_EQ(up.Draw, (std::vector<RegionDraw>{{kBox, 50, 60, 52, 61}}));  // the band is taken away
    // Guards against the band following the pointer with no button held after a tiny drag.
    EXPECT_TRUE(r.MouseMove(90, 100).Draw.empty());
    EXPECT_FALSE(r.MouseMove(91, 101).Label);
    EXPECT_FALSE(r.ButtonDown(true, 90, 100).Choice);
    EXPECT_FALSE(r.ButtonUp(120, 130).Choice);
}

TEST(RegionSelector, ThresholdIsPerDirection) {
    RegionSelector r(4, 3);
    r.ButtonDown(true, 50, 60);
    RegionStep s = r.ButtonUp(50, 63);  // three rows is a drag for a threshold of three
    EXPECT_FALSE(s.Click);
    ASSERT_TRUE(s.Choice);
    EXPECT_TRUE(s.Choice->TooSmall) << "no width";
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

TEST(RegionSelector, DragTooSmallInOneDirectionIsTooSmallAndEnds) {
    RegionSelector r;
    r.MouseMove(10, 10);
    r.ButtonDown(true, 10, 10);
    RegionStep s = r.ButtonUp(60, 11);
    EXPECT_TRUE(s.Close);
    EXPECT_FALSE(s.Click);
    ASSERT_TRUE(s.Choice);
    EXPECT_TRUE(s.Choice->TooSmall);
    EXPECT_TRUE(r.MouseMove(70, 20).Draw.empty());
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
    EXPECT_EQ(BandSizeLabel(s.Label->Inside), "60 x 30");
    RegionStep end = r.ButtonUp(-40, -10);
    EXPECT_FALSE(end.Label);
    ASSERT_TRUE(end.Choice);
    EXPECT_EQ(end.Choice->Source, (CaptureSource{-100, -10, 60, 30}));
}

namespace {
constexpr auto kOutline = RegionDraw::Kind::Outline;
const std::vector<SnapWindow> kWindows{{{100, 100, 300, 200}, 0}, {{110, 110, 150, 130}, 1}};
}  // namespace

TEST(RegionSelectorSnapping, OutlineFollowsTheWindowUnderThePointer) {
    RegionSelector r;
    r.SetSnapWindows(kWindows);
    EXPECT_EQ(r.MouseMove(120, 120).Draw, (std::vector<RegionDraw>{{kCross, 120, 120, 0, 0}, {kOutline, 110, 110, 150, 130}}));
    EXPECT_EQ(r.MouseMove(121, 121).Draw, (std::vector<RegionDraw>{{kCross, 120, 120, 0, 0}, {kCross, 121, 121, 0, 0}}));
    EXPECT_EQ(r.MouseMove(200, 150).Draw,
              (std::vector<RegionDraw>{{kCross, 121, 121, 0, 0}, {kCross, 200, 150, 0, 0},
                                       {kOutline, 110, 110, 150, 130}, {kOutline, 100, 100, 300, 200}}));
    EXPECT_EQ(r.MouseMove(5, 5).Draw, (std::vector<RegionDraw>{{kCross, 200, 150, 0, 0}, {kCross, 5, 5, 0, 0},
                                                               {kOutline, 100, 100, 300, 200}}));
}

TEST(RegionSelectorSnapping, ClickTakesTheOutlinedWindow) {
    RegionSelector r;
    r.SetSnapWindows(kWindows);
    r.MouseMove(120, 120);
    RegionStep down = r.ButtonDown(true, 120, 120);
    EXPECT_EQ(down.Draw, (std::vector<RegionDraw>{{kCross, 120, 120, 0, 0}, {kOutline, 110, 110, 150, 130}}))
        << "the outline goes when the band starts";
    RegionStep up = r.ButtonUp(121, 121);
    EXPECT_TRUE(up.Click);
    EXPECT_TRUE(up.Close);
    ASSERT_TRUE(up.Choice);
    EXPECT_EQ(up.Choice->Source, (CaptureSource{110, 110, 40, 20}));
}

TEST(RegionSelectorSnapping, ClickOverNoWindowTakesNothingAndADragIgnoresTheWindows) {
    RegionSelector r;
    r.SetSnapWindows(kWindows);
    r.MouseMove(5, 5);
    r.ButtonDown(true, 5, 5);
    RegionStep up = r.ButtonUp(6, 5);
    EXPECT_TRUE(up.Close);
    EXPECT_FALSE(up.Choice);
    RegionSelector d;
    d.SetSnapWindows(kWindows);
    d.MouseMove(120, 120);
    d.ButtonDown(true, 120, 120);
    ASSERT_TRUE(d.ButtonUp(200, 180).Choice);
}

TEST(RegionSelectorSnapping, EnterTakesTheOutlinedWindowButNotDuringADrag) {
    RegionSelector r;
    r.SetSnapWindows(kWindows);
    r.MouseMove(200, 150);
    RegionStep s = r.Enter();
    EXPECT_EQ(s.Draw, (std::vector<RegionDraw>{{kOutline, 100, 100, 300, 200}}));
    EXPECT_TRUE(s.Close);
    ASSERT_TRUE(s.Choice);
    EXPECT_EQ(s.Choice->Source, (CaptureSource{100, 100, 200, 100}));
    RegionSelector d;
    d.SetSnapWindows(kWindows);
    d.MouseMove(200, 150);
    d.ButtonDown(true, 200, 150);
    EXPECT_FALSE(d.Enter().Close);
    EXPECT_FALSE(RegionSelector().Enter().Close) << "before the pointer is known";
}
