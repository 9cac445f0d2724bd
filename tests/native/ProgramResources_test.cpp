// Checks the generated files in res/ against what the program expects when it loads
// them: the toolbar strip layout, the banner size and the saving sound's format.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// PLENVUE_TEST_DATA is "<source>/tests/data"; that folder need not exist, so go up by text.
std::string SourceDir() {
    std::string dir = PLENVUE_TEST_DATA;
    return dir.substr(0, dir.rfind("/tests/data"));
}

const std::string kResDir = SourceDir() + "/res/";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

uint32_t U32(const std::string& b, size_t off) {
    return static_cast<uint8_t>(b[off]) | static_cast<uint8_t>(b[off + 1]) << 8 |
           static_cast<uint8_t>(b[off + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[off + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t off) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[off]) | static_cast<uint8_t>(b[off + 1]) << 8);
}

struct Bmp {
    int32_t width = 0, height = 0;
    uint16_t bits = 0;
    std::string data;
    // Top-down pixel access in B, G, R order.
    uint32_t Rgb(int x, int y) const {
        size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        size_t off = U32(data, 10) + row * static_cast<size_t>(height - 1 - y) + 3 * static_cast<size_t>(x);
        return static_cast<uint32_t>(static_cast<uint8_t>(data[off + 2])) << 16 |
               static_cast<uint8_t>(data[off + 1]) << 8 | static_cast<uint8_t>(data[off]);
    }
};

Bmp ReadBmp(const std::string& name) {
    Bmp bmp;
    bmp.data = ReadFile(kResDir + name);
    EXPECT_GE(bmp.data.size(), 54u) << name;
    if (bmp.data.size() < 54 || bmp.data.compare(0, 2, "BM") != 0) return bmp;
    bmp.width = static_cast<int32_t>(U32(bmp.data, 18));
    bmp.height = static_cast<int32_t>(U32(bmp.data, 22));
    bmp.bits = U16(bmp.data, 28);
    size_t row = (static_cast<size_t>(bmp.width) * 3 + 3) & ~size_t{3};
    EXPECT_EQ(bmp.data.size(), U32(bmp.data, 10) + row * static_cast<size_t>(bmp.height)) << name;
    return bmp;
}

TEST(ProgramResources, ToolbarStripHoldsSeventeenImagesOnMagenta) {
    Bmp bmp = ReadBmp("ToolBar.bmp");
    ASSERT_EQ(bmp.width, 272);
    ASSERT_EQ(bmp.height, 16);
    ASSERT_EQ(bmp.bits, 24);
    // Each image draws something and leaves some transparent background.
    for (int i = 0; i < 17; ++i) {
        int magenta = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) magenta += bmp.Rgb(16 * i + x, y) == 0xFF00FF;
        EXPECT_GT(magenta, 0) << "image " << i;
        EXPECT_LT(magenta, 200) << "image " << i;
    }
}

// The strips for 150 and 200 % scaling: the same seventeen images, each drawn again at its size
// rather than the small strip enlarged pixel by pixel (which would look blocky).
TEST(ProgramResources, LargerToolbarStripsAreDrawnAtTheirOwnSize) {
    Bmp small = ReadBmp("ToolBar.bmp");
    ASSERT_EQ(small.width, 272);
    for (int size : {24, 32}) {
        Bmp bmp = ReadBmp("ToolBar" + std::to_string(size) + ".bmp");
        ASSERT_EQ(bmp.width, 17 * size) << size;
        ASSERT_EQ(bmp.height, size) << size;
        ASSERT_EQ(bmp.bits, 24) << size;
        int redrawn = 0;
        for (int i = 0; i < 17; ++i) {
            int magenta = 0, unlikeEnlarged = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    uint32_t c = bmp.Rgb(size * i + x, y);
                    magenta += c == 0xFF00FF;
                    unlikeEnlarged += c != small.Rgb(16 * i + x * 16 / size, y * 16 / size);
                }
            }
            EXPECT_GT(magenta, 0) << size << " image " << i;
            EXPECT_LT(magenta, size * size * 200 / 256) << size << " image " << i;
            redrawn += unlikeEnlarged > size;
        }
        EXPECT_GE(redrawn, 12) << size;
    }
}

TEST(ProgramResources, AboutBitmapsHaveTheirSizes) {
    Bmp banner = ReadBmp("Banner.bmp");
    EXPECT_EQ(banner.width, 225);
    EXPECT_EQ(banner.height, 60);
    EXPECT_EQ(banner.bits, 24);
    Bmp icon = ReadBmp("Icon.bmp");
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.height, 32);
    EXPECT_EQ(icon.bits, 24);
}

TEST(ProgramResources, BeepIsShortEightBitMonoPcm) {
    std::string wav = ReadFile(kResDir + "Beep.wav");
    ASSERT_EQ(wav.size(), 8832u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(wav, 4), 8832u - 8);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U16(wav, 20), 1);       // PCM
    EXPECT_EQ(U16(wav, 22), 1);       // mono
    EXPECT_EQ(U32(wav, 24), 11025u);  // samples per second
    EXPECT_EQ(U16(wav, 34), 8);       // bits per sample
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(U32(wav, 40), 8788u);
}

TEST(ProgramResources, IconFileHoldsSixteenAndThirtyTwo) {
    std::string ico = ReadFile(kResDir + "Plenvue.ico");
    ASSERT_GE(ico.size(), 6u + 2 * 16);
    EXPECT_EQ(U16(ico, 2), 1);
    ASSERT_EQ(U16(ico, 4), 2);
    EXPECT_EQ(static_cast<uint8_t>(ico[6]), 16);
    EXPECT_EQ(static_cast<uint8_t>(ico[6 + 16]), 32);
    for (int i = 0; i < 2; ++i) {
        size_t entry = 6 + 16 * static_cast<size_t>(i);
        EXPECT_LE(static_cast<size_t>(U32(ico, entry + 12)) + U32(ico, entry + 8), ico.size());
    }
}

}  // namespace
