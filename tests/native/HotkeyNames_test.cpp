#include "settings/HotkeyNames.h"

#include <regex>
#include <set>

#include <gtest/gtest.h>

using namespace plenvue;

TEST(HotkeyNames, PrefixFollowedByKeyName) {
    EXPECT_EQ(GetHotkeyName(6, 48), "Ctrl+Alt+0");
    EXPECT_EQ(GetHotkeyName(8, 123), "F12");
    EXPECT_EQ(GetHotkeyName(3, 65), "Ctrl+Shift+A");
    EXPECT_EQ(GetHotkeyName(0, 112), "F1");
    EXPECT_EQ(GetHotkeyName(2, 0), "Ctrl+");
    EXPECT_EQ(GetHotkeyName(7, 90), "Ctrl+Alt+Shift+Z");
    EXPECT_EQ(GetHotkeyName(5, 57), "Alt+Shift+9");
    EXPECT_EQ(GetHotkeyName(10, 37), "L Arr");  // Ctrl with the extended flag shows no prefix
    EXPECT_EQ(GetHotkeyName(8, 0), "");
}

TEST(HotkeyNames, KeyNameTable) {
    EXPECT_EQ(HotkeyKeyName(96), "N 0");
    EXPECT_EQ(HotkeyKeyName(105), "N 9");
    EXPECT_EQ(HotkeyKeyName(106), "N *");
    EXPECT_EQ(HotkeyKeyName(107), "N +");
    EXPECT_EQ(HotkeyKeyName(109), "N -");
    EXPECT_EQ(HotkeyKeyName(111), "N /");
    EXPECT_EQ(HotkeyKeyName(108), "N Enter");
    EXPECT_EQ(HotkeyKeyName(110), "N .");
    EXPECT_EQ(HotkeyKeyName(8), "BackSpace");
    EXPECT_EQ(HotkeyKeyName(32), "SpaceBar");
    EXPECT_EQ(HotkeyKeyName(40), "D Arr");
    EXPECT_EQ(HotkeyKeyName(41), "Select");
    EXPECT_EQ(HotkeyKeyName(121), "F10");
    EXPECT_EQ(HotkeyKeyName(124), "F13");
    EXPECT_EQ(HotkeyKeyName(135), "F24");
    EXPECT_EQ(HotkeyKeyName(136), "Unknown");
    EXPECT_EQ(HotkeyKeyName(192), "~");
    EXPECT_EQ(HotkeyKeyName(220), "\\");
    EXPECT_EQ(HotkeyKeyName(222), "'");
    EXPECT_EQ(HotkeyKeyName(64), "Unknown");
    EXPECT_EQ(HotkeyKeyName(91), "Unknown");
    EXPECT_EQ(HotkeyKeyName(261), "Unknown");
}

TEST(HotkeyNames, WritingModifierKeepsKeyAndWrapsModulo256) {
    uint16_t w = WithHotkeyKey(WithHotkeyModifier(0, 4), 53);
    EXPECT_EQ(w, 0x0435);
    w = WithHotkeyModifier(w, 6);
    EXPECT_EQ(HotkeyWordKey(w), 53);
    EXPECT_EQ(HotkeyWordModifier(w), 6);
    EXPECT_EQ(GetHotkeyName(HotkeyWordModifier(w), HotkeyWordKey(w)), "Ctrl+Alt+5");
    EXPECT_EQ(HotkeyWordModifier(WithHotkeyModifier(w, 262)), 6);
    EXPECT_EQ(HotkeyWordModifier(WithHotkeyModifier(w, -1)), 255);
    EXPECT_EQ(HotkeyWordKey(WithHotkeyKey(w, 256 + 65)), 65);
    EXPECT_EQ(HotkeyWordModifier(WithHotkeyKey(w, 65)), 6);
}

TEST(HotkeyModifiers, ControlToRegistrationTable) {
    const int32_t expected[9] = {0, 4, 2, 6, 1, 5, 3, 7, 0};
    for (int32_t m = 0; m <= 8; ++m) EXPECT_EQ(ControlToRegisterModifiers(m), expected[m]) << m;
    EXPECT_EQ(ControlToRegisterModifiers(10), 2);  // Ctrl + extended key registers as Ctrl, not Ctrl+Win
    EXPECT_EQ(ControlToRegisterModifiers(9), 4);
    EXPECT_EQ(ControlToRegisterModifiers(16), 16);
    EXPECT_EQ(ControlToRegisterModifiers(-3), -3);
}

TEST(HotkeyModifiers, RegistrationToControlInvertsTable) {
    for (int32_t m = 0; m <= 7; ++m) EXPECT_EQ(ControlToRegisterModifiers(RegisterToControlModifiers(m)), m);
    EXPECT_EQ(RegisterToControlModifiers(kModAlt | kModCtrl), kHkAlt | kHkCtrl);
    EXPECT_EQ(RegisterToControlModifiers(9), 9);
}

// A global hot key takes its key from every program: typing and editing keys need Ctrl or Alt.
TEST(HotkeyRules, TypingKeysAloneOrWithShiftNeedCtrlOrAlt) {
    for (int32_t key : std::initializer_list<int32_t>{'A', 'Z', '0', '9', 32, 96, 106, 186, 192, 219, 222, 8, 9, 13, 27, 37, 40, 33, 36, 45, 46}) {
        EXPECT_TRUE(HotkeyNeedsCtrlOrAlt(0, key)) << key;
        EXPECT_TRUE(HotkeyNeedsCtrlOrAlt(8, key)) << key;          // stored "none"
        EXPECT_TRUE(HotkeyNeedsCtrlOrAlt(kHkShift, key)) << key;   // Shift+letter types a capital
        EXPECT_TRUE(HotkeyNeedsCtrlOrAlt(kHkShift | kHkExtended, key)) << key;
        EXPECT_FALSE(HotkeyNeedsCtrlOrAlt(kHkCtrl, key)) << key;
        EXPECT_FALSE(HotkeyNeedsCtrlOrAlt(kHkAlt, key)) << key;
        EXPECT_FALSE(HotkeyNeedsCtrlOrAlt(kHkCtrl | kHkExtended, key)) << key;
        EXPECT_FALSE(HotkeyNeedsCtrlOrAlt(kHkAlt | kHkShift, key)) << key;
    }
}

TEST(HotkeyRules, FunctionKeysPrintScreenAndNoKeyMayStandAlone) {
    for (int32_t key : {112, 123, 135, 44, 19, 145, 0})
        for (int32_t modifier : {0, 8, kHkShift}) EXPECT_FALSE(HotkeyNeedsCtrlOrAlt(modifier, key)) << key;
}

// Print Screen as a capture key was shown as "Unknown" in Options and the Tools menu.
TEST(HotkeyNames, KeysBeyondTheTypingKeysAreNamed) {
    EXPECT_EQ(GetHotkeyName(8, 44), "Print Screen");
    EXPECT_EQ(GetHotkeyName(1, 44), "Shift+Print Screen");
    EXPECT_EQ(HotkeyKeyName(19), "Pause");
    EXPECT_EQ(HotkeyKeyName(145), "Scroll Lock");
    EXPECT_EQ(HotkeyKeyName(45), "Insert");
    EXPECT_EQ(HotkeyKeyName(46), "Delete");
    EXPECT_EQ(HotkeyKeyName(144), "Num Lock");
    EXPECT_EQ(HotkeyKeyName(179), "Play/Pause");
    EXPECT_EQ(HotkeyKeyName(223), "`");
    EXPECT_EQ(HotkeyKeyName(226), "<");
    // The modifier and Windows keys are never a hot key's key and have no name of their own here.
    for (int32_t key : {16, 17, 18, 91, 92, 160, 165}) EXPECT_EQ(HotkeyKeyName(key), "Unknown") << key;
}

// Every code the hot key control can hand over, apart from the modifier keys and unassigned codes,
// reads as something other than "Unknown".
TEST(HotkeyNames, EveryAssignedKeyCodeHasAName) {
    const auto unassigned = [](int32_t k) {
        return k == 0 || k == 1 || k == 2 || k == 4 || k == 5 || k == 6 || k == 7 || k == 10 || k == 11 ||
               k == 14 || k == 15 || (k >= 16 && k <= 18) || k == 22 || k == 26 || (k >= 58 && k <= 64) ||
               (k >= 91 && k <= 92) || k == 94 || (k >= 136 && k <= 143) || (k >= 146 && k <= 165) || k == 184 || k == 185 ||
               (k >= 193 && k <= 218) || k == 224 || k == 225 || (k >= 227 && k <= 245) || k == 252 || k == 255;
    };
    for (int32_t key = 1; key < 256; ++key)
        if (!unassigned(key)) EXPECT_NE(HotkeyKeyName(key), "Unknown") << key;
}

// A German user saw "Print Screen" and "Scroll Lock" among German words: every named key is a word
// a language package names, each under an item of its own.
TEST(HotkeyNames, EveryNamedKeyIsALanguageWord) {
    std::set<int> items;
    for (const KeyWord& k : kKeyWords) {
        EXPECT_TRUE(items.insert(k.Item).second) << k.Word;
        EXPECT_TRUE((k.Item >= 13052 && k.Item <= 13057) || (k.Item >= 13060 && k.Item <= 13122)) << k.Word;
    }
    const auto isWord = [](const std::string& name) {
        for (const KeyWord& k : kKeyWords)
            if (name == k.Word) return true;
        return false;
    };
    // Letters, digits, punctuation, F1-F24 and the keypad's digits and signs read the same everywhere.
    const std::regex sameEverywhere("^(.|F[0-9]+|N .)$");
    for (int32_t key = 1; key < 256; ++key) {
        const std::string name = HotkeyKeyName(key);
        if (!std::regex_match(name, sameEverywhere)) EXPECT_TRUE(isWord(name)) << key << " " << name;
    }
    const auto german = [](int item, const std::string& word) -> std::string {
        return item == 13052 ? "Strg" : item == 13081 ? "Druck" : item == 13089 ? "Rollen" : word;
    };
    EXPECT_EQ(LocalHotkeyName(6, 44, german), "Strg+Alt+Druck");
    EXPECT_EQ(LocalHotkeyName(8, 145, german), "Rollen");
    EXPECT_EQ(LocalHotkeyName(2, 107, german), "Strg+N +") << "a keypad sign is no separator";
    EXPECT_EQ(LocalHotkeyName(6, 44, {}), "Ctrl+Alt+Print Screen");
}
