#include "controls/ScrollMath.h"

#include "base/ErrorObject.h"

#include <limits>

#include <gtest/gtest.h>

using namespace plenvue;

TEST(ScrollMath, WidePictureReachesMaxMinusPagePlusOne) {
    ScrollBarState bar{0, 5000, 500, 0};
    EXPECT_EQ(LastScrollPosition(bar), 4501);
    EXPECT_EQ(ScrollTarget(bar, kScrollBottom, 8, 0), 4501);
    bar.Pos = 4400;
    EXPECT_EQ(ScrollTarget(bar, kScrollPageDown, 8, 0), 4501);
    bar.Pos = 4498;
    EXPECT_EQ(ScrollTarget(bar, kScrollLineDown, 8, 0), 4501);
    EXPECT_EQ(ScrollTarget(bar, kScrollThumbTrack, 8, 9999), 4501);
}

TEST(ScrollMath, RequestsMoveByLineAndPageWithinRange) {
    ScrollBarState bar{0, 5000, 500, 1000};
    EXPECT_EQ(ScrollTarget(bar, kScrollLineUp, 8, 0), 992);
    EXPECT_EQ(ScrollTarget(bar, kScrollLineDown, 8, 0), 1008);
    EXPECT_EQ(ScrollTarget(bar, kScrollPageUp, 8, 0), 500);
    EXPECT_EQ(ScrollTarget(bar, kScrollPageDown, 8, 0), 1500);
    EXPECT_EQ(ScrollTarget(bar, kScrollThumbTrack, 8, 1234), 1234);
    EXPECT_EQ(ScrollTarget(bar, kScrollTop, 8, 0), 0);
    bar.Pos = 5;
    EXPECT_EQ(ScrollTarget(bar, kScrollLineUp, 8, 0), 0);
    EXPECT_EQ(ScrollTarget(bar, kScrollPageUp, 8, 0), 0);
}

TEST(ScrollMath, ThumbPositionEndAndUnknownCodesDoNothing) {
    ScrollBarState bar{0, 5000, 500, 100};
    EXPECT_EQ(ScrollTarget(bar, kScrollThumbPosition, 8, 7), std::nullopt);
    EXPECT_EQ(ScrollTarget(bar, kScrollEnd, 8, 7), std::nullopt);
    EXPECT_EQ(ScrollTarget(bar, 9, 8, 7), std::nullopt);
    EXPECT_EQ(ScrollTarget(bar, -1, 8, 7), std::nullopt);
}

// Guards against Ctrl+End on a picture smaller than the window scrolling to a negative position.
TEST(ScrollMath, ContentSmallerThanClientNeverScrolls) {
    ScrollBarState bar{0, 100, 500, 0};
    EXPECT_EQ(LastScrollPosition(bar), 0);
    EXPECT_EQ(ScrollTarget(bar, kScrollBottom, 8, 0), 0);
    EXPECT_EQ(ScrollTarget(bar, kScrollPageDown, 8, 0), 0);
    EXPECT_EQ(ClampScrollPosition(bar, 40), 0);
    EXPECT_EQ(ClampScrollPosition({0, 5000, 500, 0}, 4800), 4501);
}

TEST(ScrollMath, BarsShowWhenNeededOrForced) {
    EXPECT_FALSE(ScrollBarNeeded(500, 400, 0, kAlwaysShowHorizontal));
    EXPECT_FALSE(ScrollBarNeeded(500, 500, 0, kAlwaysShowHorizontal));
    EXPECT_TRUE(ScrollBarNeeded(500, 501, 0, kAlwaysShowHorizontal));
    EXPECT_TRUE(ScrollBarNeeded(500, 400, 1, kAlwaysShowHorizontal));
    EXPECT_FALSE(ScrollBarNeeded(500, 400, 1, kAlwaysShowVertical));
    EXPECT_TRUE(ScrollBarNeeded(500, 400, 3, kAlwaysShowVertical));
}

TEST(ScrollMath, ContentSizeAndLineStep) {
    EXPECT_EQ(ContentPixelsFromHimetric(27093, 96), 1024);  // 1023.99 at 96 dpi
    EXPECT_EQ(ContentPixelsFromHimetric(2540, 96), 96);
    EXPECT_EQ(ContentPixelsFromHimetric(2540, 168), 168);
    EXPECT_EQ(ContentPixelsFromHimetric(2000000, 96), 32767);
    EXPECT_THROW(ContentPixelsFromHimetric(100, 0), ErrorObject);
    EXPECT_EQ(HorizontalLineStep(403), 6);  // 6.5 -> 6
    EXPECT_EQ(HorizontalLineStep(434), 7);
}

TEST(ScrollMath, ContentsAndOriginMoveOppositeWays) {
    EXPECT_EQ(ScrollContentsBy(100, 160), -60);
    EXPECT_EQ(PendingScroll(160, 100, false), 60);
    EXPECT_EQ(PendingScroll(160, 100, true), 160);
    EXPECT_THROW(ScrollContentsBy(std::numeric_limits<int32_t>::min(), 1), ErrorObject);
}

TEST(ScrollMath, CtrlKeysMapToRequests) {
    EXPECT_EQ(ScrollRequestForKey(35, false), std::nullopt);
    auto k = ScrollRequestForKey(35, true);
    ASSERT_TRUE(k);
    EXPECT_TRUE(k->Vertical);
    EXPECT_EQ(k->Request, kScrollBottom);
    k = ScrollRequestForKey(39, true);
    ASSERT_TRUE(k);
    EXPECT_FALSE(k->Vertical);
    EXPECT_EQ(k->Request, kScrollLineDown);
    EXPECT_EQ(ScrollRequestForKey(65, true), std::nullopt);
}

namespace {
// HIMETRIC size the platform gives a picture of `pixels` at `dpi`: MulDiv, which rounds halves up.
int32_t HimetricOf(int32_t pixels, int32_t dpi) {
    return static_cast<int32_t>((static_cast<int64_t>(pixels) * 2540 + dpi / 2) / dpi);
}
}  // namespace

// At 175 %, 200 % and 225 % a whole number of twips per pixel is not exact (8.57, 7.5, 6.67):
// truncated, a 1000-pixel picture at 192 dpi gave a scroll range of 1071.
TEST(ScrollMath, ContentSizeEqualsThePictureAtEveryScreenResolution) {
    for (int32_t dpi : {96, 120, 144, 168, 192, 216}) {
        for (int32_t pixels = 1; pixels <= 5000; ++pixels)
            ASSERT_EQ(ContentPixelsFromHimetric(HimetricOf(pixels, dpi), dpi), pixels) << pixels << " px at " << dpi;
    }
    EXPECT_EQ(ContentPixelsFromHimetric(13229, 192), 1000);
    EXPECT_EQ(ContentPixelsFromHimetric(26458, 96), 1000);
}
