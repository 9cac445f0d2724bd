// Hot key display names and modifier translation.
#include "settings/HotkeyNames.h"

namespace plenvue {

namespace {

// Shift 1 <-> 4, Ctrl 2 <-> 2, Alt 4 <-> 1: the same bit swap both ways.
int32_t SwapShiftAlt(int32_t m) { return (m & 2) | ((m & 1) << 2) | ((m & 4) >> 2); }

}  // namespace

uint16_t WithHotkeyModifier(uint16_t word, int32_t modifier) {
    uint32_t m = static_cast<uint32_t>(modifier) & 0xFF;  // two's complement keeps negatives in 0..255
    return static_cast<uint16_t>((word & 0x00FF) | (m << 8));
}

uint16_t WithHotkeyKey(uint16_t word, int32_t key) {
    uint32_t k = static_cast<uint32_t>(key) & 0xFF;
    return static_cast<uint16_t>((word & 0xFF00) | k);
}

std::string HotkeyModifierPrefix(int32_t modifier) {
    switch (modifier) {
    case 1: return "Shift+";
    case 2: return "Ctrl+";
    case 3: return "Ctrl+Shift+";
    case 4: return "Alt+";
    case 5: return "Alt+Shift+";
    case 6: return "Ctrl+Alt+";
    case 7: return "Ctrl+Alt+Shift+";
    default: return {};
    }
}

std::string HotkeyKeyName(int32_t key) {
    if (key == 0) return {};
    if ((key >= 48 && key <= 57) || (key >= 65 && key <= 90)) return std::string(1, static_cast<char>(key));
    if (key >= 96 && key <= 105) return "N " + std::to_string(key - 96);
    if (key >= 112 && key <= 123) return "F" + std::to_string(key - 111);
    switch (key) {
    case 8: return "BackSpace";
    case 32: return "SpaceBar";
    case 33: return "PgUp";
    case 34: return "PgDn";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "L Arr";
    case 38: return "U Arr";
    case 39: return "R Arr";
    case 40: return "D Arr";
    case 106: return "N *";
    case 107: return "N +";
    case 109: return "N -";
    case 111: return "N /";
    case 186: return ";";
    case 187: return "=";
    case 188: return ",";
    case 189: return "-";
    case 190: return ".";
    case 191: return "/";
    case 192: return "~";
    case 219: return "[";
    case 220: return "\\";
    case 221: return "]";
    case 222: return "'";
    default: return "Unknown";
    }
}

std::string GetHotkeyName(int32_t modifier, int32_t key) {
    return HotkeyModifierPrefix(modifier) + HotkeyKeyName(key);
}

int32_t ControlToRegisterModifiers(int32_t controlModifier) {
    if (controlModifier < 0 || controlModifier > 15) return controlModifier;
    return SwapShiftAlt(controlModifier & 7);
}

int32_t RegisterToControlModifiers(int32_t registerModifier) {
    if (registerModifier < 0 || registerModifier > 7) return registerModifier;
    return SwapShiftAlt(registerModifier);
}

int32_t StoredHotkeyModifier(int32_t controlModifier) {
    if (controlModifier < 0 || controlModifier > 15) return controlModifier;
    return controlModifier & (kHkShift | kHkCtrl | kHkAlt);
}

bool HotkeyNeedsCtrlOrAlt(int32_t controlModifier, int32_t key) {
    if (controlModifier >= 0 && controlModifier <= 15 && (controlModifier & (kHkCtrl | kHkAlt)) != 0) return false;
    if (key >= '0' && key <= '9') return true;
    if (key >= 'A' && key <= 'Z') return true;
    if (key >= 96 && key <= 111) return true;   // keypad digits and operators
    if (key >= 186 && key <= 192) return true;  // ; = , - . / ~
    if (key >= 219 && key <= 223) return true;  // [ \ ] ' and the key beside them
    if (key >= 32 && key <= 40) return true;    // blank, page, end, home, arrows
    switch (key) {
    case 8:    // backspace
    case 9:    // tab
    case 13:   // enter
    case 27:   // escape
    case 45:   // insert
    case 46:   // delete
    case 226:  // the extra key of European keyboards
        return true;
    default: return false;
    }
}

}  // namespace plenvue
