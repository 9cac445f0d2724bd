#include "shell/NotifyIcon_win.h"

#include "base/win/Wide_win.h"
#include "base/win/modDeclare_win.h"

namespace plenvue {

namespace {
// Opens a window's system menu at the point in lParam, as a click on its icon does.
constexpr UINT kPopupSystemMenu = 0x313;
// The tip's room in the original record layout, terminator included.
constexpr int kTipChars = 64;
}  // namespace

void NotifyIcon::Add(HWND owner, HICON icon, const char* tip) {
    if (added_) return;
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    nid_ = NOTIFYICONDATAW{};
    nid_.cbSize = NOTIFYICONDATAW_V1_SIZE;  // the original record layout every shell version accepts
    nid_.hWnd = owner;
    nid_.uID = 0;
    nid_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid_.uCallbackMessage = kCallbackMessage;
    nid_.hIcon = icon;
    lstrcpynW(nid_.szTip, Widen(tip).c_str(), kTipChars);
    AddAgain();
}

void NotifyIcon::EnsureAdded() {
    if (!added_ && nid_.hWnd) AddAgain();
}

void NotifyIcon::AddAgain() { added_ = Shell_NotifyIconW(NIM_ADD, &nid_) != FALSE; }

void NotifyIcon::Remove() {
    if (added_) Shell_NotifyIconW(NIM_DELETE, &nid_);
    added_ = false;
}

void NotifyIcon::SetTip(const char* tip) {
    lstrcpynW(nid_.szTip, Widen(tip).c_str(), kTipChars);
    if (!added_) return;
    NOTIFYICONDATAW change = nid_;
    change.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &change);
}

bool NotifyIcon::OnShellRestarted(UINT message) {
    if (!taskbarCreated_ || message != taskbarCreated_) return false;
    // The new shell has no icon of ours, whatever we believed before.
    AddAgain();
    return true;
}

void NotifyIcon::OnCallback(LPARAM mouseMessage, const std::function<void()>& restore) const {
    HWND owner = nid_.hWnd;
    if (mouseMessage == WM_LBUTTONUP || mouseMessage == WM_LBUTTONDBLCLK) {
        if (!App().ModalDialog && restore) restore();
    } else if (mouseMessage == WM_RBUTTONUP) {
        POINT pt{};
        GetCursorPos(&pt);
        SendMessageW(owner, kPopupSystemMenu, 0, MAKELPARAM(pt.x, pt.y));
    }
}

}  // namespace plenvue
