// Registry values as the settings see them: the raw value of one registry read turned into text,
// and text turned into what is stored. The Win32 layer only moves raw bytes; every rule lives here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvue {

// HKEY_CURRENT_USER subkey holding every setting.
inline constexpr const char* kSettingsSubkey = "Software\\Korvane Studio\\Plenvue";

// Registry value types the reader understands (the platform's REG_* codes).
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegDword = 4;

// Values this large or larger read as empty text (the reader's buffer is this size).
inline constexpr size_t kRegReadLimit = 1024;

// One value as read from the registry: its type code and its bytes, as many as the value holds.
struct RawRegValue {
    uint32_t Type = 0;
    std::vector<uint8_t> Data;
};

// Text of a value; nullopt stands for a missing key or value, or a failed read.
// Text types give the bytes up to the first zero (no environment expansion); REG_DWORD gives the
// signed decimal of its 4 bytes; other types and values of kRegReadLimit bytes or more give "".
std::string RegValueText(const std::optional<RawRegValue>& value);

// The text that is written for a setting: empty text is never stored, a single blank stands for it.
std::string StoredText(std::string_view text);

}  // namespace plenvue
