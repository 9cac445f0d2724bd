// The notification-area icon of a window: added at load, removed when the owner goes, and added
// again when the shell restarts (a hidden window would be unreachable without it).
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>

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
    // Adds the icon again if the shell refused it at load: the window is about to be hidden.
    void EnsureAdded();
    bool Added() const { return added_; }
    void Remove();
    // Changes the tip (cut to the icon's 63 characters); the icon keeps it when added again.
    void SetTip(const char* tip);
    // True when the message is the shell's restart broadcast; the icon is then added again.
    bool OnShellRestarted(UINT message);
    // A click or double click calls `restore` (not while a modal dialog is open); the right
    // button opens the owner's system menu at the pointer.
    void OnCallback(LPARAM mouseMessage, const std::function<void()>& restore) const;

private:
    void AddAgain();
    NOTIFYICONDATAW nid_{};
    bool added_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace plenvue
