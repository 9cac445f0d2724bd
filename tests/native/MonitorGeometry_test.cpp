#include "capture/MonitorGeometry.h"

#include "base/ErrorObject.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

using namespace plenvue;

namespace {

constexpr int32_t kLo = std::numeric_limits<int32_t>::min();
constexpr int32_t kHi = std::numeric_limits<int32_t>::max();

MonitorInfo Monitor(ScreenRect bounds, bool primary = false, int32_t dpi = 96) {
    ScreenRect work = bounds;
    work.Bottom -= 40;  // a task bar
    return {bounds, work, primary, dpi};
}

// A 1920 x 1080 primary with a taller 1280 x 1024 monitor on its left, bottoms not aligned, and a
// 1024 x 768 monitor above the primary's right half: three gaps of different shapes.
MonitorList MixedLayout() {
    return {Monitor({0, 0, 1920, 1080}, true), Monitor({-1280, -200, 0, 824}, false, 120),
            Monitor({896, -768, 1920, 0}, false, 144)};
}

}  // namespace

TEST(MonitorVirtualDesktop, BoundsEveryMonitorIncludingNegativeOrigins) {
    EXPECT_EQ(VirtualDesktop(MixedLayout()), (ScreenRect{-1280, -768, 1920, 1080}));
    EXPECT_EQ(VirtualDesktop({Monitor({0, 0, 1024, 768}, true)}), (ScreenRect{0, 0, 1024, 768}));
}

TEST(MonitorVirtualDesktop, EmptyListOrEmptyMonitorsGiveNothing) {
    EXPECT_EQ(VirtualDesktop({}), ScreenRect{});
    MonitorList l{Monitor({5000, 5000, 5000, 6000}), Monitor({0, 0, 800, 600}, true)};
    EXPECT_EQ(VirtualDesktop(l), (ScreenRect{0, 0, 800, 600}));  // the empty one is not stretched in
}

TEST(MonitorUnderPoint, EdgesAreHalfOpen) {
    MonitorList l = MixedLayout();
    EXPECT_EQ(MonitorAt(l, 0, 0), 0);
    EXPECT_EQ(MonitorAt(l, -1, 0), 1);       // last column of the left monitor
    EXPECT_EQ(MonitorAt(l, -1280, -200), 1);
    EXPECT_EQ(MonitorAt(l, 1919, 1079), 0);
    EXPECT_EQ(MonitorAt(l, 1920, 0), kNoMonitor);
    EXPECT_EQ(MonitorAt(l, 896, -1), 2);
    EXPECT_EQ(MonitorAt(l, 895, -1), kNoMonitor);  // gap above the primary's left half
}

TEST(MonitorUnderPoint, PointInGapTakesNearestMonitor) {
    MonitorList l = MixedLayout();
    EXPECT_EQ(NearestMonitor(l, 100, -10), 0);    // gap above the primary: 10 down, 796 right
    EXPECT_EQ(NearestMonitor(l, 800, -300), 2);   // 96 to the right beats 300 down
    EXPECT_EQ(NearestMonitor(l, -100, 1000), 0);  // gap below the left monitor: 100 right, 177 down
    EXPECT_EQ(NearestMonitor(l, -1000, 900), 1);
    EXPECT_EQ(NearestMonitor(l, -5000, -5000), 1);  // off the desktop altogether
    EXPECT_EQ(NearestMonitor(l, 10, 10), 0);        // on a monitor it is that monitor
    EXPECT_EQ(NearestMonitor(l, kLo, kLo), 1);      // far points do not wrap around
    EXPECT_EQ(NearestMonitor(l, kHi, kHi), 0);
    EXPECT_EQ(NearestMonitor({}, 0, 0), kNoMonitor);
}

TEST(MonitorUnderPoint, EqualDistanceTakesFirstListed) {
    MonitorList l{Monitor({0, 0, 100, 100}, true), Monitor({199, 0, 300, 100})};
    // Pixel 99 ends the first, 199 starts the second: 149 is 50 from both.
    EXPECT_EQ(NearestMonitor(l, 149, 50), 0);
    EXPECT_EQ(NearestMonitor(l, 150, 50), 1);
}

TEST(MonitorPrimary, FlagWinsThenOriginThenFirst) {
    MonitorList l = MixedLayout();
    EXPECT_EQ(PrimaryMonitor(l), 0);
    l[0].Primary = false;
    l[2].Primary = true;
    EXPECT_EQ(PrimaryMonitor(l), 2);
    l[2].Primary = false;
    std::swap(l[0], l[1]);
    EXPECT_EQ(PrimaryMonitor(l), 1);  // the one at (0, 0)
    MonitorList noOrigin{Monitor({100, 100, 200, 200}), Monitor({-500, 0, -100, 100})};
    EXPECT_EQ(PrimaryMonitor(noOrigin), 0);
    EXPECT_EQ(PrimaryMonitor({}), kNoMonitor);
}

TEST(MonitorDesktopGaps, SingleMonitorAndAlignedPairHaveNone) {
    EXPECT_TRUE(DesktopGaps({Monitor({0, 0, 1920, 1080}, true)}).empty());
    EXPECT_TRUE(DesktopGaps({Monitor({0, 0, 1920, 1080}, true), Monitor({-1920, 0, 0, 1080})}).empty());
    EXPECT_TRUE(DesktopGaps({}).empty());
}

TEST(MonitorDesktopGaps, MixedSizesLeaveTheUncoveredCorners) {
    std::vector<ScreenRect> gaps = DesktopGaps(MixedLayout());
    std::vector<ScreenRect> expected{
        {-1280, -768, 0, -200},  // above the left monitor
        {-1280, 824, 0, 1080},   // below the left monitor
        {0, -768, 896, 0},       // above the primary's left part
    };
    EXPECT_EQ(gaps, expected);
}

TEST(MonitorDesktopGaps, SpaceBetweenMonitorsIsAFullHeightGap) {
    MonitorList l{Monitor({0, 0, 1000, 1000}, true), Monitor({1100, 200, 1500, 600})};
    std::vector<ScreenRect> expected{
        {1000, 0, 1100, 1000},
        {1100, 0, 1500, 200},
        {1100, 600, 1500, 1000},
    };
    EXPECT_EQ(DesktopGaps(l), expected);
}

TEST(MonitorDesktopGaps, StripOfEqualHeightIsOneRectangleAcrossMonitorEdges) {
    // A short monitor under the right part of a smaller one: the gap above both stays whole.
    MonitorList l{Monitor({0, 0, 1000, 1000}, true), Monitor({1000, 200, 1500, 600}),
                  Monitor({1200, 600, 1500, 700})};
    std::vector<ScreenRect> expected{
        {1000, 0, 1500, 200},
        {1000, 600, 1200, 1000},
        {1200, 700, 1500, 1000},
    };
    EXPECT_EQ(DesktopGaps(l), expected);
}

TEST(MonitorDesktopGaps, GapsAndMonitorsTileTheDesktopExactly) {
    // Overlapping (mirrored) and staggered monitors: every desktop pixel is covered by a monitor
    // or by exactly one gap, never both.
    MonitorList l{Monitor({0, 0, 640, 480}, true), Monitor({320, 240, 960, 720}), Monitor({-300, 600, 100, 900}),
                  Monitor({0, 0, 640, 480})};
    ScreenRect desk = VirtualDesktop(l);
    std::vector<ScreenRect> gaps = DesktopGaps(l);
    int64_t gapArea = 0;
    for (const ScreenRect& g : gaps) {
        ASSERT_FALSE(IsEmptyRect(g));
        gapArea += int64_t{g.Right - g.Left} * (g.Bottom - g.Top);
    }
    int64_t uncovered = 0;
    for (int32_t y = desk.Top; y < desk.Bottom; y += 10) {
        for (int32_t x = desk.Left; x < desk.Right; x += 10) {
            int inGaps = 0;
            for (const ScreenRect& g : gaps) inGaps += (x >= g.Left && x < g.Right && y >= g.Top && y < g.Bottom);
            bool onMonitor = MonitorAt(l, x, y) != kNoMonitor;
            ASSERT_EQ(inGaps, onMonitor ? 0 : 1) << x << "," << y;
            uncovered += !onMonitor;
        }
    }
    EXPECT_EQ(gapArea, uncovered * 100);  // the grid of 10 divides every edge
}

TEST(MonitorClipping, CutToDesktopOrOneMonitor) {
    MonitorList l = MixedLayout();
    EXPECT_EQ(ClipToDesktop(l, {-2000, -100, 100, 2000}), (ScreenRect{-1280, -100, 100, 1080}));
    EXPECT_EQ(ClipToMonitor(l[0], {-50, -50, 50, 50}), (ScreenRect{0, 0, 50, 50}));
    EXPECT_EQ(ClipToMonitor(l[1], {-50, -50, 50, 50}), (ScreenRect{-50, -50, 0, 50}));
    EXPECT_EQ(ClipToMonitor(l[2], {-50, -50, 50, 50}), ScreenRect{});
    EXPECT_EQ(ClipToDesktop(l, {3000, 0, 4000, 10}), ScreenRect{});
    EXPECT_EQ(ClipToDesktop(l, {10, 10, 5, 20}), ScreenRect{});  // inverted
}

TEST(MonitorClipping, ExtremeRectanglesDoNotOverflow) {
    MonitorList l = MixedLayout();
    EXPECT_EQ(ClipToDesktop(l, {kLo, kLo, kHi, kHi}), VirtualDesktop(l));
    EXPECT_EQ(ClipToMonitor(l[1], {kLo, kLo, kHi, kHi}), l[1].Bounds);
    EXPECT_TRUE(TouchesAnyMonitor(l, {kLo, kLo, kHi, kHi}));
    EXPECT_FALSE(TouchesAnyMonitor(l, {kHi - 1, kHi - 1, kHi, kHi}));
    EXPECT_EQ(BandSizeLabel({kLo, kLo, kHi, kHi}), "4294967295 x 4294967295");
}

TEST(MonitorRepeatLast, RectangleOnAGoneMonitorIsReported) {
    MonitorList l = MixedLayout();
    const ScreenRect onLeft{-1000, 100, -500, 400};
    EXPECT_TRUE(TouchesAnyMonitor(l, onLeft));
    EXPECT_TRUE(TouchesAnyMonitor(l, {1919, 1079, 3000, 3000}));  // one pixel on the primary is enough
    l.erase(l.begin() + 1);  // the left monitor unplugged
    EXPECT_FALSE(TouchesAnyMonitor(l, onLeft));
    EXPECT_FALSE(TouchesAnyMonitor(l, {0, -768, 896, 0}));  // exactly a gap
    EXPECT_FALSE(TouchesAnyMonitor(l, {-10, 0, 0, 10}));    // ends where the primary begins
}

TEST(MonitorFullScreenArea, EachChoiceTakesItsRectangle) {
    MonitorList l = MixedLayout();
    EXPECT_EQ(FullScreenRect(l, FullScreenArea::WholeDesktop, 0, 0), (ScreenRect{-1280, -768, 1920, 1080}));
    EXPECT_EQ(FullScreenRect(l, FullScreenArea::MonitorUnderPointer, -5, 5), l[1].Bounds);
    EXPECT_EQ(FullScreenRect(l, FullScreenArea::MonitorUnderPointer, 1000, -5), l[2].Bounds);
    EXPECT_EQ(FullScreenRect(l, FullScreenArea::MonitorUnderPointer, 100, -10), l[0].Bounds);  // in a gap
    EXPECT_EQ(FullScreenRect(l, FullScreenArea::PrimaryMonitor, -5, 5), l[0].Bounds);
    for (FullScreenArea a : {FullScreenArea::WholeDesktop, FullScreenArea::MonitorUnderPointer,
                             FullScreenArea::PrimaryMonitor})
        EXPECT_EQ(FullScreenRect({}, a, 0, 0), ScreenRect{});
}

TEST(MonitorFullScreenArea, StoredTextRoundTripsAndOddTextGivesWholeDesktop) {
    for (FullScreenArea a : {FullScreenArea::WholeDesktop, FullScreenArea::MonitorUnderPointer,
                             FullScreenArea::PrimaryMonitor})
        EXPECT_EQ(FullScreenAreaFromText(FullScreenAreaText(a)), a);
    EXPECT_EQ(FullScreenAreaText(FullScreenArea::WholeDesktop), "0");
    EXPECT_EQ(FullScreenAreaText(FullScreenArea::MonitorUnderPointer), "1");
    EXPECT_EQ(FullScreenAreaText(FullScreenArea::PrimaryMonitor), "2");
    for (const char* odd : {"", " ", "3", "-1", "01", "1 ", "x", "2.0"})
        EXPECT_EQ(FullScreenAreaFromText(odd), FullScreenArea::WholeDesktop) << '"' << odd << '"';
}

TEST(MonitorDpiMulDiv, RoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDivRound(3, 1, 2), 2);    // 1.5
    EXPECT_EQ(MulDivRound(-3, 1, 2), -2);  // -1.5
    EXPECT_EQ(MulDivRound(3, -1, 2), -2);
    EXPECT_EQ(MulDivRound(3, 1, -2), -2);
    EXPECT_EQ(MulDivRound(-3, 1, -2), 2);
    EXPECT_EQ(MulDivRound(5, 1, 4), 1);    // 1.25
    EXPECT_EQ(MulDivRound(7, 1, 4), 2);    // 1.75
    EXPECT_EQ(MulDivRound(-5, 1, 4), -1);
    EXPECT_EQ(MulDivRound(4, 1, 3), 1);    // odd divisor: 1.33
    EXPECT_EQ(MulDivRound(5, 1, 3), 2);    // 1.67
    EXPECT_EQ(MulDivRound(0, 5, -7), 0);
}

TEST(MonitorDpiMulDiv, ProductBeyond32BitsIsExact) {
    EXPECT_EQ(MulDivRound(kHi, kHi, kHi), kHi);
    EXPECT_EQ(MulDivRound(kLo, kLo, kLo), kLo);
    EXPECT_EQ(MulDivRound(1000000, 3000, 4000), 750000);
    EXPECT_THROW(MulDivRound(kLo, 1, -1), ErrorObject);  // 2^31 does not fit
    EXPECT_THROW(MulDivRound(kHi, 2, 1), ErrorObject);
    EXPECT_THROW(MulDivRound(1, 1, 0), ErrorObject);
}

TEST(MonitorDpiScaling, CommonScalingsRoundAsThePlatform) {
    // 100, 125, 150 and 200 %.
    EXPECT_EQ(ScaleForDpi(16, 96), 16);
    EXPECT_EQ(ScaleForDpi(16, 120), 20);
    EXPECT_EQ(ScaleForDpi(16, 144), 24);
    EXPECT_EQ(ScaleForDpi(16, 192), 32);
    EXPECT_EQ(ScaleForDpi(22, 120), 28);   // 27.5 rounds up
    EXPECT_EQ(ScaleForDpi(3, 144), 5);     // 4.5 rounds up
    EXPECT_EQ(ScaleForDpi(-3, 144), -5);   // and away from zero below
    EXPECT_EQ(ScaleForDpi(21, 120), 26);   // 26.25
    EXPECT_EQ(ScaleForDpi(400, 120), 500);
    EXPECT_EQ(ScaleForDpi(300, 192), 600);
}

TEST(MonitorDpiScaling, ReverseScalingAndUnknownDpi) {
    EXPECT_EQ(UnscaleFromDpi(20, 120), 16);
    EXPECT_EQ(UnscaleFromDpi(27, 120), 22);  // 21.6
    EXPECT_EQ(UnscaleFromDpi(5, 144), 3);    // 3.33
    EXPECT_EQ(UnscaleFromDpi(3, 192), 2);    // 1.5 rounds up
    EXPECT_EQ(UnscaleFromDpi(600, 192), 300);
    EXPECT_EQ(ScaleForDpi(37, 0), 37);
    EXPECT_EQ(ScaleForDpi(37, -144), 37);
    EXPECT_EQ(UnscaleFromDpi(37, 0), 37);
    EXPECT_THROW(ScaleForDpi(kHi, 192), ErrorObject);
}

TEST(MonitorDpiScaling, ToolbarImagesAreNeverLargerThanTheScaledSize) {
    EXPECT_EQ(ToolbarImageSize(96), 16);
    EXPECT_EQ(ToolbarImageSize(120), 16);  // 20
    EXPECT_EQ(ToolbarImageSize(143), 16);  // 23.8: 24 would be larger
    EXPECT_EQ(ToolbarImageSize(144), 24);
    EXPECT_EQ(ToolbarImageSize(168), 24);  // 28
    EXPECT_EQ(ToolbarImageSize(192), 32);
    EXPECT_EQ(ToolbarImageSize(288), 32);
    EXPECT_EQ(ToolbarImageSize(72), 16);
    EXPECT_EQ(ToolbarImageSize(0), 16);
}

TEST(MonitorInitialWindow, ScaledToTheDpiAndKeptInsideTheWorkArea) {
    const ScreenRect screen{0, 0, 1024, 768};
    EXPECT_EQ(InitialWindowRect(0, 0, 640, 480, 96, screen), (ScreenRect{0, 0, 640, 480}));
    EXPECT_EQ(InitialWindowRect(26, 26, 640, 480, 120, screen), (ScreenRect{26, 26, 826, 626}));
    EXPECT_EQ(InitialWindowRect(0, 0, 640, 480, 144, screen), (ScreenRect{0, 0, 960, 720}));
    // 1280 x 960 at 200 % does not fit a 1024 x 768 screen.
    EXPECT_EQ(InitialWindowRect(0, 0, 640, 480, 192, screen), (ScreenRect{0, 0, 1024, 768}));
    // A place that would push the window over the right or bottom edge moves it back in.
    EXPECT_EQ(InitialWindowRect(200, 100, 640, 480, 144, screen), (ScreenRect{64, 48, 1024, 768}));
    // A monitor left of the primary, with a task bar at its bottom.
    const ScreenRect left{-1280, 0, 0, 984};
    EXPECT_EQ(InitialWindowRect(-300, 10, 640, 480, 192, left), (ScreenRect{-1280, 10, 0, 970}));
    // Without a work area the window only scales.
    EXPECT_EQ(InitialWindowRect(5, 6, 640, 480, 144, ScreenRect{}), (ScreenRect{5, 6, 965, 726}));
    EXPECT_EQ(InitialWindowRect(2147483100, 0, 640, 480, 96, ScreenRect{}), (ScreenRect{2147483007, 0, 2147483647, 480}));
}

TEST(MonitorBandSizeLabel, WidthByHeightOfTheRectangle) {
    EXPECT_EQ(BandSizeLabel({0, 0, 640, 480}), "640 x 480");
    EXPECT_EQ(BandSizeLabel({-1300, -20, -1260, 10}), "40 x 30");
    EXPECT_EQ(BandSizeLabel({100, 50, 60, 10}), "40 x 40");  // dragged up and left
    EXPECT_EQ(BandSizeLabel({5, 5, 5, 5}), "0 x 0");
}
