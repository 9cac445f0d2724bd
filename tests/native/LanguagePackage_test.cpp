// Checks the language package sources in lang/: every item the program looks up is
// present in each package, texts fit the 254 characters the program reads, placeholders
// survive translation, and the files are in the code page the packages are compiled in.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/MessageTable.h"
#include "shell/MainMenu.h"

namespace {

// PLENVUE_TEST_DATA is "<source>/tests/data"; that folder need not exist, so go up by text.
std::string SourceDir() {
    std::string dir = PLENVUE_TEST_DATA;
    return dir.substr(0, dir.rfind("/tests/data"));
}

const std::string kLangDir = SourceDir() + "/lang/";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Items of a STRINGTABLE written one per line as: number, "text". The text is
// returned as the resource holds it ("" -> ", \\ -> \).
std::map<int, std::string> ParseStringTable(const std::string& source) {
    std::map<int, std::string> items;
    std::istringstream lines(source);
    std::string line;
    while (std::getline(lines, line)) {
        size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line[i] < '0' || line[i] > '9') continue;
        int number = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') number = number * 10 + (line[i++] - '0');
        i = line.find('"', i);
        if (i == std::string::npos) continue;
        std::string text;
        for (++i; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    text += '"';
                    ++i;
                    continue;
                }
                break;
            }
            if (line[i] == '\\' && i + 1 < line.size()) {
                char next = line[++i];
                text += next == 'n' ? '\n' : next == 't' ? '\t' : next;
                continue;
            }
            text += line[i];
        }
        EXPECT_FALSE(items.count(number)) << "item " << number << " defined twice";
        items[number] = text;
    }
    return items;
}

// The help numbers the menu help table of the main window asks the package for, by design name
// (the production table, so a package lacking a number the window looks up is caught here).
std::map<std::string, int> MenuHelpNumbers() {
    std::map<std::string, int> numbers;
    const auto& tree = plenvue::MainMenuTree();
    for (const plenvue::MenuHelpEntry& e : plenvue::MenuHelpTable(tree)) {
        const std::vector<plenvue::MenuNode>* level = &tree;
        const plenvue::MenuNode* node = nullptr;
        for (int pos : e.Path) {
            int visible = -1;
            for (const plenvue::MenuNode& n : *level) {
                if (!n.hidden && ++visible == pos) {
                    node = &n;
                    break;
                }
            }
            EXPECT_NE(node, nullptr);
            if (!node) return numbers;
            level = &node->children;
        }
        EXPECT_FALSE(node->separator) << node->name;
        EXPECT_EQ(e.Submenu, !node->children.empty()) << node->name;
        numbers[node->name] = e.HelpNumber;
    }
    return numbers;
}

std::set<int> RequiredItems() {
    std::set<int> items = {100, 101, 102, 103, 1001, 5001, 5003, 7001, 7003, 7005, 7007, 8001,
                           11002, 11003, 11004, 12001};
    for (int i = 1101; i <= 1197; i += 2) items.insert(i);  // menu captions, Copy To on 1109
    for (int i : {1126, 1199, 1201, 1207, 1209, 1211}) items.insert(i);
    for (int i = 1601; i <= 1617; ++i) items.insert(i);
    for (int i = 12010; i <= 12025; ++i) items.insert(i);  // clipboard, delay and format texts
    for (const auto& [name, number] : MenuHelpNumbers()) items.insert(number);
    for (int i = 2001; i <= 2057; i += 2)
        if (i != 2011 && i != 2015) items.insert(i);  // no control carries these two
    for (int base : {6001, 6011}) {
        for (int i = 0; i < 4; ++i) items.insert(base + 2 * i);
    }
    for (int i : {6021, 6023, 6031, 6033}) items.insert(i);
    for (int i = plenvue::kItemMenuEdit; i <= plenvue::kItemMenuEdit + 6; ++i) items.insert(i);
    for (int i = plenvue::kItemMenuZoom; i <= plenvue::kItemMenuZoom + 3; ++i) items.insert(i);
    for (int i = plenvue::kItemMenuDraw; i <= plenvue::kItemMenuDraw + 17; ++i) items.insert(i);
    for (int i = plenvue::kMsgUndoStepFirst; i <= plenvue::kMsgUndoStepFirst + 8; ++i) items.insert(i);
    for (int i : {plenvue::kMsgCropSize, plenvue::kMsgSaveObjectsQuestion, plenvue::kMsgToolTipKey}) items.insert(i);
    for (int i : {10001, 10002, 10003, 10004, 10005, 10006, 10007, 10008, 10009, 10012, 10014, 10015,
                  10016, 10017, 10018, 10019, 10021, 10028, 10030})
        items.insert(i);
    return items;
}

int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size())) ++n;
    return n;
}

class LanguagePackage : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        source_ = ReadFile(kLangDir + GetParam());
        ASSERT_FALSE(source_.empty()) << "cannot read " << kLangDir << GetParam();
        items_ = ParseStringTable(source_);
    }
    std::string source_;
    std::map<int, std::string> items_;
};

TEST(MenuHelp, TableNumbersTitlesSubmenusAndEntries) {
    auto n = MenuHelpNumbers();
    // Top-level and submenu titles: found by position, so only the table gives them a number.
    EXPECT_EQ(n["mnuFile"], 1800);
    EXPECT_EQ(n["mnuEdit"], 12600);
    EXPECT_EQ(n["mnuDraw"], 12630);
    EXPECT_EQ(n["mnuRecent"], 12644);
    EXPECT_EQ(n["mnuWidth"], 12653);
    EXPECT_EQ(n["mnuView"], 1830);
    EXPECT_EQ(n["mnuTools"], 1860);
    EXPECT_EQ(n["mnuImage"], 1890);
    EXPECT_EQ(n["mnuFilters"], 1891);
    EXPECT_EQ(n["mnuMirrors"], 1903);
    EXPECT_EQ(n["mnuColorDepth"], 1907);
    EXPECT_EQ(n["mnuHelp"], 1920);
    EXPECT_EQ(n["mnuOpen"], 1801);
    EXPECT_EQ(n["mnuExit"], 1811);  // separators count
    EXPECT_EQ(n["mnuHistory"], 1834);
    EXPECT_EQ(n["mnuCapture(0)"], 1861);  // the system menu's capture entries share these numbers
    EXPECT_EQ(n["mnuCapture(5)"], 1866);
    EXPECT_EQ(n["mnuOption"], 1875);
    EXPECT_EQ(n["mnuFade"], 1898);  // the hidden Unsharpen before it does not count
    EXPECT_EQ(n["mnuUndo"], 1913);
    EXPECT_EQ(n["mnuContent"], 1921);
    EXPECT_EQ(n["mnuAbout"], 1926);
    EXPECT_EQ(n.count("mnuUnsharpen"), 0u);
    // Every entry but the separators is in the table once.
    EXPECT_EQ(plenvue::MenuHelpTable(plenvue::MainMenuTree()).size(), n.size());
    EXPECT_EQ(n["mnuCopy"], 1877);  // new entries after Option leave every older number alone
    EXPECT_EQ(n["mnuDelay"], 1880);
    EXPECT_EQ(n["mnuDelayTime(3)"], 1884);
    EXPECT_EQ(n["mnuZoomFit"], 1837);
    EXPECT_EQ(n["mnuMosaic"], 12662);
    EXPECT_EQ(n.size(), 62u + 7 + 4 + 32);
}

TEST_P(LanguagePackage, HasEveryItemTheProgramLooksUp) {
    for (int item : RequiredItems()) EXPECT_FALSE(items_[item].empty()) << "item " << item;
}

TEST_P(LanguagePackage, TextsFitTheLookupBuffer) {
    for (const auto& [item, text] : items_) EXPECT_LE(text.size(), 254u) << "item " << item;
}

TEST_P(LanguagePackage, PlaceholdersAndSeparatorsSurvive) {
    for (int item : {10014, 10016, 10017, 10028, 5001}) EXPECT_EQ(CountOf(items_[item], "%s"), 1) << item;
    // Shown as it is: a placeholder here would reach the user unreplaced.
    EXPECT_EQ(CountOf(items_[5003], "%s"), 0);
    for (int item = 1601; item <= 1617; ++item) EXPECT_EQ(CountOf(items_[item], "|"), 1) << item;
    // Name and pattern pairs: all supported files, BMP, JPEG, PNG; Save As offers the last three.
    EXPECT_EQ(CountOf(items_[10004], "|"), 7);
    EXPECT_EQ(CountOf(items_[10005], "|"), 5);
    EXPECT_NE(items_[10004].find("*.png"), std::string::npos);
    EXPECT_EQ(CountOf(items_[12017], "%s"), 1);
    EXPECT_EQ(items_[11003].rfind("mailto:", 0), 0u);
}

TEST_P(LanguagePackage, LineBreakStaysBackslashN) {
    // The program turns the two characters \ and n into a line break itself; a real
    // newline in the resource would be shown as a box.
    EXPECT_NE(items_[10019].find("\\n"), std::string::npos);
    for (const auto& [item, text] : items_) EXPECT_EQ(text.find('\n'), std::string::npos) << item;
}

TEST_P(LanguagePackage, SourceIsWindows1252) {
    EXPECT_NE(source_.find("#pragma code_page(1252)"), std::string::npos);
    for (size_t i = 0; i < source_.size(); ++i) {
        auto b = static_cast<uint8_t>(source_[i]);
        // Undefined in Windows-1252, or the lead byte of a UTF-8 encoded Latin-1 letter.
        ASSERT_FALSE(b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) << "offset " << i;
        if (b == 0xC3 && i + 1 < source_.size()) {
            auto next = static_cast<uint8_t>(source_[i + 1]);
            ASSERT_FALSE(next >= 0x80 && next <= 0xBF) << "UTF-8 sequence at offset " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Packages, LanguagePackage, ::testing::Values("English.rc", "German.rc"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(LanguagePackage, NamesAndMessageTextsOfTheEnglishDefaults) {
    auto en = ParseStringTable(ReadFile(kLangDir + "English.rc"));
    auto de = ParseStringTable(ReadFile(kLangDir + "German.rc"));
    EXPECT_EQ(en[100], "English");
    EXPECT_EQ(de[100], "Deutsch");
    EXPECT_EQ(en[10019], "Can't Overwrite File,\\nPlease Choose Another File Name.");
    EXPECT_EQ(en[10016], "File \"%s\" Save Success");
    EXPECT_EQ(en[10004], plenvue::DefaultMessage(10004));
    EXPECT_EQ(en[10004],
              "All Suuport Files|*.bmp;*.jpg;*.png|Bitmap Files(*.BMP)|*.bmp|JPEG Files(*.JPG)|*.jpg|PNG Files(*.PNG)|*.png");
    EXPECT_EQ(en[10028], "Special Thanks to  %s  ,the Localizer");
    EXPECT_EQ(de[1177], "&Schwarzwei\xDF");  // single-byte sharp s
    // The package text of a new message is the built-in default the program falls back to.
    for (int item : {plenvue::kMsgHotkeyNeedsCtrlOrAlt, 10005, plenvue::kMsgCountdownTip, plenvue::kMsgDelayCancelled,
                     plenvue::kMsgClipboardBusy, plenvue::kMsgCopied, plenvue::kMsgNoClipboardPicture,
                     plenvue::kMsgClipboardFailed, plenvue::kMsgKeptPictureShown})
        EXPECT_EQ(en[item], plenvue::DefaultMessage(item)) << item;
    // The English words of key names are the program's own; the German ones are its own words.
    for (const plenvue::KeyWord& k : plenvue::kKeyWords) {
        EXPECT_EQ(en[k.Item], k.Word) << k.Item;
        EXPECT_FALSE(de[k.Item].empty()) << k.Item;
    }
    EXPECT_EQ(de[13081], "Druck");
    // Both packages carry the same items.
    for (const auto& [item, text] : en) EXPECT_TRUE(de.count(item)) << "German lacks " << item;
    for (const auto& [item, text] : de) EXPECT_TRUE(en.count(item)) << "English lacks " << item;
}

}  // namespace

TEST(LanguagePackage, BothPackagesNameTheirHelpFolderAndTheStartWithWindowsSwitch) {
    auto en = ParseStringTable(ReadFile(kLangDir + "English.rc"));
    auto de = ParseStringTable(ReadFile(kLangDir + "German.rc"));
    EXPECT_EQ(en[plenvue::kMsgHelpFolder], plenvue::DefaultMessage(plenvue::kMsgHelpFolder));
    EXPECT_EQ(de[plenvue::kMsgHelpFolder], "de");
    EXPECT_EQ(en[plenvue::kMsgStartWithWindows], plenvue::DefaultMessage(plenvue::kMsgStartWithWindows));
    EXPECT_FALSE(de[plenvue::kMsgStartWithWindows].empty());
    // Each package's help folder is shipped, with the contents page the help opens first.
    for (const auto& folder : {en[plenvue::kMsgHelpFolder], de[plenvue::kMsgHelpFolder]})
        EXPECT_TRUE(std::ifstream(SourceDir() + "/help/" + folder + "/index.html").good()) << folder;
}
