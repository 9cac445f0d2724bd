#include "capture/SelectionGeometry.h"

#include "base/ErrorObject.h"

#include <limits>

#include <gtest/gtest.h>

using namespace plenvue;

TEST(RegionSelection, FromThePressedPixelUpToTheReleasedOne) {
    // Guards against the old one-pixel inset (399 x 159 at (101, 41) for this drag).
    RegionChoice c = RegionFromClicks(100, 40, 500, 200);
    ASSERT_FALSE(c.TooSmall);
    EXPECT_EQ(c.Source, (CaptureSource{100, 40, 400, 160}));
}

TEST(RegionSelection, EveryDirectionIsNormalisedToTopLeft) {
    const CaptureSource expected{150, 20, 50, 30};
    EXPECT_EQ(RegionFromClicks(200, 50, 150, 20).Source, expected);  // up and left
    EXPECT_EQ(RegionFromClicks(200, 20, 150, 50).Source, expected);  // down and left
    EXPECT_EQ(RegionFromClicks(150, 50, 200, 20).Source, expected);  // up and right
    EXPECT_EQ(RegionFromClicks(-900, 10, -700, 5).Source, (CaptureSource{-900, 5, 200, 5}));  // left of the primary
}

TEST(RegionSelection, OnePixelOrLessIsTooSmall) {
    EXPECT_TRUE(RegionFromClicks(10, 10, 10, 10).TooSmall);
    EXPECT_TRUE(RegionFromClicks(10, 10, 11, 50).TooSmall);
    EXPECT_TRUE(RegionFromClicks(10, 10, 50, 9).TooSmall);
    EXPECT_FALSE(RegionFromClicks(10, 10, 12, 8).TooSmall);
    EXPECT_EQ(RegionFromClicks(10, 10, 12, 8).Source, (CaptureSource{10, 8, 2, 2}));
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

TEST(RegionBandLabel, InsideIsWhatTheClicksWouldCapture) {
    EXPECT_EQ(BandInside(85, 160, 55, 130), (ScreenRect{55, 130, 85, 160}));
    const RegionChoice c = RegionFromClicks(-900, 10, -700, 5);
    const ScreenRect in = BandInside(-900, 10, -700, 5);
    EXPECT_EQ(in, (ScreenRect{-900, 5, -700, 10}));
    EXPECT_EQ(in.Right - in.Left, c.Source.SrcWidth);
    EXPECT_EQ(in.Bottom - in.Top, c.Source.SrcHeight);
    EXPECT_EQ(BandInside(10, 10, 10, 40), (ScreenRect{10, 10, 10, 40}));  // one column: nothing inside
}

TEST(RegionBandLabel, PlacedBesidePointerAndKeptOnItsMonitor) {
    const ScreenRect monitor{-800, 0, 0, 600};
    EXPECT_EQ(BandLabelPlace(-500, 300, 60, 18, monitor), (ScreenRect{-484, 316, -424, 334}));
    EXPECT_EQ(BandLabelPlace(-30, 300, 60, 18, monitor), (ScreenRect{-94, 316, -34, 334}));   // right edge
    EXPECT_EQ(BandLabelPlace(-500, 590, 60, 18, monitor), (ScreenRect{-484, 568, -424, 586})); // bottom edge
    EXPECT_EQ(BandLabelPlace(-5, 595, 60, 18, monitor), (ScreenRect{-69, 573, -9, 591}));     // corner
    // A label wider than the monitor stays at its left edge rather than leaving it.
    EXPECT_EQ(BandLabelPlace(-790, 10, 900, 18, monitor).Left, -800);
}

TEST(ActiveWindowBeforePlenvue, ShellWindowsAreNeverTheTarget) {
    EXPECT_TRUE(IsShellWindow("Shell_TrayWnd", ""));
    EXPECT_TRUE(IsShellWindow("Progman", "Program Manager"));
    EXPECT_TRUE(IsShellWindow("SomeWineClass", "Wine System Tray"));  // the tray window of a desktop without a task bar
    EXPECT_FALSE(IsShellWindow("Notepad", "Untitled - Notepad"));
    EXPECT_FALSE(IsShellWindow("shell_traywnd_lookalike", "Wine System Tray 2"));
}

TEST(WindowSnapping, TopMostWindowThenItsDeepestChildUnderThePoint) {
    // Z-order, top first; children after their parent.
    const std::vector<SnapWindow> list{
        {{100, 100, 300, 200}, 0},  // small window on top
        {{110, 110, 150, 130}, 1},  //   its button
        {{0, 0, 800, 600}, 0},      // big window below
        {{10, 10, 400, 300}, 1},    //   a panel (partly under the small window)
        {{20, 20, 60, 40}, 2},      //     a control in the panel
        {{500, 10, 700, 300}, 1},   //   another panel
        {{30, 30, 50, 35}, 2},      //     its control, placed where the first panel's is
    };
    EXPECT_EQ(SnapRectAt(list, 120, 120), (ScreenRect{110, 110, 150, 130}));
    EXPECT_EQ(SnapRectAt(list, 200, 150), (ScreenRect{100, 100, 300, 200}));  // the top window hides the panel
    EXPECT_EQ(SnapRectAt(list, 25, 25), (ScreenRect{20, 20, 60, 40}));
    EXPECT_EQ(SnapRectAt(list, 32, 32), (ScreenRect{20, 20, 60, 40})) << "a grandchild of another panel";
    EXPECT_EQ(SnapRectAt(list, 350, 250), (ScreenRect{10, 10, 400, 300}));
    EXPECT_EQ(SnapRectAt(list, 750, 500), (ScreenRect{0, 0, 800, 600}));
    EXPECT_EQ(SnapRectAt(list, 800, 600), std::nullopt) << "right and bottom edges are outside";
    EXPECT_EQ(SnapRectAt({}, 1, 1), std::nullopt);
}

TEST(RegionMagnifier, ColourIsNamedAsHashAndSixLowerCaseDigits) {
    EXPECT_EQ(ColourHex(255, 0, 0), "#ff0000");
    EXPECT_EQ(ColourHex(0x0a, 0xb1, 0x07), "#0ab107");
}

TEST(RegionMagnifier, SourceStaysInsideThePicture) {
    EXPECT_EQ(MagnifierSource(100, 50, 7, 1024, 768), (ScreenRect{93, 43, 108, 58}));
    EXPECT_EQ(MagnifierSource(2, 1, 7, 1024, 768), (ScreenRect{0, 0, 15, 15}));          // top-left corner
    EXPECT_EQ(MagnifierSource(1023, 767, 7, 1024, 768), (ScreenRect{1009, 753, 1024, 768}));  // bottom-right
    EXPECT_EQ(MagnifierSource(3, 3, 7, 10, 10).Left, 0) << "a picture smaller than the square";
}

TEST(RegionHint, CentredAtTheTopUnlessThePointerIsThere) {
    const ScreenRect monitor{-800, 0, 0, 600};
    EXPECT_EQ(HintPlace(-100, 300, 400, 20, monitor), (ScreenRect{-600, 8, -200, 28}));
    EXPECT_EQ(HintPlace(-400, 15, 400, 20, monitor), (ScreenRect{-600, 572, -200, 592}));
    EXPECT_EQ(HintPlace(-700, 15, 400, 20, monitor).Top, 8) << "beside it, not over it";
    EXPECT_EQ(HintPlace(0, 0, 1000, 20, monitor).Left, -800) << "wider than the monitor: from its left edge";
}
