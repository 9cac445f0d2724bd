// The notification-area icon of a window: added at load, removed when the owner goes, and added
// again when the shell restarts (a hidden window would be unreachable without it).
#pragma once
#include <windows.h>
#include <shellapi.h>

namespace plenvue {

class NotifyIcon {
public:
    // The message the icon sends its window; lParam is the mouse message.
    static constexpr UINT kCallbackMessage = 2025;

    NotifyIcon() = default;
    ~NotifyIcon() { Remove(); }
    NotifyIcon(const NotifyIcon&) = delete;
    NotifyIcon& operator=(const NotifyIcon&) = delete;

    void Add(HWND owner, HICON icon, const char* tip);
    void Remove();
    // Changes the tip (cut between characters to the icon's 127 UTF-16 units); the icon keeps it
    // when added again.
    void SetTip(const char* tip);
    const wchar_t* Tip() const { return nid_.szTip; }
    // True when the message is the shell's restart broadcast; the icon is then added again.
    bool OnShellRestarted(UINT message);
    // Double click restores the owner (not while a modal dialog is open); the right button opens
    // its system menu at the pointer.
    void OnCallback(LPARAM mouseMessage) const;

private:
    void AddAgain();
    NOTIFYICONDATAW nid_{};
    bool added_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace plenvue
