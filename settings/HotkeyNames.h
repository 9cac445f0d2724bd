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

// The words of shortcut and hot key texts that a language names its own way ("Strg", "Entf",
// "Druck"), with their language items: the modifier and menu words (13052-13057) and every named
// key HotkeyKeyName gives (13060-13122).
struct KeyWord {
    const char* Word;
    int Item;
};
inline constexpr KeyWord kKeyWords[] = {
    {"Ctrl", 13052}, {"Shift", 13053}, {"Alt", 13054}, {"Del", 13055}, {"Plus", 13056}, {"Minus", 13057},
    {"Unknown", 13060}, {"Break", 13061}, {"BackSpace", 13062}, {"Tab", 13063}, {"Clear", 13064},
    {"Enter", 13065}, {"Pause", 13066}, {"Caps Lock", 13067}, {"Esc", 13068}, {"SpaceBar", 13069},
    {"PgUp", 13070}, {"PgDn", 13071}, {"End", 13072}, {"Home", 13073}, {"L Arr", 13074}, {"U Arr", 13075},
    {"R Arr", 13076}, {"D Arr", 13077}, {"Select", 13078}, {"Print", 13079}, {"Execute", 13080},
    {"Print Screen", 13081}, {"Insert", 13082}, {"Delete", 13083}, {"Help", 13084}, {"Application", 13085},
    {"Sleep", 13086}, {"N Enter", 13087}, {"Num Lock", 13088}, {"Scroll Lock", 13089},
    {"Browser Back", 13090}, {"Browser Forward", 13091}, {"Browser Refresh", 13092}, {"Browser Stop", 13093},
    {"Browser Search", 13094}, {"Browser Favorites", 13095}, {"Browser Home", 13096}, {"Volume Mute", 13097},
    {"Volume Down", 13098}, {"Volume Up", 13099}, {"Next Track", 13100}, {"Previous Track", 13101},
    {"Stop Media", 13102}, {"Play/Pause", 13103}, {"Mail", 13104}, {"Select Media", 13105},
    {"Launch App 1", 13106}, {"Launch App 2", 13107}, {"Kana", 13108}, {"Junja", 13109}, {"Final", 13110},
    {"Kanji", 13111}, {"Convert", 13112}, {"Nonconvert", 13113}, {"Accept", 13114}, {"Mode Change", 13115},
    {"Attn", 13116}, {"CrSel", 13117}, {"ExSel", 13118}, {"Erase EOF", 13119}, {"Play", 13120},
    {"Zoom", 13121}, {"PA1", 13122}};
// "Ctrl+Shift+C" in the language's words: each "+"-separated part that is one of kKeyWords becomes
// text(item, word); letters, digits and other names stay.
using KeyWordText = std::function<std::string(int item, const std::string& word)>;
std::string ShortcutText(std::string_view shortcut, const KeyWordText& text);
// GetHotkeyName in the language's words; English where `text` is empty.
std::string LocalHotkeyName(int32_t modifier, int32_t key, const KeyWordText& text);

}  // namespace plenvue
