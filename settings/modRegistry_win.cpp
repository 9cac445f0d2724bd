#include "settings/modRegistry_win.h"

#include "base/win/Handles_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

bool WriteRegText(HKEY root, const std::string& subkey, const std::string& valueName, std::string_view text) {
    auto wideKey = WidenChecked(subkey);
    auto wideName = WidenChecked(valueName);
    auto wideText = WidenChecked(StoredText(text));
    if (!wideKey || !wideName || !wideText) return false;
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, wideKey->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey owned(key);
    // The byte count excludes a terminating zero; readers stop at the value's end either way.
    return RegSetValueExW(key, wideName->c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wideText->data()),
                          static_cast<DWORD>(wideText->size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::optional<RawRegValue> ReadRegValue(HKEY root, const std::string& subkey, const std::string& valueName) {
    auto wideKey = WidenChecked(subkey);
    auto wideName = WidenChecked(valueName);
    if (!wideKey || !wideName) return std::nullopt;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, wideKey->c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
    UniqueRegKey owned(key);
    RawRegValue value;
    // Room for kRegReadLimit wide units, so the limit counts characters of text as it always did.
    value.Data.resize(kRegReadLimit * sizeof(wchar_t));
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(value.Data.size());
    // A larger value fails with ERROR_MORE_DATA and counts as unreadable.
    if (RegQueryValueExW(key, wideName->c_str(), nullptr, &type, value.Data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.Type = type;
    value.Data.resize(size);
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        if (value.Data.size() > kRegReadLimit) return std::nullopt;  // as large as the narrow reader refused
        return value;
    }
    // Text is stored in UTF-16 (what the ANSI build wrote was converted on its way in); the settings
    // see it in UTF-8, up to its first zero. Text that is no valid UTF-16 reads as empty.
    std::wstring_view wide(reinterpret_cast<const wchar_t*>(value.Data.data()), value.Data.size() / sizeof(wchar_t));
    wide = wide.substr(0, wide.find(L'\0'));
    if (wide.size() >= kRegReadLimit) return std::nullopt;  // as long as the narrow reader refused
    std::string text = NarrowChecked(wide).value_or(std::string());
    value.Data.assign(text.begin(), text.end());
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
