// The portable rules of the hot key control: its property defaults, the rule words of
// InvalidHotKeyOperation and the errors of SetApplicationHotKey.
#pragma once
#include <cstdint>
#include <optional>

#include "base/ErrorObject.h"

namespace plenvue {

inline constexpr const char* kHotkeyDefaultFontName = "MS Sans Serif";
inline constexpr int32_t kHotkeyDefaultFontSize = 8;
inline constexpr int32_t kHotkeyDefaultKey = 0;
inline constexpr int32_t kHotkeyDefaultModifier = 4;

// The rule word after setting (state true) or clearing (false) `bits`.
inline constexpr int32_t HotkeyRuleWord(int32_t word, int32_t bits, bool state) {
    return state ? (word | bits) : (word & ~bits);
}

// The error for a result of the platform's "set a window's hot key" message other than 1 (success):
// 2 already assigned, 0 invalid window, -1 invalid hot key, anything else a failure. Source
// "Plenvue.cHotKey".
std::optional<ErrorObject> SetApplicationHotKeyError(int32_t result);

}  // namespace plenvue
