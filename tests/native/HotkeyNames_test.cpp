#include "settings/HotkeyNames.h"

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
    EXPECT_EQ(HotkeyKeyName(108), "Unknown");
    EXPECT_EQ(HotkeyKeyName(110), "Unknown");
    EXPECT_EQ(HotkeyKeyName(8), "BackSpace");
    EXPECT_EQ(HotkeyKeyName(32), "SpaceBar");
    EXPECT_EQ(HotkeyKeyName(40), "D Arr");
    EXPECT_EQ(HotkeyKeyName(41), "Unknown");
    EXPECT_EQ(HotkeyKeyName(121), "F10");
    EXPECT_EQ(HotkeyKeyName(124), "Unknown");
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
