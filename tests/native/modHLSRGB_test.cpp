// HLS conversion: the named colours, round trips over the whole colour cube's corners and a grid,
// and the branch rules for ties and out-of-range hues.
#include "effects/modHLSRGB.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <tuple>
#include <vector>

#include "tests/support/EffectsReference.h"

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

// Against the conversion written out again in the test: every colour of a grid through the cube
// (both ends of every channel included), then back with its own and with changed lightness,
// saturation and hue, so every branch and its rounding is compared bit for bit.
TEST(HLSConversion, MatchesTheFormulasWrittenOutIndependently) {
    std::vector<int32_t> levels;
    for (int32_t v = 0; v <= 255; v += 5) levels.push_back(v);
    for (int32_t v : {1, 2, 127, 128, 129, 253, 254}) levels.push_back(v);
    const float hues[] = {-1.0f, -0.5f, 0.0f, 0.3f, 1.0f, 1.7f, 2.0f, 2.5f, 3.0f, 3.9f, 4.0f, 4.99f};
    for (int32_t r : levels)
        for (int32_t g : levels)
            for (int32_t b : levels) {
                float h, s, l, rh, rs, rl;
                RGBToHLS(r, g, b, h, s, l);
                reference::RefRGBToHLS(r, g, b, rh, rs, rl);
                ASSERT_EQ(h, rh) << r << "," << g << "," << b;
                ASSERT_EQ(s, rs) << r << "," << g << "," << b;
                ASSERT_EQ(l, rl) << r << "," << g << "," << b;
                const float l2 = std::min(1.0f, l * 1.37f), s2 = (r + g) % 3 == 0 ? 0.5f : s;
                const float hue = hues[static_cast<size_t>(r + 3 * g + 7 * b) % std::size(hues)];
                for (const auto& [hh, ss, ll] : {std::tuple{h, s, l}, std::tuple{h, s, l2}, std::tuple{hue, s2, l}}) {
                    int32_t pr, pg, pb, qr, qg, qb;
                    HLSToRGB(hh, ss, ll, pr, pg, pb);
                    reference::RefHLSToRGB(hh, ss, ll, qr, qg, qb);
                    ASSERT_EQ(pr, qr) << hh << " " << ss << " " << ll;
                    ASSERT_EQ(pg, qg) << hh << " " << ss << " " << ll;
                    ASSERT_EQ(pb, qb) << hh << " " << ss << " " << ll;
                }
            }
}

TEST(MaximumMinimum, PickTheExtremes) {
    EXPECT_EQ(Maximum(0.1f, 0.7f, 0.3f), 0.7f);
    EXPECT_EQ(Minimum(0.1f, 0.7f, -0.3f), -0.3f);
}

}  // namespace
}  // namespace plenvue
