#include "shell/frmMain_win.h"

#include <gtest/gtest.h>

#include "shell/MainMenu.h"
#include "shell/modDeclare_win.h"

#include <vector>

#include "tests/win/WinTestSupport.h"

using namespace plenvue;

namespace {

// The main window, hidden, without a message box about hot keys taken elsewhere.
class MainWindow {
public:
    MainWindow() {
        for (int i = 0; i < 6; ++i) App().CaptureCaptions[i] = "Capture " + std::to_string(i);
        plenvue::test::EmptyTheClipboard();
        form.Load(SW_HIDE);
        // A first start saves every capture automatically; these tests keep captures in memory.
        Settings().AutoSaveAtStart = 0;
    }
    ~MainWindow() {
        if (form.hWnd()) SendMessageA(form.hWnd(), WM_CLOSE, 0, 0);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }  // the quit message the window posts
    }
    frmMain form;
};

int CountIds(HMENU menu, UINT first, UINT last) {
    int n = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        UINT id = GetMenuItemID(menu, i);
        if (id >= first && id <= last) ++n;
    }
    return n;
}

int CountSeparators(HMENU menu) {
    int n = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoA(menu, i, TRUE, &info) && (info.fType & MFT_SEPARATOR)) ++n;
    }
    return n;
}

}  // namespace

TEST(frmMain, RepeatedCapMenuKeepsOneSetOfCaptureEntriesAndOthersEntries) {
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    HMENU sys = GetSystemMenu(h, FALSE);
    ASSERT_NE(sys, nullptr);
    // An entry someone else added (Wine adds its own too) survives every rebuild.
    AppendMenuA(sys, MF_STRING, 0x7770, "Other");
    int separators = CountSeparators(sys);
    int items = GetMenuItemCount(sys);
    for (int i = 0; i < 3; ++i) w.form.setCapMenu();
    EXPECT_EQ(CountIds(sys, 1861, 1866), 6);
    EXPECT_EQ(CountIds(sys, 0x7770, 0x7770), 1);
    EXPECT_EQ(CountSeparators(sys), separators);
    EXPECT_EQ(GetMenuItemCount(sys), items);
    char text[64] = {};
    GetMenuStringA(sys, 1863, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Capture 2");
}

TEST(frmMain, RawMessagesGoThroughItsMessageTargetUntilUnload) {
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    EXPECT_GT(reinterpret_cast<INT_PTR>(GetPropA(h, "Prop_HookID")), 0);
    MINMAXINFO mm{};
    SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    EXPECT_EQ(mm.ptMinTrackSize.x, 400);
    EXPECT_EQ(mm.ptMinTrackSize.y, 300);
    // Ordinary messages still reach the window's own procedure.
    SetWindowTextA(h, "changed");
    char text[32] = {};
    GetWindowTextA(h, text, sizeof text);
    EXPECT_STREQ(text, "changed");
    // Closing unloads: the window goes and the slot procedure is no longer in the way.
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
}

namespace {
// Live GDI objects of this process: a handle's low word indexes the table, and a high word of 0
// matches any generation, so every slot can be asked for its object type.
int LiveGdiObjects() {
    int n = 0;
    for (UINT_PTR i = 1; i <= 0xFFFF; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0) ++n;
    return n;
}
}  // namespace

TEST(frmMain, RepeatedFullScreenCapturesLeaveNoGdiObjectBehind) {
    MainWindow w;
    ASSERT_NE(w.form.hWnd(), nullptr);
    w.form.SnapIt(0);  // the first capture creates what is kept for later ones
    w.form.SnapIt(0);
    int before = LiveGdiObjects();
    ASSERT_GT(before, 0) << "GDI objects cannot be counted this way here";
    for (int i = 0; i < 100; ++i) w.form.SnapIt(0);
    EXPECT_EQ(LiveGdiObjects(), before);
    EXPECT_FALSE(w.form.WorkingPicture().Empty());
}

// Before every capture that reads the screen directly the window hides and the program waits
// (500 ms unless changed) so the screen is redrawn without it; only then is the picture taken.
TEST(frmMain, CaptureWaitsTheDelayWithTheWindowHiddenBeforeCapturing) {
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(w.form.CaptureHideDelayMs, 500u);
    struct Wait {
        uint32_t ms;
        bool windowVisible;
        bool pictureTaken;
    };
    std::vector<Wait> waits;
    w.form.CaptureSleep = [&](uint32_t ms) {
        waits.push_back({ms, IsWindowVisible(h) != FALSE, !w.form.WorkingPicture().Empty()});
    };
    for (int index : {0, 2, 3, 5}) {
        SendMessageA(h, WM_COMMAND, kCmdClearCanvas, 0);  // no picture before the capture
        ASSERT_TRUE(w.form.WorkingPicture().Empty());
        ShowWindow(h, SW_SHOWNA);
        waits.clear();
        w.form.SnapIt(index);
        ASSERT_EQ(waits.size(), 1u) << "capture " << index;
        EXPECT_EQ(waits[0].ms, 500u) << "capture " << index;
        EXPECT_FALSE(waits[0].windowVisible) << "capture " << index << " waited with the window shown";
        EXPECT_FALSE(waits[0].pictureTaken) << "capture " << index << " took the picture before waiting";
        EXPECT_TRUE(IsWindowVisible(h)) << "capture " << index << " left the window hidden";
    }
    EXPECT_FALSE(w.form.WorkingPicture().Empty());
    w.form.CaptureHideDelayMs = 20;
    waits.clear();
    w.form.SnapIt(0);
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].ms, 20u);
}
