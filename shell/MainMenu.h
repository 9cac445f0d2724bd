// The main window's menu bar as data: captions, language items, shortcuts and command numbers.
// A menu entry's command number is its status-bar help string number, so the menu-help
// lookup finds every plain entry by its own number.
#pragma once
#include <string>
#include <vector>

#include "settings/HotkeyNames.h"  // ShortcutText: the menu's shortcuts in the language's words

namespace plenvue {

enum MainCommand : int {
    // Toolbar commands.
    kTbOpen = 1, kTbSave = 2, kTbCopyTo = 3, kTbMoveTo = 4, kTbDelete = 5,
    kTbCaptureFirst = 6, kTbCaptureLast = 11, kTbHistory = 12, kTbContent = 13,
    kTbPrevious = 14, kTbNext = 15, kTbClearHistory = 16, kTbCopy = 17,
    // Menu entries (help string numbers).
    kCmdOpen = 1801, kCmdSave = 1802, kCmdSaveAs = 1803, kCmdCopyTo = 1805, kCmdMoveTo = 1806,
    kCmdDelete = 1807, kCmdPrint = 1809, kCmdExit = 1811,
    kCmdToolBar = 1831, kCmdStatusBar = 1832, kCmdHistory = 1834, kCmdColor = 1835,
    kCmdCaptureFirst = 1861, kCmdCaptureLast = 1866,
    // The capture entries of the system menu, which also serve as the notification icon's menu.
    kSysCaptureFirst = 1861,
    // Exit in the system menu, after Close: ends the program where Close only hides the window.
    kSysExit = kCmdExit,
    kCmdCMonitor = 1868, kCmdAutoSave = 1869, kCmdIncludeCursor = 1870, kCmdClearClip = 1872,
    kCmdClearCanvas = 1873, kCmdOption = 1875, kCmdCopy = 1877, kCmdPaste = 1878,
    kCmdDelayFirst = 1881, kCmdDelayLast = 1884,  // no delay, 3, 5, 10 seconds
    kCmdColorGlasses = 1892, kCmdNoise = 1893, kCmdEmboss = 1894, kCmdSoften = 1895,
    kCmdBlur = 1896, kCmdSharpen = 1897, kCmdFade = 1898, kCmdLighten = 1899,
    kCmdNegative = 1900, kCmdGrayScale = 1901, kCmdBnW = 1902,
    kCmdMirrorFirst = 1904, kCmdMirrorLast = 1906, kCmdCDFirst = 1908, kCmdCDLast = 1911,
    kCmdUndo = 1913,
    kCmdContent = 1921, kCmdEmail = 1923, kCmdHomepage = 1924, kCmdAbout = 1926,
    kCmdUnsharpen = 1950,  // hidden: no help string of its own
    // View: the zoom (after the older entries, which keep their numbers).
    kCmdZoomFit = 1837, kCmdZoomActual = 1838, kCmdZoomIn = 1839, kCmdZoomOut = 1840,
    // Edit.
    kCmdEditUndo = 12601, kCmdRedo = 12602, kCmdEditCopy = 12604, kCmdEditPaste = 12605,
    kCmdEditDelete = 12606, kCmdSelectAll = 12608,
    // Draw: the tools in the editor's order (Select .. Crop), then the style.
    kCmdToolFirst = 12631, kCmdToolLast = 12641,
    kCmdStyleColour = 12643, kCmdRecentFirst = 12645, kCmdRecentLast = 12652,
    kCmdWidthFirst = 12654, kCmdWidthLast = 12659, kCmdFill = 12660, kCmdFont = 12661, kCmdMosaic = 12662,
    // Top-level and submenu titles, for the help numbering only.
    kHelpFile = 1800, kHelpView = 1830, kHelpTools = 1860, kHelpDelay = 1880, kHelpImage = 1890,
    kHelpFilters = 1891, kHelpMirrors = 1903, kHelpColorDepth = 1907, kHelpHelp = 1920,
    kHelpEdit = 12600, kHelpDraw = 12630, kHelpRecentColours = 12644, kHelpLineWidth = 12653,
};

// The line widths of Draw > Line Width, in order.
inline constexpr int kLineWidths[] = {1, 2, 3, 5, 8, 12};

struct MenuNode {
    std::string name;      // mnuOpen
    std::string caption;   // design caption, "&Open"
    int item = 0;          // language item of the caption, 0 for none
    std::string shortcut;  // "Ctrl+O"
    int command = 0;       // command number (plain entries) or help number (titles)
    bool separator = false;
    bool hidden = false;
    bool checked = false;
    std::vector<MenuNode> children;  // non-empty for submenus
};

// The top-level menus in order: File, Edit, View, Draw, Tools, Image, Help.
const std::vector<MenuNode>& MainMenuTree();

// One entry of the menu help table: where the entry sits in the menu as built (hidden entries are
// not built, so they take no position) and the number of its status-bar help string.
struct MenuHelpEntry {
    std::vector<int> Path;  // positions from the menu bar down to the entry
    bool Submenu = false;   // a submenu title: the platform names it by position, not by number
    int Command = 0;        // command number of a plain entry
    int HelpNumber = 0;
};

// The menu title's own number + the entry's place in a depth-first walk of that menu (the title
// 0; separators and submenu titles count, hidden entries do not). Separators are not listed. Each
// menu keeps its numbers wherever it stands in the bar.
std::vector<MenuHelpEntry> MenuHelpTable(const std::vector<MenuNode>& tree);


}  // namespace plenvue
