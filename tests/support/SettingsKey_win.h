// The settings key put back after a test: every value under it is taken at construction and
// restored at destruction, values added since are removed, and a key that was missing is removed
// again. Tests that write settings hold one, so no test sees what another stored.
#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/modRegistry_win.h"

namespace plenvue::test {

class SettingsKeyRestore {
public:
    SettingsKeyRestore() : snapshot_(Snapshot()) {}
    ~SettingsKeyRestore() { Restore(); }
    SettingsKeyRestore(const SettingsKeyRestore&) = delete;
    SettingsKeyRestore& operator=(const SettingsKeyRestore&) = delete;

    // Puts the key back exactly as it was found.
    void Restore() const {
        if (!snapshot_) {
            RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsSubkey);
            return;
        }
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsSubkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        if (Values now = Snapshot())
            for (const auto& [name, value] : *now)
                if (!snapshot_->count(name)) RegDeleteValueA(key, name.c_str());
        for (const auto& [name, value] : *snapshot_)
            RegSetValueExA(key, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
        RegCloseKey(key);
    }

private:
    struct Value {
        DWORD type;
        std::vector<BYTE> data;
    };
    // Every value with its type and bytes; nullopt when the key is missing.
    using Values = std::optional<std::map<std::string, Value>>;

    static Values Snapshot() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsSubkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
        std::map<std::string, Value> values;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameLen = sizeof name, type = 0, size = 0;
            if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
            Value v{type, std::vector<BYTE>(size)};
            nameLen = sizeof name;
            RegEnumValueA(key, i, name, &nameLen, nullptr, &type, v.data.data(), &size);
            v.data.resize(size);
            values[std::string(name, nameLen)] = std::move(v);
        }
        RegCloseKey(key);
        return values;
    }

    Values snapshot_;
};

}  // namespace plenvue::test
