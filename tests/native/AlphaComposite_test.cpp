#include "image/AlphaComposite.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plenvue;

// Two rows: opaque red and fully transparent above, half-transparent blue below; the output is
// bottom-up, so the first output row is the source's last.
TEST(AlphaComposite, TransparencyShowsTheBackgroundAndRowsTurnBottomUp) {
    const uint8_t src[] = {
        0, 0, 255, 255, 9, 9, 9, 0,      // top: opaque red, transparent
        255, 0, 0, 128, 0, 255, 0, 255,  // bottom: blue at alpha 128, opaque green
    };
    std::vector<uint8_t> dst(2 * 8, 0xEE);  // stride 8: two padding bytes a row stay untouched
    const uint32_t yellow = 0x0000FFFF;     // 0x00BBGGRR: red and green
    CompositeBgraOver(src, 8, 2, 2, yellow, dst.data(), 8);
    // Output row 0 is the source's bottom row.
    EXPECT_EQ(dst[0], 128);  // blue over yellow's blue 0
    EXPECT_EQ(dst[1], 127);  // green 0 over 255
    EXPECT_EQ(dst[2], 127);
    EXPECT_EQ((std::vector<uint8_t>(dst.begin() + 3, dst.begin() + 6)), (std::vector<uint8_t>{0, 255, 0}));
    EXPECT_EQ(dst[6], 0xEE);
    EXPECT_EQ((std::vector<uint8_t>(dst.begin() + 8, dst.begin() + 11)), (std::vector<uint8_t>{0, 0, 255}));
    EXPECT_EQ((std::vector<uint8_t>(dst.begin() + 11, dst.begin() + 14)), (std::vector<uint8_t>{0, 255, 255}));
}

TEST(AlphaComposite, BlendIsExactAtTheEndsForEveryValue) {
    for (int c = 0; c < 256; ++c) {
        const uint8_t opaque[] = {uint8_t(c), uint8_t(c), uint8_t(c), 255};
        const uint8_t clear[] = {uint8_t(c), uint8_t(c), uint8_t(c), 0};
        uint8_t out[3];
        CompositeBgraOver(opaque, 4, 1, 1, 0x00123456, out, 3);
        ASSERT_EQ(out[0], c);
        CompositeBgraOver(clear, 4, 1, 1, 0x00123456, out, 3);
        ASSERT_EQ(out[0], 0x12);
        ASSERT_EQ(out[2], 0x56);
    }
}

TEST(AlphaComposite, OnlyThePngSignatureIsAccepted) {
    const uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0};
    EXPECT_TRUE(HasPngSignature(png, sizeof png));
    EXPECT_FALSE(HasPngSignature(png, 7));
    EXPECT_FALSE(HasPngSignature(nullptr, 8));
    const uint8_t bmp[] = {'B', 'M', 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(HasPngSignature(bmp, sizeof bmp));
}
