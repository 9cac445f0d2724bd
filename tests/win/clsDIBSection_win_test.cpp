#include "image/clsDIBSection.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/clsDIBSection_win.h"
#include "image/modIntelJPEGLibrary.h"
#include "image/modPcxReader.h"
#include "image/modPcxReader_win.h"
#include "base/ErrorObject.h"

#include "tests/win/WinTestSupport.h"

using namespace plenvue;
using plenvue::test::ComInit;
using plenvue::test::SolidPicture;
using plenvue::test::MessageBoxCloser;

namespace {

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "plenvue-wintest-" + name;
}

void FillPattern(clsDIBSection& d) {
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x)
            for (int c = 0; c < 3; ++c) d.PixelPtr(x, y)[c] = static_cast<uint8_t>(x * 37 + y * 11 + c * 90);
}

bool SamePixels(const clsDIBSection& a, const clsDIBSection& b) {
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.PixelPtr(0, y), b.PixelPtr(0, y), 3 * a.Width()) != 0) return false;
    return true;
}

DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace

TEST(DIBSectionWin, CreateMakesADibSectionInItsOwnMemoryDc) {
    InstallWin32ImageServices();
    clsDIBSection d;
    ASSERT_TRUE(d.Create(5, 3));
    ASSERT_NE(d.hdc(), nullptr);
    ASSERT_NE(d.hDib(), nullptr);
    EXPECT_EQ(GetCurrentObject(d.hdc(), OBJ_BITMAP), d.hDib());
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(d.hDib(), sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, d.DIBSectionBitsPtr());
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 16);
    EXPECT_EQ(ds.dsBmih.biHeight, 3);
    EXPECT_EQ(ds.dsBmih.biBitCount, 24);
    d.ClearUp();
    EXPECT_EQ(d.hdc(), nullptr);
    EXPECT_EQ(d.hDib(), nullptr);
    HBITMAP loose = nullptr;
    EXPECT_THROW(d.CreateDIB(GetDC(nullptr), 40000, 40000, loose), ErrorObject);
}

TEST(DIBSectionWin, PaintPictureAndLoadPictureBltCopyExactly) {
    clsDIBSection a, b, c;
    ASSERT_TRUE(a.Create(13, 7));
    ASSERT_TRUE(b.Create(13, 7));
    ASSERT_TRUE(c.Create(13, 7));
    FillPattern(a);
    a.PaintPicture(b.hdc(), 0, 0, -1, -1, 0, 0, SRCCOPY);
    GdiFlush();
    EXPECT_TRUE(SamePixels(a, b));
    c.LoadPictureBlt(a.hdc(), 0, 0, -1, -1, SRCCOPY);
    GdiFlush();
    EXPECT_TRUE(SamePixels(a, c));

    // Offsets: a 3 x 2 block from (1, 1) of a (device coordinates, top-down) to (4, 2) of a blank DIB.
    clsDIBSection e;
    ASSERT_TRUE(e.Create(13, 7));
    a.PaintPicture(e.hdc(), 4, 2, 3, 2, 1, 1, SRCCOPY);
    GdiFlush();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            bool inside = x >= 4 && x < 7 && y >= 2 && y < 4;
            // Device row y is memory row 6 - y.
            const uint8_t* got = e.PixelPtr(x, 6 - y);
            if (inside)
                EXPECT_EQ(std::memcmp(got, a.PixelPtr(x - 3, 6 - (y - 1)), 3), 0) << x << "," << y;
            else
                EXPECT_EQ(got[0] | got[1] | got[2], 0) << x << "," << y;
        }
}

TEST(DIBSectionWin, CreateFromPictureCopiesADeviceDependentBitmap) {
    ComInit com;
    HBITMAP ddb = nullptr;
    {
        WindowDC screen = WindowDC::Client(nullptr);
        ddb = CreateCompatibleBitmap(screen.get(), 6, 4);
        MemoryDC dc(CreateCompatibleDC(screen.get()));
        SelectedObject selected(dc.get(), ddb);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) SetPixel(dc.get(), x, y, RGB(x * 40, y * 60, 200));
    }
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof(PICTDESC);
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = ddb;
    IPictureDisp* picture = nullptr;
    ASSERT_EQ(OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&picture)), S_OK);

    clsDIBSection d;
    d.CreateFromPicture(picture);
    picture->Release();
    ASSERT_EQ(d.Width(), 6);
    ASSERT_EQ(d.Height(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint8_t* p = d.PixelPtr(x, 3 - y);
            EXPECT_EQ(p[0], 200);
            EXPECT_EQ(p[1], y * 60);
            EXPECT_EQ(p[2], x * 40);
        }
    d.CreateFromPicture(nullptr);
    EXPECT_TRUE(d.IsEmpty());
}

TEST(DIBSectionWin, SavePictureIntoMissingFolderRaises17WithSystemText) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(2, 2));
    std::string path = TempPath("no-such-folder\\x.bmp");
    try {
        d.SavePicture(path);
        FAIL() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 17);
        EXPECT_EQ(e.Source, "Plenvue.clsDIBSection256");
        EXPECT_EQ(e.Description, clsDIBSection::ApiError(ERROR_PATH_NOT_FOUND));
        EXPECT_FALSE(e.Description.empty());
    }
}

TEST(DIBSectionWin, SavePictureWritesTheDibSectionBytes) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(5, 3));
    FillPattern(d);
    std::string path = TempPath("save.bmp");
    ASSERT_TRUE(d.SavePicture(path));
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<uint8_t> bytes(200);
    DWORD n = 0;
    ReadFile(h, bytes.data(), 200, &n, nullptr);
    CloseHandle(h);
    DeleteFileA(path.c_str());
    ASSERT_EQ(n, 102u);
    EXPECT_EQ(std::memcmp(bytes.data() + 54, d.DIBSectionBitsPtr(), 48), 0);
}

TEST(DIBSectionWin, JpegOverExistingFileKeepsTimesAndAttributes) {
    std::string path = TempPath("keep.jpg");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    WriteFile(h, "old", 3, &n, nullptr);
    SYSTEMTIME st{2004, 5, 0, 17, 10, 30, 0, 0};
    FILETIME created, written;
    SystemTimeToFileTime(&st, &created);
    st.wYear = 2005;
    SystemTimeToFileTime(&st, &written);
    ASSERT_TRUE(SetFileTime(h, &created, nullptr, &written));
    CloseHandle(h);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    // Compare with what the platform reports for the old file: Wine cannot store every time.
    WIN32_FIND_DATAA before{};
    HANDLE first = FindFirstFileA(path.c_str(), &before);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    FindClose(first);
    created = before.ftCreationTime;
    EXPECT_EQ(CompareFileTime(&before.ftLastWriteTime, &written), 0);

    clsDIBSection d;
    ASSERT_TRUE(d.Create(16, 16));
    FillPattern(d);
    ASSERT_TRUE(SaveJPEG(d, path, 90));
    WIN32_FIND_DATAA fd{};
    HANDLE find = FindFirstFileA(path.c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    EXPECT_GT(fd.nFileSizeLow, 100u);
    EXPECT_EQ(CompareFileTime(&fd.ftCreationTime, &created), 0);
    EXPECT_EQ(CompareFileTime(&fd.ftLastWriteTime, &written), 0);
    EXPECT_EQ(fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

TEST(DIBSectionWin, JpegOverReadOnlyFileFailsBeforeWriting) {
    std::string path = TempPath("ro.jpg");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD n = 0;
    WriteFile(h, "keep", 4, &n, nullptr);
    CloseHandle(h);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    clsDIBSection d;
    ASSERT_TRUE(d.Create(8, 8));
    EXPECT_THROW(SaveJPEG(d, path, 90), ErrorObject);
    WIN32_FIND_DATAA fd{};
    HANDLE find = FindFirstFileA(path.c_str(), &fd);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    FindClose(find);
    EXPECT_EQ(fd.nFileSizeLow, 4u);
    EXPECT_EQ(GetFileAttributesA((path + ".~0.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

TEST(DIBSectionWin, CopyToClipboardPutsABitmapOrRefusesADib) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(4, 3));
    FillPattern(d);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    {
        MessageBoxCloser closer;
        EXPECT_FALSE(d.CopyToClipboard(true));
        EXPECT_EQ(closer.Wait(), "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");
    }
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    ASSERT_TRUE(d.CopyToClipboard(false));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    plenvue::test::EmptyTheClipboard();
}

TEST(DIBSectionWin, ManyCreateAndClearCyclesLeakNoGdiObjects) {
    ComInit com;
    {
        clsDIBSection warm;
        warm.Create(3, 3);
    }
    // Wine's GetGuiResources counts nothing, so each released handle is also checked directly.
    DWORD before = GdiObjects();
    for (int i = 0; i < 200; ++i) {
        clsDIBSection d;
        ASSERT_TRUE(d.Create(8 + i % 5, 4));
        HDC firstDc = d.hdc();
        HBITMAP firstDib = d.hDib();
        ASSERT_TRUE(d.Create(5, 5));  // replaces the first without leaking it
        EXPECT_EQ(GetObjectType(firstDib), 0u);
        EXPECT_EQ(GetObjectType(firstDc), 0u);
        clsDIBSection e;
        e.LoadPictureBlt(d.hdc(), 0, 0, -1, -1, SRCCOPY);
        HDC dc = d.hdc();
        HBITMAP dib = d.hDib();
        d.ClearUp();
        EXPECT_EQ(GetObjectType(dib), 0u);
        EXPECT_EQ(GetObjectType(dc), 0u);
    }
    EXPECT_EQ(GdiObjects(), before);
}

namespace {

std::vector<uint8_t> Pcx256(int w, int h, uint8_t marker) {
    std::vector<uint8_t> f(128, 0);
    f[0] = 10;
    f[3] = 8;
    f[8] = static_cast<uint8_t>(w - 1);
    f[10] = static_cast<uint8_t>(h - 1);
    f[65] = 1;
    f[66] = static_cast<uint8_t>((w + 1) & ~1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < ((w + 1) & ~1); ++x) f.push_back(static_cast<uint8_t>((x + y) % 4));
    f.push_back(marker);
    const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c) f.push_back(colours[i % 4][c]);
    return f;
}

std::string WriteFile(const char* name, const std::vector<uint8_t>& bytes) {
    std::string path = TempPath(name);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD n = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
    return path;
}

}  // namespace

TEST(PcxReaderWin, LoadPcxGivesAPictureOwningBitmapAndPalette) {
    ComInit com;
    std::string path = WriteFile("pal.pcx", Pcx256(5, 3, 12));
    IPictureDisp* disp = LoadPCX(path);
    ASSERT_NE(disp, nullptr);
    IPicture* picture = nullptr;
    ASSERT_EQ(disp->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&picture)), S_OK);
    OLE_HANDLE pal = 0;
    picture->get_hPal(&pal);
    EXPECT_NE(pal, 0u);
    PALETTEENTRY entry{};
    EXPECT_EQ(GetPaletteEntries(reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(pal)), 2, 1, &entry), 1u);
    EXPECT_EQ(entry.peBlue, 255);
    picture->Release();

    clsDIBSection d;
    d.CreateFromPicture(disp);
    disp->Release();
    ASSERT_EQ(d.Width(), 5);
    ASSERT_EQ(d.Height(), 3);
    const uint8_t* topLeft = d.PixelPtr(0, 2);  // index 0: red
    EXPECT_EQ(topLeft[2], 255);
    EXPECT_EQ(topLeft[0], 0);
    const uint8_t* p = d.PixelPtr(2, 1);  // row 1, column 2: index 3
    EXPECT_EQ(p[0], 30);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
    DeleteFileA(path.c_str());
}

TEST(PcxReaderWin, RefusedFilesShowTheirMessages) {
    ComInit com;
    std::string path = WriteFile("nopal.pcx", Pcx256(5, 3, 11));
    {
        MessageBoxCloser closer;
        EXPECT_EQ(LoadPCX(path), nullptr);
        EXPECT_EQ(closer.Wait(), kPcxNoPaletteMessage);
    }
    std::vector<uint8_t> sixteen = Pcx256(5, 3, 12);
    sixteen[3] = 1;
    sixteen[65] = 4;
    path = WriteFile("sixteen.pcx", sixteen);
    {
        MessageBoxCloser closer;
        EXPECT_EQ(LoadPCX(path), nullptr);
        EXPECT_EQ(closer.Wait(), kPcxCantLoadMessage);
    }
    path = WriteFile("short.pcx", std::vector<uint8_t>(60, 0));
    EXPECT_THROW(LoadPCX(path), ErrorObject);
    DeleteFileA(path.c_str());
}
