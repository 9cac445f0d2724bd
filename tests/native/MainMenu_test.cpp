#include "shell/MainMenu.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "base/MessageTable.h"
#include "base/MessageText.h"

using namespace plenvue;

namespace {
// Depth-first walk: the title is 0, every separator and submenu title counts, hidden entries don't.
void Walk(const MenuNode& node, int base, int& k, std::map<std::string, int>& out) {
    if (node.hidden) return;
    out[node.name] = base + k;
    ++k;
    for (const MenuNode& c : node.children) Walk(c, base, k, out);
}
}  // namespace

TEST(MainMenu, CommandNumbersAreTheHelpStringNumbers) {
    std::map<std::string, int> help;
    const auto& tree = MainMenuTree();
    ASSERT_EQ(tree.size(), 7u);
    // File, Edit, View, Draw, Tools, Image, Help: each menu keeps its numbers wherever it stands.
    const int bases[7] = {1800, kHelpEdit, 1830, kHelpDraw, 1860, 1890, 1920};
    for (int g = 0; g < 7; ++g) {
        EXPECT_EQ(tree[g].command, bases[g]) << tree[g].name;
        int k = 0;
        Walk(tree[g], bases[g], k, help);
    }
    EXPECT_EQ(help["mnuEditUndo"], kCmdEditUndo);
    EXPECT_EQ(help["mnuSelectAll"], kCmdSelectAll);
    EXPECT_EQ(help["mnuZoomFit"], kCmdZoomFit);
    EXPECT_EQ(help["mnuZoomOut"], kCmdZoomOut);
    EXPECT_EQ(help["mnuTool(0)"], kCmdToolFirst);
    EXPECT_EQ(help["mnuTool(10)"], kCmdToolLast);
    EXPECT_EQ(help["mnuRecentColour(7)"], kCmdRecentLast);
    EXPECT_EQ(help["mnuWidth(5)"], kCmdWidthLast);
    EXPECT_EQ(help["mnuMosaic"], kCmdMosaic);
    EXPECT_EQ(help["mnuOpen"], 1801);
    EXPECT_EQ(help["mnuExit"], 1811);
    EXPECT_EQ(help["mnuView"], 1830);
    EXPECT_EQ(help["mnuHistory"], 1834);
    EXPECT_EQ(help["mnuCapture(0)"], 1861);
    EXPECT_EQ(help["mnuOption"], 1875);
    EXPECT_EQ(help["mnuImage"], 1890);
    EXPECT_EQ(help["mnuUndo"], 1913);
    EXPECT_EQ(help["mnuHelp"], 1920);
    EXPECT_EQ(help["mnuContent"], 1921);
    // Every non-separator entry carries its own help number as its command number.
    std::function<void(const MenuNode&)> check = [&](const MenuNode& n) {
        if (n.hidden || n.separator) return;
        EXPECT_EQ(n.command, help[n.name]) << n.name;
        for (const MenuNode& c : n.children) check(c);
    };
    for (const MenuNode& top : tree) check(top);
}

TEST(MessageTable, DefaultsKeepTheSystemsTexts) {
    EXPECT_EQ(ExpandLineBreaks(DefaultMessage(10019)),
              "Can't Overwrite File,\r\nPlease Choose Another File Name.");
    EXPECT_EQ(DefaultMessage(10021), "Unknow Format!");
    EXPECT_EQ(DefaultMessage(4242), "");
}

namespace {
const MenuNode* FindNode(const std::vector<MenuNode>& nodes, const std::string& name) {
    for (const MenuNode& n : nodes) {
        if (n.name == name) return &n;
        if (const MenuNode* c = FindNode(n.children, name)) return c;
    }
    return nullptr;
}
}  // namespace

// Ctrl+C copies the picture as in every other program; Copy To keeps its entry on Ctrl+Shift+C.
TEST(MainMenu, CopyAndPasteTakeTheUsualShortcuts) {
    const auto& tree = MainMenuTree();
    ASSERT_NE(FindNode(tree, "mnuCopy"), nullptr);
    EXPECT_EQ(FindNode(tree, "mnuCopy")->shortcut, "Ctrl+C");
    EXPECT_EQ(FindNode(tree, "mnuPaste")->shortcut, "Ctrl+V");
    EXPECT_EQ(FindNode(tree, "mnuFileOperator(0)")->shortcut, "Ctrl+Shift+C");
    const MenuNode* delay = FindNode(tree, "mnuDelay");
    ASSERT_NE(delay, nullptr);
    ASSERT_EQ(delay->children.size(), 4u);
    EXPECT_EQ(delay->children[0].command, kCmdDelayFirst);
    EXPECT_EQ(delay->children[3].command, kCmdDelayLast);
}

// The tools' one-letter keys stand beside their entries, in the editor's order of tools.
TEST(MainMenu, DrawMenuNamesEachToolsKey) {
    const MenuNode* draw = FindNode(MainMenuTree(), "mnuDraw");
    ASSERT_NE(draw, nullptr);
    const char keys[] = "VRELAPHTNXC";
    for (int i = 0; i < 11; ++i) {
        const MenuNode& entry = draw->children[static_cast<size_t>(i)];
        EXPECT_EQ(entry.command, kCmdToolFirst + i);
        EXPECT_EQ(entry.shortcut, std::string(1, keys[i])) << entry.name;
    }
    EXPECT_EQ(FindNode(MainMenuTree(), "mnuRedo")->shortcut, "Ctrl+Y");
    EXPECT_EQ(FindNode(MainMenuTree(), "mnuEditDelete")->shortcut, "Del");
}

// After a switch to German the menus kept "Ctrl+O" and "Del".
TEST(MainMenu, ShortcutWordsComeFromTheLanguage) {
    const auto german = [](int item, const std::string& word) -> std::string {
        switch (item) {
        case 13052: return "Strg";
        case 13053: return "Umschalt";
        case 13055: return "Entf";
        default: return word;
        }
    };
    EXPECT_EQ(ShortcutText("Ctrl+O", german), "Strg+O");
    EXPECT_EQ(ShortcutText("Ctrl+Shift+C", german), "Strg+Umschalt+C");
    EXPECT_EQ(ShortcutText("Del", german), "Entf");
    EXPECT_EQ(ShortcutText("Ctrl+Alt+Print Screen", german), "Strg+Alt+Print Screen");
    EXPECT_EQ(ShortcutText("Ctrl++", german), "Strg++");
    EXPECT_EQ(ShortcutText("", german), "");
    // Every word the menu tree uses is one the language can name (or a single key).
    for (const MenuNode& top : MainMenuTree())
        for (const MenuNode& n : top.children) {
            std::string rest = ShortcutText(n.shortcut, [](int, const std::string&) { return std::string(); });
            for (char c : rest) EXPECT_TRUE(c == '+' || isalnum(static_cast<unsigned char>(c))) << n.shortcut;
        }
}
