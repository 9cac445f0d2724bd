#include "shell/MenuModel.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

using namespace plenvue;

namespace {
int32_t HelpOf(std::string_view name, int32_t index = -1) {
    auto entries = MainMenuEntries();
    int32_t pos = FindMenuEntry(entries, name, index);
    EXPECT_GE(pos, 0) << name;
    return pos < 0 ? -2 : MenuHelpNumbers(entries)[pos];
}
}  // namespace

TEST(MenuModel, HelpNumbersFollowDepthFirstWalk) {
    EXPECT_EQ(HelpOf("mnuFile"), 1800);
    EXPECT_EQ(HelpOf("mnuOpen"), 1801);
    EXPECT_EQ(HelpOf("mnuExit"), 1811);
    EXPECT_EQ(HelpOf("mnuView"), 1830);
    EXPECT_EQ(HelpOf("mnuHistory"), 1834);
    EXPECT_EQ(HelpOf("mnuCapture", 0), 1861);
    EXPECT_EQ(HelpOf("mnuCapture", 5), 1866);
    EXPECT_EQ(HelpOf("mnuOption"), 1875);
    EXPECT_EQ(HelpOf("mnuImage"), 1890);
    EXPECT_EQ(HelpOf("mnuUndo"), 1913);
    EXPECT_EQ(HelpOf("mnuHelp"), 1920);
    EXPECT_EQ(HelpOf("mnuContent"), 1921);
    EXPECT_EQ(HelpOf("mnuUnsharpen"), -1);
    EXPECT_EQ(HelpOf("mnuFade"), 1898);  // the hidden entry before it does not count
}

TEST(MenuModel, HiddenSubmenuHidesItsEntries) {
    const MenuEntry t[] = {
        {"a", -1, 0, "&A", 0, "", 0, 0, 0},
        {"b", -1, 1, "B", 0, "", 0, 0, kMenuHidden},
        {"c", -1, 2, "C", 0, "", 0, 0, 0},
        {"d", -1, 1, "D", 0, "", 0, 0, 0},
        {"e", -1, 0, "&E", 0, "", 0, 0, 0},
    };
    EXPECT_EQ(MenuHelpNumbers(t), (std::vector<int32_t>{1800, -1, -1, 1801, 1830}));
}

TEST(MenuModel, TableShapeMatchesTheMenuBar) {
    auto e = MainMenuEntries();
    std::vector<std::string> titles;
    std::set<int32_t> items;
    for (size_t i = 0; i < e.size(); ++i) {
        if (e[i].Level == 0) titles.push_back(e[i].Caption);
        if (e[i].LanguageItem) {
            EXPECT_TRUE(items.insert(e[i].LanguageItem).second) << e[i].Caption;
        }
        if (e[i].Flags & kMenuSeparator) {
            EXPECT_STREQ(e[i].Caption, "-");
            EXPECT_FALSE(IsSubmenuTitle(e, i));
        }
        if (i > 0) {
            EXPECT_LE(e[i].Level, e[i - 1].Level + 1);
        }
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&View", "&Tools", "&Image", "&Help"}));
    EXPECT_TRUE(IsSubmenuTitle(e, FindMenuEntry(e, "mnuFilters")));
    EXPECT_TRUE(IsSubmenuTitle(e, FindMenuEntry(e, "mnuColorDepth")));
    EXPECT_FALSE(IsSubmenuTitle(e, FindMenuEntry(e, "mnuUndo")));
    EXPECT_TRUE(e[FindMenuEntry(e, "mnuHistory")].Flags & kMenuChecked);
    const MenuEntry& cd = e[FindMenuEntry(e, "mnuCD", 3)];
    EXPECT_STREQ(cd.ShortcutText, "Shift+F4");
    EXPECT_EQ(cd.ShortcutKey, 115);
    EXPECT_EQ(cd.ShortcutModifiers, kShortcutShift);
    EXPECT_EQ(FindMenuEntry(e, "mnuNothing"), -1);
}

TEST(MenuModel, HelpTableReplacesKnownEntriesOnly) {
    MenuHelpTable t;
    t.Add(0x100, 2, false, 1801);
    t.Add(0x100, 2, true, 1891);
    EXPECT_EQ(t.Lookup(0x100, 2, false), 1801);
    EXPECT_EQ(t.Lookup(0x100, 2, true), 1891);
    EXPECT_EQ(t.Lookup(0x200, 2, false), 2);
}
