// The main window's menu bar as data: captions, language items, shortcuts and flags in menu order,
// with the help string numbers that the status bar shows while the user walks through the menus.
// The Win32 layer builds the real menus from this table.
#pragma once
#include <cstdint>
#include <map>
#include <span>
#include <string_view>
#include <tuple>
#include <vector>

namespace plenvue {

inline constexpr uint32_t kMenuSeparator = 1;
inline constexpr uint32_t kMenuHidden = 2;   // not part of the menu at all
inline constexpr uint32_t kMenuChecked = 4;  // check mark on at start

// Shortcut modifiers (same bits as the hot key control): 1 Shift, 2 Ctrl.
inline constexpr int32_t kShortcutShift = 1;
inline constexpr int32_t kShortcutCtrl = 2;

struct MenuEntry {
    const char* Name;              // control name, as "mnuCapture"
    int32_t Index;                 // control-array index, -1 for a single control
    int32_t Level;                 // 0 menu bar title, 1 entry of a menu, 2 entry of a submenu
    const char* Caption;           // English design caption; "-" for separators
    int32_t LanguageItem;          // replaces the caption at load; 0 keeps the caption
    const char* ShortcutText;      // "Ctrl+O", "" for none
    int32_t ShortcutKey;           // virtual-key code, 0 for none
    int32_t ShortcutModifiers;     // kShortcutShift | kShortcutCtrl
    uint32_t Flags;                // kMenuSeparator | kMenuHidden | kMenuChecked
};

// The main window's menu tree in depth-first order. An entry is a submenu title exactly when the
// next entry has a greater level.
std::span<const MenuEntry> MainMenuEntries();

// True when entry i of `entries` opens a submenu.
bool IsSubmenuTitle(std::span<const MenuEntry> entries, size_t i);

// Position of the entry with this name and index in `entries`, or -1.
int32_t FindMenuEntry(std::span<const MenuEntry> entries, std::string_view name, int32_t index = -1);

// Help string number of every entry: 1800 + 30 * g + k, g the position of its top-level menu, k its
// position in a depth-first walk of that menu (title 0; separators and submenu titles count).
// Hidden entries, and everything below them, are not in the menu and get -1.
std::vector<int32_t> MenuHelpNumbers(std::span<const MenuEntry> entries);

// Lookup from a selected menu entry to its help string number, filled once from the real menus:
// by menu handle and either command number or position (submenu titles are found by position).
class MenuHelpTable {
public:
    void Add(uintptr_t menu, uint32_t numberOrPosition, bool isSubmenu, int32_t helpNumber);
    // The help number, or `selected` itself when the entry is not in the table.
    int32_t Lookup(uintptr_t menu, uint32_t selected, bool isSubmenu) const;

private:
    std::map<std::tuple<uintptr_t, uint32_t, bool>, int32_t> entries_;
};

}  // namespace plenvue
