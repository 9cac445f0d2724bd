#include "image/PngWriter.h"
#include "tests/support/PngLayoutCheck.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "image/SafeFile.h"
#include "image/clsDIBSection.h"
#include "image/modIntelJPEGLibrary.h"
#include "base/ErrorObject.h"

#include "tests/support/TempFolder.h"

using namespace plenvue;
namespace fs = std::filesystem;

namespace {

enum class Content { Noise, Flat, Ramp };

// Pad bytes get garbage that must never reach the file.
void Paint(clsDIBSection& d, int w, int h, Content content, uint32_t seed = 1) {
    ASSERT_TRUE(d.Create(w, h));
    std::memset(d.DIBSectionBitsPtr(), 0xEE, d.Header().biSizeImage);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = d.PixelPtr(x, y);
            for (int c = 0; c < 3; ++c) {
                switch (content) {
                    case Content::Noise: p[c] = static_cast<uint8_t>(rng()); break;
                    case Content::Flat: p[c] = static_cast<uint8_t>(x < w / 2 ? 40 + 50 * c : 200); break;
                    case Content::Ramp: p[c] = static_cast<uint8_t>(x * (c + 1) + y * 3); break;
                }
            }
        }
}

// The decoder is stb_image's, which shares nothing with the writer.
void ExpectDecodesTo(const std::vector<uint8_t>& png, const clsDIBSection& d) {
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgb = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 3);
    ASSERT_NE(rgb, nullptr) << stbi_failure_reason();
    ASSERT_EQ(w, d.Width());
    ASSERT_EQ(h, d.Height());
    EXPECT_EQ(channels, 3);
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* want = d.PixelPtr(x, h - 1 - y);
            const stbi_uc* got = rgb + (static_cast<size_t>(y) * w + x) * 3;
            if (got[0] != want[2] || got[1] != want[1] || got[2] != want[0]) ++wrong;
        }
    stbi_image_free(rgb);
    EXPECT_EQ(wrong, 0) << "pixels differ in a " << w << "x" << h << " picture";
}

struct VectorSink : PngSink {
    std::vector<uint8_t> bytes;
    bool Put(const uint8_t* data, size_t count) override {
        bytes.insert(bytes.end(), data, data + count);
        return true;
    }
};

std::vector<uint8_t> Encode(const clsDIBSection& d, PngFilter filter = PngFilter::Adaptive) {
    VectorSink sink;
    std::string reason;
    EXPECT_EQ(EncodePng(d.DIBSectionBitsPtr(), d.Width(), d.Height(), static_cast<size_t>(d.BytesPerScanLine()), sink,
                        reason, filter),
              0)
        << reason;
    return sink.bytes;
}

uint32_t BE32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Bitwise CRC-32 of the format, kept apart from zlib's table-driven one.
uint32_t Crc(const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// Splits a file into chunks, checking the signature, each length against the file and each CRC.
std::vector<Chunk> Chunks(const std::vector<uint8_t>& png) {
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<Chunk> out;
    if (png.size() < 8 || std::memcmp(png.data(), sig, 8) != 0) {
        ADD_FAILURE() << "no PNG signature";
        return out;
    }
    size_t at = 8;
    while (at < png.size()) {
        if (png.size() - at < 12) {
            ADD_FAILURE() << "cut chunk at " << at;
            return out;
        }
        const uint32_t length = BE32(&png[at]);
        if (length > png.size() - at - 12) {
            ADD_FAILURE() << "chunk length beyond the file at " << at;
            return out;
        }
        Chunk c{std::string(png.begin() + at + 4, png.begin() + at + 8),
                std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length)};
        EXPECT_EQ(BE32(&png[at + 8 + length]), Crc(&png[at + 4], 4 + length)) << "CRC of " << c.type;
        out.push_back(std::move(c));
        at += 12 + length;
    }
    return out;
}

// The filter byte of every row, from the inflated image data.
std::vector<int> RowFilters(const std::vector<uint8_t>& png, int w, int h) {
    std::vector<uint8_t> idat;
    for (const Chunk& c : Chunks(png))
        if (c.type == "IDAT") idat.insert(idat.end(), c.data.begin(), c.data.end());
    int len = 0;
    char* raw = stbi_zlib_decode_malloc(reinterpret_cast<const char*>(idat.data()), static_cast<int>(idat.size()), &len);
    std::vector<int> filters;
    if (!raw) {
        ADD_FAILURE() << "image data does not inflate";
        return filters;
    }
    const size_t rowBytes = 1 + 3 * static_cast<size_t>(w);
    EXPECT_EQ(static_cast<size_t>(len), rowBytes * h);
    for (int y = 0; y < h && static_cast<size_t>(y + 1) * rowBytes <= static_cast<size_t>(len); ++y)
        filters.push_back(static_cast<uint8_t>(raw[y * rowBytes]));
    free(raw);
    return filters;
}

class PngFile : public ::testing::Test {
protected:
    void TearDown() override { SetFileSystem(nullptr); }
    std::string Path(const char* name) const { return dir_ / name; }
    size_t Count() const { return dir_.Count(); }
    plenvue::test::TempFolder dir_{"png"};
};

std::vector<uint8_t> ReadAll(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// The portable operations, but the replacement file takes only `budget` bytes, as on a disk that
// fills up part-way.
class FullDisk : public FileSystemOps {
public:
    explicit FullDisk(uint32_t budget) : base_(FileSystem()), budget_(budget) {}
    bool CheckReplaceable(const std::string& target, FileFailure& failure) override {
        return base_.CheckReplaceable(target, failure);
    }
    std::unique_ptr<ReplacementFile> CreateBeside(const std::string& target, FileFailure& failure) override {
        auto inner = base_.CreateBeside(target, failure);
        if (!inner) return nullptr;
        return std::make_unique<File>(std::move(inner), budget_);
    }

private:
    class File : public ReplacementFile {
    public:
        File(std::unique_ptr<ReplacementFile> inner, uint32_t budget) : inner_(std::move(inner)), left_(budget) {}
        bool Write(const void* data, uint32_t count, uint32_t& written) override {
            const uint32_t part = count < left_ ? count : left_;
            if (!inner_->Write(data, part, written)) return false;
            left_ -= written;
            return written == count;
        }
        bool Commit(bool keepOldStamp, FileFailure& failure) override { return inner_->Commit(keepOldStamp, failure); }

    private:
        std::unique_ptr<ReplacementFile> inner_;
        uint32_t left_;
    };
    FileSystemOps& base_;
    uint32_t budget_;
};

}  // namespace

// Writes the file into a temporary folder and runs pngcheck on it: true when it finds no fault.
bool PassesPngcheck(const std::vector<uint8_t>& png, const std::string& path) {
    {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    const std::string command = "pngcheck -q '" + path + "' >/dev/null 2>&1";
    const int rc = std::system(command.c_str());
    EXPECT_NE(rc, 127 << 8) << "pngcheck is not installed";
    return rc == 0;
}

// `colours` colours spread over the picture in runs of irregular length, pad bytes garbage.
void PaintColours(clsDIBSection& d, int w, int h, int colours, uint32_t seed = 3) {
    ASSERT_TRUE(d.Create(w, h));
    std::memset(d.DIBSectionBitsPtr(), 0xEE, d.Header().biSizeImage);
    std::mt19937 rng(seed);
    int i = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // The first pixels show every colour once; the rest pick at random in short runs.
            if (y * w + x >= colours && rng() % 3 == 0) i = static_cast<int>(rng() % colours);
            else if (y * w + x < colours) i = y * w + x;
            uint8_t* p = d.PixelPtr(x, y);
            p[0] = static_cast<uint8_t>(i * 37);
            p[1] = static_cast<uint8_t>(i * 11 + 5);
            p[2] = static_cast<uint8_t>(i >> 1);
        }
}

TEST(PngWriter, EverySizeAndFilterDecodesPixelForPixel) {
    const int sizes[][2] = {{1, 1}, {2, 1}, {1, 2}, {3, 3}, {5, 7}, {17, 4}, {64, 33}, {101, 13}};
    const PngFilter filters[] = {PngFilter::None, PngFilter::Sub,   PngFilter::Up,
                                 PngFilter::Average, PngFilter::Paeth, PngFilter::Adaptive};
    for (const auto& s : sizes)
        for (Content content : {Content::Noise, Content::Flat, Content::Ramp})
            for (PngFilter f : filters) {
                SCOPED_TRACE(testing::Message() << s[0] << "x" << s[1] << " content " << int(content) << " filter "
                                                << int(f));
                clsDIBSection d;
                Paint(d, s[0], s[1], content);
                const std::vector<uint8_t> png = Encode(d, f);
                ExpectDecodesTo(png, d);
                if (f != PngFilter::Adaptive) {
                    const std::vector<int> rows = RowFilters(png, s[0], s[1]);
                    EXPECT_EQ(rows, std::vector<int>(s[1], static_cast<int>(f)));
                }
            }
}

TEST(PngWriter, ChunksAreHeaderDataEndWithValidCrcs) {
    clsDIBSection d;
    Paint(d, 700, 500, Content::Noise);  // well over one IDAT chunk of compressed data
    const std::vector<uint8_t> png = Encode(d);
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_GE(chunks.size(), 4u);
    EXPECT_EQ(chunks.front().type, "IHDR");
    const std::vector<uint8_t> ihdr = {0, 0, 0x02, 0xBC, 0, 0, 0x01, 0xF4, 8, 2, 0, 0, 0};
    EXPECT_EQ(chunks.front().data, ihdr);
    EXPECT_EQ(chunks.back().type, "IEND");
    EXPECT_TRUE(chunks.back().data.empty());
    for (size_t i = 1; i + 1 < chunks.size(); ++i) EXPECT_EQ(chunks[i].type, "IDAT") << i;
    ExpectDecodesTo(png, d);
}

TEST(PngWriter, FlatRowsStayUnfilteredAndSmoothRowsArePredicted) {
    // Pairs of equal pixels in 300 colours: flat rows, but too many colours for a palette.
    clsDIBSection flat, ramp;
    ASSERT_TRUE(flat.Create(600, 6));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 600; ++x) {
            uint8_t* p = flat.PixelPtr(x, y);
            p[0] = static_cast<uint8_t>(x / 2);
            p[1] = static_cast<uint8_t>(x / 2 >= 256);
            p[2] = 9;
        }
    Paint(ramp, 300, 6, Content::Ramp);
    EXPECT_EQ(RowFilters(Encode(flat), 600, 6), std::vector<int>(6, 0));
    for (int f : RowFilters(Encode(ramp), 300, 6)) EXPECT_NE(f, 0);
}

TEST(PngWriter, MixedScreenAndPhotoAcrossManyBatchesDecodes) {
    // Bands of flat and noisy rows switch the compressor's settings several times in one stream.
    clsDIBSection d;
    Paint(d, 500, 600, Content::Noise, 9);
    for (int y = 0; y < 600; ++y)
        if ((y / 150) % 2)
            for (int x = 0; x < 500; ++x) std::memset(d.PixelPtr(x, y), x < 250 ? 0x30 : 0xF0, 3);
    ExpectDecodesTo(Encode(d), d);
}

TEST(PngWriter, RefusingSinkStopsWithWriteFailure) {
    clsDIBSection d;
    Paint(d, 300, 300, Content::Noise);
    const size_t whole = Encode(d).size();
    for (size_t limit : {size_t(0), size_t(8), size_t(30), whole / 2, whole - 4}) {
        struct Limited : PngSink {
            size_t left;
            bool Put(const uint8_t*, size_t count) override {
                if (count > left) return false;
                left -= count;
                return true;
            }
        } sink;
        sink.left = limit;
        std::string reason;
        EXPECT_EQ(EncodePng(d.DIBSectionBitsPtr(), 300, 300, static_cast<size_t>(d.BytesPerScanLine()), sink, reason),
                  kPngCodeWriteFailed)
            << limit;
        EXPECT_FALSE(reason.empty());
    }
}

TEST(PngWriter, ImpossibleSizesFailWithoutTouchingPixels) {
    VectorSink sink;
    std::string reason;
    uint8_t pixel[3] = {};
    EXPECT_EQ(EncodePng(nullptr, 4, 4, 12, sink, reason), kPngCodeNoImage);
    EXPECT_EQ(EncodePng(pixel, 0, 1, 4, sink, reason), kPngCodeNoImage);
    EXPECT_EQ(EncodePng(pixel, 1, -1, 4, sink, reason), kPngCodeNoImage);
    // Rows of 3 x 2^31 bytes exceed what deflate takes in one piece; nothing is read.
    EXPECT_EQ(EncodePng(pixel, INT32_MAX, 1, SIZE_MAX, sink, reason), kPngCodeTooLarge);
    // A stride shorter than a row, and rows whose addresses would wrap around.
    EXPECT_EQ(EncodePng(pixel, 4, 2, 11, sink, reason), kPngCodeTooLarge);
    EXPECT_EQ(EncodePng(pixel, 1, 3, SIZE_MAX / 2 + 1, sink, reason), kPngCodeTooLarge);
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(sink.bytes.empty());
}

TEST_F(PngFile, SavedFileMatchesMemoryEncodingAndDecodes) {
    clsDIBSection d;
    Paint(d, 33, 21, Content::Ramp);
    ASSERT_TRUE(SavePNG(d, Path("a.png")));
    std::vector<uint8_t> memory;
    std::string reason;
    ASSERT_TRUE(EncodePngToMemory(d, memory, reason)) << reason;
    EXPECT_EQ(ReadAll(Path("a.png")), memory);
    ExpectDecodesTo(memory, d);
    EXPECT_EQ(Count(), 1u);
}

TEST_F(PngFile, DiskFullPartWayKeepsTheOldFile) {
    {
        std::ofstream(Path("keep.png"), std::ios::binary) << "old picture";
    }
    clsDIBSection d;
    Paint(d, 200, 200, Content::Noise);
    for (uint32_t budget : {0u, 40u, 5000u}) {
        FullDisk disk(budget);
        SetFileSystem(&disk);
        try {
            SavePNG(d, Path("keep.png"));
            ADD_FAILURE() << "no error raised with " << budget << " bytes of room";
        } catch (const ErrorObject& e) {
            EXPECT_EQ(e.Number, kErrPng);
            EXPECT_EQ(e.Source, "Plenvue.PngWriter");
            EXPECT_EQ(e.Description.rfind("Failed to save to PNG 5", 0), 0u) << e.Description;
        }
        SetFileSystem(nullptr);
        EXPECT_EQ(ReadAll(Path("keep.png")), std::vector<uint8_t>({'o', 'l', 'd', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}));
        EXPECT_EQ(Count(), 1u) << "the unfinished file is left behind";
    }
}

TEST_F(PngFile, ReplacingKeepsNothingOfTheOldFile) {
    clsDIBSection big, small;
    Paint(big, 90, 90, Content::Noise);
    Paint(small, 3, 2, Content::Flat);
    ASSERT_TRUE(SavePNG(big, Path("r.png")));
    ASSERT_TRUE(SavePNG(small, Path("r.png")));
    ExpectDecodesTo(ReadAll(Path("r.png")), small);
    EXPECT_EQ(Count(), 1u);
}

TEST_F(PngFile, ReadOnlyTargetAndMissingPictureRaise) {
    {
        std::ofstream(Path("ro.png")) << "keep";
    }
    fs::permissions(Path("ro.png"), fs::perms::owner_read);
    clsDIBSection d;
    Paint(d, 4, 4, Content::Flat);
    try {
        SavePNG(d, Path("ro.png"));
        ADD_FAILURE() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrPathFileAccess);
    }
    EXPECT_EQ(ReadAll(Path("ro.png")).size(), 4u);
    try {
        SavePNG(d, Path("missing/x.png"));
        ADD_FAILURE() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Description, std::string("Failed to save to PNG 3: ") + std::strerror(ENOENT));
    }
    clsDIBSection empty;
    try {
        SavePNG(empty, Path("e.png"));
        ADD_FAILURE() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrPng);
        EXPECT_EQ(e.Description, "Failed to save to PNG 1: there is no picture");
    }
    EXPECT_EQ(Count(), 1u);
}

TEST(PngWriter, FewColoursMakeAPaletteAtTheSmallestDepth) {
    plenvue::test::TempFolder dir("pngpal");
    const int cases[][2] = {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 4}, {16, 4}, {17, 8}, {200, 8}, {256, 8}};
    for (const auto& c : cases)
        for (int w : {1, 7, 9, 33, 70}) {
            const int h = c[0] / w + 3;  // room for every colour
            SCOPED_TRACE(testing::Message() << c[0] << " colours, " << w << "x" << h);
            clsDIBSection d;
            PaintColours(d, w, h, c[0]);
            const std::vector<uint8_t> png = Encode(d);
            const std::vector<Chunk> chunks = Chunks(png);
            ASSERT_GE(chunks.size(), 4u);
            ASSERT_EQ(chunks[0].type, "IHDR");
            EXPECT_EQ(chunks[0].data[8], c[1]) << "bit depth";
            EXPECT_EQ(chunks[0].data[9], 3) << "colour type";
            ASSERT_EQ(chunks[1].type, "PLTE");
            EXPECT_EQ(chunks[1].data.size(), 3u * static_cast<size_t>(c[0]));
            ExpectDecodesTo(png, d);
            EXPECT_TRUE(PassesPngcheck(png, dir / "p.png"));
        }
}

TEST(PngWriter, MoreThan256ColoursAndFixedFiltersStayTruecolour) {
    plenvue::test::TempFolder dir("pngrgb");
    clsDIBSection many, few;
    PaintColours(many, 40, 30, 257);
    PaintColours(few, 40, 30, 12);
    for (const auto& [d, filter] : {std::pair<clsDIBSection*, PngFilter>{&many, PngFilter::Adaptive},
                                    {&few, PngFilter::Paeth}}) {
        const std::vector<uint8_t> png = Encode(*d, filter);
        const std::vector<Chunk> chunks = Chunks(png);
        ASSERT_GE(chunks.size(), 3u);
        EXPECT_EQ(chunks[0].data[9], 2);
        EXPECT_EQ(chunks[1].type, "IDAT");
        ExpectDecodesTo(png, *d);
        EXPECT_TRUE(PassesPngcheck(png, dir / "t.png"));
    }
    clsDIBSection photo;
    Paint(photo, 700, 500, Content::Noise);
    EXPECT_TRUE(PassesPngcheck(Encode(photo), dir / "n.png"));
}

// Every pixel size at widths from 1 to the largest the type holds; the Windows tests run the same
// on the 32-bit build.
TEST(PngWriter, LayoutArithmeticHoldsForEveryWidth) {
    for (int32_t bits : {1, 2, 4, 8, 24}) {
        int64_t first = 0;
        EXPECT_EQ(test::PngLayoutFaults(bits, first), 0) << bits << " bits, first at width " << first;
    }
    PngLayout layout;
    EXPECT_FALSE(PngLayoutFor(0, 24, layout));
    EXPECT_FALSE(PngLayoutFor(-1, 8, layout));
    EXPECT_FALSE(PngLayoutFor(5, 3, layout));
    EXPECT_TRUE(PngLayoutFor(INT32_MAX, 1, layout));
    EXPECT_EQ(layout.rowBytes, (static_cast<size_t>(INT32_MAX) + 7) / 8);
}
