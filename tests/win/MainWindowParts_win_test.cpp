// The owners the main window is made of: each undoes its registration when it is destroyed,
// while the window it registered for lives on.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>

#include "base/win/modDeclare_win.h"
#include "settings/CurrentSettings.h"
#include "settings/Hotkey_win.h"
#include "shell/CaptureHotkeys_win.h"
#include "shell/ClipboardViewer_win.h"
#include "shell/MainMenu.h"
#include "shell/NotifyIcon_win.h"
#include "shell/SystemMenu_win.h"

using namespace plenvue;

namespace {

class TopWindow {
public:
    TopWindow()
        : hwnd_(CreateWindowExA(0, "STATIC", "parts", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                nullptr)) {}
    ~TopWindow() { DestroyWindow(hwnd_); }
    TopWindow(const TopWindow&) = delete;
    TopWindow& operator=(const TopWindow&) = delete;
    HWND hWnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

int CaptureEntries(HWND w) {
    HMENU sys = GetSystemMenu(w, FALSE);
    int n = 0;
    for (int i = 0; i < GetMenuItemCount(sys); ++i) {
        UINT id = GetMenuItemID(sys, i);
        if (id >= kSysCaptureFirst && id < kSysCaptureFirst + kCaptureKinds) ++n;
    }
    return n;
}

}  // namespace

TEST(MainWindowParts, HotKeysAreFreeAgainOnceTheOwnerGoes) {
    TopWindow window, other;
    CurrentSettings settings;
    {
        CaptureHotkeys hotkeys;
        auto failed = hotkeys.Register(window.hWnd(), [](std::string_view) { return std::string(); }, settings);
        ASSERT_TRUE(failed.empty());
        ASSERT_NE(settings.HotkeyKeys[0], 0);
        EXPECT_FALSE(RegisterCaptureHotKey(other.hWnd(), 1, settings.HotkeyModifiers[0], settings.HotkeyKeys[0]));
    }
    for (int i = 0; i < kCaptureKinds; ++i) {
        EXPECT_TRUE(RegisterCaptureHotKey(other.hWnd(), 1, settings.HotkeyModifiers[i], settings.HotkeyKeys[i]))
            << "hot key " << i << " still held";
        UnregisterHotKey(other.hWnd(), 1);
    }
}

TEST(MainWindowParts, ViewerLeavesTheChainOnceAndOnlyOnce) {
    TopWindow window;
    {
        ClipboardViewer viewer;
        viewer.Join(window.hWnd());
        viewer.Join(window.hWnd());  // no loop through itself
        EXPECT_TRUE(viewer.Joined());
        EXPECT_EQ(GetClipboardViewer(), window.hWnd());
    }
    EXPECT_NE(GetClipboardViewer(), window.hWnd());
}

TEST(MainWindowParts, ViewerPassesTheChainMessagesOnAndFollowsARemovedNext) {
    TopWindow first, second, third;
    ClipboardViewer viewer;
    // `viewer` joins last, so the window that joined before it is its next.
    SetClipboardViewer(first.hWnd());
    viewer.Join(second.hWnd());
    int draws = 0;
    EXPECT_TRUE(viewer.OnMessage(WM_DRAWCLIPBOARD, 0, 0, [&] { ++draws; }));
    EXPECT_EQ(draws, 1);
    // The next one leaves in favour of a third: later changes are sent on to the third.
    EXPECT_TRUE(viewer.OnMessage(WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(first.hWnd()),
                                 reinterpret_cast<LPARAM>(third.hWnd()), [] {}));
    EXPECT_FALSE(viewer.OnMessage(WM_PAINT, 0, 0, [&] { ++draws; }));
    EXPECT_EQ(draws, 1);
    viewer.Leave();
    EXPECT_NE(GetClipboardViewer(), second.hWnd());
    ChangeClipboardChain(first.hWnd(), nullptr);
}

TEST(MainWindowParts, SystemMenuGetsOneSetOfCaptureEntriesAndExitAfterCloseAndIsRestored) {
    TopWindow window;
    std::array<std::string, kCaptureKinds> captions{"a", "b", "", "d", "e", "f"};
    HMENU sys = GetSystemMenu(window.hWnd(), FALSE);
    auto positionOf = [&](UINT id) {
        for (int i = 0; i < GetMenuItemCount(sys); ++i)
            if (GetMenuItemID(sys, i) == id) return i;
        return -1;
    };
    auto exits = [&] {
        int n = 0;
        for (int i = 0; i < GetMenuItemCount(sys); ++i) n += GetMenuItemID(sys, i) == kSysExit;
        return n;
    };
    {
        SystemMenuEntries entries;
        entries.Insert(window.hWnd(), captions, "E&xit");
        entries.Insert(window.hWnd(), captions, "&Beenden");
        EXPECT_EQ(CaptureEntries(window.hWnd()), kCaptureKinds);
        EXPECT_EQ(exits(), 1);
        EXPECT_EQ(positionOf(kSysExit), positionOf(SC_CLOSE) + 1);
        char text[32] = {};
        GetMenuStringA(sys, kSysExit, text, sizeof text, MF_BYCOMMAND);
        EXPECT_STREQ(text, "&Beenden");
    }
    sys = GetSystemMenu(window.hWnd(), FALSE);
    EXPECT_EQ(CaptureEntries(window.hWnd()), 0);
    EXPECT_EQ(exits(), 0);
}

TEST(MainWindowParts, NotifyIconTipIsCutBetweenCharactersAtTheLongField) {
    TopWindow window;
    NotifyIcon notify;
    notify.Add(window.hWnd(), LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)), "tip");
    // 126 letters, then a character of two units across the field's last unit.
    notify.SetTip((std::string(126, 'a') + "\xF0\x9F\x98\x80 more").c_str());
    EXPECT_EQ(std::wstring(notify.Tip()), std::wstring(126, L'a'));
    // Umlauts take one unit each: 120 of them fit whole, where 63 bytes held 31.
    std::string umlauts;
    for (int i = 0; i < 120; ++i) umlauts += "\xC3\xBC";
    notify.SetTip(umlauts.c_str());
    EXPECT_EQ(std::wstring(notify.Tip()), std::wstring(120, L'\u00FC'));
    notify.SetTip(std::string(300, 'z').c_str());
    EXPECT_EQ(std::wstring(notify.Tip()), std::wstring(127, L'z'));
}

TEST(MainWindowParts, NotifyIconIsRemovedAndComesBackWithARestartedShell) {
    TopWindow window;
    HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = window.hWnd();
    probe.uFlags = NIF_TIP;
    lstrcpynA(probe.szTip, "probe", 64);
    {
        NotifyIcon notify;
        notify.Add(window.hWnd(), icon, "tip");
        EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe)) << "the icon is there";
        EXPECT_FALSE(notify.OnShellRestarted(WM_USER + 77));
        // A restarted shell: the icon is added again (here the old one is still there, so it
        // was taken away first as a new shell would have it).
        NOTIFYICONDATAA gone = probe;
        Shell_NotifyIconA(NIM_DELETE, &gone);
        EXPECT_TRUE(notify.OnShellRestarted(RegisterWindowMessageA("TaskbarCreated")));
        EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &probe)) << "the icon came back";
    }
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &probe)) << "the icon is gone";
}

TEST(MainWindowParts, NotifyIconShowsABalloonAndTellsClicksOnItAndOnTheIconApart) {
    TopWindow window;
    HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    NotifyIcon notify;
    int restores = 0, balloonClicks = 0;
    auto restore = [&] { ++restores; };
    auto clicked = [&] { ++balloonClicks; };
    // A balloon before the icon exists adds it first; a tip longer than the old 63 units is taken.
    EXPECT_FALSE(notify.ShowBalloon("title", "text")) << "no owner yet";
    notify.Add(window.hWnd(), icon, "tip");
    ASSERT_TRUE(notify.Added());
    notify.SetTip(std::string(100, 'x').c_str());
    EXPECT_TRUE(notify.ShowBalloon("Plenvue: hot keys not available",
                                   "Ctrl+Alt+0 (Capture Full Screen) is used by another program\r\n" + std::string(300, 'y')));
    notify.OnCallback(NIN_BALLOONUSERCLICK, restore, clicked);
    notify.OnCallback(WM_LBUTTONUP, restore, clicked);
    notify.OnCallback(WM_LBUTTONDBLCLK, restore, clicked);
    notify.OnCallback(WM_MOUSEMOVE, restore, clicked);
    EXPECT_EQ(balloonClicks, 1);
    EXPECT_EQ(restores, 2);
    {
        ScopedProgramState state;
        ModalDialogScope modal;
        notify.OnCallback(NIN_BALLOONUSERCLICK, restore, clicked);
        notify.OnCallback(WM_LBUTTONUP, restore, clicked);
    }
    EXPECT_EQ(balloonClicks, 1) << "not while a modal dialog is open";
    EXPECT_EQ(restores, 2);
}
