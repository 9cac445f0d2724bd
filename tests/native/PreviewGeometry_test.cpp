#include "controls/PreviewGeometry.h"

#include <gtest/gtest.h>

#include <random>

using namespace plenvue;

TEST(Light3D, RightAndBottomLinesStandOnePixelInsideTheSize) {
    auto e = Light3DEdges(120, 16);
    EXPECT_EQ(e[0], (EdgeLine{0, 0, 119, 0}));
    EXPECT_EQ(e[1], (EdgeLine{0, 0, 0, 15}));
    EXPECT_EQ(e[2], (EdgeLine{0, 15, 119, 15}));
    EXPECT_EQ(e[3], (EdgeLine{119, 0, 119, 15}));
}

TEST(Preview, WideTallControlPlacesImageAndLabelByTheTwipRule) {
    PreviewParts start;
    start.Label.Height = 225;
    PreviewParts p = PreviewResize(1800, 1500, start);
    EXPECT_EQ(p.Image, (TwipRect{150, 150, 1500, 965}));
    EXPECT_EQ(p.Label, (TwipRect{150, 1265, 1500, 225}));
}

TEST(Preview, NarrowControlKeepsPositionsButLowLabelRuleStillApplies) {
    PreviewParts start;
    start.Image = {1, 2, 3, 4};
    start.Label = {5, 700, 7, 225};
    // 300 wide is not wider than 300: nothing moves sideways; tall enough, so the image height follows.
    PreviewParts p = PreviewResize(300, 1000, start);
    EXPECT_EQ(p.Image, (TwipRect{1, 2, 3, 400}));
    EXPECT_EQ(p.Label, start.Label);
    // Exactly label + 450 high is not taller: the image height stays.
    p = PreviewResize(1800, 675, start);
    EXPECT_EQ(p.Image, (TwipRect{150, 150, 1500, 4}));
    EXPECT_EQ(p.Label, (TwipRect{150, 440, 1500, 225}));
}

TEST(Thumbnail, FitKeepsProportionsAndNeverEnlarges) {
    EXPECT_EQ(FitInto(1024, 768, 100, 64), (PixelSize{85, 64}));
    EXPECT_EQ(FitInto(1600, 400, 100, 64), (PixelSize{100, 25}));
    EXPECT_EQ(FitInto(50, 40, 100, 64), (PixelSize{50, 40}));
    EXPECT_EQ(FitInto(100000, 1, 100, 64), (PixelSize{100, 1}));  // a sliver stays visible
    EXPECT_EQ(FitInto(0, 10, 100, 64), (PixelSize{}));
    EXPECT_EQ(FitInto(10, 10, 0, 64), (PixelSize{}));
    // 250 x 160 into 125 x 80 is an exact half either way.
    EXPECT_EQ(FitInto(250, 160, 125, 80), (PixelSize{125, 80}));
}

TEST(Thumbnail, FitStaysInsideTheBoxForHugeSides) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> side(1, 2147483647);
    std::uniform_int_distribution<int32_t> box(1, 400);
    for (int i = 0; i < 2000; ++i) {
        int32_t w = side(rng), h = side(rng), bw = box(rng), bh = box(rng);
        PixelSize s = FitInto(w, h, bw, bh);
        ASSERT_GE(s.Width, 1);
        ASSERT_GE(s.Height, 1);
        ASSERT_LE(s.Width, bw);
        ASSERT_LE(s.Height, bh);
        ASSERT_TRUE(s.Width == bw || s.Height == bh || (s.Width == w && s.Height == h));
    }
}
