#include "shell/FileCommands_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "capture/Printing_win.h"
#include "controls/modCommonDialog_win.h"
#include "controls/modCreatePath_win.h"
#include "image/SafeFile.h"
#include "image/SafeFile_win.h"
#include "image/clsDIBSection_win.h"
#include "base/MessageTable.h"
#include "tests/support/TempFolder.h"
#include "tests/win/PngTestData.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;

namespace {

using plenvue::test::ComInit;

using plenvue::test::TempFolder;

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

// A picture of a device bitmap whose left half is red and right half blue.
Picture TwoColourPicture(int w, int h) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT left{0, 0, w / 2, h}, right{w / 2, 0, w, h};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return Picture::FromBitmap(bmp, nullptr);
}

COLORREF PixelOf(const Picture& p, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, p.Bitmap());
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

// The Win32 operations, except that writing stops with "disk full" after a number of bytes.
class DiskFillsUp : public FileSystemOps {
public:
    explicit DiskFillsUp(uint32_t room) : room_(room) {}
    bool CheckReplaceable(const std::string& target, FileFailure& failure) override {
        return Win32FileSystem().CheckReplaceable(target, failure);
    }
    std::unique_ptr<ReplacementFile> CreateBeside(const std::string& target, FileFailure& failure) override {
        auto inner = Win32FileSystem().CreateBeside(target, failure);
        if (!inner) return nullptr;
        return std::make_unique<Limited>(std::move(inner), room_);
    }

private:
    class Limited : public ReplacementFile {
    public:
        Limited(std::unique_ptr<ReplacementFile> inner, uint32_t room) : inner_(std::move(inner)), room_(room) {}
        bool Write(const void* data, uint32_t count, uint32_t& written) override {
            uint32_t n = count < room_ ? count : room_;
            bool ok = inner_->Write(data, n, written);
            room_ -= written;
            if (ok && n < count) {
                SetLastError(ERROR_DISK_FULL);
                return false;
            }
            return ok;
        }
        bool Commit(bool keep, FileFailure& failure) override { return inner_->Commit(keep, failure); }

    private:
        std::unique_ptr<ReplacementFile> inner_;
        uint32_t room_;
    };
    uint32_t room_;
};

class FileSystemGuard {
public:
    explicit FileSystemGuard(FileSystemOps* ops) { SetFileSystem(ops); }
    ~FileSystemGuard() { InstallWin32ImageServices(); }
};

}  // namespace

TEST(CreatePathWin, CreatesTheMissingFoldersBelowAnExistingOne) {
    TempFolder tmp;
    CreateDirectoryA((tmp / "a").c_str(), nullptr);
    EXPECT_TRUE(CreatePath(tmp / "a\\b\\c"));
    EXPECT_TRUE(IsExistingFolder(tmp / "a\\b"));
    EXPECT_TRUE(IsExistingFolder(tmp / "a\\b\\c"));
    // An existing path is left as it is, with or without the closing backslash.
    EXPECT_TRUE(CreatePath(tmp / "a\\b\\c\\"));
    EXPECT_TRUE(CreatePath(tmp.Path()));
}

TEST(CreatePathWin, FailsWhereAFileStandsInTheWayOrTheTextIsEmpty) {
    TempFolder tmp;
    WriteAll(tmp / "f", {1, 2, 3});
    EXPECT_FALSE(CreatePath(tmp / "f\\sub"));
    EXPECT_FALSE(IsExistingFolder(tmp / "f\\sub"));
    EXPECT_FALSE(CreatePath(""));
}

TEST(CreatePathWin, UnknownNetworkShareIsNotCreated) {
    EXPECT_FALSE(CreatePath("\\\\plenvue-no-such-server\\share\\a\\b"));
}

TEST(SavePictureFile, UnknownExtensionIsWrittenAsBitmapUnderTheExtendedName) {
    ComInit com;
    TempFolder tmp;
    Picture pic = TwoColourPicture(40, 20);
    std::string written;
    FileError e = SavePictureFile(pic, tmp / "shot.tif", written);
    ASSERT_FALSE(e) << e.Number << " " << e.Description;
    EXPECT_EQ(written, tmp / "shot.tif.bmp");
    EXPECT_EQ(GetFileAttributesA((tmp / "shot.tif").c_str()), INVALID_FILE_ATTRIBUTES);
    std::vector<uint8_t> bytes = ReadAll(written);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(U32(bytes, 2), bytes.size());
    EXPECT_EQ(U32(bytes, 18), 40u);
    EXPECT_EQ(U32(bytes, 22), 20u);

    Picture back;
    ASSERT_FALSE(LoadPictureFile(written, back));
    EXPECT_EQ(back.PixelSize().cx, 40);
    EXPECT_EQ(PixelOf(back, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(back, 35, 15), RGB(0, 0, 255));
}

TEST(SavePictureFile, JpgIsJpegAndBmpKeepsItsName) {
    ComInit com;
    TempFolder tmp;
    Picture pic = TwoColourPicture(64, 32);
    std::string written;
    ASSERT_FALSE(SavePictureFile(pic, tmp / "a.JPG", written));
    EXPECT_EQ(written, tmp / "a.JPG");
    std::vector<uint8_t> jpeg = ReadAll(written);
    ASSERT_GE(jpeg.size(), 4u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    Picture back;
    ASSERT_FALSE(LoadPictureFile(written, back));
    EXPECT_EQ(back.PixelSize().cx, 64);
    COLORREF c = PixelOf(back, 8, 16);
    EXPECT_GT(GetRValue(c), 200);
    EXPECT_LT(GetBValue(c), 60);

    ASSERT_FALSE(SavePictureFile(pic, tmp / "b.bmp", written));
    EXPECT_EQ(written, tmp / "b.bmp");
}

TEST(SavePictureFile, EightBitPictureKeepsItsDepthAndColourTable) {
    ComInit com;
    TempFolder tmp;
    std::vector<uint8_t> infoBytes(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader = {sizeof(BITMAPINFOHEADER), 8, 4, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    for (int i = 0; i < 256; ++i) info->bmiColors[i] = RGBQUAD{static_cast<BYTE>(i), 0, static_cast<BYTE>(255 - i), 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    for (int i = 0; i < 32; ++i) static_cast<uint8_t*>(bits)[i] = static_cast<uint8_t>(i * 7);
    Picture pic = Picture::FromBitmap(dib, nullptr);
    std::string written;
    ASSERT_FALSE(SavePictureFile(pic, tmp / "p.bmp", written));
    std::vector<uint8_t> bytes = ReadAll(written);
    ASSERT_EQ(bytes.size(), 14u + 40 + 1024 + 32);
    EXPECT_EQ(bytes[28], 8);
    EXPECT_EQ(U32(bytes, 10), 14u + 40 + 1024);
    EXPECT_EQ(bytes[54 + 4 * 10], 10);  // blue of entry 10
    EXPECT_EQ(bytes[54 + 4 * 10 + 2], 245);
    EXPECT_EQ(bytes[14 + 40 + 1024 + 3], 21);
}

TEST(SavePictureFile, DiskFullPartWayLeavesTheOldFileWhole) {
    ComInit com;
    TempFolder tmp;
    Picture pic = TwoColourPicture(300, 200);
    const std::vector<uint8_t> old = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
    for (const char* name : {"x.bmp", "x.jpg"}) {
        WriteAll(tmp / name, old);
        FileError e;
        std::string written;
        {
            DiskFillsUp disk(100);
            FileSystemGuard guard(&disk);
            e = SavePictureFile(pic, tmp / name, written);
        }
        EXPECT_EQ(e.Number, kErrDiskFull) << name << ": " << e.Description;
        EXPECT_EQ(e.Description, FileErrorFromSystem(ERROR_DISK_FULL).Description);
        EXPECT_FALSE(e.Description.empty());
        EXPECT_EQ(ReadAll(tmp / name), old) << name;
    }
    // Nothing but the two old files is left behind.
    EXPECT_EQ(tmp.Files().size(), 2u);
}

TEST(SavePictureFile, ReadOnlyTargetIsRefusedWithAccessErrorAndKept) {
    ComInit com;
    TempFolder tmp;
    Picture pic = TwoColourPicture(10, 10);
    for (const char* name : {"r.bmp", "r.jpg"}) {
        WriteAll(tmp / name, {1, 2, 3});
        SetFileAttributesA((tmp / name).c_str(), FILE_ATTRIBUTE_READONLY);
        std::string written;
        FileError e = SavePictureFile(pic, tmp / name, written);
        EXPECT_EQ(e.Number, kErrFileAccess) << name;
        EXPECT_EQ(ReadAll(tmp / name), (std::vector<uint8_t>{1, 2, 3}));
    }
}

TEST(SavePictureFile, MissingFolderIsReportedWithTheSystemReason) {
    ComInit com;
    TempFolder tmp;
    std::string written;
    FileError e = SavePictureFile(TwoColourPicture(4, 4), tmp / "none\\a.bmp", written);
    EXPECT_EQ(e.Number, kErrPathNotFound);
    EXPECT_FALSE(e.Description.empty());
    EXPECT_NE(SaveFailureText(written, e).find(tmp / "none\\a.bmp"), std::string::npos);
}

TEST(LoadPictureFile, MissingGarbageAndTruncatedFilesMapToTheirErrors) {
    ComInit com;
    TempFolder tmp;
    Picture pic;
    EXPECT_EQ(LoadPictureFile(tmp / "missing.bmp", pic).Number, kErrFileNotFound);
    EXPECT_EQ(LoadPictureFile(tmp / "missing.pcx", pic).Number, kErrFileNotFound);
    EXPECT_EQ(LoadPictureFile(tmp / "nofolder\\a.jpg", pic).Number, kErrFileNotFound);

    std::vector<uint8_t> garbage(500);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    for (const char* name : {"g.bmp", "g.jpg", "g.gif"}) {
        WriteAll(tmp / name, garbage);
        EXPECT_EQ(LoadPictureFile(tmp / name, pic).Number, kErrInvalidPicture) << name;
    }
    WriteAll(tmp / "empty.bmp", {});
    EXPECT_EQ(LoadPictureFile(tmp / "empty.bmp", pic).Number, kErrInvalidPicture);

    std::string written;
    ASSERT_FALSE(SavePictureFile(TwoColourPicture(50, 50), tmp / "whole.bmp", written));
    std::vector<uint8_t> whole = ReadAll(written);
    for (size_t cut : {size_t{10}, size_t{40}, whole.size() / 2, whole.size() - 1}) {
        WriteAll(tmp / "cut.bmp", std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
        EXPECT_EQ(LoadPictureFile(tmp / "cut.bmp", pic).Number, kErrInvalidPicture) << cut;
    }
    EXPECT_TRUE(pic.Empty());  // no failure hands out a picture
    // A name the loaders do not know is no picture, whatever it holds.
    WriteAll(tmp / "whole.png", whole);
    EXPECT_EQ(LoadPictureFile(tmp / "whole.png", pic).Number, kErrInvalidPicture);
    EXPECT_FALSE(LoadPictureFile(tmp / "whole.bmp", pic));
}

TEST(SavePictureFile, PngIsWrittenAsPngAndReadsBackPixelEqual) {
    ComInit com;
    TempFolder tmp;
    Picture pic = TwoColourPicture(41, 9);
    std::string written;
    FileError e = SavePictureFile(pic, tmp / "shot.PNG", written);
    ASSERT_FALSE(e) << e.Number << " " << e.Description;
    EXPECT_EQ(written, tmp / "shot.PNG");
    std::vector<uint8_t> bytes = ReadAll(written);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes[1], 'P');
    Picture back;
    ASSERT_FALSE(LoadPictureFile(written, back, RGB(0, 0, 0)));
    ASSERT_EQ(back.PixelSize().cx, 41);
    ASSERT_EQ(back.PixelSize().cy, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 41; ++x) ASSERT_EQ(PixelOf(back, x, y), PixelOf(pic, x, y)) << x << "," << y;
}

TEST(LoadPictureFile, PngTransparencyIsShownOverTheCanvasColour) {
    ComInit com;
    TempFolder tmp;
    WriteAll(tmp / "alpha.png", test::SamplePng());
    Picture pic;
    ASSERT_FALSE(LoadPictureFile(tmp / "alpha.png", pic, RGB(10, 200, 30)));
    EXPECT_EQ(PixelOf(pic, 2, 0), RGB(10, 200, 30));
    EXPECT_EQ(PixelOf(pic, 0, 0), RGB(255, 0, 0));
}

TEST(LoadPictureFile, HostilePngIsUnknownFormatMissingPngIsNotFound) {
    ComInit com;
    TempFolder tmp;
    Picture pic;
    EXPECT_EQ(LoadPictureFile(tmp / "missing.png", pic).Number, kErrFileNotFound);
    int index = 0;
    for (const std::vector<uint8_t>& bad : test::HostilePngs()) {
        WriteAll(tmp / "bad.png", bad);
        EXPECT_EQ(LoadPictureFile(tmp / "bad.png", pic).Number, kErrInvalidPicture) << "hostile sample " << index++;
    }
    WriteAll(tmp / "empty.png", {});
    EXPECT_EQ(LoadPictureFile(tmp / "empty.png", pic).Number, kErrInvalidPicture);
    EXPECT_TRUE(pic.Empty());
}

TEST(PrintCommand, ChoosesFirstPortraitPrinterElseTheDefault) {
    std::vector<InstalledPrinter> printers = {{"L", 2}, {"P1", 1}, {"P2", 1}};
    EXPECT_EQ(ChoosePrinter(printers, "L"), "P1");
    printers = {{"L1", 2}, {"L2", 2}};
    EXPECT_EQ(ChoosePrinter(printers, "L2"), "L2");
    EXPECT_EQ(ChoosePrinter(printers, ""), "L1");
}

TEST(CommonDialogWin, SaveResultLosesOnlyItsTerminatingZero) {
    EXPECT_EQ(WithoutTrailingNul(std::string("C:\\a.bmp") + '\0'), "C:\\a.bmp");
    EXPECT_EQ(WithoutTrailingNul("C:\\a.bmp"), "C:\\a.bmp");
    EXPECT_EQ(WithoutTrailingNul(""), "");
}

TEST(MarkupFiles, AnEditablePngSavedAndOpenedBringsItsObjectsBackAndADamagedOneOpensPlain) {
    ComInit com;
    TempFolder tmp;
    clsDIBSection dib;
    ASSERT_TRUE(dib.Create(60, 40));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) dib.PixelPtr(x, y)[0] = dib.PixelPtr(x, y)[1] = static_cast<uint8_t>(x * 4);
    markup::MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(dib));
    markup::MarkupObject box = markup::DefaultObject(markup::ObjectType::Rect);
    box.x = 5;
    box.y = 5;
    box.w = 30;
    box.h = 20;
    doc.Add(box);
    const std::string path = tmp / "marked.png";
    ASSERT_FALSE(SaveMarkupFile(doc, path));

    Picture loaded;
    ASSERT_FALSE(LoadPictureFile(path, loaded, RGB(255, 255, 255)));
    markup::MarkupDocument back;
    int notice = -1;
    ASSERT_FALSE(OpenMarkup(path, loaded, back, notice));
    EXPECT_EQ(notice, 0);
    EXPECT_EQ(back.Objects(), doc.Objects());

    // A byte of the private chunk changed: its checksum fails, the picture opens plain with a notice.
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    in.close();
    const size_t at = bytes.find("pvMK");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 40] ^= 0x20;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    ASSERT_FALSE(LoadPictureFile(path, loaded, RGB(255, 255, 255)));
    ASSERT_FALSE(OpenMarkup(path, loaded, back, notice));
    EXPECT_EQ(notice, kMsgMarkupDamaged);
    EXPECT_TRUE(back.Empty());

    // A plain picture leaves the document empty.
    ASSERT_FALSE(OpenMarkup(tmp.Write("plain.bmp", "BM"), loaded, back, notice));
    EXPECT_EQ(notice, 0);
    EXPECT_TRUE(back.Empty());
}
