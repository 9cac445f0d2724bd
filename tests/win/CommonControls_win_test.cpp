#include "controls/CommonControls_win.h"

#include <gtest/gtest.h>

using namespace plenvue;

namespace {
class Host {
public:
    Host() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
        hwnd = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    ~Host() { DestroyWindow(hwnd); }
    HWND hwnd;
};
}  // namespace

TEST(CommonControls, CreateTwiceKeepsTheFirstWindowAndDestroyReleasesIt) {
    Host host;
    CToolbarCtl bar;
    HWND first = bar.Create(host.hwnd, 0, 0, 0, 0, 0x50000144);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(bar.Create(host.hwnd, 0, 0, 0, 0, 0x50000144), first);
    EXPECT_TRUE(bar.InsertButton(0, 12, -1, 0, TBSTATE_ENABLED, BTNS_CHECK));
    EXPECT_TRUE(bar.InsertSeparator());
    bar.CheckButton(12, true);
    EXPECT_TRUE(bar.IsChecked(12));
    bar.CheckButton(12, false);
    EXPECT_FALSE(bar.IsChecked(12));
    bar.Destroy();
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(bar.hWnd(), nullptr);
    // Operations without a window have no effect.
    bar.CheckButton(12, true);
    EXPECT_FALSE(bar.IsChecked(12));
}

TEST(CommonControls, RebarBandAndStatusBarSimpleText) {
    Host host;
    CToolbarCtl bar;
    bar.Create(host.hwnd, 0, 0, 0, 0, 0x50000144);
    CRebarCtl rebar;
    ASSERT_NE(rebar.Create(host.hwnd, 1, 1, 398, 25, 0x56806401), nullptr);
    EXPECT_TRUE(rebar.InsertBand(nullptr, bar.hWnd(), 360, 25, 360, 0x85));
    EXPECT_GE(rebar.Height(), 25);
    CStatusBarCtl status;
    ASSERT_NE(status.Create(host.hwnd, 0x50000100, "", 18), nullptr);
    status.Simple(true);
    status.SetText(255, "Plenvue Is Ready");
    char text[64] = {};
    SendMessageA(status.hWnd(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Plenvue Is Ready");
}

TEST(CommonControls, TabStripTrackBarAndUpDown) {
    Host host;
    CTabStripCtl tabs;
    ASSERT_NE(tabs.Create(host.hwnd, 0, 0, 300, 200, WS_CHILD | WS_VISIBLE), nullptr);
    EXPECT_EQ(tabs.InsertTab("General", 0), 0);
    EXPECT_EQ(tabs.InsertTab("Hotkey", 1), 1);
    tabs.Select(1);
    EXPECT_EQ(tabs.Selected(), 1);
    tabs.DeleteAll();
    EXPECT_EQ(TabCtrl_GetItemCount(tabs.hWnd()), 0);

    CTrackBarCtl track;
    ASSERT_NE(track.Create(host.hwnd, 0, 0, 200, 30, WS_CHILD | WS_VISIBLE), nullptr);
    track.SetRange(0, 255);
    track.SetLineAndPage(1, 10);
    track.SetPos(300);
    EXPECT_EQ(track.Pos(), 255);  // the control clamps to its range
    track.SetPos(40);
    EXPECT_EQ(track.Pos(), 40);

    HWND edit = CreateWindowExA(0, "EDIT", "0", WS_CHILD | WS_VISIBLE, 0, 40, 50, 20, host.hwnd, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    CUpDownCtl spin;
    ASSERT_NE(spin.Create(host.hwnd, 50, 40, 16, 20, WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT), nullptr);
    spin.SetBuddy(edit);
    spin.SetRange(0, 100);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin.hWnd(), UDM_GETBUDDY, 0, 0)), edit);
    LRESULT range = SendMessageA(spin.hWnd(), UDM_GETRANGE, 0, 0);
    EXPECT_EQ(LOWORD(range), 100);
    EXPECT_EQ(HIWORD(range), 0);
}
