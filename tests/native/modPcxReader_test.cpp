#include "image/modPcxReader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "image/clsDIBSection.h"

using namespace plenvue;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Header(int bits, int planes, int w, int h, int bytesPerLine, int xMin = 0, int yMin = 0) {
    Bytes b(128, 0);
    auto put16 = [&b](size_t at, int v) {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    b[0] = 10;
    b[1] = 5;
    b[2] = 1;
    b[3] = static_cast<uint8_t>(bits);
    put16(4, xMin);
    put16(6, yMin);
    put16(8, xMin + w - 1);
    put16(10, yMin + h - 1);
    b[65] = static_cast<uint8_t>(planes);
    put16(66, bytesPerLine);
    return b;
}

// A 256-colour file: header, encoded data, marker and a palette where entry i is (i, 255-i, 7).
Bytes File256(int w, int h, int bytesPerLine, const Bytes& data, uint8_t marker = 12) {
    Bytes f = Header(8, 1, w, h, bytesPerLine);
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(marker);
    for (int i = 0; i < 256; ++i) {
        f.push_back(static_cast<uint8_t>(i));
        f.push_back(static_cast<uint8_t>(255 - i));
        f.push_back(7);
    }
    return f;
}

Bytes File24(int w, int h, int bytesPerLine, const Bytes& data) {
    Bytes f = Header(8, 3, w, h, bytesPerLine);
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

PcxResult Decode(const Bytes& f) { return DecodePcx(f.data(), f.size()); }

Bytes Row(const PcxImage& img, int row) {
    auto begin = img.pixels.begin() + row * img.stride;
    return Bytes(begin, begin + img.stride);
}

}  // namespace

TEST(PcxReader, PaletteImageDropsPaddingByteOfEachLine) {
    PcxResult r = Decode(File256(3, 2, 4, {1, 2, 3, 99, 4, 5, 6, 98}));
    ASSERT_EQ(r.status, PcxStatus::Ok) << r.reason;
    EXPECT_EQ(r.image.width, 3);
    EXPECT_EQ(r.image.height, 2);
    EXPECT_EQ(r.image.stride, 4);
    EXPECT_EQ(Row(r.image, 0), (Bytes{1, 2, 3, 0}));
    EXPECT_EQ(Row(r.image, 1), (Bytes{4, 5, 6, 0}));
    EXPECT_EQ(r.image.palette[3 * 200 + 1], 55);
}

TEST(PcxReader, RunByteRepeatsTheFollowingByte) {
    PcxResult r = Decode(File256(3, 1, 4, {0xC3, 0x07, 0x00}));
    ASSERT_EQ(r.status, PcxStatus::Ok) << r.reason;
    EXPECT_EQ(Row(r.image, 0), (Bytes{7, 7, 7, 0}));
}

TEST(PcxReader, RunCrossingLineEndIsCutAtWidth) {
    // Row 0: a run of 5 from x = 0 would pass the line length 4: cut to 3, then one padding byte.
    PcxResult r = Decode(File256(3, 2, 4, {0xC5, 0x09, 0x55, 1, 2, 3, 4}));
    ASSERT_EQ(r.status, PcxStatus::Ok) << r.reason;
    EXPECT_EQ(Row(r.image, 0), (Bytes{9, 9, 9, 0}));
    EXPECT_EQ(Row(r.image, 1), (Bytes{1, 2, 3, 0}));
}

TEST(PcxReader, CutRunStartingInPaddingEndsTheLine) {
    // Guards against an endless loop: at x = 3 a run of 2 is cut to 3 - 3 = 0 bytes.
    PcxResult r = Decode(File256(3, 2, 4, {1, 2, 3, 0xC2, 0x08, 4, 5, 6, 0}));
    ASSERT_EQ(r.status, PcxStatus::Ok) << r.reason;
    EXPECT_EQ(Row(r.image, 0), (Bytes{1, 2, 3, 0}));
    EXPECT_EQ(Row(r.image, 1), (Bytes{4, 5, 6, 0}));
}

TEST(PcxReader, RefusesOtherKindsWithTheirStatus) {
    Bytes sixteen = Header(1, 4, 8, 8, 1);
    sixteen.resize(2000, 0);
    EXPECT_EQ(Decode(sixteen).status, PcxStatus::NotEightBits);
    Bytes twoPlanes = Header(8, 2, 8, 8, 8);
    twoPlanes.resize(2000, 0);
    EXPECT_EQ(Decode(twoPlanes).status, PcxStatus::UnsupportedPlanes);
    EXPECT_EQ(Decode(File256(3, 1, 4, {1, 2, 3, 4}, 11)).status, PcxStatus::NoPalette);
}

TEST(PcxReader, MalformedFilesGiveErrorsWithReasons) {
    struct Case {
        Bytes file;
        int32_t number;
    };
    Bytes shortPalette = Header(8, 1, 1, 1, 2);
    shortPalette.resize(128 + 700, 12);
    Bytes backwards = File256(3, 1, 4, {1, 2, 3, 4});
    backwards[8] = 0;
    backwards[4] = 5;  // x max 0 < x min 5
    const Case cases[] = {
        {Bytes(100, 0), kErrPcxPastEndOfFile},
        {shortPalette, kErrPcxPastEndOfFile},
        {File256(3, 2, 4, {1, 2, 3, 4, 5}), kErrPcxPastEndOfFile},   // data end mid-image
        {File256(3, 1, 4, {1, 2, 3, 0xC1}), kErrPcxPastEndOfFile},   // run without its value
        {File256(3, 1, 2, {1, 2}), kErrPcxSubscript},                // bytes per line < width
        {backwards, kErrPcxSubscript},
        {File256(30000, 1, 30000, {}, 12), kErrPcxPastEndOfFile},    // far more pixels than data
        {File24(2, 2, 2, {0xCD, 5}), kErrPcxSubscript},              // 13 bytes into 12
        {File24(2, 2, 2, {0xC5, 5}), kErrPcxPastEndOfFile},
        {File24(2, 1, 20000, {}), kErrPcxOverflow},                  // 3 x 20000 overflows 16 bits
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        PcxResult r = Decode(cases[i].file);
        EXPECT_EQ(r.status, PcxStatus::Corrupt) << i;
        EXPECT_EQ(r.errorNumber, cases[i].number) << i << " " << r.reason;
        EXPECT_FALSE(r.reason.empty()) << i;
    }
    Bytes wide = Header(8, 1, 1, 1, 2, -32768);
    wide[8] = 0xFF;
    wide[9] = 0x7F;  // x max 32767: width 65536
    wide.resize(2000, 12);
    EXPECT_EQ(Decode(wide).errorNumber, kErrPcxOverflow);
}

TEST(PcxReader, TrueColourReadsPlanesOfEachLine) {
    // Width 5, bytes per line 6: each line is red, green, blue planes of 6 bytes.
    Bytes data;
    for (int line = 0; line < 2; ++line)
        for (int plane = 0; plane < 3; ++plane)
            for (int k = 0; k < 6; ++k) data.push_back(static_cast<uint8_t>(line * 100 + plane * 30 + k));
    PcxResult r = Decode(File24(5, 2, 6, data));
    ASSERT_EQ(r.status, PcxStatus::Ok) << r.reason;
    EXPECT_EQ(r.image.width, 5);
    EXPECT_EQ(r.image.stride, 20);
    const uint8_t* px = &r.image.pixels[20 + 4 * 4];  // row 1, column 4
    EXPECT_EQ(px[0], 100 + 60 + 4);  // blue
    EXPECT_EQ(px[1], 100 + 30 + 4);  // green
    EXPECT_EQ(px[2], 100 + 4);       // red
    EXPECT_EQ(px[3], 0);
}

TEST(PcxReader, TrueColourRunsAreNotBoundedByLines) {
    PcxResult r = Decode(File24(2, 2, 2, {0xCC, 0x05}));
    ASSERT_EQ(r.status, PcxStatus::Ok) << r.reason;
    for (size_t i = 0; i < r.image.pixels.size(); ++i) EXPECT_EQ(r.image.pixels[i], i % 4 == 3 ? 0 : 5);
}

TEST(PcxReader, ConvertsToBottomUpDibThroughThePalette) {
    PcxResult r = Decode(File256(2, 2, 2, {10, 20, 30, 40}));
    ASSERT_EQ(r.status, PcxStatus::Ok);
    clsDIBSection dib;
    ASSERT_TRUE(PcxToDib(r.image, dib));
    const uint8_t* topLeft = dib.PixelPtr(0, 1);  // top row is the last in memory
    EXPECT_EQ(topLeft[2], 10);
    EXPECT_EQ(topLeft[1], 245);
    EXPECT_EQ(topLeft[0], 7);
    EXPECT_EQ(dib.PixelPtr(1, 0)[2], 40);
}

namespace {

class PcxImageMagickFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(std::system("command -v convert >/dev/null 2>&1"), 0)
            << "ImageMagick's convert is not installed (the install step of ./plenvue provides it)";
        dir_ = fs::temp_directory_path() / ("plenvue-pcx-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // Makes a PCX with ImageMagick and the raw RGB that ImageMagick reads back from it.
    void Make(const std::string& args, Bytes& pcx, Bytes& rgb) {
        fs::path p = dir_ / "t.pcx", raw = dir_ / "t.rgb";
        std::string cmd = "convert " + args + " pcx:" + p.string() + " && convert " + p.string() +
                          " -depth 8 rgb:" + raw.string();
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        std::ifstream a(p, std::ios::binary), b(raw, std::ios::binary);
        pcx.assign(std::istreambuf_iterator<char>(a), {});
        rgb.assign(std::istreambuf_iterator<char>(b), {});
    }
    void ExpectSamePixels(const Bytes& pcx, const Bytes& rgb, int w, int h, int planes) {
        PcxResult r = DecodePcx(pcx.data(), pcx.size());
        ASSERT_EQ(r.status, PcxStatus::Ok) << r.reason;
        ASSERT_EQ(r.image.planes, planes);
        clsDIBSection dib;
        ASSERT_TRUE(PcxToDib(r.image, dib));
        ASSERT_EQ(dib.Width(), w);
        ASSERT_EQ(dib.Height(), h);
        ASSERT_EQ(rgb.size(), static_cast<size_t>(w * h * 3));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = dib.PixelPtr(x, h - 1 - y);
                const uint8_t* q = &rgb[3 * (y * w + x)];
                ASSERT_TRUE(p[2] == q[0] && p[1] == q[1] && p[0] == q[2]) << x << "," << y;
            }
    }
    fs::path dir_;
};

}  // namespace

TEST_F(PcxImageMagickFiles, PaletteFileDecodesLikeImageMagick) {
    Bytes pcx, rgb;
    Make("-size 37x11 gradient:red-blue -type palette", pcx, rgb);
    ExpectSamePixels(pcx, rgb, 37, 11, 1);
}

TEST_F(PcxImageMagickFiles, TrueColourFileDecodesLikeImageMagick) {
    Bytes pcx, rgb;
    Make("-size 29x13 plasma:fractal -seed 3 -type truecolor", pcx, rgb);
    ExpectSamePixels(pcx, rgb, 29, 13, 3);
    Make("-size 70x3 xc:navy -fill yellow -draw \"point 5,1\" -type truecolor", pcx, rgb);
    ExpectSamePixels(pcx, rgb, 70, 3, 3);
}

namespace {

// Reference encoder: each line (each plane of a line) encoded on its own, as common writers do.
void EncodeLine(const uint8_t* line, int n, Bytes& out) {
    for (int i = 0; i < n;) {
        int run = 1;
        while (i + run < n && run < 63 && line[i + run] == line[i]) ++run;
        if (run > 1 || line[i] >= 0xC0) {
            out.push_back(static_cast<uint8_t>(0xC0 | run));
            out.push_back(line[i]);
        } else {
            out.push_back(line[i]);
        }
        i += run;
    }
}

}  // namespace

TEST(PcxReader, RandomImagesSurviveEncodeAndDecode) {
    srand(12345);
    for (int round = 0; round < 40; ++round) {
        const int w = 1 + rand() % 70, h = 1 + rand() % 9, bpl = w + rand() % 3;
        const int planes = round % 2 ? 3 : 1;
        const int levels = 1 + rand() % 256;  // few levels give long runs
        std::vector<Bytes> lines(h * planes, Bytes(bpl));
        for (Bytes& l : lines)
            for (uint8_t& b : l) b = static_cast<uint8_t>(rand() % levels);
        Bytes data;
        for (const Bytes& l : lines) EncodeLine(l.data(), bpl, data);
        PcxResult r = Decode(planes == 1 ? File256(w, h, bpl, data) : File24(w, h, bpl, data));
        ASSERT_EQ(r.status, PcxStatus::Ok) << round << " " << r.reason;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                if (planes == 1) {
                    ASSERT_EQ(r.image.pixels[y * r.image.stride + x], lines[y][x]) << round;
                } else {
                    const uint8_t* px = &r.image.pixels[y * r.image.stride + 4 * x];
                    ASSERT_EQ(px[2], lines[3 * y][x]) << round;
                    ASSERT_EQ(px[1], lines[3 * y + 1][x]) << round;
                    ASSERT_EQ(px[0], lines[3 * y + 2][x]) << round;
                }
            }
    }
}
