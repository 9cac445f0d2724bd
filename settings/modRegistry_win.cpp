#include "settings/modRegistry_win.h"

#include "base/win/Handles_win.h"

namespace plenvue {

bool WriteRegText(HKEY root, const std::string& subkey, const std::string& valueName, std::string_view text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey owned(key);
    std::string stored = StoredText(text);
    // The byte count excludes a terminating zero; readers stop at the value's end either way.
    return RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.data()),
                          static_cast<DWORD>(stored.size())) == ERROR_SUCCESS;
}

std::optional<RawRegValue> ReadRegValue(HKEY root, const std::string& subkey, const std::string& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    UniqueRegKey owned(key);
    RawRegValue value;
    value.Data.resize(kRegReadLimit);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(value.Data.size());
    // A larger value fails with ERROR_MORE_DATA and counts as unreadable.
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, value.Data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.Type = type;
    value.Data.resize(size);
    // The ANSI query appends a terminator to text when there is room; it is not part of the value.
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && !value.Data.empty() && value.Data.back() == 0)
        value.Data.pop_back();
    return value;
}

std::string ReadRegText(HKEY root, const std::string& subkey, const std::string& valueName) {
    return RegValueText(ReadRegValue(root, subkey, valueName));
}

bool WriteSetting(const std::string& valueName, std::string_view text) {
    return WriteRegText(HKEY_CURRENT_USER, kSettingsSubkey, valueName, text);
}

std::string ReadSetting(const std::string& valueName) {
    return ReadRegText(HKEY_CURRENT_USER, kSettingsSubkey, valueName);
}

}  // namespace plenvue
