#include "settings/LanguageTag.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace plenvue;

TEST(LanguageTag, CaptionToolTipOrBoth) {
    LanguageTag t = ParseLanguageTag("1103");
    EXPECT_EQ(t.Caption, 1103);
    EXPECT_FALSE(t.ToolTip);
    t = ParseLanguageTag("2017|2019");
    EXPECT_EQ(t.Caption, 2017);
    EXPECT_EQ(t.ToolTip, 2019);
    t = ParseLanguageTag("|2019");
    EXPECT_FALSE(t.Caption);
    EXPECT_EQ(t.ToolTip, 2019);
    t = ParseLanguageTag("2017|");
    EXPECT_EQ(t.Caption, 2017);
    EXPECT_FALSE(t.ToolTip);
}

TEST(LanguageTag, PartsThatAreNoNumbersAreIgnored) {
    EXPECT_FALSE(ParseLanguageTag("abc").Caption);
    EXPECT_FALSE(ParseLanguageTag("").Caption);
    EXPECT_FALSE(ParseLanguageTag("  ").Caption);
    EXPECT_FALSE(ParseLanguageTag("12a").Caption);
    EXPECT_FALSE(ParseLanguageTag("99999999999").Caption);  // beyond 32 bits
    // A path kept in a tag (the Options dialog's language button) names no item.
    LanguageTag path = ParseLanguageTag("C:\\Plenvue\\Language\\German.dll");
    EXPECT_FALSE(path.Caption);
    EXPECT_FALSE(path.ToolTip);
    LanguageTag mixed = ParseLanguageTag("x|2019|7");  // only the first "|" splits
    EXPECT_FALSE(mixed.Caption);
    EXPECT_FALSE(mixed.ToolTip);
    EXPECT_EQ(ParseLanguageTag(" 2001 ").Caption, 2001);
    EXPECT_EQ(ParseLanguageTag("-5").Caption, -5);
    EXPECT_EQ(TagNumber("2147483647"), 2147483647);
    EXPECT_EQ(TagNumber("-2147483648"), INT32_MIN);
    EXPECT_FALSE(TagNumber("2147483648"));
    EXPECT_FALSE(TagNumber("+"));
}

TEST(LanguageTag, ItemTextIsCutAt254AndAtTheFirstZero) {
    std::string long300(300, 'x');
    EXPECT_EQ(ItemTextFromBuffer(long300.data(), long300.size()).size(), 254u);
    const char withZero[] = {'a', 'b', '\0', 'c'};
    EXPECT_EQ(ItemTextFromBuffer(withZero, sizeof withZero), "ab");
    const char noZero[] = {'a', 'b'};
    EXPECT_EQ(ItemTextFromBuffer(noZero, sizeof noZero), "ab");  // never reads past the buffer
    EXPECT_EQ(ItemTextFromBuffer(withZero, 0), "");
}

TEST(LanguageChooser, FixedLinesOnlyInTheFirstTwoModes) {
    auto first = ChooserFixedLines(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Title, "This maybe the first time you run Plenvue. Please choose the language package.");
    EXPECT_EQ(first->Tip, "The language(s) in the list available:");
    auto missing = ChooserFixedLines(1);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->Title, "Plenvue cannot find the language package. please resetting.");
    EXPECT_EQ(missing->Tip, first->Tip);
    EXPECT_FALSE(ChooserFixedLines(2));
}

TEST(LanguageChooser, ListKeepsOnlyPackagesInDirectoryOrderWithTheirPaths) {
    std::map<std::string, std::string> names = {{"D:\\L\\zlib.dll", ""}, {"D:\\L\\German.dll", "Deutsch"},
                                                {"D:\\L\\English.dll", "English"}};
    auto read = [&](const std::string& p) { return names[p]; };
    PackageTable table;
    EXPECT_EQ(AppendPackages(table, "D:\\L\\", {"zlib.dll", "German.dll", "English.dll"}, read), 2u);
    EXPECT_EQ(table.Names, (std::vector<std::string>{"Deutsch", "English"}));
    EXPECT_EQ(table.Paths[0], "D:\\L\\German.dll");
    // Another fill appends, also when it lists the same folder again.
    AppendPackages(table, "D:\\L\\", {"zlib.dll", "German.dll", "English.dll"}, read);
    EXPECT_EQ(table.Names, (std::vector<std::string>{"Deutsch", "English", "Deutsch", "English"}));
}

TEST(LanguageChooser, AtMostHundredFilesExaminedAndHundredEntriesKept) {
    std::vector<std::string> files;
    for (int i = 0; i < 150; ++i) files.push_back("p" + std::to_string(i) + ".dll");
    int reads = 0;
    auto none = [&](const std::string&) { ++reads; return std::string(); };
    PackageTable table;
    AppendPackages(table, "C:\\", files, none);
    EXPECT_EQ(reads, 100);
    auto every = [&](const std::string& p) { return p; };
    AppendPackages(table, "C:\\", files, every);
    EXPECT_EQ(table.Names.size(), 100u);
    EXPECT_EQ(AppendPackages(table, "C:\\", files, every), 0u);  // a full table takes no more
    EXPECT_EQ(table.Paths.size(), 100u);
}

TEST(StartupPackage, StoredThenDefaultThenChooserInTheRightMode) {
    const std::string def = "C:\\P\\Language\\English.dll";
    auto names = [](const std::string& p) { return p == "D:\\German.dll" ? std::string("Deutsch") : p == "D:\\Blank.dll" ? std::string("  ") : std::string(); };
    auto exists = [&](bool e) { return [e](const std::string&) { return e; }; };
    StartupPackage s = ChooseStartupPackage("D:\\German.dll", def, names, exists(true));
    EXPECT_EQ(s.Path, "D:\\German.dll");
    EXPECT_FALSE(s.ChooserType);
    // A stored package whose name is blank counts as missing; the default is used when it exists.
    s = ChooseStartupPackage("D:\\Blank.dll", def, names, exists(true));
    EXPECT_EQ(s.Path, def);
    s = ChooseStartupPackage("D:\\Blank.dll", def, names, exists(false));
    EXPECT_EQ(s.ChooserType, 1);
    EXPECT_TRUE(s.Path.empty());
    s = ChooseStartupPackage(" ", def, names, exists(true));  // a single blank is how empty is stored
    EXPECT_EQ(s.Path, def);
    s = ChooseStartupPackage("", def, names, exists(false));
    EXPECT_EQ(s.ChooserType, 0);
}
