#include "settings/StartWithWindows_win.h"

#include <windows.h>

#include "base/win/Handles_win.h"
#include "settings/StartWithWindows.h"
#include "settings/modRegistry_win.h"

namespace plenvue {

std::string ThisProgramPath() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

bool StartsWithWindows(const std::string& exePath) {
    auto raw = ReadRegValue(HKEY_CURRENT_USER, kRunSubkey, kRunValue);
    return raw && RunEntryNamesProgram(ReadRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue), exePath);
}

bool SetStartWithWindows(const std::string& exePath, bool on) {
    if (on) return !exePath.empty() && WriteRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue, RunEntryCommand(exePath));
    if (!StartsWithWindows(exePath)) return true;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunSubkey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    UniqueRegKey owned(key);
    return RegDeleteValueA(key, kRunValue) == ERROR_SUCCESS;
}

}  // namespace plenvue
