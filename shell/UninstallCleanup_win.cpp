#include "shell/UninstallCleanup_win.h"

#include <windows.h>

#include "base/win/Wide_win.h"
#include "settings/StartWithWindows_win.h"

namespace plenvue {

void CleanUpForUninstall(const std::string& programFolder, const std::string& exePath, const std::string& tempFolder) {
    SetStartWithWindows(exePath, false);

    const std::wstring dll = WideName(programFolder + "Ravelin.dll");
    if (dll.empty() || DeleteFileW(dll.c_str()) || GetFileAttributesW(dll.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // Mapped by other programs: a loaded library may be renamed, not deleted.
    wchar_t parked[MAX_PATH + 1] = {};
    if (!GetTempFileNameW(WideName(tempFolder).c_str(), L"pvr", 0, parked)) return;
    if (!MoveFileExW(dll.c_str(), parked, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(parked);
        return;
    }
    MoveFileExW(parked, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace plenvue
