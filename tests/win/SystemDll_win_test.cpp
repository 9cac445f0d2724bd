// The system DLLs that are not known DLLs come from the system folder, whatever lies beside the
// program; and the shipped-binary list the import check reads covers each module.
#include "base/win/SystemDll_win.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/SaveFolder_win.h"
#include "settings/StartWithWindows.h"
#include "settings/StartWithWindows_win.h"
#include "settings/modRegistry_win.h"

using namespace plenvue;

namespace {

std::string ModulePath(HMODULE m) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(m, path, MAX_PATH);
    return path;
}

std::string SystemFolder() {
    char sys[MAX_PATH] = {};
    GetSystemDirectoryA(sys, MAX_PATH);
    return sys;
}

std::string Lower(std::string s) {
    CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

}  // namespace

TEST(SystemDll, WinmmAndWinspoolAreLoadedFromTheSystemFolder) {
    for (const wchar_t* dll : {L"winmm.dll", L"winspool.drv"}) {
        HMODULE m = sysdll::SystemModule(dll);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(Lower(ModulePath(m)).rfind(Lower(SystemFolder()) + "\\", 0), 0u) << ModulePath(m);
        EXPECT_EQ(sysdll::SystemModule(dll), m);  // loaded once
    }
    EXPECT_EQ(sysdll::SystemModule(L"plenvue-no-such.dll"), nullptr);
}

// Each function taken from the system folder gives the answer, and leaves the error, that the one
// the linker binds gives; with no printer there, those are the documented answers.
TEST(SystemDll, LoadedFunctionsAnswerAsTheSystemDoes) {
    EXPECT_EQ(sysdll::waveOutGetNumDevs(), waveOutGetNumDevs());

    DWORD needed = 77, count = 77, sysNeeded = 77, sysCount = 77;
    SetLastError(0);
    const BOOL listed = sysdll::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    const DWORD listedError = GetLastError();
    SetLastError(0);
    const BOOL sysListed = ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &sysNeeded, &sysCount);
    EXPECT_EQ(listed, sysListed);
    EXPECT_EQ(listedError, GetLastError());
    EXPECT_EQ(needed, sysNeeded);
    EXPECT_EQ(count, 0u) << "nothing is written into a buffer of no bytes";
    if (needed == 0) {
        EXPECT_TRUE(listed) << "no printer: an empty list, at once";
    } else {
        EXPECT_FALSE(listed);
        EXPECT_EQ(listedError, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    }

    HANDLE printer = reinterpret_cast<HANDLE>(1);
    char none[] = "Plenvue No Such Printer";
    SetLastError(0);
    EXPECT_FALSE(sysdll::OpenPrinterA(none, &printer, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

    DWORD size = 0, sysSize = 0;
    SetLastError(0);
    const BOOL named = sysdll::GetDefaultPrinterA(nullptr, &size);
    const DWORD namedError = GetLastError();
    SetLastError(0);
    EXPECT_EQ(named, ::GetDefaultPrinterA(nullptr, &sysSize));
    EXPECT_EQ(namedError, GetLastError());
    EXPECT_EQ(size, sysSize);
    EXPECT_FALSE(named) << "no buffer holds no name";
    if (needed == 0) {
        EXPECT_EQ(namedError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "no printer, no default one";
    } else if (namedError == ERROR_INSUFFICIENT_BUFFER) {
        EXPECT_GT(size, 1u) << "the default printer's name and its terminator";
    }
}

TEST(StartWithWindowsWin, EntryIsWrittenReadAndRemovedAndAnotherCopysEntryStays) {
    const std::string exe = "C:\\Plenvue Test\\Plenvue.exe";
    const std::string other = "\"D:\\Other\\Plenvue.exe\" /tray";
    std::string before = ReadRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue);
    bool hadEntry = ReadRegValue(HKEY_CURRENT_USER, kRunSubkey, kRunValue).has_value();

    ASSERT_TRUE(SetStartWithWindows(exe, true));
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue), RunEntryCommand(exe));
    EXPECT_TRUE(StartsWithWindows(exe));
    EXPECT_FALSE(StartsWithWindows("C:\\Elsewhere\\Plenvue.exe"));
    ASSERT_TRUE(SetStartWithWindows(exe, false));
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, kRunSubkey, kRunValue).has_value());
    EXPECT_TRUE(SetStartWithWindows(exe, false));  // nothing to remove is no failure

    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue, other));
    EXPECT_TRUE(SetStartWithWindows(exe, false));
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue), other);

    if (hadEntry) {
        WriteRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue, before);
    } else {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunSubkey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kRunValue);
            RegCloseKey(key);
        }
    }
}

TEST(SaveFolderWin, WritableProbeLeavesNothingBehind) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "plenvue-writable-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_TRUE(IsFolderWritable(folder));
    EXPECT_TRUE(IsFolderWritable(folder + "\\"));
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "the probe file was left in the folder";
    EXPECT_FALSE(IsFolderWritable(folder));  // gone now
    EXPECT_FALSE(IsFolderWritable(""));
}

TEST(SaveFolderWin, InstalledCopyFallsBackToPicturesAndLeavesOtherFoldersUnmade) {
    std::string pictures = PicturesFolder();
    ASSERT_FALSE(pictures.empty());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string program = std::string(temp) + "plenvue-installed-" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(program.c_str(), nullptr));
    EXPECT_EQ(DefaultSaveFolder(program), program);  // writable, not installed: a portable copy

    auto before = ReadRegValue(HKEY_CURRENT_USER, kInstallerSubkey, kValInstallFolder);
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kInstallerSubkey, kValInstallFolder, program));
    EXPECT_EQ(DefaultSaveFolder(program), pictures + "\\Plenvue\\");
    if (before) WriteRegText(HKEY_CURRENT_USER, kInstallerSubkey, kValInstallFolder, RegValueText(before));
    else RegDeleteKeyA(HKEY_CURRENT_USER, kInstallerSubkey);

    // Making the Pictures subfolder on the first save is seen end to end; here only that a
    // folder the user set is never made by it.
    std::string unrelated = program + "not-made\\";
    PrepareSaveFolder(unrelated);
    EXPECT_EQ(GetFileAttributesA(unrelated.c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryA(program.c_str());
}
