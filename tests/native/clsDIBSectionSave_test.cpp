#include "image/clsDIBSectionSave.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "tests/support/ColourReduceReference.h"

using namespace plenvue;
using reference::Px;
namespace fs = std::filesystem;

namespace {

std::string TempPath(const std::string& name) {
    return (fs::temp_directory_path() / ("plenvue_save_" + std::to_string(::getpid()) + "_" + name)).string();
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

struct Layout {
    uint32_t fileSize, offset, imageSize;
    uint16_t bpp;
};

Layout SaveAndRead(int32_t w, int32_t h, eOutputColourDepth depth, std::vector<uint8_t>& bytes,
                   std::unique_ptr<clsPalette>* pal = nullptr) {
    clsDIBSection d;
    EXPECT_TRUE(d.Create(w, h));
    std::unique_ptr<clsPalette> none;
    std::string path = TempPath("layout.bmp");
    EXPECT_TRUE(clsDIBSectionSave().Save(path, d, pal ? *pal : none, depth, eReductionNone));
    bytes = ReadAll(path);
    std::remove(path.c_str());
    EXPECT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(U32(bytes, 6), 0u);
    EXPECT_EQ(U32(bytes, 14), 40u);
    EXPECT_EQ(static_cast<int32_t>(U32(bytes, 18)), w);
    EXPECT_EQ(static_cast<int32_t>(U32(bytes, 22)), h);
    EXPECT_EQ(U16(bytes, 26), 1);
    EXPECT_EQ(U32(bytes, 30), 0u);
    for (size_t k = 38; k < 54; ++k) EXPECT_EQ(bytes[k], 0);
    EXPECT_EQ(U32(bytes, 2), bytes.size());
    return {U32(bytes, 2), U32(bytes, 10), U32(bytes, 34), U16(bytes, 28)};
}

}  // namespace

TEST(BitmapWriter, FileSizesForEachDepth) {
    std::vector<uint8_t> b;
    Layout l = SaveAndRead(5, 3, eOutput8Bit, b);
    EXPECT_EQ(l.bpp, 8);
    EXPECT_EQ(l.imageSize, 24u);
    EXPECT_EQ(l.fileSize, 1102u);
    EXPECT_EQ(l.offset, 1078u);
    l = SaveAndRead(10, 2, eOutput4Bit, b);
    EXPECT_EQ(l.bpp, 4);
    EXPECT_EQ(l.imageSize, 16u);
    EXPECT_EQ(l.fileSize, 134u);
    EXPECT_EQ(l.offset, 118u);
    l = SaveAndRead(100, 1, eOutput1Bit, b);
    EXPECT_EQ(l.bpp, 1);
    EXPECT_EQ(l.imageSize, 16u);
    EXPECT_EQ(l.fileSize, 78u);
    EXPECT_EQ(l.offset, 62u);
    EXPECT_EQ(U32(b, 54), 0u);
    EXPECT_EQ(U32(b, 58), 0x00FFFFFFu);
    l = SaveAndRead(5, 3, eOutput24Bit, b);
    EXPECT_EQ(l.bpp, 24);
    EXPECT_EQ(l.fileSize, 102u);
    EXPECT_EQ(l.offset, 54u);
}

TEST(BitmapWriter, FourBitTableHasRedAndBlueExchanged) {
    std::vector<uint8_t> b;
    SaveAndRead(1, 1, eOutput4Bit, b);
    const uint8_t* t = &b[54];
    EXPECT_EQ(std::vector<uint8_t>(t + 4, t + 8), (std::vector<uint8_t>{128, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(t + 16, t + 20), (std::vector<uint8_t>{0, 0, 128, 0}));
    EXPECT_EQ(std::vector<uint8_t>(t + 60, t + 64), (std::vector<uint8_t>{255, 255, 255, 0}));
}

TEST(BitmapWriter, EightBitTableComesFromPaletteOrHalfTone) {
    std::vector<uint8_t> b;
    std::unique_ptr<clsPalette> pal;
    SaveAndRead(2, 2, eOutput8Bit, b, &pal);
    ASSERT_TRUE(pal);
    EXPECT_EQ(pal->count(), 256);
    EXPECT_EQ(pal->Red(2), 64);  // half-tone handed back
    EXPECT_EQ(std::vector<uint8_t>(&b[58], &b[62]), (std::vector<uint8_t>{0, 0, 64, 0}));

    pal = std::make_unique<clsPalette>();
    pal->Create16Colour();
    SaveAndRead(2, 2, eOutput8Bit, b, &pal);
    EXPECT_EQ(std::vector<uint8_t>(&b[54 + 4], &b[54 + 8]), (std::vector<uint8_t>{0, 0, 128, 0}));
    for (size_t k = 54 + 16 * 4; k < 1078; ++k) ASSERT_EQ(b[k], 0) << k;
}

TEST(BitmapWriter, RowsArePackedFromTheHighBit) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(10, 2));
    // Bottom row: white at columns 0 and 9; top row: white at column 1.
    for (int x : {0, 9}) std::memset(Px(d, 3 * x, 0), 255, 3);
    std::memset(Px(d, 3, 1), 255, 3);
    std::unique_ptr<clsPalette> none;
    std::string path = TempPath("pack.bmp");
    ASSERT_TRUE(clsDIBSectionSave().Save(path, d, none, eOutput1Bit, eReductionNone));
    auto b = ReadAll(path);
    ASSERT_EQ(b.size(), 62u + 8u);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 62, b.end()), (std::vector<uint8_t>{0x80, 0x40, 0, 0, 0x40, 0, 0, 0}));
    ASSERT_TRUE(clsDIBSectionSave().Save(path, d, none, eOutput4Bit, eReductionNone));
    b = ReadAll(path);
    ASSERT_EQ(b.size(), 118u + 16u);
    EXPECT_EQ(b[118], 0xF0);
    EXPECT_EQ(b[122], 0x0F);
    EXPECT_EQ(b[126], 0x0F);
    std::remove(path.c_str());
}

TEST(BitmapWriter, MethodNoneLeavesMappedColoursInCallersDib) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(3, 1));
    uint8_t* p = d.DIBSectionBitsPtr();
    p[0] = 10, p[1] = 20, p[2] = 200;  // reddish: nearest of the 16 is red
    p[3] = 130, p[4] = 125, p[5] = 120;
    p[6] = 250, p[7] = 250, p[8] = 250;
    std::unique_ptr<clsPalette> none;
    std::string path = TempPath("copyback.bmp");
    ASSERT_TRUE(clsDIBSectionSave().Save(path, d, none, eOutput4Bit, eReductionNone));
    EXPECT_EQ(std::vector<uint8_t>(p, p + 9), (std::vector<uint8_t>{0, 0, 255, 128, 128, 128, 255, 255, 255}));
    ASSERT_TRUE(clsDIBSectionSave().Save(path, d, none, eOutput1Bit, eReductionNone));
    EXPECT_EQ(std::vector<uint8_t>(p, p + 9), (std::vector<uint8_t>{0, 0, 0, 255, 255, 255, 255, 255, 255}));
    std::remove(path.c_str());
}

TEST(BitmapWriter, ReductionMethodsReduceThroughTheCallersDib) {
    std::mt19937 rng(1);
    clsDIBSection d, expected, scratch;
    ASSERT_TRUE(d.Create(17, 9));
    reference::FillRandom(d, rng, false);
    ASSERT_TRUE(expected.Create(17, 9));
    ASSERT_TRUE(scratch.Create(17, 9));
    std::memcpy(expected.DIBSectionBitsPtr(), d.DIBSectionBitsPtr(), d.Header().biSizeImage);
    std::unique_ptr<clsPalette> pal;
    std::string path = TempPath("methods.bmp");
    ASSERT_TRUE(clsDIBSectionSave().Save(path, d, pal, eOutput4Bit, eReductionAuto));
    ASSERT_TRUE(pal);
    EXPECT_EQ(pal->count(), 16);
    reference::ApplyPalette(expected, scratch, *pal, true);
    EXPECT_EQ(std::memcmp(d.DIBSectionBitsPtr(), expected.DIBSectionBitsPtr(), d.Header().biSizeImage), 0);

    pal.reset();
    ASSERT_TRUE(clsDIBSectionSave().Save(path, d, pal, eOutput8Bit, eReductionAuto));
    ASSERT_TRUE(pal);
    EXPECT_LE(pal->count(), 236);
    ASSERT_TRUE(clsDIBSectionSave().Save(path, d, pal, eOutput1Bit, eReductionPalette));
    std::remove(path.c_str());
}

TEST(BitmapWriter, MissingFolderRaisesError17AndWritesNothing) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    std::unique_ptr<clsPalette> none;
    std::string path = TempPath("no_such_dir/x.bmp");
    for (auto depth : {eOutput1Bit, eOutput8Bit, eOutput24Bit}) {
        try {
            clsDIBSectionSave().Save(path, d, none, depth, eReductionNone);
            FAIL();
        } catch (const ErrorObject& e) {
            EXPECT_EQ(e.Number, 17);
            EXPECT_EQ(e.Source, "Plenvue.clsDIBSection256");
            EXPECT_FALSE(e.Description.empty());
        }
    }
    EXPECT_FALSE(fs::exists(path));
    clsDIBSection empty;
    EXPECT_FALSE(clsDIBSectionSave().Save(TempPath("empty.bmp"), empty, none, eOutput8Bit, eReductionNone));
}

TEST(BitmapWriter, ColourTableIndexIsNearestSquaredWithFiveBitCutAtEightBits) {
    std::vector<uint8_t> table(1024, 0);
    const uint8_t grey[4] = {12, 12, 12, 0}, white[4] = {255, 255, 255, 0};
    std::memcpy(&table[4], white, 4);
    std::memcpy(&table[8], grey, 4);
    EXPECT_EQ(clsDIBSectionSave::ColourTableIndex(table, 8, 8, 8, 8), 2);   // cut to 12: exact
    EXPECT_EQ(clsDIBSectionSave::ColourTableIndex(table, 8, 7, 7, 7), 0);   // cut to 4: black nearer
    EXPECT_EQ(clsDIBSectionSave::ColourTableIndex(table, 4, 7, 7, 7), 2);   // uncut: grey nearer
    EXPECT_EQ(clsDIBSectionSave::ColourTableIndex(table, 8, 250, 250, 240), 1);
    std::vector<uint8_t> twin = {100, 100, 100, 0, 100, 100, 100, 0};
    EXPECT_EQ(clsDIBSectionSave::ColourTableIndex(twin, 1, 0, 0, 0), 0);
    // Black or white at 1 bit: white once red + green + blue reaches 383.
    std::vector<uint8_t> mono = {0, 0, 0, 0, 255, 255, 255, 0};
    EXPECT_EQ(clsDIBSectionSave::ColourTableIndex(mono, 1, 255, 127, 0), 0);
    EXPECT_EQ(clsDIBSectionSave::ColourTableIndex(mono, 1, 255, 128, 0), 1);
}
