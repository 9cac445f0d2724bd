// Names beyond the ANSI code page and paths beyond MAX_PATH through the program's file layer and
// settings: every call must reach exactly the object named, or fail.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "base/FileNames.h"
#include "base/win/Wide_win.h"
#include "base/win/WideText_win.h"
#include "controls/modCreatePath_win.h"
#include "effects/clsPalette.h"
#include "image/SafeFile.h"
#include "image/SafeFile_win.h"
#include "settings/modRegistry_win.h"
#include "shell/FileCommands_win.h"
#include "tests/support/TempFolder.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;

namespace {

using plenvue::test::ComInit;
using plenvue::test::SolidPicture;

// Cyrillic, CJK and a character outside the BMP (a surrogate pair in UTF-16).
const std::string kFolderName = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xE6\x9D\x8E";        // "Иван 李"
const std::string kFileName = "\xD1\x81\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA \xE6\x88\xAA\xE5\x9B\xBE "
                              "\xF0\x9F\x93\xB7";                                          // "снимок 截图 📷"

// Whether a file of exactly this name exists, asked in UTF-16 without any conversion of ours.
bool ExistsWide(const std::wstring& path) {
    std::wstring name = path.size() >= MAX_PATH ? L"\\\\?\\" + path : path;
    return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Save, open, copy, move and delete in one folder, checked against the UTF-16 names.
void ExerciseFileCommands(const std::string& folder) {
    ComInit com;
    SetFileSystem(&Win32FileSystem());
    ASSERT_TRUE(CreatePath(folder)) << "folder not created";
    ASSERT_TRUE(IsExistingFolder(folder));
    ASSERT_TRUE(ExistsWide(Widen(folder)));

    const std::string shot = folder + "\\" + kFileName + ".bmp";
    std::string written;
    FileError saved = SavePictureFile(SolidPicture(8, 6, RGB(10, 200, 30)), shot, written);
    ASSERT_FALSE(saved) << saved.Number << " " << saved.Description;
    EXPECT_EQ(written, shot);
    ASSERT_TRUE(ExistsWide(Widen(shot))) << "saved under another name";

    Picture opened;
    FileError loaded = LoadPictureFile(shot, opened, RGB(255, 255, 255));
    ASSERT_FALSE(loaded) << loaded.Number << " " << loaded.Description;
    EXPECT_EQ(opened.PixelSize().cx, 8);
    EXPECT_EQ(opened.PixelSize().cy, 6);

    const std::string jpeg = folder + "\\" + kFileName + ".jpg";
    ASSERT_FALSE(SavePictureFile(SolidPicture(8, 6, RGB(0, 0, 255)), jpeg, written));
    EXPECT_TRUE(ExistsWide(Widen(jpeg)));
    const std::string png = folder + "\\" + kFileName + ".png";
    ASSERT_FALSE(SavePictureFile(SolidPicture(8, 6, RGB(0, 0, 255)), png, written));
    EXPECT_FALSE(LoadPictureFile(png, opened, RGB(255, 255, 255)));

    const std::string copy = folder + "\\" + kFolderName + " copy.bmp";
    ASSERT_TRUE(CopyPictureFile(shot, copy));
    EXPECT_TRUE(ExistsWide(Widen(shot)));
    EXPECT_TRUE(ExistsWide(Widen(copy)));
    const std::string moved = folder + "\\" + kFolderName + " moved.bmp";
    ASSERT_TRUE(MovePictureFile(copy, moved));
    EXPECT_FALSE(ExistsWide(Widen(copy)));
    EXPECT_FALSE(LoadPictureFile(moved, opened, RGB(255, 255, 255)));
    for (const std::string& f : {shot, moved, jpeg, png}) {
        EXPECT_TRUE(DeletePictureFile(f)) << f;
        EXPECT_FALSE(ExistsWide(Widen(f))) << f;
    }
    SetFileSystem(nullptr);
}

}  // namespace

TEST(UnicodeFileNames, PicturesSaveOpenCopyMoveAndDeleteUnderCyrillicAndCjkNames) {
    test::TempFolder tmp("unicode");
    ExerciseFileCommands(tmp.Path() + "\\" + kFolderName + "\\" + kFolderName);
}

TEST(UnicodeFileNames, PathsLongerThanMaxPathWork) {
    test::TempFolder tmp("longpath");
    std::string folder = tmp.Path();
    while (folder.size() < 300) folder += "\\" + std::string(40, 'd') + kFolderName;
    ASSERT_GT(Widen(folder + "\\" + kFileName + ".bmp").size(), static_cast<size_t>(MAX_PATH));
    ExerciseFileCommands(folder);
    // Folders just over the limit for folders but under MAX_PATH need the prefix too.
    std::string edge = tmp.Path() + "\\";
    edge += std::string(250 - Widen(edge).size(), 'e');
    ASSERT_TRUE(CreatePath(edge));
    EXPECT_TRUE(IsExistingFolder(edge));
}

TEST(UnicodeFileNames, IllFormedNamesReachNoFile) {
    ComInit com;
    SetFileSystem(&Win32FileSystem());
    test::TempFolder tmp("illformed");
    std::string written;
    // An invalid byte and a UTF-8-encoded surrogate: no conversion may turn them into some other name.
    for (const std::string& bad : {std::string("shot\xFF.bmp"), std::string("shot\xED\xA0\x80.bmp"),
                                   std::string("shot\0x.bmp", 10)}) {
        FileError e = SavePictureFile(SolidPicture(4, 4, RGB(1, 2, 3)), tmp.Path() + "\\" + bad, written);
        EXPECT_TRUE(e) << "saved an ill-formed name";
        EXPECT_FALSE(CreatePath(tmp.Path() + "\\" + bad + "dir"));
        EXPECT_EQ(OpenFileUtf8(tmp.Path() + "\\" + bad, "wb"), nullptr);
    }
    EXPECT_EQ(tmp.Count(), 0u) << "a file appeared under another name";
    SetFileSystem(nullptr);
}

TEST(UnicodeFileNames, PaletteFilesUnderUnicodeNamesRoundTrip) {
    test::TempFolder tmp("palette");
    ASSERT_TRUE(CreatePath(tmp.Path() + "\\" + kFolderName));
    const std::string path = tmp.Path() + "\\" + kFolderName + "\\" + kFileName + ".pal";
    clsPalette palette;
    palette.CreateWebSafe();
    ASSERT_TRUE(palette.SaveToJASCFile(path));
    EXPECT_TRUE(ExistsWide(Widen(path)));
    clsPalette back;
    ASSERT_TRUE(back.LoadFromJASCFile(path));
    EXPECT_EQ(back.count(), palette.count());
}

TEST(UnicodeFileNames, ModuleAndTempPathsAreUtf8) {
    wchar_t wide[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, wide, MAX_PATH);
    EXPECT_EQ(ModulePath(nullptr), Narrow(std::wstring_view(wide, n)));
    std::string temp = TempFolderPath();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
}

namespace {
const std::string kUnicodeKey = "Software\\Korvane Studio\\PlenvueUnicodeTest";
}

TEST(UnicodeSettings, NonAnsiPathRoundTripsAsRegSz) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kUnicodeKey.c_str());
    const std::string folder = "C:\\Users\\" + kFolderName + "\\" + kFileName + "\\";
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kUnicodeKey, "SaveFolder", folder));
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kUnicodeKey, "SaveFolder"), folder);
    // Stored as UTF-16 text of the same type, as other programs read it.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Widen(kUnicodeKey).c_str(), 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    wchar_t data[512] = {};
    DWORD type = 0, size = sizeof data;
    EXPECT_EQ(RegQueryValueExW(key, L"SaveFolder", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    std::wstring stored(data, size / sizeof(wchar_t));
    EXPECT_EQ(stored.substr(0, stored.find(L'\0')), Widen(folder));
    RegDeleteTreeA(HKEY_CURRENT_USER, kUnicodeKey.c_str());
}

TEST(UnicodeSettings, ValuesOfTheNarrowBuildReadTheSame) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kUnicodeKey.c_str());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kUnicodeKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const char folder[] = "C:\\Shots\\";
    RegSetValueExA(key, "SaveFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), sizeof folder - 1);
    const char withZero[] = "shot";
    RegSetValueExA(key, "PrefixFileName", 0, REG_SZ, reinterpret_cast<const BYTE*>(withZero), sizeof withZero);
    RegCloseKey(key);
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kUnicodeKey, "SaveFolder"), folder);
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kUnicodeKey, "PrefixFileName"), "shot");
    RegDeleteTreeA(HKEY_CURRENT_USER, kUnicodeKey.c_str());
}

TEST(UnicodeSettings, TextThatIsNoValidUtf16ReadsAsEmpty) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kUnicodeKey.c_str());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(kUnicodeKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t lone[] = {L'C', L':', 0xD800, L'x'};  // an unpaired surrogate
    RegSetValueExW(key, L"SaveFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(lone), sizeof lone);
    RegCloseKey(key);
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kUnicodeKey, "SaveFolder"), "");
    RegDeleteTreeA(HKEY_CURRENT_USER, kUnicodeKey.c_str());
}
