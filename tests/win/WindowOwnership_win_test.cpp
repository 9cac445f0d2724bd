// The shared window machinery: the exception rule of window procedures, the pane thunk, the owned
// subclass, the typed GDI owners and the scoped program-wide state.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "base/ErrorObject.h"
#include "base/win/Handles_win.h"
#include "base/win/WindowSubclass_win.h"
#include "base/win/WindowThunk_win.h"
#include "base/win/modDeclare_win.h"
#include "settings/CurrentSettings.h"

using namespace plenvue;
using plenvue::test::MessageBoxCloser;

namespace {

TEST(WindowExceptionRule, ErrorObjectShowsNumberAndDescriptionUnderTheProgramName) {
    MessageBoxCloser closer;
    int result = GuardedCall(nullptr, -1, []() -> int { throw ErrorObject(6, kExeName, "Overflow"); });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(closer.Wait(), "6 - Overflow");
    EXPECT_EQ(closer.Caption(), "Plenvue");
}

TEST(WindowExceptionRule, OtherExceptionsShowTheirTextAndTheHandlerResultPassesThrough) {
    {
        MessageBoxCloser closer;
        GuardedCall(nullptr, 0, []() -> int { throw std::runtime_error("disk gone"); });
        EXPECT_EQ(closer.Wait(), "disk gone");
    }
    EXPECT_EQ(GuardedCall(nullptr, 0, [] { return 7; }), 7);
}

// One object behind two windows, as the history pane is.
struct TwoWindows {
    std::vector<HWND> seen;
    bool fail = false;
    LRESULT HandleMessage(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_USER) {
            seen.push_back(h);
            if (fail) throw std::runtime_error("pane failed");
            return 42;
        }
        return DefWindowProcA(h, m, w, l);
    }
};

// A hidden top-level window of its own class.
HWND MakeWindow(const char* cls, WNDPROC proc, void* param) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, param);
}

HWND MakePaneWindow(TwoWindows& owner) { return MakeWindow("PlenvueTestPane", PaneWindowProc<TwoWindows>, &owner); }

TEST(PaneWindowProc, EachWindowReachesTheOneObjectUntilItIsDestroyed) {
    TwoWindows owner;
    HWND a = MakePaneWindow(owner), b = MakePaneWindow(owner);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(SendMessageA(a, WM_USER, 0, 0), 42);
    EXPECT_EQ(SendMessageA(b, WM_USER, 0, 0), 42);
    EXPECT_EQ(owner.seen, (std::vector<HWND>{a, b}));
    {
        // A handler that throws is shown and the message gets the default result.
        owner.fail = true;
        MessageBoxCloser closer;
        EXPECT_EQ(SendMessageA(a, WM_USER, 0, 0), 0);
        EXPECT_EQ(closer.Wait(), "pane failed");
        owner.fail = false;
    }
    DestroyWindow(a);
    DestroyWindow(b);
    EXPECT_EQ(owner.seen.size(), 3u);
}

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) return 1;
    return DefWindowProcA(h, m, w, l);
}

HWND MakePlainWindow() { return MakeWindow("PlenvueTestPlain", Plain, nullptr); }

bool Answer(HWND, UINT m, WPARAM, LPARAM, LRESULT& result) {
    if (m != WM_USER) return false;
    result = 2;
    return true;
}

TEST(WindowSubclass, HandlerGoesWithItsOwnerAndWithTheWindow) {
    HWND w = MakePlainWindow();
    ASSERT_NE(w, nullptr);
    {
        WindowSubclass sub;
        ASSERT_TRUE(sub.Attach(w, Answer));
        EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 2);
        EXPECT_EQ(SendMessageA(w, WM_USER + 1, 0, 0), 0);  // not handled: on to the window
    }
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 1);

    WindowSubclass sub;
    ASSERT_TRUE(sub.Attach(w, Answer));
    DestroyWindow(w);
    EXPECT_FALSE(sub);
    sub.Reset();  // nothing left to remove
    EXPECT_FALSE(sub.Attach(nullptr, Answer));
}

TEST(TypedGdiOwners, DeleteTheirObjectWithoutACast) {
    HBRUSH raw = nullptr;
    {
        UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
        raw = brush.get();
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
        UniqueBrush moved = std::move(brush);
        EXPECT_FALSE(brush);
        EXPECT_EQ(moved.get(), raw);
    }
    EXPECT_EQ(GetObjectType(raw), 0u);
    UniquePen pen(CreatePen(PS_SOLID, 1, 0));
    HPEN p = pen.release();
    EXPECT_EQ(GetObjectType(p), static_cast<DWORD>(OBJ_PEN));
    DeleteObject(p);
}

TEST(ModalDialogScope, RaisesTheFlagAndRestoresItHoweverTheScopeEnds) {
    ScopedProgramState state;
    EXPECT_FALSE(App().ModalDialog);
    {
        ModalDialogScope outer;
        EXPECT_TRUE(App().ModalDialog);
        { ModalDialogScope inner; }
        EXPECT_TRUE(App().ModalDialog);  // the outer dialog is still up
    }
    EXPECT_FALSE(App().ModalDialog);
    try {
        ModalDialogScope modal;
        throw std::runtime_error("dialog failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(App().ModalDialog);
}

TEST(ScopedProgramState, StartsFreshAndGivesTheStateBefore) {
    App().TempFolder = "C:\\outer\\";
    Settings().PrefixFileName = "outer";
    {
        ScopedProgramState state;
        ScopedSettings settings;
        EXPECT_EQ(App().TempFolder, "");
        EXPECT_EQ(Settings().PrefixFileName, "");
        App().TempFolder = "C:\\inner\\";
        App().Messages[1] = "inner";
        Settings().PrefixFileName = "inner";
    }
    EXPECT_EQ(App().TempFolder, "C:\\outer\\");
    EXPECT_EQ(App().Messages.count(1), 0u);
    EXPECT_EQ(Settings().PrefixFileName, "outer");
    ResetProgramState();
    ResetSettings();
    EXPECT_EQ(App().TempFolder, "");
    EXPECT_EQ(Settings().PrefixFileName, "");
}

}  // namespace
