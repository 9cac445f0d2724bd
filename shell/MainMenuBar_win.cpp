#include "shell/MainMenuBar_win.h"

#include <commctrl.h>

#include <string>

#include "settings/HotkeyNames.h"
#include "shell/MainMenu.h"
#include "shell/MainWindowText.h"
#include "base/win/Wide_win.h"
#include "base/win/modDeclare_win.h"

namespace plenvue {

std::string LocalShortcut(const std::string& shortcut, const ILanguage* lang) {
    if (!lang) return shortcut;
    return ShortcutText(shortcut, [lang](int item, const std::string& word) { return lang->getItemValue(item, word); });
}

namespace {

void AppendMenuTree(HMENU parent, const std::vector<MenuNode>& nodes, const ILanguage* lang) {
    for (const MenuNode& n : nodes) {
        if (n.hidden) continue;  // hidden entries are not part of the menu
        if (n.separator) {
            AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string caption = n.caption;
        if (lang && n.item) caption = lang->getItemValue(n.item, n.caption);
        if (!n.shortcut.empty()) caption += "\t" + LocalShortcut(n.shortcut, lang);
        if (!n.children.empty()) {
            HMENU sub = CreatePopupMenu();
            AppendMenuTree(sub, n.children, lang);
            AppendMenuW(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), Widen(caption).c_str());
        } else {
            AppendMenuW(parent, MF_STRING | (n.checked ? MF_CHECKED : 0), n.command, Widen(caption).c_str());
        }
    }
}

}  // namespace

HMENU CreateMainMenu(const ILanguage* language) {
    HMENU bar = CreateMenu();
    AppendMenuTree(bar, MainMenuTree(), language);
    return bar;
}

HACCEL CreateMainAccelerators() {
    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'O', kCmdOpen},          {FCONTROL | FVIRTKEY, 'S', kCmdSave},
        {FCONTROL | FSHIFT | FVIRTKEY, 'C', kCmdCopyTo}, {FCONTROL | FVIRTKEY, 'M', kCmdMoveTo},
        {FCONTROL | FVIRTKEY, 'C', kCmdCopy},          {FCONTROL | FVIRTKEY, 'V', kCmdPaste},
        {FVIRTKEY, VK_DELETE, kCmdEditDelete},             {FCONTROL | FVIRTKEY, 'P', kCmdPrint},
        {FSHIFT | FVIRTKEY, VK_F1, kCmdCDFirst},       {FSHIFT | FVIRTKEY, VK_F2, kCmdCDFirst + 1},
        {FSHIFT | FVIRTKEY, VK_F3, kCmdCDFirst + 2},   {FSHIFT | FVIRTKEY, VK_F4, kCmdCDLast},
        {FCONTROL | FVIRTKEY, 'Z', kCmdUndo},          {FVIRTKEY, VK_F1, kCmdContent},
        // Delete is the Edit menu's: the selected drawings, else the current file as before.
        {FCONTROL | FVIRTKEY, 'Y', kCmdRedo},          {FCONTROL | FSHIFT | FVIRTKEY, 'Z', kCmdRedo},
        {FCONTROL | FVIRTKEY, 'A', kCmdSelectAll},
        {FCONTROL | FVIRTKEY, '0', kCmdZoomFit},       {FCONTROL | FVIRTKEY, VK_NUMPAD0, kCmdZoomFit},
        {FCONTROL | FVIRTKEY, '1', kCmdZoomActual},    {FCONTROL | FVIRTKEY, VK_NUMPAD1, kCmdZoomActual},
        {FCONTROL | FVIRTKEY, VK_OEM_PLUS, kCmdZoomIn}, {FCONTROL | FVIRTKEY, VK_ADD, kCmdZoomIn},
        {FCONTROL | FSHIFT | FVIRTKEY, VK_OEM_PLUS, kCmdZoomIn},
        {FCONTROL | FVIRTKEY, VK_OEM_MINUS, kCmdZoomOut}, {FCONTROL | FVIRTKEY, VK_SUBTRACT, kCmdZoomOut},
    };
    return CreateAcceleratorTableW(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
}

void ShowCaptureHotkeys(HMENU bar, const std::array<std::string, kCaptureKinds>& captions,
                        const CurrentSettings& settings) {
    for (int i = 0; i < kCaptureKinds; ++i) {
        const UINT id = kCmdCaptureFirst + i;
        std::string caption = captions[i];
        if (caption.empty()) {
            wchar_t current[256] = {};
            GetMenuStringW(bar, id, current, 256, MF_BYCOMMAND);
            caption = Narrow(current);
            caption = caption.substr(0, caption.find('\t'));
        }
        // A key another program holds does not capture: the menu shows none.
        const std::string key =
            settings.HotkeyInUse[i]
                ? std::string()
                : LocalShortcut(GetHotkeyName(settings.HotkeyModifiers[i], settings.HotkeyKeys[i]), App().Language.get());
        std::string text = CaptureMenuCaption(caption, key);
        ModifyMenuW(bar, id, MF_BYCOMMAND | MF_STRING, id, Widen(text).c_str());
    }
}

void MainMenuHelp::Build(HMENU bar) {
    keys_.clear();
    for (const MenuHelpEntry& e : MenuHelpTable(MainMenuTree())) {
        HMENU parent = bar;
        for (size_t i = 0; i + 1 < e.Path.size() && parent; ++i) parent = GetSubMenu(parent, e.Path[i]);
        if (!parent) continue;
        UINT number = e.Submenu ? static_cast<UINT>(e.Path.back()) : static_cast<UINT>(e.Command);
        keys_.push_back({parent, e.Submenu, number, static_cast<UINT>(e.HelpNumber)});
    }
}

void MainMenuHelp::OnMenuSelect(HMENU bar, WPARAM wParam, LPARAM lParam, HWND status, HMODULE strings) const {
    UINT flags = HIWORD(wParam);
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (flags == 0xFFFF || (flags & MF_SYSMENU) || !menu || !status || !strings) return;
    bool submenu = (flags & MF_POPUP) != 0;
    UINT number = LOWORD(wParam);
    for (const Key& k : keys_) {
        if (k.Menu == menu && k.Submenu == submenu && k.Number == number) {
            // Passed on as a plain entry: every platform loads a plain entry's string by its number,
            // while submenus are looked up differently (Windows by the id pairs' menu handles, Wine
            // takes the first pair for all of them).
            wParam = MAKEWPARAM(k.HelpNumber, flags & ~MF_POPUP);
            break;
        }
    }
    (void)bar;
    // Written into the message part itself: the system's menu help would switch the bar to its
    // simple mode and hide the step and zoom parts.
    wchar_t text[256] = {};
    if (LoadStringW(strings, LOWORD(wParam), text, 256) <= 0) text[0] = 0;
    SendMessageW(status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace plenvue
