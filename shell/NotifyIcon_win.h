// The notification-area icon of a window: added at load, removed when the owner goes, and added
// again when the shell restarts (a hidden window would be unreachable without it).
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

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
    // Changes the tip (cut between characters to the icon's 127 UTF-16 units); the icon keeps it
    // when added again.
    void SetTip(const char* tip);
    const wchar_t* Tip() const { return nid_.szTip; }
    // True when the message is the shell's restart broadcast; the icon is then added again.
    bool OnShellRestarted(UINT message);
    // A balloon over the icon (the icon is added for it if the shell refused it before); the
    // texts are cut to the balloon's 63 and 255 units. False when there is no icon to show it at.
    bool ShowBalloon(const std::string& title, const std::string& text);
    // A click or double click calls `restore`, a click on the balloon `balloonClicked` (neither
    // while a modal dialog is open); the right button opens the owner's system menu at the pointer.
    void OnCallback(LPARAM mouseMessage, const std::function<void()>& restore,
                    const std::function<void()>& balloonClicked = {}) const;

private:
    void AddAgain();
    NOTIFYICONDATAW nid_{};
    bool added_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace plenvue
