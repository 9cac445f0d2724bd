#include "settings/SaveFolder_win.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "controls/modCreatePath_win.h"
#include "base/win/Wide_win.h"
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
        HANDLE h = CreateFileW(WideName(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
        folder = NarrowChecked(wide).value_or(std::string());
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
    if (!IsExistingFolder(folder)) CreatePath(folder);
}

}  // namespace plenvue
