#include "settings/frmHotKey_win.h"

#include "settings/HotkeyNames.h"
#include "base/win/WideText_win.h"

namespace plenvue {

DialogTemplate frmHotKey::Template() const {
    DialogTemplate t(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 180, 76,
                     "Set Hotkey");
    t.Add(kDlgStatic, "Plaese Set Hotkey for %s", kPrompt, WS_CHILD | WS_VISIBLE, 7, 7, 166, 18);
    t.Add(kDlgButton, "OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 68, 55, 50, 14);
    t.Add(kDlgButton, "Cancel", IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 123, 55, 50, 14);
    return t;
}

void frmHotKey::OnInit() {
    canceled_ = true;
    SetWindowTextUtf8(hwnd_, Caption);
    SetItemText(hwnd_, kPrompt, Prompt);
    SetItemText(hwnd_, IDOK, OkCaption);
    SetItemText(hwnd_, IDCANCEL, CancelCaption);
    RECT r{7, 28, 173, 42};
    MapDialogRect(hwnd_, &r);
    hkSetHotkey_.Create(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, kHotkeyControl);
    // The control sits after the buttons in tab order; the first Tab from it goes to OK.
    SetWindowPos(hkSetHotkey_.hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    hkSetHotkey_.HotkeyModifier(modifierIn_);
    hkSetHotkey_.Key(keyIn_);
    SetFocus(hkSetHotkey_.hWnd());
}

void frmHotKey::OnCommand(int id, int) {
    if (id == IDOK) {
        // Registered globally, such a key would stop working in every other program.
        if (HotkeyNeedsCtrlOrAlt(hkSetHotkey_.HotkeyModifier(), hkSetHotkey_.Key())) {
            if (ShowRefusalFn) ShowRefusalFn(NeedsCtrlOrAltText);
            else ShowMessageBox(hwnd_, NeedsCtrlOrAltText, kProgramName, MB_ICONEXCLAMATION);
            SetFocus(hkSetHotkey_.hWnd());
            return;
        }
        modifier_ = hkSetHotkey_.HotkeyModifier();
        key_ = hkSetHotkey_.Key();
        name_ = hkSetHotkey_.GetHotkeyName();
        canceled_ = false;
        Close();
    } else if (id == IDCANCEL) {
        canceled_ = true;
        Close();
    }
}

}  // namespace plenvue
