#include "image/ImageFileReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "image/clsDIBSection.h"
#include "image/modIntelJPEGLibrary.h"

#include "image/PngWriter.h"
#include "tests/support/TempFolder.h"

using namespace plenvue;

namespace {

void Paint(clsDIBSection& d, int w, int h) {
    ASSERT_TRUE(d.Create(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = d.PixelPtr(x, y);
            p[0] = static_cast<uint8_t>(x * 7);
            p[1] = static_cast<uint8_t>(y * 5);
            p[2] = static_cast<uint8_t>(x + y);
        }
}

std::vector<uint8_t> ReadAll(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

void WriteAll(const std::string& p, const std::vector<uint8_t>& bytes) {
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool SamePixels(const clsDIBSection& a, const clsDIBSection& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.PixelPtr(0, y), b.PixelPtr(0, y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
    return true;
}

}  // namespace

TEST(ImageFileReader, BmpRowsReadInPlaceBottomUpAndTopDown) {
    plenvue::test::TempFolder dir("reader");
    for (int w : {1, 5, 64}) {
        clsDIBSection d;
        Paint(d, w, 9);
        ASSERT_TRUE(d.SavePicture(dir / "a.bmp"));
        clsDIBSection back;
        std::string error;
        ASSERT_TRUE(ReadImageWithStb(dir / "a.bmp", back, error)) << error;
        EXPECT_TRUE(SamePixels(d, back)) << w;

        // The same rows stored top first, as a negative height says.
        std::vector<uint8_t> file = ReadAll(dir / "a.bmp");
        const size_t stride = static_cast<size_t>(d.BytesPerScanLine());
        std::vector<uint8_t> flipped(file.begin(), file.begin() + 54);
        for (int row = 8; row >= 0; --row)
            flipped.insert(flipped.end(), file.begin() + 54 + static_cast<ptrdiff_t>(row * stride),
                           file.begin() + 54 + static_cast<ptrdiff_t>((row + 1) * stride));
        const int32_t negative = -9;
        std::memcpy(&flipped[22], &negative, 4);
        WriteAll(dir / "t.bmp", flipped);
        ASSERT_TRUE(ReadImageWithStb(dir / "t.bmp", back, error)) << error;
        EXPECT_TRUE(SamePixels(d, back)) << w;
    }
}

TEST(ImageFileReader, CutOrHostileFilesFailWithAReason) {
    plenvue::test::TempFolder dir("reader");
    clsDIBSection d;
    Paint(d, 30, 20);
    ASSERT_TRUE(d.SavePicture(dir / "a.bmp"));
    std::vector<uint8_t> bmp = ReadAll(dir / "a.bmp");
    bmp.resize(bmp.size() - 100);
    WriteAll(dir / "cut.bmp", bmp);
    // A header claiming 65500 x 65500 pixels in a file of a few bytes asks for nothing.
    std::vector<uint8_t> huge = ReadAll(dir / "a.bmp");
    const int32_t big = 65500;
    std::memcpy(&huge[18], &big, 4);
    std::memcpy(&huge[22], &big, 4);
    WriteAll(dir / "huge.bmp", huge);
    ASSERT_TRUE(SaveJPEG(d, dir / "a.jpg", 90));
    std::vector<uint8_t> jpg = ReadAll(dir / "a.jpg");
    WriteAll(dir / "head.jpg", std::vector<uint8_t>(jpg.begin(), jpg.begin() + 40));
    std::vector<uint8_t> wide = jpg;
    for (size_t i = 0; i + 9 < wide.size(); ++i)
        if (wide[i] == 0xFF && wide[i + 1] == 0xC0) {  // frame header: height, then width
            wide[i + 5] = wide[i + 6] = wide[i + 7] = wide[i + 8] = 0xFF;
            break;
        }
    WriteAll(dir / "wide.jpg", wide);
    // A PNG of four pixels whose IDAT says it is 2 GB long: refused before the decoder sizes a
    // buffer by it (found by the fuzzer), as is one without its IEND.
    std::vector<uint8_t> png;
    std::string reason;
    ASSERT_TRUE(EncodePngToMemory(d, png, reason));
    std::vector<uint8_t> longChunk = png;
    for (size_t i = 8; i + 8 < longChunk.size(); ++i)
        if (std::memcmp(&longChunk[i + 4], "IDAT", 4) == 0) {
            longChunk[i] = 0x7F;
            break;
        }
    WriteAll(dir / "long.png", longChunk);
    WriteAll(dir / "noend.png", std::vector<uint8_t>(png.begin(), png.end() - 12));
    for (const char* name : {"cut.bmp", "huge.bmp", "head.jpg", "wide.jpg", "missing.png", "long.png", "noend.png"}) {
        clsDIBSection back;
        std::string error;
        EXPECT_FALSE(ReadImageWithStb(dir / name, back, error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_TRUE(back.IsEmpty()) << name;
    }
}

TEST(ImageFileReader, JpegDecodesCloseToTheWrittenPixels) {
    plenvue::test::TempFolder dir("reader");
    clsDIBSection d;
    Paint(d, 48, 32);
    for (int quality : {90, 95}) {  // chroma subsampled, and not
        ASSERT_TRUE(SaveJPEG(d, dir / "a.jpg", quality));
        clsDIBSection back;
        std::string error;
        ASSERT_TRUE(ReadImageWithStb(dir / "a.jpg", back, error)) << error;
        ASSERT_EQ(back.Width(), 48);
        ASSERT_EQ(back.Height(), 32);
        long total = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48 * 3; ++x) total += std::abs(d.PixelPtr(0, y)[x] - back.PixelPtr(0, y)[x]);
        EXPECT_LT(total / (48.0 * 32 * 3), 4.0) << quality;
    }
}
