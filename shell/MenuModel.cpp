// The main window's menu tree.
#include "shell/MenuModel.h"

#include <array>

namespace plenvue {

namespace {

constexpr int32_t S = kShortcutShift;
constexpr int32_t C = kShortcutCtrl;
constexpr uint32_t SEP = kMenuSeparator;
constexpr uint32_t HID = kMenuHidden;
constexpr uint32_t CHK = kMenuChecked;

// "&Copy To..." takes item 1109: the designed 1111 would give it the text of "&Move To...".
constexpr std::array kMainMenu{
    MenuEntry{"mnuFile", -1, 0, "&File", 1101, "", 0, 0, 0},
    MenuEntry{"mnuOpen", -1, 1, "&Open", 1103, "Ctrl+O", 'O', C, 0},
    MenuEntry{"mnuSave", -1, 1, "&Save", 1105, "Ctrl+S", 'S', C, 0},
    MenuEntry{"mnuSaveAs", -1, 1, "Save &As", 1107, "", 0, 0, 0},
    MenuEntry{"mnuLineFile1", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuFileOperator", 0, 1, "&Copy To...", 1109, "Ctrl+C", 'C', C, 0},
    MenuEntry{"mnuFileOperator", 1, 1, "&Move To...", 1111, "Ctrl+M", 'M', C, 0},
    MenuEntry{"mnuFileOperator", 2, 1, "&Delete", 1113, "Del", 46, 0, 0},
    MenuEntry{"mnuLineFile3", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuPrint", -1, 1, "&Print", 1115, "Ctrl+P", 'P', C, 0},
    MenuEntry{"mnuLineFile2", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuExit", -1, 1, "E&xit", 1117, "", 0, 0, 0},

    MenuEntry{"mnuView", -1, 0, "&View", 1119, "", 0, 0, 0},
    MenuEntry{"mnuToolBar", -1, 1, "&Tool Bar", 1121, "", 0, 0, CHK},
    MenuEntry{"mnuStatusBar", -1, 1, "&Status Bar", 1123, "", 0, 0, CHK},
    MenuEntry{"mnuLineView1", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuHistory", -1, 1, "&History", 1125, "", 0, 0, CHK},
    MenuEntry{"mnuColor", -1, 1, "Main Window &Color", 1126, "", 0, 0, 0},

    MenuEntry{"mnuTools", -1, 0, "&Tools", 1127, "", 0, 0, 0},
    MenuEntry{"mnuCapture", 0, 1, "Capture &Full Screen", 1129, "", 0, 0, 0},
    MenuEntry{"mnuCapture", 1, 1, "Capture &Region", 1131, "", 0, 0, 0},
    MenuEntry{"mnuCapture", 2, 1, "Capture &Active Window", 1133, "", 0, 0, 0},
    MenuEntry{"mnuCapture", 3, 1, "Capture Act&ive Window Client", 1135, "", 0, 0, 0},
    MenuEntry{"mnuCapture", 4, 1, "Capture &Windows", 1137, "", 0, 0, 0},
    MenuEntry{"mnuCapture", 5, 1, "R&epeat Last Capturing", 1139, "", 0, 0, 0},
    MenuEntry{"mnuLineTools1", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuCMonitor", -1, 1, "Clipboard &Monitor", 1141, "", 0, 0, 0},
    MenuEntry{"mnuAutoSave", -1, 1, "Auto &Save", 1143, "", 0, 0, 0},
    MenuEntry{"mnuIncludeCursor", -1, 1, "Include &Cursor", 1145, "", 0, 0, 0},
    MenuEntry{"mnuLineTools3", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuClearClip", -1, 1, "C&lear Clipboard", 1147, "", 0, 0, 0},
    MenuEntry{"mnuClearCanvas", -1, 1, "Clear Can&vas", 1149, "", 0, 0, 0},
    MenuEntry{"mnuLineTools4", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuOption", -1, 1, "&Option", 1151, "", 0, 0, 0},

    MenuEntry{"mnuImage", -1, 0, "&Image", 1153, "", 0, 0, 0},
    MenuEntry{"mnuFilters", -1, 1, "&Filters", 1155, "", 0, 0, 0},
    MenuEntry{"mnuColorGlasses", -1, 2, "&Color Glasses...", 1157, "", 0, 0, 0},
    MenuEntry{"mnuNoise", -1, 2, "&Noise...", 1159, "", 0, 0, 0},
    MenuEntry{"mnuEmboss", -1, 2, "&Emboss", 1161, "", 0, 0, 0},
    MenuEntry{"mnuSoften", -1, 2, "&Soften", 1163, "", 0, 0, 0},
    MenuEntry{"mnuBlur", -1, 2, "&Blur", 1165, "", 0, 0, 0},
    MenuEntry{"mnuSharpen", -1, 2, "S&harpen", 1167, "", 0, 0, 0},
    MenuEntry{"mnuUnsharpen", -1, 2, "&Unsharpen", 0, "", 0, 0, HID},
    MenuEntry{"mnuFade", -1, 2, "&Fade", 1169, "", 0, 0, 0},
    MenuEntry{"mnuLighten", -1, 2, "&Lighten", 1171, "", 0, 0, 0},
    MenuEntry{"mnuNegative", -1, 2, "&Negative Image", 1173, "", 0, 0, 0},
    MenuEntry{"mnuGrayScale", -1, 2, "&Gray Scale", 1175, "", 0, 0, 0},
    MenuEntry{"mnuBnW", -1, 2, "&Black and White", 1177, "", 0, 0, 0},
    MenuEntry{"mnuMirrors", -1, 1, "&Mirror", 1179, "", 0, 0, 0},
    MenuEntry{"mnuMirror", 0, 2, "Filp&H", 1181, "", 0, 0, 0},
    MenuEntry{"mnuMirror", 1, 2, "Filp&V", 1183, "", 0, 0, 0},
    MenuEntry{"mnuMirror", 2, 2, "&FlipHV", 1185, "", 0, 0, 0},
    MenuEntry{"mnuColorDepth", -1, 1, "&Color Depth", 1187, "", 0, 0, 0},
    MenuEntry{"mnuCD", 0, 2, "2 Colors(1 bpp)", 1189, "Shift+F1", 112, S, 0},
    MenuEntry{"mnuCD", 1, 2, "16 Colors(4 bpp)", 1191, "Shift+F2", 113, S, 0},
    MenuEntry{"mnuCD", 2, 2, "256 Colors(8 bpp)", 1193, "Shift+F3", 114, S, 0},
    MenuEntry{"mnuCD", 3, 2, "&True Color(24 bpp)", 1195, "Shift+F4", 115, S, 0},
    MenuEntry{"mnuImageLine1", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuUndo", -1, 1, "&Undo Filter", 1197, "Ctrl+Z", 'Z', C, 0},

    MenuEntry{"mnuHelp", -1, 0, "&Help", 1199, "", 0, 0, 0},
    MenuEntry{"mnuContent", -1, 1, "&Content", 1201, "F1", 112, 0, 0},
    MenuEntry{"mnuHelpLine2", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuEmail", -1, 1, "E&mail for Support", 1207, "", 0, 0, 0},
    MenuEntry{"mnuHomepage", -1, 1, "Plenvue on the &Web", 1209, "", 0, 0, 0},
    MenuEntry{"mnuHelpLine1", -1, 1, "-", 0, "", 0, 0, SEP},
    MenuEntry{"mnuAbout", -1, 1, "&About", 1211, "", 0, 0, 0},
};

}  // namespace

std::span<const MenuEntry> MainMenuEntries() { return kMainMenu; }

bool IsSubmenuTitle(std::span<const MenuEntry> entries, size_t i) {
    return i + 1 < entries.size() && entries[i + 1].Level > entries[i].Level;
}

int32_t FindMenuEntry(std::span<const MenuEntry> entries, std::string_view name, int32_t index) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (name == entries[i].Name && entries[i].Index == index) return static_cast<int32_t>(i);
    return -1;
}

std::vector<int32_t> MenuHelpNumbers(std::span<const MenuEntry> entries) {
    std::vector<int32_t> numbers(entries.size(), -1);
    int32_t g = -1, k = 0;
    int32_t hiddenLevel = -1;  // level of a hidden entry whose descendants are skipped too
    for (size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& e = entries[i];
        if (hiddenLevel >= 0 && e.Level > hiddenLevel) continue;
        hiddenLevel = -1;
        if (e.Flags & kMenuHidden) {
            hiddenLevel = e.Level;
            continue;
        }
        if (e.Level == 0) {
            ++g;
            k = 0;
        } else {
            ++k;
        }
        if (g < 0) continue;  // malformed table without a title first
        numbers[i] = 1800 + 30 * g + k;
    }
    return numbers;
}

void MenuHelpTable::Add(uintptr_t menu, uint32_t numberOrPosition, bool isSubmenu, int32_t helpNumber) {
    entries_[{menu, numberOrPosition, isSubmenu}] = helpNumber;
}

int32_t MenuHelpTable::Lookup(uintptr_t menu, uint32_t selected, bool isSubmenu) const {
    auto it = entries_.find({menu, selected, isSubmenu});
    return it == entries_.end() ? static_cast<int32_t>(selected) : it->second;
}

}  // namespace plenvue
