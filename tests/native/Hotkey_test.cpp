#include "settings/Hotkey.h"

#include <gtest/gtest.h>

#include "settings/HotkeyNames.h"

using namespace plenvue;

TEST(HotkeyControl, SetApplicationHotKeyResultsMapToTheirErrors) {
    EXPECT_FALSE(SetApplicationHotKeyError(1));
    struct Row { int32_t result; uint32_t number; const char* text; };
    const Row rows[] = {{2, 0x80040440u, "Hot key previously assigned"},
                        {0, 0x80040440u, "Invalid window for Hot key"},
                        {-1, 0x80040442u, "Invalid Hot key"},
                        {3, 0x80040443u, "Failed to set Hot key"},
                        {-7, 0x80040443u, "Failed to set Hot key"}};
    for (const Row& r : rows) {
        auto e = SetApplicationHotKeyError(r.result);
        ASSERT_TRUE(e) << r.result;
        EXPECT_EQ(static_cast<uint32_t>(e->Number), r.number);
        EXPECT_EQ(e->Source, "Plenvue.cHotKey");
        EXPECT_EQ(e->Description, r.text);
    }
}

TEST(HotkeyControl, RuleWordsSetAndClearOnlyTheGivenBits) {
    EXPECT_EQ(HotkeyRuleWord(0, 0x06, true), 0x06);
    EXPECT_EQ(HotkeyRuleWord(0x07, 0x02, false), 0x05);
    EXPECT_EQ(HotkeyRuleWord(0x05, 0x02, false), 0x05);
}

TEST(HotkeyNames, EveryNamedRowOfTheTable) {
    const std::pair<int32_t, const char*> rows[] = {
        {48, "0"}, {57, "9"}, {65, "A"}, {90, "Z"}, {8, "BackSpace"}, {32, "SpaceBar"}, {33, "PgUp"},
        {34, "PgDn"}, {35, "End"}, {36, "Home"}, {37, "L Arr"}, {38, "U Arr"}, {39, "R Arr"}, {40, "D Arr"},
        {96, "N 0"}, {101, "N 5"}, {105, "N 9"}, {106, "N *"}, {107, "N +"}, {108, "N Enter"}, {109, "N -"},
        {110, "N ."}, {111, "N /"}, {112, "F1"}, {117, "F6"}, {123, "F12"}, {186, ";"}, {187, "="},
        {188, ","}, {189, "-"}, {190, "."}, {191, "/"}, {192, "~"}, {219, "["}, {220, "\\"}, {221, "]"},
        {222, "'"}, {1, "Unknown"}, {255, "Unknown"}};
    for (const auto& [key, name] : rows) EXPECT_EQ(HotkeyKeyName(key), name) << key;
    for (int32_t m = 8; m <= 255; m += 31) EXPECT_EQ(HotkeyModifierPrefix(m), "") << m;
}
