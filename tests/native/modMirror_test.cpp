// Negative and mirroring: pixel bytes only, padding untouched, each mirror its own inverse.
#include "effects/modMirror.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace plenvue {
namespace {

std::vector<uint8_t> Bytes(clsDIBSection& d) {
    return {d.DIBSectionBitsPtr(), d.DIBSectionBitsPtr() + d.BytesPerScanLine() * d.Height()};
}

void Randomise(clsDIBSection& d, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int32_t i = 0; i < d.BytesPerScanLine() * d.Height(); ++i) d.DIBSectionBitsPtr()[i] = static_cast<uint8_t>(rng());
}

TEST(NegativeDIB, InvertsPixelsAndKeepsPadding) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(3, 2));  // 9 pixel bytes + 3 padding a row
    Randomise(d, 1);
    const auto before = Bytes(d);
    NegativeDIB(d);
    const auto after = Bytes(d);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t b = 0; b < 12; ++b) {
            const size_t i = y * 12 + b;
            EXPECT_EQ(after[i], b < 9 ? 255 - before[i] : before[i]);
        }
}

TEST(MirrorDIB, MovesPixelsToTheOppositeSide) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {5, 4}, {7, 7}}) {
        clsDIBSection d;
        ASSERT_TRUE(d.Create(w, h));
        Randomise(d, w * 10 + h);
        const auto src = Bytes(d);
        const int32_t stride = d.BytesPerScanLine();
        for (int32_t m = 0; m <= 2; ++m) {
            MirrorDIB(d, m);
            const auto out = Bytes(d);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const int32_t sx = (m != 1) ? w - 1 - x : x, sy = (m != 0) ? h - 1 - y : y;
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(out[y * stride + 3 * x + c], src[sy * stride + 3 * sx + c]);
                }
            MirrorDIB(d, m);  // each mirror undoes itself
            ASSERT_EQ(Bytes(d), src);
        }
    }
}

TEST(MirrorDIB, RejectsUnknownIndex) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    EXPECT_THROW(MirrorDIB(d, 3), ErrorObject);
    EXPECT_THROW(MirrorDIB(d, -1), ErrorObject);
}

}  // namespace
}  // namespace plenvue
