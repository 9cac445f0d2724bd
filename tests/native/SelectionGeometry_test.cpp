#include "capture/SelectionGeometry.h"

#include "base/ErrorObject.h"

#include <limits>

#include <gtest/gtest.h>

using namespace plenvue;

TEST(RegionSelection, DragDownRightGivesInsideOfBox) {
    RegionChoice c = RegionFromClicks(100, 100, 103, 102);
    ASSERT_FALSE(c.TooSmall);
    EXPECT_EQ(c.Source, (CaptureSource{101, 101, 2, 1}));
}

TEST(RegionSelection, DragUpLeftIsNormalisedToTopLeft) {
    RegionChoice c = RegionFromClicks(200, 50, 150, 20);
    ASSERT_FALSE(c.TooSmall);
    EXPECT_EQ(c.Source, (CaptureSource{151, 21, 49, 29}));
    c = RegionFromClicks(200, 20, 150, 50);  // mixed directions
    EXPECT_EQ(c.Source, (CaptureSource{151, 21, 49, 29}));
}

TEST(RegionSelection, OnePixelOrLessIsTooSmall) {
    EXPECT_TRUE(RegionFromClicks(10, 10, 10, 10).TooSmall);
    EXPECT_TRUE(RegionFromClicks(10, 10, 11, 50).TooSmall);
    EXPECT_TRUE(RegionFromClicks(10, 10, 50, 9).TooSmall);
    EXPECT_FALSE(RegionFromClicks(10, 10, 12, 8).TooSmall);
}

TEST(WindowPicking, OutlineIsClampedButCaptureIsNot) {
    ScreenRect w{-8, -8, 1930, 1090};
    EXPECT_EQ(ClampOutlineToScreen(w, 1920, 1080), (ScreenRect{0, 0, 1920, 1080}));
    EXPECT_EQ(ClampOutlineToScreen({10, 20, 30, 40}, 1920, 1080), (ScreenRect{10, 20, 30, 40}));
    EXPECT_EQ(PickedWindowSource(w), (CaptureSource{-8, -8, 1938, 1098}));
}

TEST(WindowPicking, OverflowingRectangleRaisesError) {
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    EXPECT_THROW(PickedWindowSource({lo, 0, hi, 10}), ErrorObject);
    EXPECT_THROW(RegionFromClicks(lo, 0, hi, 10), ErrorObject);
}

TEST(CaptureSourceClipping, OnlyThePartOnTheDeviceIsCopied) {
    const ScreenRect screen{0, 0, 1024, 768};
    EXPECT_EQ(VisibleSourcePart(10, 20, 100, 50, screen), (ScreenRect{10, 20, 110, 70}));     // inside
    EXPECT_EQ(VisibleSourcePart(900, -30, 200, 100, screen), (ScreenRect{900, 0, 1024, 70}));  // top, right
    EXPECT_EQ(VisibleSourcePart(-50, 700, 200, 100, screen), (ScreenRect{0, 700, 150, 768}));  // left, bottom
    EXPECT_EQ(VisibleSourcePart(-8, -8, 1040, 784, screen), screen);                           // all around
    const ScreenRect twoScreens{-1280, 0, 1024, 1024};
    EXPECT_EQ(VisibleSourcePart(-1300, 10, 40, 10, twoScreens), (ScreenRect{-1280, 10, -1260, 20}));
}

TEST(CaptureSourceClipping, MissingTheDeviceOrEmptyGivesNothing) {
    const ScreenRect screen{0, 0, 1024, 768};
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    for (ScreenRect r : {VisibleSourcePart(-300, 0, 300, 10, screen), VisibleSourcePart(1024, 0, 5, 5, screen),
                         VisibleSourcePart(10, 10, 0, 5, screen), VisibleSourcePart(10, 10, -5, 5, screen),
                         VisibleSourcePart(lo, 0, hi, 10, screen)})  // far left: must not wrap into view
        EXPECT_TRUE(r.Right <= r.Left || r.Bottom <= r.Top);
    EXPECT_EQ(VisibleSourcePart(hi - 5, 0, hi, 10, {0, 0, hi, 10}), (ScreenRect{hi - 5, 0, hi, 10}));
}
