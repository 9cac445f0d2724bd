#include "settings/SaveFolder_win.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "controls/modCreatePath_win.h"
#include "controls/modExPath.h"
#include "settings/SaveFolder.h"
#include "settings/modRegistry_win.h"

namespace plenvue {

bool IsFolderWritable(const std::string& folder) {
    if (folder.empty()) return false;
    std::string base = folder.back() == '\\' ? folder : folder + "\\";
    for (unsigned n = 0; n < 16; ++n) {
        std::string probe = base + "~plenvue-write-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(n) + ".tmp";
        HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

std::string PicturesFolder() {
    PWSTR wide = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_DEFAULT, nullptr, &wide)) && wide) {
        int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (n > 1) {
            folder.resize(static_cast<size_t>(n));
            BOOL lossy = FALSE;
            WideCharToMultiByte(CP_ACP, 0, wide, -1, folder.data(), n, nullptr, &lossy);
            folder.resize(static_cast<size_t>(n - 1));
            // A path the program's narrow file calls cannot name is no folder to save into.
            if (lossy) folder.clear();
        }
    }
    CoTaskMemFree(wide);
    return folder;
}

std::string DefaultSaveFolder(const std::string& programFolder) {
    bool installed = IsInstalledFolder(programFolder, ReadRegText(HKEY_CURRENT_USER, kInstallerSubkey, kValInstallFolder));
    bool writable = !installed && IsFolderWritable(programFolder);
    return FallbackSaveFolder(programFolder, writable, installed, writable ? std::string() : PicturesFolder());
}

void PrepareSaveFolder(const std::string& folder) {
    std::string pictures = PicturesFolder();
    if (pictures.empty()) return;
    if (LowerAscii(folder) != LowerAscii(FallbackSaveFolder("", false, true, pictures))) return;
    DWORD a = GetFileAttributesA(folder.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) return;
    CreatePath(folder);
}

}  // namespace plenvue
