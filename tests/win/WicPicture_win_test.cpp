#include "image/WicPicture_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/PngWriter.h"
#include "image/clsDIBSection.h"
#include "tests/win/PngTestData.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;
using namespace plenvue::test;

namespace {

}  // namespace

TEST(WicPicture, TransparentPixelsShowTheBackground) {
    std::vector<uint8_t> png = SamplePng();
    Picture pic;
    ASSERT_EQ(DecodePngPicture(png.data(), png.size(), RGB(0, 0, 200), pic), WicResult::Ok);
    EXPECT_EQ(pic.PixelSize().cx, 4);
    EXPECT_EQ(pic.PixelSize().cy, 2);
    EXPECT_EQ(PixelAt(pic, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(pic, 1, 0), RGB(0, 128, 100));  // green at alpha 128 over blue 200
    EXPECT_EQ(PixelAt(pic, 2, 0), RGB(0, 0, 200));    // fully transparent: the background
    EXPECT_EQ(PixelAt(pic, 3, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(pic, 0, 1), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(pic, 3, 1), RGB(150, 150, 150));
    BITMAP bm{};
    ASSERT_EQ(GetObject(pic.Bitmap(), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 24);
}

TEST(WicPicture, OurOwnPngReadsBackPixelForPixel) {
    clsDIBSection dib;
    ASSERT_TRUE(dib.Create(37, 11));
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) {
            uint8_t* p = dib.PixelPtr(x, y);
            p[0] = static_cast<uint8_t>(x * 7);
            p[1] = static_cast<uint8_t>(y * 23);
            p[2] = static_cast<uint8_t>(x * y);
        }
    std::vector<uint8_t> png;
    std::string reason;
    ASSERT_TRUE(EncodePngToMemory(dib, png, reason)) << reason;
    Picture pic;
    ASSERT_EQ(DecodePngPicture(png.data(), png.size(), RGB(1, 2, 3), pic), WicResult::Ok);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) {
            const uint8_t* p = dib.PixelPtr(x, 10 - y);  // DIB rows are bottom-up
            ASSERT_EQ(PixelAt(pic, x, y), RGB(p[2], p[1], p[0])) << x << "," << y;
        }
}

TEST(WicPicture, PalettePngsOfEveryDepthReadBackPixelForPixel) {
    // 2, 4, 16 and 256 colours: the writer packs them at 1, 2, 4 and 8 bits with a palette.
    for (int colours : {2, 3, 16, 256}) {
        clsDIBSection dib;
        ASSERT_TRUE(dib.Create(29, 13));
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 29; ++x) {
                const int k = (x * 5 + y * 3) % colours;
                uint8_t* p = dib.PixelPtr(x, y);
                p[0] = static_cast<uint8_t>(k * 37);
                p[1] = static_cast<uint8_t>(255 - k);
                p[2] = static_cast<uint8_t>(k * 11 + 3);
            }
        std::vector<uint8_t> png;
        std::string reason;
        ASSERT_TRUE(EncodePngToMemory(dib, png, reason)) << reason;
        ASSERT_GT(png.size(), 26u);
        EXPECT_EQ(png[25], 3) << colours << " colours: a palette picture";
        Picture pic;
        ASSERT_EQ(DecodePngPicture(png.data(), png.size(), RGB(1, 2, 3), pic), WicResult::Ok) << colours;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 29; ++x) {
                const uint8_t* p = dib.PixelPtr(x, 12 - y);
                ASSERT_EQ(PixelAt(pic, x, y), RGB(p[2], p[1], p[0])) << colours << " colours at " << x << "," << y;
            }
    }
}

TEST(WicPicture, HostileDataIsRefusedAndLeavesThePictureAlone) {
    Picture pic = SolidPicture(3, 3, RGB(9, 9, 9));
    const HBITMAP before = pic.Bitmap();
    int index = 0;
    for (const std::vector<uint8_t>& bad : HostilePngs()) {
        WicResult r = DecodePngPicture(bad.data(), bad.size(), RGB(0, 0, 0), pic);
        EXPECT_NE(r, WicResult::Ok) << "hostile sample " << index;
        EXPECT_EQ(pic.Bitmap(), before) << "hostile sample " << index;
        ++index;
    }
    const uint8_t bmp[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(DecodePngPicture(bmp, sizeof bmp, 0, pic), WicResult::NotPicture);
    EXPECT_EQ(DecodePngPicture(nullptr, 0, 0, pic), WicResult::NotPicture);
    EXPECT_EQ(pic.Bitmap(), before);
}
