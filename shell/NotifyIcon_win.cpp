#include "shell/NotifyIcon_win.h"

#include <algorithm>
#include <string>

#include "base/Utf.h"
#include "base/win/Wide_win.h"
#include "base/win/modDeclare_win.h"
#include "shell/CaptureDelay.h"

namespace plenvue {

namespace {
// Opens a window's system menu at the point in lParam, as a click on its icon does.
constexpr UINT kPopupSystemMenu = 0x313;
static_assert(sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) == kNotifyTipUnits + 1);

// The tip cut between characters, so that the shell never shows half of one.
void CopyTip(wchar_t (&field)[kNotifyTipUnits + 1], const char* tip) {
    const std::wstring wide = Widen(CutToUtf16Units(tip ? tip : "", kNotifyTipUnits));
    const size_t n = std::min(wide.size(), kNotifyTipUnits);
    std::copy_n(wide.c_str(), n, field);
    field[n] = L'\0';
}

// The room of the balloon's texts in the version-2 record, terminators included.
constexpr int kInfoChars = 256;
constexpr int kInfoTitleChars = 64;
constexpr UINT kBalloonMs = 15000;
}  // namespace

void NotifyIcon::Add(HWND owner, HICON icon, const char* tip) {
    if (added_) return;
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    nid_ = NOTIFYICONDATAW{};
    nid_.cbSize = NOTIFYICONDATAW_V2_SIZE;  // the layout with the long tip, accepted from Windows 2000 on
    nid_.hWnd = owner;
    nid_.uID = 0;
    nid_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid_.uCallbackMessage = kCallbackMessage;
    nid_.hIcon = icon;
    CopyTip(nid_.szTip, tip);
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
    CopyTip(nid_.szTip, tip);
    if (!added_) return;
    NOTIFYICONDATAW change = nid_;
    change.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &change);
}

bool NotifyIcon::ShowBalloon(const std::string& title, const std::string& text) {
    EnsureAdded();
    if (!added_) return false;
    NOTIFYICONDATAW balloon = nid_;
    balloon.uFlags = NIF_INFO;
    lstrcpynW(balloon.szInfo, Widen(text).c_str(), kInfoChars);
    lstrcpynW(balloon.szInfoTitle, Widen(title).c_str(), kInfoTitleChars);
    balloon.uTimeout = kBalloonMs;
    balloon.dwInfoFlags = NIIF_WARNING;
    return Shell_NotifyIconW(NIM_MODIFY, &balloon) != FALSE;
}

bool NotifyIcon::OnShellRestarted(UINT message) {
    if (!taskbarCreated_ || message != taskbarCreated_) return false;
    // The new shell has no icon of ours, whatever we believed before.
    AddAgain();
    return true;
}

void NotifyIcon::OnCallback(LPARAM mouseMessage, const std::function<void()>& restore,
                            const std::function<void()>& balloonClicked) const {
    HWND owner = nid_.hWnd;
    if (mouseMessage == WM_LBUTTONUP || mouseMessage == WM_LBUTTONDBLCLK) {
        if (!App().ModalDialog && restore) restore();
    } else if (mouseMessage == NIN_BALLOONUSERCLICK) {
        if (!App().ModalDialog && balloonClicked) balloonClicked();
    } else if (mouseMessage == WM_RBUTTONUP) {
        POINT pt{};
        GetCursorPos(&pt);
        SendMessageW(owner, kPopupSystemMenu, 0, MAKELPARAM(pt.x, pt.y));
    }
}

}  // namespace plenvue
