#include "shell/PictureFileCheck.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace plenvue;

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A 24-bit 3 x 2 bitmap file: rows of 9 bytes padded to 12.
std::vector<uint8_t> Bitmap24(int32_t height = 2, uint32_t compression = 0) {
    std::vector<uint8_t> b(54 + 24, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, 3);
    Put32(b, 22, static_cast<uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    Put32(b, 30, compression);
    return b;
}

BitmapFileState Check(const std::vector<uint8_t>& b, size_t size) { return CheckBitmapFile(b.data(), size); }

}  // namespace

TEST(PictureFileCheck, WholeBitmapIsCompleteEveryShorterCutIsTruncated) {
    std::vector<uint8_t> b = Bitmap24();
    EXPECT_EQ(Check(b, b.size()), BitmapFileState::Complete);
    for (size_t cut = 2; cut < b.size(); ++cut) EXPECT_EQ(Check(b, cut), BitmapFileState::Truncated) << cut;
}

TEST(PictureFileCheck, TopDownRowsCountLikeBottomUp) {
    std::vector<uint8_t> b = Bitmap24(-2);
    EXPECT_EQ(Check(b, b.size()), BitmapFileState::Complete);
    EXPECT_EQ(Check(b, b.size() - 1), BitmapFileState::Truncated);
}

TEST(PictureFileCheck, OtherFilesAndCompressedBitmapsAreLeftToTheLoader) {
    std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0};
    EXPECT_EQ(Check(jpeg, jpeg.size()), BitmapFileState::NotBitmap);
    EXPECT_EQ(CheckBitmapFile(nullptr, 0), BitmapFileState::NotBitmap);
    std::vector<uint8_t> rle = Bitmap24(2, 1);
    EXPECT_EQ(Check(rle, 60), BitmapFileState::Complete);
}

TEST(PictureFileCheck, HugeDimensionsDoNotWrapIntoAFit) {
    std::vector<uint8_t> b = Bitmap24();
    Put32(b, 18, 0x7FFFFFFF);
    Put32(b, 22, 0x7FFFFFFF);
    b[28] = 32;
    EXPECT_EQ(Check(b, b.size()), BitmapFileState::Truncated);
}

TEST(PictureFileCheck, CoreHeaderBitmapIsMeasuredToo) {
    std::vector<uint8_t> b(14 + 12 + 8, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, 26);
    Put32(b, 14, 12);
    b[18] = 2;  // 2 x 2 at 8 bits without a table: rows of 4 bytes
    b[20] = 2;
    b[22] = 1;
    b[24] = 8;
    EXPECT_EQ(Check(b, b.size()), BitmapFileState::Complete);
    EXPECT_EQ(Check(b, b.size() - 1), BitmapFileState::Truncated);
}
