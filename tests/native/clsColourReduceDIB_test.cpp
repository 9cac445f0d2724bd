#include "effects/clsColourReduceDIB.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/support/ColourReduceReference.h"

using namespace plenvue;
using reference::Px;

namespace {

void Fill(clsDIBSection& d, uint8_t r, uint8_t g, uint8_t b) {
    for (int32_t row = 0; row < d.Height(); ++row)
        for (int32_t x = 0; x < d.Width(); ++x) {
            uint8_t* p = Px(d, 3 * x, row);
            p[0] = b, p[1] = g, p[2] = r;
        }
}

bool SamePixels(clsDIBSection& a, clsDIBSection& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int32_t row = 0; row < a.Height(); ++row)
        if (std::memcmp(Px(a, 0, row), Px(b, 0, row), static_cast<size_t>(a.Width()) * 3) != 0) return false;
    return true;
}

void CopyPixels(clsDIBSection& from, clsDIBSection& to) {
    ASSERT_TRUE(to.Create(from.Width(), from.Height()));
    std::memcpy(to.DIBSectionBitsPtr(), from.DIBSectionBitsPtr(), to.Header().biSizeImage);
}

struct Recorder : IProgressListener {
    std::vector<int32_t> init, progress;
    int complete = 0;
    void InitProgress(int32_t v) override { init.push_back(v); }
    void Progress(int32_t v) override { progress.push_back(v); }
    void Complete(int32_t) override { ++complete; }
};

}  // namespace

TEST(GrayScale, WeightsAndRounding) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(5, 1));
    const uint8_t in[5][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}};
    for (int i = 0; i < 5; ++i) {
        uint8_t* p = Px(d, 3 * i, 0);
        p[2] = in[i][0], p[1] = in[i][1], p[0] = in[i][2];
    }
    clsColourReduceDIB c;
    c.GrayScale(d);
    const uint8_t expected[5] = {57, 180, 18, 255, 0};
    for (int i = 0; i < 5; ++i) {
        const uint8_t* p = Px(d, 3 * i, 0);
        EXPECT_EQ(p[0], expected[i]);
        EXPECT_EQ(p[1], expected[i]);
        EXPECT_EQ(p[2], expected[i]);
    }
}

TEST(GrayScale, GreyValueMatchesFloatingPointForEveryColourSum) {
    for (int r = 0; r < 256; r += 1)
        for (int g = 0; g < 256; g += 3)
            for (int b = 0; b < 256; b += 5)
                ASSERT_EQ(GreyValue(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)),
                          RoundHalfEven((222.0 * r + 707.0 * g + 71.0 * b) / 1000.0));
    // A tie: 222 * 25 + 71 * 50 = 9100 ... search for halves and check they go to even.
    int ties = 0;
    for (int r = 0; r < 256; ++r)
        for (int b = 0; b < 256; ++b)
            if ((222 * r + 71 * b) % 1000 == 500) {
                ++ties;
                EXPECT_EQ(GreyValue(static_cast<uint8_t>(r), 0, static_cast<uint8_t>(b)) % 2, 0);
            }
    EXPECT_GT(ties, 0);
}

TEST(GrayScale, EveryColourThroughTheSixteenPixelPathMatchesTheScalarRule) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(4096, 4096));
    for (int32_t row = 0; row < 4096; ++row)
        for (int32_t x = 0; x < 4096; ++x) {
            const uint32_t colour = static_cast<uint32_t>(row) << 12 | static_cast<uint32_t>(x);
            uint8_t* p = Px(d, 3 * x, row);
            p[0] = static_cast<uint8_t>(colour), p[1] = static_cast<uint8_t>(colour >> 8),
            p[2] = static_cast<uint8_t>(colour >> 16);
        }
    clsColourReduceDIB().GrayScale(d);
    for (int32_t row = 0; row < 4096; ++row)
        for (int32_t x = 0; x < 4096; ++x) {
            const uint32_t colour = static_cast<uint32_t>(row) << 12 | static_cast<uint32_t>(x);
            const uint8_t g = GreyValue(static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                                        static_cast<uint8_t>(colour));
            const uint8_t* p = Px(d, 3 * x, row);
            if (p[0] != g || p[1] != g || p[2] != g) FAIL() << "colour " << std::hex << colour;
        }
}

TEST(GrayScale, MatchesColumnWiseReferenceOnRandomPictures) {
    std::mt19937 rng(4);
    for (int w = 1; w <= 70; w += (w < 20 ? 1 : 17))
        for (int h : {1, 2, 5, 9}) {
            clsDIBSection d, ref;
            ASSERT_TRUE(d.Create(w, h));
            reference::FillRandom(d, rng, w % 3 == 0);
            CopyPixels(d, ref);
            clsColourReduceDIB().GrayScale(d);
            reference::GrayScale(ref);
            // Padding included: the pass must not touch bytes past a row's pixels.
            ASSERT_EQ(std::memcmp(d.DIBSectionBitsPtr(), ref.DIBSectionBitsPtr(), d.Header().biSizeImage), 0) << w << "x" << h;
        }
}

TEST(BlackAndWhite, Grey129IsAllWhiteAnd128StartsWithBlackColumn) {
    clsColourReduceDIB c;
    clsDIBSection from, to;
    ASSERT_TRUE(from.Create(6, 4));
    ASSERT_TRUE(to.Create(6, 4));
    Fill(from, 129, 129, 129);
    c.BlackAndWhite(from, to);
    for (int32_t row = 0; row < 4; ++row)
        for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(Px(to, 3 * x, row)[0], 255);
    EXPECT_TRUE(SamePixels(from, to));

    Fill(from, 128, 128, 128);
    c.BlackAndWhite(from, to);
    for (int32_t row = 0; row < 4; ++row) EXPECT_EQ(Px(to, 0, row)[2], 0);
    EXPECT_EQ(Px(to, 3, 0)[0], 255);  // 128 + 7/16 of 128 = 184
    EXPECT_TRUE(SamePixels(from, to));
}

TEST(BlackAndWhite, DarkGreysSpreadNoError) {
    clsColourReduceDIB c;
    clsDIBSection from, to;
    ASSERT_TRUE(from.Create(9, 9));
    ASSERT_TRUE(to.Create(9, 9));
    Fill(from, 16, 16, 16);
    c.BlackAndWhite(from, to);
    for (int32_t row = 0; row < 9; ++row)
        for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(Px(to, 3 * x, row)[1], 0);
}

TEST(BlackAndWhite, MatchesColumnWiseReferenceOnRandomPictures) {
    std::mt19937 rng(3);
    clsColourReduceDIB c;
    for (int w = 1; w <= 40; w += (w < 9 ? 1 : 13))
        for (int h = 1; h <= 40; h += (h < 9 ? 1 : 13))
            for (bool few : {false, true}) {
                clsDIBSection from, to, refFrom, refTo;
                ASSERT_TRUE(from.Create(w, h));
                ASSERT_TRUE(to.Create(w, h));
                ASSERT_TRUE(refTo.Create(w, h));
                reference::FillRandom(from, rng, few);
                CopyPixels(from, refFrom);
                c.BlackAndWhite(from, to);
                reference::BlackAndWhite(refFrom, refTo);
                ASSERT_TRUE(SamePixels(to, refTo)) << w << "x" << h;
                ASSERT_TRUE(SamePixels(from, refFrom)) << w << "x" << h;
            }
}

TEST(ApplyPalette, MatchesColumnWiseReferenceOnRandomPictures) {
    std::mt19937 rng(5);
    clsColourReduceDIB c;
    std::vector<clsPalette> palettes(5);
    palettes[0].Create16Colour();
    palettes[1].CreateHalfTone();
    palettes[2].CreateWebSafe();
    palettes[3].CreateMono();
    for (int i = 0; i < 37; ++i)
        palettes[4].Add(static_cast<int>(rng() % 256), static_cast<int>(rng() % 256), static_cast<int>(rng() % 256));
    for (int w = 1; w <= 35; w += (w < 9 ? 1 : 13))
        for (int h = 1; h <= 35; h += (h < 9 ? 1 : 13))
            for (const clsPalette& pal : palettes)
                for (bool diffuse : {false, true}) {
                    clsDIBSection from, to, refFrom, refTo;
                    ASSERT_TRUE(from.Create(w, h));
                    ASSERT_TRUE(to.Create(w, h));
                    ASSERT_TRUE(refTo.Create(w, h));
                    reference::FillRandom(from, rng, (w + h) % 2 == 0);
                    CopyPixels(from, refFrom);
                    c.ApplyPalette(from, to, pal, diffuse);
                    reference::ApplyPalette(refFrom, refTo, pal, diffuse);
                    ASSERT_TRUE(SamePixels(to, refTo)) << w << "x" << h << " diffuse " << diffuse;
                    ASSERT_TRUE(SamePixels(from, refFrom)) << w << "x" << h;
                }
}

TEST(ApplyPalette, PaletteHoldingEveryColourLeavesPictureUnchanged) {
    clsColourReduceDIB c;
    clsPalette p;
    p.CreateWebSafe();
    std::mt19937 rng(9);
    for (bool diffuse : {false, true}) {
        clsDIBSection from, to, original;
        ASSERT_TRUE(from.Create(13, 7));
        ASSERT_TRUE(to.Create(13, 7));
        for (int32_t row = 0; row < 7; ++row)
            for (int32_t x = 0; x < 13; ++x) {
                int32_t i = 1 + static_cast<int32_t>(rng() % 256);
                uint8_t* px = Px(from, 3 * x, row);
                px[0] = p.Blue(i), px[1] = p.Green(i), px[2] = p.Red(i);
            }
        CopyPixels(from, original);
        c.ApplyPalette(from, to, p, diffuse);
        EXPECT_TRUE(SamePixels(to, original));
        EXPECT_TRUE(SamePixels(from, original));
    }
}

TEST(ApplyPalette, OppositeCornerPaletteUsesItsFirstEntryAndEmptyPaletteFails) {
    clsColourReduceDIB c;
    clsDIBSection from, to;
    ASSERT_TRUE(from.Create(2, 2));
    ASSERT_TRUE(to.Create(2, 2));
    clsPalette white;
    white.Add(255, 255, 255);
    c.ApplyPalette(from, to, white, true);  // black pixels: every entry at distance 765
    EXPECT_EQ(Px(to, 3, 1)[0], 255);
    clsPalette empty;
    try {
        c.ApplyPalette(from, to, empty, false);
        FAIL();
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 9);
    }
}

TEST(ColourReduce, SmallerSourceOrSameBitmapIsRefusedBeforeWriting) {
    clsColourReduceDIB c;
    clsDIBSection from, to;
    ASSERT_TRUE(from.Create(3, 3));
    ASSERT_TRUE(to.Create(4, 3));
    Fill(to, 1, 2, 3);
    clsPalette p;
    p.CreateMono();
    EXPECT_THROW(c.ApplyPalette(from, to, p, false), ErrorObject);
    EXPECT_THROW(c.BlackAndWhite(from, to), ErrorObject);
    EXPECT_EQ(Px(to, 0, 0)[0], 3);
    EXPECT_THROW(c.BlackAndWhite(from, from), ErrorObject);
}

TEST(ColourReduce, LargerSourceKeepsItsOuterPartGrey) {
    clsColourReduceDIB c;
    clsDIBSection from, to;
    ASSERT_TRUE(from.Create(4, 3));
    ASSERT_TRUE(to.Create(2, 2));
    Fill(from, 255, 0, 0);
    c.BlackAndWhite(from, to);
    EXPECT_EQ(Px(from, 9, 2)[0], 57);
    EXPECT_EQ(Px(from, 0, 0)[0], 0);
}

TEST(ColourReduce, ProgressReportsEveryColumnOffsetOnce) {
    Recorder rec;
    clsColourReduceDIB c;
    c.SetProgressListener(&rec);
    clsDIBSection from, to;
    ASSERT_TRUE(from.Create(5, 3));
    ASSERT_TRUE(to.Create(5, 3));
    c.BlackAndWhite(from, to);
    EXPECT_EQ(rec.init, (std::vector<int32_t>{12, 12}));  // the grey pass, then its own
    EXPECT_EQ(rec.progress, (std::vector<int32_t>{0, 3, 6, 9, 12, 0, 3, 6, 9, 12}));
    EXPECT_EQ(rec.complete, 2);
}
