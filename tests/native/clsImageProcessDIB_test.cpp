// Filters and point effects: the fast passes against straightforward references that follow the
// visiting order literally (columns outer, rows inner, checked 32-bit arithmetic), on random
// pictures of many sizes, plus the fixed cases and the error objects.
#include "effects/clsImageProcessDIB.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "effects/modHLSRGB.h"
#include "base/Arith.h"
#include "image/Rnd.h"
#include "tests/support/EffectsReference.h"

namespace plenvue {
namespace {

using namespace reference;


// ---- kernel construction and errors ----------------------------------------------------------

std::vector<int32_t> Cells(clsImageProcessDIB& f) { return KernelOf(f).cells; }

TEST(ImageProcessFilterType, BuildsTheKernelsOfEachType) {
    clsImageProcessDIB f;
    f.FilterType(eSoftenMore);
    EXPECT_EQ(f.FilterArraySize(), 5);
    EXPECT_EQ(f.FilterWeight(), 44);
    EXPECT_EQ(Cells(f), (std::vector<int32_t>{1, 1, 1, 1, 1, 1, 2, 2, 2, 1, 1, 2, 12, 2, 1,
                                              1, 2, 2, 2, 1, 1, 1, 1, 1, 1}));
    f.FilterType(eSoften);
    EXPECT_EQ(f.FilterWeight(), 12);
    EXPECT_EQ(Cells(f), (std::vector<int32_t>{1, 1, 1, 1, 4, 1, 1, 1, 1}));
    f.FilterType(eSharpen);
    EXPECT_EQ(f.FilterWeight(), 7);
    EXPECT_EQ(Cells(f), (std::vector<int32_t>{-1, -1, -1, -1, 15, -1, -1, -1, -1}));
    f.FilterType(eSharpenMore);
    EXPECT_EQ(f.FilterWeight(), 1);
    EXPECT_EQ(Cells(f), (std::vector<int32_t>{0, -1, 0, -1, 5, -1, 0, -1, 0}));
    f.FilterType(eEmboss);
    EXPECT_EQ(f.FilterWeight(), 1);
    EXPECT_EQ(f.FilterValue(-1, -1), -1);
    EXPECT_EQ(f.FilterValue(1, 1), 1);
    EXPECT_EQ(f.FilterValue(1, -1), 0);
    f.FilterType(eBlurMore);
    EXPECT_EQ(f.FilterWeight(), 25);
    EXPECT_EQ(Cells(f), std::vector<int32_t>(25, 1));
}

TEST(ImageProcessFilterType, NonKernelTypesZeroTheWeightAndKeepTheKernel) {
    clsImageProcessDIB f;
    f.FilterType(eBlurMore);
    for (int32_t t : {7, 9, 10, 11, 12}) {
        f.FilterType(t);
        EXPECT_EQ(f.FilterWeight(), 0);
        EXPECT_EQ(Cells(f), std::vector<int32_t>(25, 1));
    }
    f.FilterType(eSharpen);
    f.FilterType(eCustom);  // keeps the sharpen kernel and weight
    EXPECT_EQ(f.FilterWeight(), 7);
    EXPECT_EQ(f.FilterValue(0, 0), 15);
}

TEST(ImageProcessFilterType, RejectsOutOfRangeAndKeepsState) {
    clsImageProcessDIB f;
    f.FilterType(eSoften);
    for (int32_t bad : {0, 14, -1}) {
        try {
            f.FilterType(bad);
            FAIL() << bad;
        } catch (const ErrorObject& e) {
            EXPECT_EQ(e.Number, static_cast<int32_t>(0x8004051A));
            EXPECT_EQ(e.Source, "Plenvue.cImageProcess");
            EXPECT_EQ(e.Description, "Invalid filter types.");
        }
    }
    EXPECT_EQ(f.FilterWeight(), 12);
    EXPECT_EQ(f.FilterValue(0, 0), 4);
}

TEST(ImageProcessFilterArraySize, EvennessIsTestedBeforeRange) {
    clsImageProcessDIB f;
    f.FilterArraySize(5);
    f.FilterWeight(3);
    f.FilterValue(2, -2, 8);
    auto expectError = [&](int32_t size, uint32_t number, const char* text) {
        try {
            f.FilterArraySize(size);
            ADD_FAILURE() << size;
        } catch (const ErrorObject& e) {
            EXPECT_EQ(e.Number, static_cast<int32_t>(number)) << size;
            EXPECT_EQ(e.Description, text) << size;
            EXPECT_EQ(e.Source, "Plenvue.cImageProcess");
        }
    };
    expectError(-4, 0x80040519, "Size must be an odd number");
    expectError(2, 0x80040519, "Size must be an odd number");
    expectError(10, 0x80040519, "Size must be an odd number");
    expectError(11, 0x8004051A, "Invalid size.  Size should be an odd number from 3 to 9");
    expectError(1, 0x8004051A, "Invalid size.  Size should be an odd number from 3 to 9");
    expectError(-3, 0x8004051A, "Invalid size.  Size should be an odd number from 3 to 9");
    EXPECT_EQ(f.FilterArraySize(), 5);
    EXPECT_EQ(f.FilterValue(2, -2), 8);
    f.FilterArraySize(9);  // clears cells, keeps the weight
    EXPECT_EQ(f.FilterWeight(), 3);
    EXPECT_EQ(f.FilterValue(-4, 4), 0);
}

TEST(ImageProcessFilterValue, OutsideTheKernelIsSubscriptOutOfRange) {
    clsImageProcessDIB f;
    EXPECT_THROW(f.FilterValue(0, 0), ErrorObject);  // no kernel yet
    f.FilterArraySize(3);
    try {
        f.FilterValue(2, 0, 1);
        FAIL();
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrSubscriptOutOfRange);
    }
    EXPECT_THROW(f.FilterValue(0, -2), ErrorObject);
}

// ---- fast == reference -----------------------------------------------------------------------

// Runs `setup` on a fresh object, then ProcessImage against the reference for a picture size.
void ExpectSameAsReference(int32_t w, int32_t h, std::mt19937& rng,
                           const std::function<void(clsImageProcessDIB&)>& setup, int32_t type) {
    Pic img(w, h), buf(w, h), rimg(w, h), rbuf(w, h);
    Randomise(img, rng);
    Randomise(buf, rng);
    rimg.Set(img.All());
    rbuf.Set(buf.All());
    clsImageProcessDIB f;
    setup(f);
    const Kernel k = f.FilterArraySize() ? KernelOf(f) : Kernel{};
    std::optional<int32_t> err;
    try {
        f.ProcessImage(img.dib, buf.dib);
    } catch (const ErrorObject& e) {
        err = e.Number;
    }
    const std::optional<int32_t> rerr = RefProcess(type, k, rimg, rbuf);
    ASSERT_EQ(err, rerr) << "type " << type << " size " << w << "x" << h;
    ASSERT_EQ(img.All(), rimg.All()) << "image, type " << type << " size " << w << "x" << h;
    ASSERT_EQ(buf.All(), rbuf.All()) << "buffer, type " << type << " size " << w << "x" << h;
}

std::vector<std::pair<int32_t, int32_t>> Sizes() {
    std::vector<std::pair<int32_t, int32_t>> s;
    for (int32_t w = 1; w <= 9; ++w)
        for (int32_t h = 1; h <= 9; ++h) s.emplace_back(w, h);
    for (auto wh : {std::pair{17, 5}, {23, 11}, {40, 3}, {64, 64}, {101, 37}, {3, 70}})
        s.push_back(wh);
    return s;
}

TEST(ImageProcessProcessImage, EveryTypeMatchesReferenceOnRandomPictures) {
    std::mt19937 rng(1234);
    for (auto [w, h] : Sizes())
        for (int32_t type = 1; type <= 12; ++type)
            ExpectSameAsReference(w, h, rng, [type](clsImageProcessDIB& f) { f.FilterType(type); }, type);
}

TEST(ImageProcessProcessImage, RandomCustomKernelsMatchReference) {
    std::mt19937 rng(99);
    for (int round = 0; round < 120; ++round) {
        const int32_t size = 3 + 2 * static_cast<int32_t>(rng() % 4);
        // Small values take the SIMD pass, large ones the exact one (and may overflow).
        const int32_t span = (round % 4 == 3) ? 20000000 : (round % 4 == 2 ? 40 : 6);
        std::vector<int32_t> cells;
        for (int32_t n = 0; n < size * size; ++n)
            cells.push_back(static_cast<int32_t>(rng() % (2 * span + 1)) - span);
        int32_t weight = static_cast<int32_t>(rng() % 61) - 30;
        if (round % 10 == 0) weight = 0;
        if (round % 10 == 1) weight = 40000;
        const int32_t w = 1 + static_cast<int32_t>(rng() % 30), h = 1 + static_cast<int32_t>(rng() % 30);
        ExpectSameAsReference(w, h, rng, [&](clsImageProcessDIB& f) {
            f.FilterArraySize(size);
            f.FilterType(eCustom);
            for (int32_t j = 0; j < size; ++j)
                for (int32_t i = 0; i < size; ++i) f.FilterValue(i - size / 2, j - size / 2, cells[j * size + i]);
            f.FilterWeight(weight);
        }, eCustom);
    }
}

// Kernels whose cells depend only on the distance from the centre take the box-sum pass; random
// ring values and divisors, on pictures of 0s and 255s where the sums reach their extremes.
TEST(ImageProcessProcessImage, RandomRingKernelsMatchReference) {
    std::mt19937 rng(7);
    for (int round = 0; round < 160; ++round) {
        const int32_t size = round % 2 ? 5 : 3;
        int32_t ring[3];
        for (auto& v : ring) v = static_cast<int32_t>(rng() % 13) - 6;
        if (round % 5 == 0) ring[0] = static_cast<int32_t>(rng() % 60);
        int32_t weight = static_cast<int32_t>(rng() % 300) + 1;
        if (round % 3 == 0) weight = -weight;
        const int32_t w = 6 + static_cast<int32_t>(rng() % 40), h = 5 + static_cast<int32_t>(rng() % 8);
        Pic img(w, h), buf(w, h), rimg(w, h), rbuf(w, h);
        Randomise(img, rng);
        if (round % 2 == 0)
            for (int32_t y = 0; y < h; ++y)
                for (int32_t b = 0; b < 3 * w; ++b) img.Row(y)[b] = img.Row(y)[b] & 1 ? 255 : 0;
        rimg.Set(img.All());
        clsImageProcessDIB f;
        Recorder rec;
        if (round % 4 == 1) f.SetProgressListener(&rec);  // strips of columns
        f.FilterArraySize(size);
        f.FilterType(eCustom);
        for (int32_t j = -size / 2; j <= size / 2; ++j)
            for (int32_t i = -size / 2; i <= size / 2; ++i)
                f.FilterValue(i, j, ring[std::max(std::abs(i), std::abs(j))]);
        f.FilterWeight(weight);
        const Kernel k = KernelOf(f);
        f.ProcessImage(img.dib, buf.dib);
        ASSERT_FALSE(RefProcess(eCustom, k, rimg, rbuf).has_value());
        ASSERT_EQ(img.All(), rimg.All()) << "round " << round << " " << w << "x" << h << " weight " << weight;
    }
}

// The SIMD passes divide by a multiply-high and shift found for each divisor. With a centre of 127
// and 1 below it, the sums 127 a + b over all byte pairs are every value 0 .. 32640, so one picture
// per divisor checks every reachable sum against truncating division.
TEST(ImageProcessProcessImage, DivisionByMultiplyMatchesForEveryDivisorAndSum) {
    const int32_t w = 65536 / 3 + 3;
    Pic img(w, 4), buf(w, 4);
    std::vector<uint8_t> original;
    {
        int32_t n = 0;
        for (int32_t x = 1; x < w - 1; ++x)
            for (int c = 0; c < 3; ++c, ++n) {
                img.Px(x, 1)[c] = static_cast<uint8_t>(n >> 8);
                img.Px(x, 2)[c] = static_cast<uint8_t>(n);
            }
        original = img.All();
    }
    for (int32_t d : {2, 3, 5, 7, 9, 12, 25, 44, 100, 127, 128, 255, 256, 1000, 32640, 32641})
        for (int32_t sign : {1, -1}) {
            img.Set(original);
            clsImageProcessDIB f;
            f.FilterArraySize(3);
            f.FilterType(eCustom);
            f.FilterValue(0, 0, 127 * sign);
            f.FilterValue(0, 1, sign);
            f.FilterWeight(d * sign);
            f.ProcessImage(img.dib, buf.dib);
            int32_t n = 0;
            for (int32_t x = 1; x < w - 1; ++x)
                for (int c = 0; c < 3; ++c, ++n) {
                    if (n > 65535) break;  // the last pixel's spare channels
                    const int32_t sum = 127 * (n >> 8) + (n & 255);
                    ASSERT_EQ(img.Px(x, 1)[c], std::min(sum / d, 255)) << "sum " << sum << " divisor " << d;
                }
        }
}

TEST(ImageProcessProcessImage, ModifiedBuiltInKernelIsUsedAsWritten) {
    std::mt19937 rng(5);
    ExpectSameAsReference(12, 9, rng, [](clsImageProcessDIB& f) {
        f.FilterType(eEmboss);
        f.FilterValue(0, 0, 3000000);  // large enough to overflow part way
    }, eEmboss);
    ExpectSameAsReference(12, 9, rng, [](clsImageProcessDIB& f) {
        f.FilterType(eBlur);
        f.FilterValue(1, 0, -7);
    }, eBlur);
}

TEST(ImageProcessProcessImage, ZeroWeightFailsWithDivisionByZeroOnlyWhenAPixelIsProcessed) {
    clsImageProcessDIB f;
    f.FilterArraySize(5);
    f.FilterType(eCustom);
    f.FilterValue(0, 0, 1);
    Pic small(4, 4), sbuf(4, 4);
    EXPECT_TRUE(f.ProcessImage(small.dib, sbuf.dib));  // no processed pixel, no division
    Pic img(6, 6), buf(6, 6);
    try {
        f.ProcessImage(img.dib, buf.dib);
        FAIL();
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrDivisionByZero);
    }
}

TEST(ImageProcessProcessImage, SameBitmapAsBufferGivesTheFilteredPicture) {
    std::mt19937 rng(8);
    Pic a(20, 15), ab(20, 15), b(20, 15);
    Randomise(a, rng);
    b.Set(a.All());
    clsImageProcessDIB f;
    f.FilterType(eSharpen);
    f.ProcessImage(a.dib, ab.dib);
    f.ProcessImage(b.dib, b.dib);
    EXPECT_EQ(a.All(), b.All());
}

TEST(ImageProcessProcessImage, SmallerBufferIsRefusedUntouched) {
    Pic img(10, 10), buf(10, 9);
    Fill(img, 1, 2, 3);
    const auto before = buf.All();
    clsImageProcessDIB f;
    f.FilterType(eBlur);
    try {
        f.ProcessImage(img.dib, buf.dib);
        FAIL();
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrSubscriptOutOfRange);
    }
    EXPECT_EQ(buf.All(), before);
}

TEST(ImageProcessProcessImage, ProgressWithListenerMatchesAndReportsEveryColumn) {
    std::mt19937 rng(77);
    for (int32_t type : {eBlur, eBlurMore, eMinimum}) {
        Pic a(150, 7), ab(150, 7), b(150, 7), bb(150, 7);
        Randomise(a, rng);
        b.Set(a.All());
        clsImageProcessDIB quiet, loud;
        Recorder rec;
        loud.SetProgressListener(&rec);
        quiet.FilterType(type);
        loud.FilterType(type);
        quiet.ProcessImage(a.dib, ab.dib);
        loud.ProcessImage(b.dib, bb.dib);
        EXPECT_EQ(a.All(), b.All());
        const int32_t h = type == eBlurMore ? 2 : 1;
        ASSERT_EQ(rec.init, std::vector<int32_t>{3 * (150 - 1 - h)});
        std::vector<int32_t> cols;
        for (int32_t x = 3 * h; x <= 3 * (150 - 1 - h); x += 3) cols.push_back(x);
        EXPECT_EQ(rec.steps, cols);
        EXPECT_EQ(rec.completes, 1);
    }
}

TEST(ImageProcessProcessImage, TinyPictureRaisesOnlyInitAndComplete) {
    Pic img(2, 9), buf(2, 9);
    clsImageProcessDIB f;
    Recorder rec;
    f.SetProgressListener(&rec);
    f.FilterType(eBlur);
    EXPECT_TRUE(f.ProcessImage(img.dib, buf.dib));
    EXPECT_EQ(rec.init.size(), 1u);
    EXPECT_TRUE(rec.steps.empty());
    EXPECT_EQ(rec.completes, 1);
}

TEST(ImageProcessProcessImage, FailedPassRaisesNoComplete) {
    Pic img(8, 8), buf(8, 8);
    clsImageProcessDIB f;
    Recorder rec;
    f.SetProgressListener(&rec);
    f.FilterArraySize(3);
    f.FilterType(eCustom);
    EXPECT_THROW(f.ProcessImage(img.dib, buf.dib), ErrorObject);
    EXPECT_EQ(rec.init.size(), 1u);
    EXPECT_EQ(rec.completes, 0);
}

// ---- fixed cases ---------------------------------------------------------------------------

TEST(ImageProcessProcessImage, UniformGreyIsStableAndEmbossGoesTo127) {
    for (int32_t type = 1; type <= 11; ++type) {
        if (type == eEmboss) continue;
        Pic img(9, 8), buf(9, 8);
        Fill(img, 90, 90, 90);
        clsImageProcessDIB f;
        f.FilterType(type);
        f.ProcessImage(img.dib, buf.dib);
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 9; ++x) ASSERT_EQ(img.Px(x, y)[1], 90) << type;
    }
    Pic img(6, 6), buf(6, 6);
    Fill(img, 200, 100, 200);
    clsImageProcessDIB f;
    f.FilterType(eEmboss);
    EXPECT_TRUE(f.ProcessImage(img.dib, buf.dib));
    EXPECT_EQ(img.Px(2, 2)[0], 127);
    EXPECT_EQ(img.Px(2, 2)[1], 127);
    EXPECT_EQ(img.Px(0, 3)[0], 255);
    EXPECT_EQ(img.Px(0, 3)[1], 227);
}

TEST(ImageProcessProcessImage, BlurSpreadsAWhitePixelAsTruncatedNinths) {
    Pic img(7, 7), buf(7, 7);
    Fill(img, 0, 0, 0);
    Fill(buf, 0, 0, 0);
    img.Px(3, 3)[0] = img.Px(3, 3)[1] = img.Px(3, 3)[2] = 255;
    clsImageProcessDIB f;
    f.FilterType(eBlur);
    EXPECT_TRUE(f.ProcessImage(img.dib, buf.dib));
    for (int32_t y = 2; y <= 4; ++y)
        for (int32_t x = 2; x <= 4; ++x) EXPECT_EQ(img.Px(x, y)[2], 28);
    EXPECT_EQ(img.Px(1, 3)[2], 0);
}

TEST(ImageProcessProcessImage, SharpenClampsBothWays) {
    Pic img(5, 5), buf(5, 5);
    Fill(img, 255, 255, 255);
    img.Px(2, 2)[0] = 0;
    clsImageProcessDIB f;
    f.FilterType(eSharpen);
    f.ProcessImage(img.dib, buf.dib);
    EXPECT_EQ(img.Px(2, 2)[0], 0);
    EXPECT_EQ(img.Px(1, 2)[0], 255);
}

TEST(ImageProcessProcessImage, IdentityCustomKernelLeavesPictureAndUnsharpenReturnsFalse) {
    std::mt19937 rng(3);
    Pic img(12, 10), buf(12, 10);
    Randomise(img, rng);
    const auto before = img.All();
    clsImageProcessDIB f;
    f.FilterArraySize(7);
    f.FilterType(eCustom);
    f.FilterValue(0, 0, 1);
    f.FilterWeight(1);
    EXPECT_TRUE(f.ProcessImage(img.dib, buf.dib));
    EXPECT_EQ(img.All(), before);
    f.FilterType(eUnsharpen);
    EXPECT_FALSE(f.ProcessImage(img.dib, buf.dib));
    EXPECT_EQ(f.FilterWeight(), 0);
    EXPECT_EQ(f.FilterArraySize(), 3);
}

TEST(ImageProcessProcessImage, Type12AndUnsetLeaveBothBitmapsUntouched) {
    std::mt19937 rng(4);
    Pic img(6, 6), buf(6, 6);
    Randomise(img, rng);
    Randomise(buf, rng);
    const auto a = img.All(), b = buf.All();
    clsImageProcessDIB f;
    EXPECT_FALSE(f.ProcessImage(img.dib, buf.dib));
    f.FilterType(12);
    EXPECT_FALSE(f.ProcessImage(img.dib, buf.dib));
    EXPECT_EQ(img.All(), a);
    EXPECT_EQ(buf.All(), b);
}

// ---- two-image operations --------------------------------------------------------------------

TEST(ImageProcessAddImages, MatchesReferenceForRandomArguments) {
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        const int32_t w = 1 + static_cast<int32_t>(rng() % 25), h = 1 + static_cast<int32_t>(rng() % 6);
        const int32_t span = round % 3 == 0 ? 4 : (round % 3 == 1 ? 300 : 40000000);
        auto r = [&] { return static_cast<int32_t>(rng() % (2 * span + 1)) - span; };
        const int32_t a[8] = {r(), r(), r(), r(), r(), r(), r(), r()};
        Pic from(w, h), to(w, h), rto(w, h);
        Randomise(from, rng);
        Randomise(to, rng);
        rto.Set(to.All());
        clsImageProcessDIB f;
        std::optional<int32_t> e1, e2;
        try {
            f.AddImages(from.dib, to.dib, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        } catch (const ErrorObject& e) {
            e1 = e.Number;
        }
        try {
            RefAddImages(from, rto, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        } catch (const ErrorObject& e) {
            e2 = e.Number;
        }
        ASSERT_EQ(e1, e2) << round;
        ASSERT_EQ(to.All(), rto.All()) << round;
    }
}

TEST(ImageProcessAddImages, FirstByteOfAPixelTakesTheROffsets) {
    Pic from(1, 1), to(1, 1);
    Fill(from, 10, 10, 10);
    clsImageProcessDIB f;
    f.AddImages(from.dib, to.dib, 1, 1, 2, 3, 0, 0, 0, 0);
    EXPECT_EQ(to.Px(0, 0)[0], 11);
    EXPECT_EQ(to.Px(0, 0)[1], 12);
    EXPECT_EQ(to.Px(0, 0)[2], 13);
}

TEST(ImageProcessAddImages, SmallerFromIsSubscriptOutOfRange) {
    Pic from(3, 3), to(3, 4);
    clsImageProcessDIB f;
    EXPECT_THROW(f.AddImages(from.dib, to.dib, 1, 0, 0, 0, 1, 0, 0, 0), ErrorObject);
    EXPECT_THROW(f.AddLightest(from.dib, to.dib), ErrorObject);
}

TEST(ImageProcessAddLightest, CopiesOnlyStrictlyDarkerOrLighterPixels) {
    Pic from(3, 1), to(3, 1);
    // luminance 222 r + 707 g + 71 b
    from.Px(0, 0)[2] = 10;                      // from darker than to
    to.Px(0, 0)[2] = 20;
    from.Px(1, 0)[1] = 100;                     // from lighter
    to.Px(1, 0)[1] = 50;
    from.Px(2, 0)[0] = 222;                     // equal: 71 * 222 == 222 * 71
    to.Px(2, 0)[2] = 71;
    Pic to2(3, 1);
    to2.Set(to.All());
    clsImageProcessDIB f;
    f.AddLightest(from.dib, to.dib);
    EXPECT_EQ(to.Px(0, 0)[2], 10);
    EXPECT_EQ(to.Px(1, 0)[1], 50);
    EXPECT_EQ(to.Px(2, 0)[2], 71);
    f.AddDarkest(from.dib, to2.dib);
    EXPECT_EQ(to2.Px(0, 0)[2], 20);
    EXPECT_EQ(to2.Px(1, 0)[1], 100);
    EXPECT_EQ(to2.Px(2, 0)[0], 0);
}

// ---- one-image effects -----------------------------------------------------------------------

// Same picture through the effect and its reference; compares bytes and error.
template <class Fast, class Ref>
void ExpectEffect(int32_t w, int32_t h, std::mt19937& rng, Fast fast, Ref ref, bool runs = false) {
    Pic a(w, h), b(w, h);
    Randomise(a, rng);
    if (runs)  // horizontal runs of many lengths exercise the repeated-pixel shortcuts
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 1; x < w; ++x)
                if (rng() % 9 != 0) std::memcpy(a.Px(x, y), a.Px(x - 1, y), 3);
    b.Set(a.All());
    std::optional<int32_t> e1, e2;
    try {
        fast(a);
    } catch (const ErrorObject& e) {
        e1 = e.Number;
    }
    try {
        ref(b);
    } catch (const ErrorObject& e) {
        e2 = e.Number;
    }
    ASSERT_EQ(e1, e2) << w << "x" << h;
    ASSERT_EQ(a.All(), b.All()) << w << "x" << h;
}

TEST(ImageProcessFade, EveryAmountMatchesReference) {
    std::mt19937 rng(21);
    for (int32_t amount = -3; amount <= 258; ++amount) {
        const int32_t w = 1 + amount % 23 + (amount < 0 ? 5 : 0), h = 1 + (amount + 9) % 5;
        ExpectEffect(w, h, rng, [&](Pic& p) { clsImageProcessDIB().Fade(p.dib, amount); },
                     [&](Pic& p) { RefFade(p, amount); });
    }
}

TEST(ImageProcessFade, HalvesAsIntegerDivision) {
    Pic p(2, 1);
    Fill(p, 255, 1, 128);
    clsImageProcessDIB().Fade(p.dib, 128);
    EXPECT_EQ(p.Px(0, 0)[0], 128);
    EXPECT_EQ(p.Px(0, 0)[1], 0);
    EXPECT_EQ(p.Px(0, 0)[2], 64);
}

TEST(ImageProcessLighten, MatchesReferenceIncludingFailingAmounts) {
    std::mt19937 rng(31);
    for (int32_t amount : {0, 50, -50, -100, 100, 250, -101, -300, 100000}) {
        for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {9, 9}, {70, 4}}) {
            ExpectEffect(w, h, rng, [&](Pic& p) { clsImageProcessDIB().Lighten(p.dib, amount); },
                         [&](Pic& p) { RefLighten(p, amount); }, (w + amount) % 2 == 0);
        }
    }
}

// Every red and green with a spread of blues, through the four-pixel path and the reference.
void ExpectColourCubeSlice(const std::function<void(Pic&)>& fast, const std::function<void(Pic&)>& ref) {
    const uint8_t blues[] = {0, 1, 37, 127, 128, 200, 254, 255};
    Pic a(1024, 512), b(1024, 512);
    size_t n = 0;
    for (uint8_t blue : blues)
        for (int32_t g = 0; g < 256; ++g)
            for (int32_t r = 0; r < 256; ++r, ++n) {
                uint8_t* p = a.Px(static_cast<int32_t>(n % 1024), static_cast<int32_t>(n / 1024));
                p[0] = blue;
                p[1] = static_cast<uint8_t>(g);
                p[2] = static_cast<uint8_t>(r);
            }
    b.Set(a.All());
    fast(a);
    ref(b);
    ASSERT_EQ(a.All(), b.All());
}

TEST(ImageProcessLighten, FourPixelPathMatchesReferenceAcrossTheColourCube) {
    for (int32_t amount : {30, -100, -37, 100000})
        ExpectColourCubeSlice([&](Pic& p) { clsImageProcessDIB().Lighten(p.dib, amount); },
                              [&](Pic& p) { RefLighten(p, amount); });
}

TEST(ImageProcessColourise, FourPixelPathMatchesReferenceAcrossTheColourCube) {
    for (auto [hue, sat] : {std::pair{4.0f, 0.5f}, {-1.0f, 1.0f}, {4.999f, 0.0f}, {1.0f, 0.73f}, {2.9999f, 0.3f}})
        ExpectColourCubeSlice([&](Pic& p) { clsImageProcessDIB().Colourise(p.dib, hue, sat); },
                              [&](Pic& p) { RefColourise(p, hue, sat); });
}

TEST(ImageProcessHls, EverySmallSizeMatchesReferenceWithRuns) {
    std::mt19937 rng(61);
    for (int32_t w = 1; w <= 9; ++w)
        for (int32_t h = 1; h <= 9; ++h) {
            ExpectEffect(w, h, rng, [&](Pic& p) { clsImageProcessDIB().Lighten(p.dib, 40); },
                         [&](Pic& p) { RefLighten(p, 40); }, (w + h) % 2 == 0);
            ExpectEffect(w, h, rng, [&](Pic& p) { clsImageProcessDIB().Colourise(p.dib, 2.0f, 0.5f); },
                         [&](Pic& p) { RefColourise(p, 2.0f, 0.5f); }, (w + h) % 2 == 1);
        }
}

TEST(ImageProcessLighten, MidGreyByHalfAndWhiteStays) {
    Pic p(2, 1);
    Fill(p, 128, 128, 128);
    std::memset(p.Px(1, 0), 255, 3);
    clsImageProcessDIB().Lighten(p.dib, 50);
    EXPECT_EQ(p.Px(0, 0)[0], 192);
    EXPECT_EQ(p.Px(0, 0)[2], 192);
    EXPECT_EQ(p.Px(1, 0)[1], 255);
}

TEST(ImageProcessColourise, MatchesReferenceIncludingOutOfRangeArguments) {
    std::mt19937 rng(41);
    const std::pair<float, float> args[] = {{4.0f, 0.5f}, {0.0f, 0.5f}, {-1.0f, 1.0f}, {4.99f, 0.0f},
                                            {2.5f, 0.25f}, {6.0f, 0.5f}, {-2.0f, 0.5f}, {1.0f, 1.5f}};
    for (const auto& arg : args)
        for (auto [w, h] : {std::pair{1, 2}, {7, 7}, {66, 3}}) {
            const float hue = arg.first, sat = arg.second;
            ExpectEffect(w, h, rng, [&](Pic& p) { clsImageProcessDIB().Colourise(p.dib, hue, sat); },
                         [&](Pic& p) { RefColourise(p, hue, sat); }, w % 2 == 1);
        }
}

TEST(ImageProcessColourise, GreyAndRedTakeTheGivenSaturationGreenKeepsItsOwn) {
    Pic p(3, 1);
    Fill(p, 128, 128, 128);
    p.Px(1, 0)[0] = 0;
    p.Px(1, 0)[1] = 0;
    p.Px(1, 0)[2] = 255;
    p.Px(2, 0)[0] = 0;
    p.Px(2, 0)[1] = 255;
    p.Px(2, 0)[2] = 0;
    clsImageProcessDIB().Colourise(p.dib, 4.0f, 0.5f);
    int32_t r, g, b;
    HLSToRGB(4.0f, 0.5f, 128 / 255.0f, r, g, b);
    EXPECT_EQ(p.Px(0, 0)[0], b);
    EXPECT_EQ(p.Px(0, 0)[2], r);
    EXPECT_GT(b, r);
    float h, s, l;
    RGBToHLS(p.Px(1, 0)[2], p.Px(1, 0)[1], p.Px(1, 0)[0], h, s, l);
    EXPECT_NEAR(s, 0.5f, 0.01f);
    EXPECT_FLOAT_EQ(h, 4.0f);
    RGBToHLS(p.Px(2, 0)[2], p.Px(2, 0)[1], p.Px(2, 0)[0], h, s, l);
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_EQ(p.Px(2, 0)[0], 255);
}

TEST(ImageProcessAddNoise, MatchesReferenceDrawOrder) {
    std::mt19937 rng(51);
    for (int32_t percent : {0, 1, 37, 100, 150})
        for (bool random : {false, true})
            for (auto [w, h] : {std::pair{1, 1}, {4, 9}, {33, 5}})
                ExpectEffect(w, h, rng,
                             [&](Pic& p) { Randomize(7); clsImageProcessDIB().AddNoise(p.dib, percent, random); },
                             [&](Pic& p) { Randomize(7); RefNoise(p, percent, random); });
}

TEST(ImageProcessAddNoise, ZeroPercentAndRandomHundredLeaveThePicture) {
    std::mt19937 rng(52);
    Pic p(20, 20);
    Randomise(p, rng);
    const auto before = p.All();
    clsImageProcessDIB f;
    f.AddNoise(p.dib, 0, false);
    f.AddNoise(p.dib, 100, true);
    EXPECT_EQ(p.All(), before);
}

TEST(ImageProcessAddNoise, StaysWithinTheHalfRange) {
    Pic p(30, 30);
    Fill(p, 100, 100, 100);
    clsImageProcessDIB().AddNoise(p.dib, 50, false);  // R 64, M 32
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 30; ++x) {
            EXPECT_GE(p.Px(x, y)[0], 68);
            EXPECT_LE(p.Px(x, y)[0], 132);
        }
}

TEST(ImageProcessEffects, PointEffectsReportEveryColumnWithOrWithoutStrips) {
    for (int which = 0; which < 4; ++which) {
        Pic p(130, 3);
        clsImageProcessDIB f;
        Recorder rec;
        f.SetProgressListener(&rec);
        if (which == 0) f.Fade(p.dib, 10);
        if (which == 1) f.Lighten(p.dib, 10);
        if (which == 2) f.Colourise(p.dib, 1.0f, 0.5f);
        if (which == 3) f.AddNoise(p.dib, 10, true);
        ASSERT_EQ(rec.init, std::vector<int32_t>{3 * 129});
        ASSERT_EQ(rec.steps.size(), 130u);
        for (int32_t c = 0; c < 130; ++c) ASSERT_EQ(rec.steps[c], 3 * c);
        EXPECT_EQ(rec.completes, 1);
    }
}

}  // namespace
}  // namespace plenvue
