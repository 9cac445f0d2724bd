#include "image/clsDIBSection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/ErrorObject.h"
#include "tests/support/TempFolder.h"

using namespace plenvue;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The folder also holds a read-only file in one test; the support folder removes that too.
class TempDir : public plenvue::test::TempFolder {
public:
    TempDir() : TempFolder("dib") {}
    fs::path operator/(const char* name) const { return Root() / name; }
};

void SetPixel(clsDIBSection& d, int x, int y, uint8_t b, uint8_t g, uint8_t r) {
    uint8_t* p = d.PixelPtr(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

}  // namespace

TEST(DIBSection, LayoutOfOneByOneAndFiveByThree) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(1, 1));
    EXPECT_EQ(d.BytesPerScanLine(), 4);
    EXPECT_EQ(d.Header().biSizeImage, 4u);
    ASSERT_TRUE(d.Create(5, 3));
    EXPECT_EQ(d.BytesPerScanLine(), 16);
    EXPECT_EQ(d.Width(), 5);
    EXPECT_EQ(d.Height(), 3);
    const DibHeader& h = d.Header();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(h.biSizeImage, 48u);
    EXPECT_EQ(d.PixelPtr(2, 1) - d.DIBSectionBitsPtr(), 16 + 6);
    for (uint32_t i = 0; i < h.biSizeImage; ++i) ASSERT_EQ(d.DIBSectionBitsPtr()[i], 0) << i;
}

TEST(DIBSection, RejectsEmptySizesAndOverflowsRaise) {
    clsDIBSection d;
    EXPECT_FALSE(d.Create(0, 5));
    EXPECT_FALSE(d.Create(5, -1));
    EXPECT_TRUE(d.IsEmpty());
    EXPECT_THROW(d.Create(30000, 30000), ErrorObject);
    EXPECT_THROW(d.Create(0x7FFFFFFF, 1), ErrorObject);
    EXPECT_TRUE(d.IsEmpty());
}

TEST(DIBSection, CreateOnReadyObjectReplacesTheOldPixels) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(4, 4));
    std::memset(d.DIBSectionBitsPtr(), 0xAB, d.Header().biSizeImage);
    ASSERT_TRUE(d.Create(2, 3));
    EXPECT_EQ(d.Width(), 2);
    EXPECT_EQ(d.Header().biSizeImage, 24u);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(d.DIBSectionBitsPtr()[i], 0);
    d.ClearUp();
    EXPECT_EQ(d.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(d.Width(), 0);
}

TEST(DIBSection, SavedOneByOneFileIs58BytesExactly) {
    TempDir dir;
    clsDIBSection d;
    ASSERT_TRUE(d.Create(1, 1));
    SetPixel(d, 0, 0, 1, 2, 3);
    ASSERT_TRUE(d.SavePicture((dir / "a.bmp").string()));
    std::vector<uint8_t> b = ReadAll(dir / "a.bmp");
    const std::vector<uint8_t> expected = {
        'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                  // file header
        40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,  // size..compression
        4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    // image size..colours
        1, 2, 3, 0};
    EXPECT_EQ(b, expected);
    EXPECT_EQ(dir.Count(), 1u);  // no temporary file left beside it
}

TEST(DIBSection, SavedFiveByThreeKeepsBottomUpRowsAndPadBytes) {
    TempDir dir;
    clsDIBSection d;
    ASSERT_TRUE(d.Create(5, 3));
    for (uint32_t i = 0; i < 48; ++i) d.DIBSectionBitsPtr()[i] = static_cast<uint8_t>(i * 7 + 1);
    ASSERT_TRUE(d.SavePicture((dir / "b.bmp").string()));
    std::vector<uint8_t> b = ReadAll(dir / "b.bmp");
    ASSERT_EQ(b.size(), 102u);
    EXPECT_EQ(U32(b, 2), 102u);
    EXPECT_EQ(U32(b, 10), 54u);
    EXPECT_EQ(U32(b, 18), 5u);
    EXPECT_EQ(U32(b, 22), 3u);
    EXPECT_EQ(U32(b, 34), 48u);
    EXPECT_TRUE(std::equal(b.begin() + 54, b.end(), d.DIBSectionBitsPtr()));
}

TEST(DIBSection, SaveIntoMissingFolderRaisesError17WithSystemText) {
    TempDir dir;
    clsDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    try {
        d.SavePicture((dir / "missing/x.bmp").string());
        FAIL() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 17);
        EXPECT_EQ(e.Source, "Plenvue.clsDIBSection256");
        EXPECT_EQ(e.Description, std::strerror(ENOENT));
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(DIBSection, SaveOverReadOnlyFileFailsAndKeepsIt) {
    TempDir dir;
    { std::ofstream(dir / "ro.bmp") << "old"; }
    fs::permissions(dir / "ro.bmp", fs::perms::owner_read);
    clsDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    try {
        d.SavePicture((dir / "ro.bmp").string());
        FAIL() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 17);
        EXPECT_EQ(e.Description, std::strerror(EACCES));
    }
    EXPECT_EQ(ReadAll(dir / "ro.bmp").size(), 3u);
    EXPECT_EQ(dir.Count(), 1u);
}

TEST(DIBSection, SaveReplacesAnExistingFile) {
    TempDir dir;
    { std::ofstream(dir / "c.bmp") << std::string(500, 'x'); }
    clsDIBSection d;
    ASSERT_TRUE(d.Create(1, 1));
    ASSERT_TRUE(d.SavePicture((dir / "c.bmp").string()));
    EXPECT_EQ(ReadAll(dir / "c.bmp").size(), 58u);
    EXPECT_EQ(dir.Count(), 1u);
}

TEST(DIBSection, ResampleToSameSizeIsAnExactCopy) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(7, 5));
    for (uint32_t i = 0; i < d.Header().biSizeImage; ++i) d.DIBSectionBitsPtr()[i] = static_cast<uint8_t>(i * 31);
    auto copy = d.Resample(5, 7);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->Width(), 7);
    ASSERT_EQ(copy->Height(), 5);
    EXPECT_EQ(std::memcmp(copy->DIBSectionBitsPtr(), d.DIBSectionBitsPtr(), d.Header().biSizeImage), 0);
}

TEST(DIBSection, ResampleTwoByTwoToFourByFourUsesQuarterStepsAndHalfEven) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    // Blue carries exact halves; green is a general case.
    SetPixel(d, 0, 0, 0, 0, 9);    // memory row 0 ("top" of the rule)
    SetPixel(d, 1, 0, 0, 100, 9);
    SetPixel(d, 0, 1, 1, 200, 9);
    SetPixel(d, 1, 1, 3, 255, 9);
    auto r = d.Resample(4, 4);
    ASSERT_TRUE(r);
    // Row 2: fy = 0.5, left blue = RHE(0.5) = 0, right blue = RHE(1.5) = 2.
    EXPECT_EQ(r->PixelPtr(0, 2)[0], 0);
    EXPECT_EQ(r->PixelPtr(1, 2)[0], 0);  // 0.75*0 + 0.25*2 = 0.5 -> 0
    EXPECT_EQ(r->PixelPtr(2, 2)[0], 1);
    EXPECT_EQ(r->PixelPtr(3, 2)[0], 2);  // 1.5 -> 2
    // Green at (2, 2): left 100, right RHE(177.5) = 178, value 139.
    EXPECT_EQ(r->PixelPtr(2, 2)[1], 139);
    EXPECT_EQ(r->PixelPtr(0, 0)[1], 0);
    // (3, 3): left 150, right RHE(216.25) = 216, value 0.25*150 + 0.75*216 = 199.5 -> 200.
    EXPECT_EQ(r->PixelPtr(3, 3)[1], 200);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(r->PixelPtr(x, y)[2], 9);
}

TEST(DIBSection, ResampleOfSinglePixelStaysInsideTheSource) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(1, 1));
    SetPixel(d, 0, 0, 10, 20, 30);
    auto r = d.Resample(3, 3);
    ASSERT_TRUE(r);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(r->PixelPtr(x, y)[0], 10);
            EXPECT_EQ(r->PixelPtr(x, y)[2], 30);
        }
    EXPECT_FALSE(d.Resample(0, 3));
}

TEST(DIBSection, RandomiseBitsFillsPixelsAndLeavesPadBytes) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(5, 4));
    d.RandomiseBits(true);
    int distinct = 0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const uint8_t* p = d.PixelPtr(x, y);
            EXPECT_EQ(p[0], p[1]);
            EXPECT_EQ(p[1], p[2]);
            distinct += p[0] != d.PixelPtr(0, 0)[0];
        }
        EXPECT_EQ(d.DIBSectionBitsPtr()[y * 16 + 15], 0);
    }
    EXPECT_GT(distinct, 0);
    d.RandomiseBits(false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(d.PixelPtr(x, y)[0], 0);
}
