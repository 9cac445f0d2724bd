// The main window's side of the Options dialog: showing it, reacting to what it changed, and
// relabelling the window when the language changes while it runs.
#include <algorithm>

#include "settings/frmOptions_win.h"
#include "shell/MainMenu.h"
#include "shell/MainMenuBar_win.h"
#include "shell/frmMain_win.h"
#include "base/win/modDeclare_win.h"
#include "settings/CurrentSettings.h"
#include "base/win/Wide_win.h"

namespace plenvue {

namespace {

// Walks the menu as built from the tree: hidden entries were never added, so positions skip them.
void RelabelMenu(HMENU menu, const std::vector<MenuNode>& nodes, const ILanguage& lang) {
    int pos = 0;
    for (const MenuNode& n : nodes) {
        if (n.hidden) continue;
        int here = pos++;
        if (n.separator) continue;
        std::string caption = n.item ? lang.getItemValue(n.item, n.caption) : n.caption;
        if (!n.shortcut.empty()) caption += "\t" + LocalShortcut(n.shortcut, &lang);
        std::wstring wide = Widen(caption);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = wide.data();
        SetMenuItemInfoW(menu, static_cast<UINT>(here), TRUE, &info);
        if (!n.children.empty())
            if (HMENU sub = GetSubMenu(menu, here)) RelabelMenu(sub, n.children, lang);
    }
}

}  // namespace

void frmMain::ApplyLanguage() {
    if (!App().Language || !menu_) return;
    RelabelMenu(menu_, MainMenuTree(), *App().Language);
    // The capture entries carry their hot key names as well.
    setCapMenu();
    DrawMenuBar(hwnd_);
    SetStatus(Msg(10001));
}

void frmMain::ShowOptions(int page) {
    std::string oldMode = historyMode_;
    bool cancelled = false;
    {
        frmOptions options;
        options.MainWindow = hwnd_;
        options.StartPage = page;
        options.ApplyLanguageToMain = [this] { ApplyLanguage(); };
        options.ShowModal(hwnd_);
        cancelled = options.isCancel();
    }
    if (!cancelled) {
        SetConPro();
        // The monitor's check mark now follows the dialog; the viewer chain must follow the mark.
        FollowClipboardMonitor();
    }
    setCapMenu();
    // The dialog tried the keys again: once all of them work the report is out of date.
    const auto& inUse = Settings().HotkeyInUse;
    if (hotkeysReported_ && std::find(inUse.begin(), inUse.end(), true) == inUse.end()) {
        SetStatus(Msg(10001));
        hotkeysReported_ = false;
    }
    const std::string& mode = Settings().HistoryListStatus;
    if (mode != oldMode) {
        historyMode_ = mode;
        ShowHistoryPane();
        ArrangeControls();
        if (oldMode != "NONE" && oldMode != "LIST") history_.RemovePreviews();
        // The kept history is listed again in the new mode.
        if (kept_.Active()) {
            history_.ClearHistory(HistoryMode::List);
            history_.RemovePreviews();
            ListKeptHistory();
        }
    }
    if (!cancelled) ApplyKeptLimits();
}

}  // namespace plenvue
