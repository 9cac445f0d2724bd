// The main window's menu bar built from the menu tree, its keyboard shortcuts, and the help
// strings shown on the status line while the user moves through the menus.
#pragma once
#include <windows.h>

#include <vector>

#include "base/win/Language_win.h"

namespace plenvue {

// The menu bar in the language's captions (the design captions without a language).
HMENU CreateMainMenu(const ILanguage* language);
// The shortcuts the menu shows (Ctrl+O and the others); the caller owns the table.
HACCEL CreateMainAccelerators();

class MainMenuHelp {
public:
    // Records every entry of the bar as the selection message names it.
    void Build(HMENU bar);
    // Shows the selected entry's help string from `strings` on `status`; the system menu and a
    // closing menu leave the line alone.
    void OnMenuSelect(HMENU bar, WPARAM wParam, LPARAM lParam, HWND status, HMODULE strings) const;

private:
    struct Key {
        HMENU Menu;
        bool Submenu;  // Number is then the title's position in Menu
        UINT Number;
        UINT HelpNumber;
    };
    std::vector<Key> keys_;
};

}  // namespace plenvue
