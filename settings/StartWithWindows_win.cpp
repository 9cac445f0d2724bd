#include "settings/StartWithWindows_win.h"

#include <windows.h>

#include "base/win/Handles_win.h"
#include "settings/StartWithWindows.h"
#include "settings/modRegistry_win.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

std::string ThisProgramPath() {
    return ModulePath(nullptr);
}

bool StartsWithWindows(const std::string& exePath) {
    auto raw = ReadRegValue(HKEY_CURRENT_USER, kRunSubkey, kRunValue);
    return raw && RunEntryNamesProgram(ReadRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue), exePath);
}

bool SetStartWithWindows(const std::string& exePath, bool on) {
    if (on) return !exePath.empty() && WriteRegText(HKEY_CURRENT_USER, kRunSubkey, kRunValue, RunEntryCommand(exePath));
    if (!StartsWithWindows(exePath)) return true;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(kRunSubkey).c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    UniqueRegKey owned(key);
    return RegDeleteValueW(key, Widen(kRunValue).c_str()) == ERROR_SUCCESS;
}

}  // namespace plenvue
