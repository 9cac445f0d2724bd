#include "image/clsDIBSectionSave.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "image/clsDIBSection_win.h"
#include "base/ErrorObject.h"

#include "tests/win/WinTestSupport.h"

using namespace plenvue;
using plenvue::test::ComInit;
using plenvue::test::SolidPicture;

namespace {

using UniqueDc = MemoryDC;

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "plenvue-savetest-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

void FillRandom(clsDIBSection& d, std::mt19937& rng) {
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x)
            for (int c = 0; c < 3; ++c) d.PixelPtr(x, y)[c] = static_cast<uint8_t>(rng());
}

// Components on and halfway between the levels of the 1- and 4-bit tables and the half-tone
// cube, so that ties between entries come up often.
void FillTieProne(clsDIBSection& d, std::mt19937& rng) {
    static const uint8_t kValues[] = {0, 1, 31, 32, 51, 63, 64, 65, 96, 102, 127, 128, 129, 153, 160,
                                      191, 192, 204, 223, 224, 254, 255};
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x)
            for (int c = 0; c < 3; ++c) d.PixelPtr(x, y)[c] = kValues[rng() % std::size(kValues)];
}

// Pixels of a bitmap as GDI reports them: 24-bit bottom-up rows (blue, green, red), unpadded.
std::vector<uint8_t> Pixels24(HBITMAP bmp, int32_t width, int32_t height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const int32_t stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> raw(static_cast<size_t>(stride) * height);
    WindowDC screen = WindowDC::Client(nullptr);
    const int lines = GetDIBits(screen.get(), bmp, 0, height, raw.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(lines, height);
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < height; ++y)
        out.insert(out.end(), raw.begin() + y * stride, raw.begin() + y * stride + width * 3);
    return out;
}

std::vector<uint8_t> Pixels24(const clsDIBSection& d) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < d.Height(); ++y) out.insert(out.end(), d.PixelPtr(0, y), d.PixelPtr(d.Width(), y));
    return out;
}

// A file loaded by the platform's picture loader from its bytes in memory.
struct LoadedPicture {
    IPicture* pic = nullptr;
    int32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;
    ~LoadedPicture() {
        if (pic) pic->Release();
    }
};

bool LoadThroughOle(const std::string& path, LoadedPicture& out) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    if (bytes.empty()) return false;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) return false;
    const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(&out.pic));
    stream->Release();
    if (FAILED(hr) || !out.pic) return false;
    OLE_HANDLE handle = 0;
    short type = 0;
    out.pic->get_Type(&type);
    out.pic->get_Handle(&handle);
    if (type != PICTYPE_BITMAP) return false;
    HBITMAP bmp = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle));
    BITMAP info{};
    if (!GetObjectA(bmp, sizeof info, &info)) return false;
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    out.pixels = Pixels24(bmp, out.width, out.height);
    return true;
}

// The section the writer builds, made as a real DIB section so the platform blit can fill it.
UniqueBitmap PlatformSection(const LowDepthDIB& s, uint8_t*& bits) {
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + s.colourTable.size());
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = s.header.biWidth;
    h->biHeight = s.header.biHeight;
    h->biPlanes = 1;
    h->biBitCount = s.header.biBitCount;
    h->biCompression = BI_RGB;
    h->biSizeImage = s.header.biSizeImage;
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), s.colourTable.data(), s.colourTable.size());
    void* p = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint8_t*>(p);
    return UniqueBitmap(bmp);
}

int IndexAt(const uint8_t* bits, int32_t rowSize, int bpp, int32_t x, int32_t y) {
    const uint8_t* row = bits + static_cast<ptrdiff_t>(y) * rowSize;
    if (bpp == 8) return row[x];
    if (bpp == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

eOutputColourDepth DepthOf(int bpp) {
    return bpp == 1 ? eOutput1Bit : bpp == 4 ? eOutput4Bit : bpp == 8 ? eOutput8Bit : eOutput24Bit;
}

}  // namespace

TEST(DIBSectionSaveWin, PlatformLoaderReadsEveryDepthAsTheMappedColours) {
    ComInit com;
    InstallWin32ImageServices();
    std::mt19937 rng(1234);
    for (int bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE("bits " + std::to_string(bpp));
        clsDIBSection d;
        ASSERT_TRUE(d.Create(37, 11));
        ASSERT_NE(d.hDib(), nullptr);
        FillRandom(d, rng);
        std::unique_ptr<clsPalette> pal;
        const std::string path = TempPath("load.bmp");
        ASSERT_TRUE(clsDIBSectionSave().Save(path, d, pal, DepthOf(bpp), eReductionNone));
        LoadedPicture loaded;
        ASSERT_TRUE(LoadThroughOle(path, loaded));
        DeleteFileA(path.c_str());
        EXPECT_EQ(loaded.width, d.Width());
        EXPECT_EQ(loaded.height, d.Height());
        EXPECT_EQ(loaded.pixels, Pixels24(d));
    }
}

TEST(DIBSectionSaveWin, FourBitCopyBackShowsTableColoursTheFileHolds) {
    InstallWin32ImageServices();
    std::mt19937 rng(99);
    clsDIBSection d;
    ASSERT_TRUE(d.Create(13, 9));
    FillRandom(d, rng);
    std::unique_ptr<clsPalette> pal;
    const std::string path = TempPath("copyback.bmp");
    ASSERT_TRUE(clsDIBSectionSave().Save(path, d, pal, eOutput4Bit, eReductionNone));
    const std::vector<uint8_t> file = ReadAll(path);
    DeleteFileA(path.c_str());
    ASSERT_EQ(file.size(), 118u + 8u * 9u);
    ASSERT_EQ(U32(file, 10), 118u);

    // Read back through GDI, so the copy-back is known to reach the DIB section itself.
    GdiFlush();
    const std::vector<uint8_t> shown = Pixels24(d.hDib(), d.Width(), d.Height());
    for (int32_t y = 0; y < d.Height(); ++y)
        for (int32_t x = 0; x < d.Width(); ++x) {
            const int index = IndexAt(file.data() + 118, 8, 4, x, y);
            const uint8_t* entry = &file[54 + 4 * index];
            const uint8_t* px = &shown[3 * (static_cast<size_t>(y) * d.Width() + x)];
            EXPECT_EQ(px[0], entry[0]) << x << "," << y;
            EXPECT_EQ(px[1], entry[1]) << x << "," << y;
            EXPECT_EQ(px[2], entry[2]) << x << "," << y;
        }
}

// The writer maps pixels itself; its choices must be the platform blit's, since files written
// before came from the blit and the caller's DIB shows them.
TEST(DIBSectionSaveWin, PortableMappingMatchesPlatformBlitOnRandomPictures) {
    InstallWin32ImageServices();
    std::mt19937 rng(20240607);
    struct Table {
        int bpp;
        const char* name;
        std::unique_ptr<clsPalette> pal;
    };
    std::vector<Table> tables;
    tables.push_back({1, "mono", nullptr});
    tables.push_back({4, "16 colours", nullptr});
    tables.push_back({8, "half-tone", std::make_unique<clsPalette>()});
    tables.back().pal->CreateHalfTone();
    tables.push_back({8, "random 16 entries", std::make_unique<clsPalette>()});
    for (int i = 0; i < 16; ++i) tables.back().pal->Add(rng() & 255, rng() & 255, rng() & 255);
    tables.push_back({8, "random 256 entries", std::make_unique<clsPalette>()});
    for (int i = 0; i < 256; ++i) tables.back().pal->Add(rng() & 255, rng() & 255, rng() & 255);
    tables.push_back({8, "web-safe", std::make_unique<clsPalette>()});
    tables.back().pal->CreateWebSafe();

    for (const Table& t : tables) {
        for (int round = 0; round < 4; ++round) {
            const int32_t w = 1 + static_cast<int32_t>(rng() % 70), h = 1 + static_cast<int32_t>(rng() % 40);
            SCOPED_TRACE(std::string(t.name) + " " + std::to_string(w) + "x" + std::to_string(h));
            clsDIBSection d;
            ASSERT_TRUE(d.Create(w, h));
            if (round & 1)
                FillTieProne(d, rng);
            else
                FillRandom(d, rng);
            LowDepthDIB mine;
            ASSERT_TRUE(clsDIBSectionSave::CreateLowDepthDIB(t.bpp, w, h, t.pal.get(), mine));
            clsDIBSectionSave::MapPixels(d, mine);

            uint8_t* bits = nullptr;
            UniqueBitmap section = PlatformSection(mine, bits);
            ASSERT_TRUE(section);
            UniqueDc dc(CreateCompatibleDC(nullptr));
            HGDIOBJ old = SelectObject(dc.get(), section.get());
            d.PaintPicture(dc.get(), 0, 0, -1, -1, 0, 0, SRCCOPY);
            GdiFlush();
            SelectObject(dc.get(), old);

            std::vector<bool> used(size_t{1} << t.bpp);
            int mismatches = 0;
            for (int32_t y = 0; y < h && mismatches < 5; ++y)
                for (int32_t x = 0; x < w && mismatches < 5; ++x) {
                    const int platform = IndexAt(bits, mine.rowSize, t.bpp, x, y);
                    const int portable = IndexAt(mine.bits.data(), mine.rowSize, t.bpp, x, y);
                    used[platform] = true;
                    if (platform == portable) continue;
                    ++mismatches;
                    const uint8_t* px = d.PixelPtr(x, y);
                    ADD_FAILURE() << "pixel " << x << "," << y << " rgb(" << int(px[2]) << "," << int(px[1]) << ","
                                  << int(px[0]) << "): platform " << platform << ", portable " << portable;
                }
            if (w * h >= 64) {
                EXPECT_GE(std::count(used.begin(), used.end(), true), 2);
            }
        }
    }
}

TEST(DIBSectionSaveWin, MissingFolderRaises17WithSystemTextAtEveryDepth) {
    InstallWin32ImageServices();
    clsDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    std::unique_ptr<clsPalette> none;
    const std::string path = TempPath("no-such-folder\\x.bmp");
    for (int bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE("bits " + std::to_string(bpp));
        try {
            clsDIBSectionSave().Save(path, d, none, DepthOf(bpp), eReductionNone);
            ADD_FAILURE() << "no error raised";
        } catch (const ErrorObject& e) {
            EXPECT_EQ(e.Number, 17);
            EXPECT_EQ(e.Source, "Plenvue.clsDIBSection256");
            EXPECT_EQ(e.Description, clsDIBSection::ApiError(ERROR_PATH_NOT_FOUND));
        }
    }
}
