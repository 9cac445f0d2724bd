// The effects dialog's window-free rules: per-type controls, the amount box's text, the hue bar.
#include "effects/FilterControls.h"

#include <gtest/gtest.h>

#include <string>

#include "effects/modHLSRGB.h"

namespace plenvue {
namespace {

TEST(FilterControls, EachTypeShowsItsControlsRangeAndStartText) {
    FilterControlLayout glasses = LayoutForFilterType(eFilterColourGlasses);
    EXPECT_TRUE(glasses.hueBar);
    EXPECT_FALSE(glasses.amount);
    EXPECT_FALSE(glasses.noiseOptions);

    FilterControlLayout noise = LayoutForFilterType(eFilterNoise);
    EXPECT_TRUE(noise.amount && noise.noiseOptions && !noise.hueBar);
    EXPECT_EQ(noise.maximum, 99);
    EXPECT_EQ(noise.maxLength, 2);
    EXPECT_STREQ(noise.initialText, "0");
    EXPECT_EQ(noise.trackLeft, 105);
    EXPECT_EQ(noise.trackWidth, 135);

    FilterControlLayout fade = LayoutForFilterType(eFilterFade);
    EXPECT_TRUE(fade.amount && !fade.noiseOptions);
    EXPECT_EQ(fade.maximum, 255);
    EXPECT_EQ(fade.maxLength, 3);
    EXPECT_STREQ(fade.initialText, "255");
    EXPECT_EQ(fade.trackLeft, 0);
    EXPECT_EQ(fade.trackWidth, 240);

    FilterControlLayout lighten = LayoutForFilterType(eFilterLighten);
    EXPECT_EQ(lighten.maximum, 99);
    EXPECT_STREQ(lighten.initialText, "0");
    EXPECT_EQ(lighten.trackWidth, 240);

    EXPECT_FALSE(LayoutForFilterType(4).amount || LayoutForFilterType(4).hueBar);
    EXPECT_EQ(FilterBaseResID(0), 6001);
    EXPECT_EQ(FilterBaseResID(3), 6031);
}

TEST(AmountFromText, EmptyOrNonDigitTextIsNoAmount) {
    for (const char* t : {"", " 1", "1 ", "-1", "+1", "1e2", "4.0", "x", "\t"})
        EXPECT_FALSE(AmountFromText(t, 99).has_value()) << '"' << t << '"';
}

TEST(AmountFromText, DigitsGiveTheirValueLeadingZerosAllowed) {
    auto a = AmountFromText("40", 99);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->value, 40);
    EXPECT_FALSE(a->clamped);
    EXPECT_EQ(AmountFromText("007", 255)->value, 7);
    EXPECT_EQ(AmountFromText("0", 99)->value, 0);
    EXPECT_EQ(AmountFromText("255", 255)->value, 255);
    EXPECT_FALSE(AmountFromText("255", 255)->clamped);
}

// Fade takes three digits but only 0..255: a typed 256..999 must never reach the effect.
TEST(AmountFromText, ValuesAboveTheRangeAreHeldAtTheMaximum) {
    for (const char* t : {"256", "999", "300"}) {
        auto a = AmountFromText(t, 255);
        ASSERT_TRUE(a);
        EXPECT_EQ(a->value, 255);
        EXPECT_TRUE(a->clamped);
    }
    auto huge = AmountFromText(std::string(40, '9'), 99);  // pasted or set from outside
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->value, 99);
    EXPECT_TRUE(huge->clamped);
    EXPECT_EQ(AmountFromText("0000000000000000000001", 99)->value, 1);
}

TEST(HueBar, ColumnsRunFromMagentaThroughRedToGreenAndBlue) {
    EXPECT_EQ(HueOfColumn(0), -1.0f);
    EXPECT_EQ(HueOfColumn(40), 0.0f);
    EXPECT_EQ(HueOfColumn(120), 2.0f);
    EXPECT_EQ(HueOfColumn(240), 5.0f);
    EXPECT_EQ(HueOfColumn(41), static_cast<float>(1.0 / 40.0));
    EXPECT_EQ(HueBarColour(0), 0xFF00FFu);    // magenta
    EXPECT_EQ(HueBarColour(40), 0x0000FFu);   // red
    EXPECT_EQ(HueBarColour(120), 0x00FF00u);  // pure green
    EXPECT_EQ(HueBarColour(200), 0xFF0000u);  // blue
    EXPECT_EQ(HueColour(2.0f), 0x00FF00u);
    // Every column is the HLS colour of its hue at full saturation and half lightness.
    for (int32_t c = 0; c < kHueBarColumns; ++c) {
        int32_t r, g, b;
        HLSToRGB(static_cast<float>((c - 40) / 40.0), 1.0f, 0.5f, r, g, b);
        EXPECT_EQ(HueBarColour(c), static_cast<uint32_t>(r | g << 8 | b << 16)) << c;
    }
}

TEST(HueBar, OnlyLeftClicksInsideTheBarCount) {
    EXPECT_TRUE(HueBarClickCounts(true, 0, 0, 241, 20));
    EXPECT_TRUE(HueBarClickCounts(true, 241, 20, 241, 20));
    EXPECT_FALSE(HueBarClickCounts(false, 10, 10, 241, 20));
    EXPECT_FALSE(HueBarClickCounts(true, -1, 10, 241, 20));
    EXPECT_FALSE(HueBarClickCounts(true, 242, 10, 241, 20));
    EXPECT_FALSE(HueBarClickCounts(true, 10, 21, 241, 20));
}

}  // namespace
}  // namespace plenvue
