#include "capture/CaptureGeometry.h"

#include <gtest/gtest.h>

#include <limits>

#include "base/ErrorObject.h"

using namespace plenvue;

namespace {
CaptureScene Scene() {
    CaptureScene s;
    s.cursor = {1023, 767};
    s.screenWidth = 1024;
    s.screenHeight = 768;
    s.windowRect = {100, 50, 500, 350};
    s.clientRect = {0, 0, 392, 270};
    s.clientOrigin = {104, 76};
    return s;
}
}  // namespace

TEST(CaptureGeometry, FullScreenTakesPrimaryDisplayAndCursorAtItsPosition) {
    CaptureFields f;
    f.SrcLeft = 7;
    CapturePlan p = PlanCapture(f, Scene());
    EXPECT_EQ(p.source, CaptureDevice::Desktop);
    EXPECT_FALSE(p.clientDC);
    EXPECT_EQ(f.SrcLeft, 0);
    EXPECT_EQ(f.SrcWidth, 1024);
    EXPECT_EQ(f.SrcHeight, 768);
    EXPECT_EQ(p.cursorX, 1023);
    EXPECT_EQ(p.cursorY, 767);
}

TEST(CaptureGeometry, ActiveWindowCursorLeftOfWindowIsDrawnSameDistanceInside) {
    CaptureFields f;
    f.CaptureMethod = 3;
    CaptureScene s = Scene();
    s.cursor = {90, 60};
    CapturePlan p = PlanCapture(f, s);
    EXPECT_EQ(p.source, CaptureDevice::Foreground);
    EXPECT_EQ(p.cursorX, 10);
    EXPECT_EQ(p.cursorY, 10);
    EXPECT_EQ(f.SrcLeft, 0);
    EXPECT_EQ(f.SrcTop, 0);
    EXPECT_EQ(f.SrcWidth, 400);
    EXPECT_EQ(f.SrcHeight, 300);
}

TEST(CaptureGeometry, ClientCaptureStoresClientSizeAndUsesClientOrigin) {
    CaptureFields f;
    f.CaptureMethod = 4;
    CaptureScene s = Scene();
    s.cursor = {204, 176};
    CapturePlan p = PlanCapture(f, s);
    EXPECT_TRUE(p.clientDC);
    EXPECT_EQ(p.cursorX, 100);
    EXPECT_EQ(p.cursorY, 100);
    EXPECT_EQ(f.SrcWidth, 392);
    EXPECT_EQ(f.SrcHeight, 270);
}

TEST(CaptureGeometry, RegionKeepsStoredRectangleAndRepeatReusesIt) {
    CaptureFields f;
    f.CaptureMethod = 1;
    f.SrcLeft = 200;
    f.SrcTop = 100;
    f.SrcWidth = 50;
    f.SrcHeight = 40;
    CaptureScene s = Scene();
    s.cursor = {150, 130};
    CapturePlan p = PlanCapture(f, s);
    EXPECT_EQ(p.left, 200);
    EXPECT_EQ(p.width, 50);
    EXPECT_EQ(p.cursorX, 50);  // absolute difference: left of the region counts inside
    EXPECT_EQ(p.cursorY, 30);
    CapturePlan again = PlanCapture(f, s);
    EXPECT_EQ(again.left, 200);
    EXPECT_EQ(again.height, 40);
}

TEST(CaptureGeometry, UnknownMethodUsesScreenWithCursorAtOrigin) {
    CaptureFields f;
    f.CaptureMethod = 9;
    f.SrcWidth = 10;
    CapturePlan p = PlanCapture(f, Scene());
    EXPECT_EQ(p.source, CaptureDevice::ScreenNoWindow);
    EXPECT_EQ(p.cursorX, 0);
    EXPECT_EQ(p.width, 10);
}

TEST(CaptureGeometry, OverflowingDifferenceRaisesError) {
    CaptureFields f;
    f.CaptureMethod = 1;
    f.SrcLeft = -2147483647;
    CaptureScene s = Scene();
    s.cursor = {100, 0};
    EXPECT_THROW(PlanCapture(f, s), ErrorObject);
}

TEST(CaptureGeometry, CoordinatesRoundHalfToEven) {
    EXPECT_EQ(CaptureCoordinate(2.5), 2);
    EXPECT_EQ(CaptureCoordinate(3.5), 4);
    EXPECT_EQ(CaptureCoordinate(-2.5), -2);
    EXPECT_THROW(CaptureCoordinate(3e9), ErrorObject);
}

// The rectangle a region capture takes is the one its properties rounded to: halves go to the even
// neighbour (down from 200.5, up from 101.5), not up and not towards zero.
TEST(CaptureGeometry, RegionTakesTheRectangleRoundedHalfToEven) {
    CaptureFields f;
    f.CaptureMethod = 1;
    f.SrcLeft = CaptureCoordinate(200.5);
    f.SrcTop = CaptureCoordinate(101.5);
    f.SrcWidth = CaptureCoordinate(50.5);
    f.SrcHeight = CaptureCoordinate(39.5);
    CaptureScene s = Scene();
    s.cursor = {210, 110};
    CapturePlan p = PlanCapture(f, s);
    EXPECT_EQ(p.left, 200);
    EXPECT_EQ(p.top, 102);
    EXPECT_EQ(p.width, 50);
    EXPECT_EQ(p.height, 40);
    EXPECT_EQ(p.cursorX, 10);
    EXPECT_EQ(p.cursorY, 8);
}

// Repeat after an active-window capture plans again from the scene: the window in the foreground
// now, not the rectangle of the last one.
TEST(CaptureGeometry, RepeatAfterActiveWindowTakesTheWindowInTheForegroundNow) {
    CaptureFields f;
    f.CaptureMethod = 3;
    PlanCapture(f, Scene());
    ASSERT_EQ(f.SrcWidth, 400);
    CaptureScene later = Scene();
    later.windowRect = {10, 20, 130, 100};
    later.cursor = {20, 30};
    CapturePlan p = PlanCapture(f, later);
    EXPECT_EQ(p.width, 120);
    EXPECT_EQ(p.height, 80);
    EXPECT_EQ(p.cursorX, 10);
    EXPECT_EQ(p.cursorY, 10);
}

TEST(CaptureGeometry, FullScreenTakesTheChosenDesktopRectangleWithNegativeOrigin) {
    CaptureFields f;
    CaptureScene s = Scene();
    s.fullScreen = {-800, -120, 1024, 768};  // a monitor left of and above the primary
    s.cursor = {-790, -100};
    CapturePlan p = PlanCapture(f, s);
    EXPECT_EQ(p.source, CaptureDevice::Desktop);
    EXPECT_EQ((CaptureSource{f.SrcLeft, f.SrcTop, f.SrcWidth, f.SrcHeight}), (CaptureSource{-800, -120, 1824, 888}));
    EXPECT_EQ((CaptureSource{p.left, p.top, p.width, p.height}), (CaptureSource{-800, -120, 1824, 888}));
    EXPECT_EQ(p.cursorX, 10);
    EXPECT_EQ(p.cursorY, 20);
}

TEST(CaptureGeometry, RepeatedRegionOffEveryMonitorIsReported) {
    const MonitorList two = {{{0, 0, 1024, 768}, {0, 0, 1024, 768}, true, 96},
                             {{1024, 0, 1824, 600}, {1024, 0, 1824, 600}, false, 96}};
    const MonitorList one = {two[0]};
    CaptureFields f;
    f.CaptureMethod = 1;
    f.SrcLeft = 1100;
    f.SrcTop = 100;
    f.SrcWidth = 200;
    f.SrcHeight = 100;
    EXPECT_FALSE(RegionIsOffMonitors(f, two));
    EXPECT_TRUE(RegionIsOffMonitors(f, one));  // the second monitor was unplugged
    f.SrcLeft = 1000;                           // one column still on the primary
    EXPECT_FALSE(RegionIsOffMonitors(f, one));
    f.SrcLeft = 1100;
    f.SrcTop = 650;                             // in the gap under the smaller monitor
    EXPECT_TRUE(RegionIsOffMonitors(f, two));
    f.CaptureMethod = 3;                        // a window capture takes the window of now
    EXPECT_FALSE(RegionIsOffMonitors(f, one));
    f.CaptureMethod = 2;
    f.SrcLeft = -5000;
    f.SrcTop = 0;
    f.SrcWidth = 100;
    EXPECT_TRUE(RegionIsOffMonitors(f, one));
    f.SrcLeft = std::numeric_limits<int32_t>::max() - 5;  // past the range: the capture reports the overflow
    EXPECT_FALSE(RegionIsOffMonitors(f, one));
}
