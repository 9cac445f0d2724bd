// Hot key values as the hot key control holds them, their display names, and the translation of
// the control's modifier set into the modifiers of a system-wide hot key registration.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace plenvue {

// Hot key control modifier flags (high byte of the value word).
inline constexpr int32_t kHkShift = 1;
inline constexpr int32_t kHkCtrl = 2;
inline constexpr int32_t kHkAlt = 4;
inline constexpr int32_t kHkExtended = 8;

// Registration modifier flags.
inline constexpr int32_t kModAlt = 1;
inline constexpr int32_t kModCtrl = 2;
inline constexpr int32_t kModShift = 4;

// The control's 16-bit value word: key code in the low byte, modifier set in the high byte.
inline constexpr int32_t HotkeyWordKey(uint16_t word) { return word & 0xFF; }
inline constexpr int32_t HotkeyWordModifier(uint16_t word) { return word >> 8; }
// The word with its modifier byte replaced; the new value is taken modulo 256.
uint16_t WithHotkeyModifier(uint16_t word, int32_t modifier);
// The word with its key byte replaced; the new value is taken modulo 256.
uint16_t WithHotkeyKey(uint16_t word, int32_t key);

// "Ctrl+Alt+" for 6 etc.; empty for 8 and any value outside 1..7.
std::string HotkeyModifierPrefix(int32_t modifier);
// "A", "F12", "N *", "L Arr", "Print Screen", ...: every key the hot key control takes has a name;
// "Unknown" for codes without one (the modifier keys themselves, unassigned codes); empty for 0.
std::string HotkeyKeyName(int32_t key);
// Prefix followed by key name: (6, 48) gives "Ctrl+Alt+0"; (8, 123) gives "F12"; (2, 0) gives "Ctrl+".
std::string GetHotkeyName(int32_t modifier, int32_t key);

// Control modifier set -> registration modifiers: Shift 1->4, Ctrl 2->2, Alt 4->1, combinations
// accordingly, 8 and 0 -> none. The extended-key flag is not a modifier and is dropped, so Ctrl with
// an arrow key (10) registers as Ctrl; values outside 0..15 are passed on unchanged.
int32_t ControlToRegisterModifiers(int32_t controlModifier);
// Registration modifiers 0..7 -> control modifier set (0 gives 0); other values unchanged.
int32_t RegisterToControlModifiers(int32_t registerModifier);

// The modifier as the Options dialog keeps and stores it: the control's set without the
// extended-key flag, which registration ignores and the stored form cannot carry (the load step
// reads only one digit, so "10" for Ctrl with an arrow key would come back as Ctrl+Alt). Values
// outside 0..15 are passed on unchanged.
int32_t StoredHotkeyModifier(int32_t controlModifier);

// True for a combination that would take a key used for typing or editing away from every other
// program: a letter, digit, blank, punctuation, keypad, editing or cursor key with neither Ctrl
// nor Alt. Function keys, Print Screen, Pause and the like may stand alone; key 0 is no hot key.
bool HotkeyNeedsCtrlOrAlt(int32_t controlModifier, int32_t key);

// The words of shortcut and hot key texts that a language names its own way ("Strg", "Entf"), with
// their language items (13052-13057).
struct KeyWord {
    const char* Word;
    int Item;
};
inline constexpr KeyWord kKeyWords[] = {{"Ctrl", 13052}, {"Shift", 13053}, {"Alt", 13054},
                                        {"Del", 13055},  {"Plus", 13056},  {"Minus", 13057}};
// "Ctrl+Shift+C" in the language's words: each "+"-separated part that is one of kKeyWords becomes
// text(item, word); letters, digits and other names stay.
std::string ShortcutText(std::string_view shortcut, const std::function<std::string(int item, const std::string& word)>& text);

}  // namespace plenvue
