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
    if (key >= 112 && key <= 135) return "F" + std::to_string(key - 111);
    switch (key) {
    case 3: return "Break";
    case 8: return "BackSpace";
    case 9: return "Tab";
    case 12: return "Clear";
    case 13: return "Enter";
    case 19: return "Pause";
    case 20: return "Caps Lock";
    case 21: return "Kana";
    case 23: return "Junja";
    case 24: return "Final";
    case 25: return "Kanji";
    case 27: return "Esc";
    case 28: return "Convert";
    case 29: return "Nonconvert";
    case 30: return "Accept";
    case 31: return "Mode Change";
    case 32: return "SpaceBar";
    case 33: return "PgUp";
    case 34: return "PgDn";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "L Arr";
    case 38: return "U Arr";
    case 39: return "R Arr";
    case 40: return "D Arr";
    case 41: return "Select";
    case 42: return "Print";
    case 43: return "Execute";
    case 44: return "Print Screen";
    case 45: return "Insert";
    case 46: return "Delete";
    case 47: return "Help";
    case 93: return "Application";
    case 95: return "Sleep";
    case 106: return "N *";
    case 107: return "N +";
    case 108: return "N Enter";
    case 109: return "N -";
    case 110: return "N .";
    case 111: return "N /";
    case 144: return "Num Lock";
    case 145: return "Scroll Lock";
    case 166: return "Browser Back";
    case 167: return "Browser Forward";
    case 168: return "Browser Refresh";
    case 169: return "Browser Stop";
    case 170: return "Browser Search";
    case 171: return "Browser Favorites";
    case 172: return "Browser Home";
    case 173: return "Volume Mute";
    case 174: return "Volume Down";
    case 175: return "Volume Up";
    case 176: return "Next Track";
    case 177: return "Previous Track";
    case 178: return "Stop Media";
    case 179: return "Play/Pause";
    case 180: return "Mail";
    case 181: return "Select Media";
    case 182: return "Launch App 1";
    case 183: return "Launch App 2";
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
    case 223: return "`";
    case 226: return "<";
    case 246: return "Attn";
    case 247: return "CrSel";
    case 248: return "ExSel";
    case 249: return "Erase EOF";
    case 250: return "Play";
    case 251: return "Zoom";
    case 253: return "PA1";
    case 254: return "Clear";
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

std::string LocalHotkeyName(int32_t modifier, int32_t key, const KeyWordText& text) {
    const std::string name = GetHotkeyName(modifier, key);
    return text ? ShortcutText(name, text) : name;
}

std::string ShortcutText(std::string_view shortcut, const KeyWordText& text) {
    std::string out;
    size_t start = 0;
    while (start <= shortcut.size()) {
        size_t plus = shortcut.find('+', start);
        // "Ctrl++" would name the plus key itself: a part is never empty.
        if (plus == start && start < shortcut.size()) plus = shortcut.find('+', start + 1);
        const size_t end = plus == std::string_view::npos ? shortcut.size() : plus;
        std::string part(shortcut.substr(start, end - start));
        for (const KeyWord& k : kKeyWords)
            if (part == k.Word) {
                part = text(k.Item, part);
                break;
            }
        out += part;
        if (plus == std::string_view::npos) break;
        out += '+';
        start = plus + 1;
    }
    return out;
}

}  // namespace plenvue
