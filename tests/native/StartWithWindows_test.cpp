#include "settings/StartWithWindows.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(StartWithWindows, RunEntryQuotesThePathAndAsksForTheTray) {
    EXPECT_EQ(RunEntryCommand("C:\\Program Files\\Plenvue\\Plenvue.exe"),
              "\"C:\\Program Files\\Plenvue\\Plenvue.exe\" /tray");
    EXPECT_TRUE(HasTraySwitch("/tray"));
}

TEST(StartWithWindows, TraySwitchIsOneWordInAnyCase) {
    EXPECT_TRUE(HasTraySwitch("  /TRAY "));
    EXPECT_TRUE(HasTraySwitch("-tray"));
    EXPECT_TRUE(HasTraySwitch("x /Tray"));
    EXPECT_FALSE(HasTraySwitch(""));
    EXPECT_FALSE(HasTraySwitch("/trayx"));
    EXPECT_FALSE(HasTraySwitch("C:\\tray"));
    EXPECT_FALSE(HasTraySwitch("tray"));
}

TEST(StartWithWindows, EntryIsOursOnlyWhenItStartsThisProgram) {
    std::string exe = "C:\\Users\\a\\AppData\\Local\\Programs\\Plenvue\\Plenvue.exe";
    EXPECT_TRUE(RunEntryNamesProgram(RunEntryCommand(exe), exe));
    EXPECT_TRUE(RunEntryNamesProgram("\"c:\\users\\A\\appdata\\local\\programs\\plenvue\\PLENVUE.EXE\" /tray", exe));
    EXPECT_TRUE(RunEntryNamesProgram("C:\\P\\Plenvue.exe /tray", "C:\\P\\Plenvue.exe"));
    EXPECT_FALSE(RunEntryNamesProgram("\"D:\\Downloads\\Plenvue\\Plenvue.exe\" /tray", exe));
    EXPECT_FALSE(RunEntryNamesProgram("", exe));
    EXPECT_FALSE(RunEntryNamesProgram("\"\"", ""));
    EXPECT_EQ(RunEntryProgram("\"C:\\a b\\c.exe"), "C:\\a b\\c.exe");  // an unclosed quote runs to the end
}
