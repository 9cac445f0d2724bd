#include "image/PackedDib.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plenvue;

namespace {
std::vector<uint8_t> Dib(uint32_t headerSize, int32_t w, int32_t h, uint16_t bpp, uint32_t compression,
                         uint32_t used, size_t extra) {
    std::vector<uint8_t> b(headerSize + extra, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(0, headerSize);
    put32(4, static_cast<uint32_t>(w));
    put32(8, static_cast<uint32_t>(h));
    b[12] = 1;
    b[14] = static_cast<uint8_t>(bpp);
    put32(16, compression);
    put32(32, used);
    return b;
}
}  // namespace

TEST(PackedDib, LaysOutColoursMasksAndRows) {
    PackedDibLayout l;
    // 3 x 2 at 24 bits: rows of 12 bytes.
    ASSERT_TRUE(ParsePackedDib(Dib(40, 3, -2, 24, 0, 0, 24).data(), 64, l));
    EXPECT_TRUE(l.TopDown);
    EXPECT_EQ(l.Height, 2);
    EXPECT_EQ(l.PixelsOffset, 40u);
    EXPECT_EQ(l.PixelBytes, 24u);
    // 8 bits with 2 colours used: the table is 8 bytes.
    std::vector<uint8_t> pal = Dib(40, 5, 1, 8, 0, 2, 8 + 8);
    ASSERT_TRUE(ParsePackedDib(pal.data(), pal.size(), l));
    EXPECT_EQ(l.Colours, 2u);
    EXPECT_EQ(l.PixelsOffset, 48u);
    // Bit fields after a plain header, and inside a long (124-byte) one.
    std::vector<uint8_t> masks = Dib(40, 1, 1, 32, 3, 0, 12 + 4);
    ASSERT_TRUE(ParsePackedDib(masks.data(), masks.size(), l));
    EXPECT_EQ(l.MasksOffset, 40u);
    EXPECT_EQ(l.PixelsOffset, 52u);
    std::vector<uint8_t> v5 = Dib(124, 1, 1, 32, 3, 0, 4);
    ASSERT_TRUE(ParsePackedDib(v5.data(), v5.size(), l));
    EXPECT_EQ(l.PixelsOffset, 124u);
}

TEST(PackedDib, HostileHeadersAreRefused) {
    PackedDibLayout l;
    std::vector<uint8_t> shortRows = Dib(40, 1000, 1000, 24, 0, 0, 8);
    EXPECT_FALSE(ParsePackedDib(shortRows.data(), shortRows.size(), l));  // pixels beyond the block
    std::vector<uint8_t> oneShort = Dib(40, 3, 2, 24, 0, 0, 23);
    EXPECT_FALSE(ParsePackedDib(oneShort.data(), oneShort.size(), l));
    std::vector<uint8_t> colours = Dib(40, 1, 1, 8, 0, 300, 2000);
    EXPECT_FALSE(ParsePackedDib(colours.data(), colours.size(), l));  // more colours than 8 bits index
    std::vector<uint8_t> huge = Dib(40, 0x7FFFFFFF, 0x7FFFFFFF, 1, 0, 0, 100);
    EXPECT_FALSE(ParsePackedDib(huge.data(), huge.size(), l));
    std::vector<uint8_t> minHeight = Dib(40, 1, INT32_MIN, 24, 0, 0, 100);
    EXPECT_FALSE(ParsePackedDib(minHeight.data(), minHeight.size(), l));
    std::vector<uint8_t> rle = Dib(40, 1, 1, 8, 1, 0, 2000);
    EXPECT_FALSE(ParsePackedDib(rle.data(), rle.size(), l));  // compressed rows are not taken
    std::vector<uint8_t> header = Dib(40, 1, 1, 24, 0, 0, 4);
    header[0] = 200;  // a header longer than the block
    EXPECT_FALSE(ParsePackedDib(header.data(), header.size(), l));
    std::vector<uint8_t> depth = Dib(40, 1, 1, 7, 0, 0, 4);
    EXPECT_FALSE(ParsePackedDib(depth.data(), depth.size(), l));
    EXPECT_FALSE(ParsePackedDib(nullptr, 0, l));
    EXPECT_FALSE(ParsePackedDib(header.data(), 39, l));
}
