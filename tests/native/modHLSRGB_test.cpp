// HLS conversion: the named colours, round trips over the whole colour cube's corners and a grid,
// and the branch rules for ties and out-of-range hues.
#include "effects/modHLSRGB.h"

#include <gtest/gtest.h>

#include <limits>

namespace plenvue {
namespace {

TEST(RGBToHLS, PrimariesMagentaAndGreys) {
    float h, s, l;
    RGBToHLS(255, 0, 0, h, s, l);
    EXPECT_EQ(h, 0.0f);
    EXPECT_EQ(s, 1.0f);
    EXPECT_EQ(l, 0.5f);
    RGBToHLS(255, 0, 255, h, s, l);
    EXPECT_EQ(h, -1.0f);  // red wins the tie and the hue is not wrapped
    RGBToHLS(0, 0, 255, h, s, l);
    EXPECT_EQ(h, 4.0f);
    RGBToHLS(0, 255, 255, h, s, l);
    EXPECT_EQ(h, 3.0f);   // green wins over blue
    for (int32_t g : {0, 1, 128, 254, 255}) {
        RGBToHLS(g, g, g, h, s, l);
        EXPECT_EQ(h, 0.0f);
        EXPECT_EQ(s, 0.0f);
        EXPECT_EQ(l, g / 255.0f);
    }
}

TEST(RGBToHLS, ChannelFractionsAreCorrectlyRoundedSingles) {
    // The division is single precision; it equals the double quotient rounded once.
    for (int32_t v = 0; v <= 255; ++v) EXPECT_EQ(static_cast<float>(v) / 255.0f, static_cast<float>(v / 255.0));
}

TEST(HLSToRGB, RoundTripsCornersAndAGrid) {
    for (int32_t r = 0; r <= 255; r += 15)
        for (int32_t g = 0; g <= 255; g += 15)
            for (int32_t b = 0; b <= 255; b += 15) {
                float h, s, l;
                RGBToHLS(r, g, b, h, s, l);
                int32_t r2, g2, b2;
                HLSToRGB(h, s, l, r2, g2, b2);
                ASSERT_EQ(r2, r);
                ASSERT_EQ(g2, g);
                ASSERT_EQ(b2, b);
            }
}

TEST(HLSToRGB, OutOfRangeHuesFallIntoTheEndSixthsAndNaNOverflows) {
    int32_t r, g, b;
    HLSToRGB(-2.0f, 1.0f, 0.5f, r, g, b);  // first branch, blue beyond its maximum
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 510);
    HLSToRGB(6.0f, 1.0f, 0.5f, r, g, b);  // last branch
    EXPECT_EQ(b, 255);
    EXPECT_EQ(r, 510);
    EXPECT_THROW(HLSToRGB(std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.5f, r, g, b), ErrorObject);
}

TEST(HLSToRGB, HalvesRoundToEven) {
    int32_t r, g, b;
    HLSToRGB(0.0f, 0.0f, 0.5f, r, g, b);  // 127.5 -> 128
    EXPECT_EQ(r, 128);
    HLSToRGB(0.0f, 0.0f, 0.25f, r, g, b);  // 63.75 -> 64
    EXPECT_EQ(r, 64);
    HLSToRGB(0.0f, 0.0f, 2.5f / 255.0f, r, g, b);
    EXPECT_EQ(r, 2);
}

TEST(MaximumMinimum, PickTheExtremes) {
    EXPECT_EQ(Maximum(0.1f, 0.7f, 0.3f), 0.7f);
    EXPECT_EQ(Minimum(0.1f, 0.7f, -0.3f), -0.3f);
}

}  // namespace
}  // namespace plenvue
