// The main window's menu bar built from the menu tree, its keyboard shortcuts, and the help
// strings shown on the status line while the user moves through the menus.
#pragma once
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "base/win/Language_win.h"
#include "settings/CurrentSettings.h"

namespace plenvue {

// A shortcut or hot key text in the words of the language package ("Strg+O"); as given without one.
std::string LocalShortcut(const std::string& shortcut, const ILanguage* lang);

// The menu bar in the language's captions (the design captions without a language).
HMENU CreateMainMenu(const ILanguage* language);
// The shortcuts the menu shows (Ctrl+O and the others); the caller owns the table.
HACCEL CreateMainAccelerators();
// The Tools menu's capture entries: each caption (its present one when empty), a tab and the
// name of its hot key, shown as the shortcut text.
void ShowCaptureHotkeys(HMENU bar, const std::array<std::string, kCaptureKinds>& captions,
                        const CurrentSettings& settings);

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
