// Ravelin.dll as Plenvue binds it: undecorated exports, one hook system-wide, the caller's filter
// applied only in the caller's process, and mouse input of other processes never held hostage.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/win/Handles_win.h"
#include "capture/RavelinHook_win.h"
#include "tests/support/MainWindow_win.h"

namespace plenvue {
namespace {

using SetHookFn = HHOOK(WINAPI*)(HWND, UINT);
using FreeHookFn = BOOL(WINAPI*)();

std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

struct Ravelin {
    HMODULE module = LoadLibraryA((BinDir() + "Ravelin.dll").c_str());
    SetHookFn set = module ? reinterpret_cast<SetHookFn>(
                                 reinterpret_cast<void*>(GetProcAddress(module, "SetGlobalMouseHook")))
                           : nullptr;
    FreeHookFn free = module ? reinterpret_cast<FreeHookFn>(
                                   reinterpret_cast<void*>(GetProcAddress(module, "FreeGlobalMouseHook")))
                             : nullptr;
    ~Ravelin() {
        if (module) FreeLibrary(module);
    }
};

// Frees the hook even when an assertion leaves the test early; a leaked hook fails every later test.
struct HookGuard {
    Ravelin& r;
    ~HookGuard() { r.free(); }
};

constexpr char kClicksClass[] = "RavelinTestClicks";
constexpr char kTargetClass[] = "RavelinTestTarget";
constexpr int kChildX = 600, kChildY = 400, kOwnX = 100, kOwnY = 100, kSide = 120;
// Exit code of a clicked child: which button messages its window received.
constexpr DWORD kGotDown = 1, kGotUp = 2, kChildTimedOut = 0x10;

// A window that notes the button messages it is given.
struct Clicks {
    bool down = false;
    bool up = false;
};

LRESULT CALLBACK ClicksProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    auto* c = reinterpret_cast<Clicks*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (c && m == WM_LBUTTONDOWN) c->down = true;
    if (c && m == WM_LBUTTONUP) c->up = true;
    return DefWindowProcA(h, m, w, l);
}

// The forwarded records as the target window receives them; `downReply` answers button-downs.
struct Target {
    struct Record {
        UINT message;
        MOUSEHOOKSTRUCT mouse;
    };
    std::vector<Record> records;
    LRESULT downReply = 0;

    bool Saw(UINT message) const {
        for (const Record& r : records)
            if (r.message == message) return true;
        return false;
    }
    const Record* Last(UINT message) const {
        for (auto it = records.rbegin(); it != records.rend(); ++it)
            if (it->message == message) return &*it;
        return nullptr;
    }
};

LRESULT CALLBACK TargetProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    auto* t = reinterpret_cast<Target*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (t && m == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
        Target::Record rec{static_cast<UINT>(cds->dwData), {}};
        if (cds->cbData == sizeof rec.mouse && cds->lpData) rec.mouse = *static_cast<MOUSEHOOKSTRUCT*>(cds->lpData);
        t->records.push_back(rec);
        return cds->dwData == WM_LBUTTONDOWN ? t->downReply : 0;
    }
    return DefWindowProcA(h, m, w, l);
}

HWND MakeWindow(const char* cls, WNDPROC proc, void* state, int x, int y, int side) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), cls, &wc)) {
        wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
    }
    HWND h = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, cls, cls, WS_POPUP | WS_VISIBLE, x, y, side, side,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (h) SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return h;
}

struct Window {
    HWND h;
    ~Window() {
        if (h) DestroyWindow(h);
    }
};

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Handles sent and posted messages until `done` holds; false when `timeoutMs` ran out first.
template <class F>
bool PumpUntil(F done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// The child's window as the input system sees it: found by name is not enough, since a window
// can exist before it is shown, and a click sent then lands on whatever is below.
HWND WaitForWindowAt(const char* cls, int x, int y, DWORD timeoutMs) {
    HWND found = nullptr;
    PumpUntil(
        [&] {
            HWND h = FindWindowA(cls, nullptr);
            if (!h || !IsWindowVisible(h) || WindowFromPoint(POINT{x, y}) != h) return false;
            found = h;
            return true;
        },
        timeoutMs);
    return found;
}

// A real click through the system input queue, so the hook runs as it would for the user;
// `approach` moves lead up to it, one pixel apart, as a hand on the mouse would make them.
void ClickAt(int x, int y, int approach = 0) {
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> in(approach + 3);
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    for (int k = 0; k <= approach; ++k) {
        int px = x - approach + k;
        in[k].mi.dx = (px * 65536 + cx / 2) / cx;
        in[k].mi.dy = (y * 65536 + cy / 2) / cy;
        in[k].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    in[approach + 1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[approach + 2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// This test program run again as a second process, with RAVELIN_CHILD naming its part.
struct Child {
    PROCESS_INFORMATION pi{};
    bool started = false;

    explicit Child(const char* mode) {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        // Only the child's own part runs: a skipped sibling in its output would mark the parent
        // test skipped under CTest.
        const std::string m = mode;
        const char* part = m == "refuse"  ? "SecondProcessIsRefusedWhileHooked"
                           : m == "exit" ? "EndsWhileHooked"
                                         : "WindowReportsTheClickItReceives";
        std::string cmd = std::string("\"") + exe + "\" --gtest_filter=RavelinChild." + part;
        SetEnvironmentVariableA("RAVELIN_CHILD", mode);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
        SetEnvironmentVariableA("RAVELIN_CHILD", nullptr);
    }
    ~Child() {
        if (!started) return;
        plenvue::UniqueKernel thread(pi.hThread), process(pi.hProcess);
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
    }
    bool Exited() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }
    DWORD Code() const {
        DWORD code = 99;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
};

bool ChildMode(const char* mode) {
    const char* v = std::getenv("RAVELIN_CHILD");
    return v && std::string(v) == mode;
}

// Run in a second process: exit code 0 when that process was refused the hook.
TEST(RavelinChild, SecondProcessIsRefusedWhileHooked) {
    if (!ChildMode("refuse")) GTEST_SKIP() << "runs only as a child of the tests below";
    Ravelin r;
    ASSERT_TRUE(r.set);
    HHOOK h = r.set(GetDesktopWindow(), 0);
    if (h) r.free();
    std::exit(h ? 3 : 0);
}

// Run in a second process: hooks and ends without unhooking, as a program that is ended would.
TEST(RavelinChild, EndsWhileHooked) {
    if (!ChildMode("exit")) GTEST_SKIP() << "runs only as a child of the tests below";
    Ravelin r;
    std::exit(r.set && r.set(GetDesktopWindow(), 0) ? 0 : 3);
}

// Run in a second process: shows a window and reports the button messages it gets from one click.
TEST(RavelinChild, WindowReportsTheClickItReceives) {
    if (!ChildMode("click")) GTEST_SKIP() << "runs only as a child of the tests below";
    Clicks clicks;
    Window w{MakeWindow(kClicksClass, ClicksProc, &clicks, kChildX, kChildY, kSide)};
    bool done = PumpUntil([&] { return clicks.up; }, 30000);
    if (done) PumpUntil([] { return false; }, 200);  // a late button-down would show here
    std::exit(static_cast<int>((clicks.down ? kGotDown : 0) | (clicks.up ? kGotUp : 0) | (done ? 0 : kChildTimedOut)));
}

TEST(Ravelin, ExportsAreUndecoratedAndOneHookAtATime) {
    Ravelin r;
    ASSERT_NE(r.module, nullptr);
    ASSERT_NE(r.set, nullptr);
    ASSERT_NE(r.free, nullptr);
    EXPECT_EQ(GetProcAddress(r.module, "SetGlobalMouseHook@8"), nullptr);
    EXPECT_EQ(GetProcAddress(r.module, "_SetGlobalMouseHook@8"), nullptr);

    HHOOK first = r.set(GetDesktopWindow(), WM_LBUTTONDOWN);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(r.set(GetDesktopWindow(), 0), nullptr);  // already hooked: refused, first stays
    EXPECT_TRUE(r.free());
    EXPECT_FALSE(r.free());  // no hook left to remove

    HHOOK again = r.set(GetDesktopWindow(), 0);
    EXPECT_NE(again, nullptr);
    EXPECT_TRUE(r.free());
}

// The caller is Plenvue's user-interface thread: hooking must not leave it competing with the
// system at time-critical priority for the rest of the run.
TEST(Ravelin, HookingLeavesTheCallersThreadPriorityAlone) {
    Ravelin r;
    ASSERT_NE(r.set, nullptr);
    HANDLE self = GetCurrentThread();
    for (int priority : {THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_BELOW_NORMAL}) {
        ASSERT_TRUE(SetThreadPriority(self, priority));
        ASSERT_EQ(GetThreadPriority(self), priority);
        HHOOK h = r.set(GetDesktopWindow(), WM_LBUTTONDOWN);
        ASSERT_NE(h, nullptr);
        HookGuard guard{r};
        EXPECT_EQ(GetThreadPriority(self), priority) << "after SetGlobalMouseHook";
    }
    SetThreadPriority(self, THREAD_PRIORITY_NORMAL);
}

// The hook handle lives in a section shared by every process that maps the library.
TEST(Ravelin, HookHeldHereRefusesAnotherProcess) {
    Ravelin r;
    ASSERT_NE(r.set, nullptr);
    ASSERT_NE(r.set(GetDesktopWindow(), 0), nullptr);
    HookGuard guard{r};
    Child child("refuse");
    ASSERT_TRUE(child.started);
    WaitForSingleObject(child.pi.hProcess, 60000);
    EXPECT_EQ(child.Code(), 0u) << "the second process got a hook of its own";
}

// Plenvue hooks with the button-down filter: its own windows forward nothing else, so a release
// over them never picks, while every other process forwards all its mouse messages.
TEST(Ravelin, FilterAppliesInTheCallersProcessOnly) {
    Ravelin r;
    ASSERT_NE(r.set, nullptr);
    Target target;
    Window tw{MakeWindow(kTargetClass, TargetProc, &target, 0, 0, 1)};
    ASSERT_TRUE(tw.h);
    ASSERT_NE(r.set(tw.h, WM_LBUTTONDOWN), nullptr);
    HookGuard guard{r};

    {
        Clicks own;
        Window ow{MakeWindow(kClicksClass, ClicksProc, &own, kOwnX, kOwnY, kSide)};
        ASSERT_TRUE(ow.h);
        ASSERT_NE(WaitForWindowAt(kClicksClass, kOwnX + 10, kOwnY + 10, 10000), nullptr);
        ClickAt(kOwnX + 10, kOwnY + 10);
        ASSERT_TRUE(PumpUntil([&] { return own.up; }, 10000)) << "the click never reached our own window";
        EXPECT_TRUE(own.down);
        ASSERT_FALSE(target.records.empty());
        for (const Target::Record& rec : target.records) EXPECT_EQ(rec.message, static_cast<UINT>(WM_LBUTTONDOWN));
    }

    Child child("click");
    ASSERT_TRUE(child.started);
    int x = kChildX + 30, y = kChildY + 40;
    HWND childWindow = WaitForWindowAt(kClicksClass, x, y, 30000);
    ASSERT_NE(childWindow, nullptr) << "the other process's window never came up under the pointer";
    target.records.clear();
    ClickAt(x, y);
    ASSERT_TRUE(PumpUntil([&] { return child.Exited(); }, 30000));
    EXPECT_EQ(child.Code(), kGotDown | kGotUp);
    EXPECT_TRUE(target.Saw(WM_LBUTTONDOWN));
    const Target::Record* up = target.Last(WM_LBUTTONUP);
    ASSERT_NE(up, nullptr) << "the other process did not forward the button release";
    EXPECT_EQ(up->mouse.pt.x, x);
    EXPECT_EQ(up->mouse.pt.y, y);
    EXPECT_EQ(up->mouse.hwnd, childWindow);
    EXPECT_EQ(up->mouse.wHitTestCode, static_cast<UINT>(HTCLIENT));
}

// A non-zero answer swallows the mouse message; zero lets it go on to its window.
TEST(Ravelin, TargetsAnswerDecidesWhetherTheMessageGoesOn) {
    Ravelin r;
    ASSERT_NE(r.set, nullptr);
    Target target;
    target.downReply = 1;
    Window tw{MakeWindow(kTargetClass, TargetProc, &target, 0, 0, 1)};
    ASSERT_TRUE(tw.h);
    ASSERT_NE(r.set(tw.h, WM_LBUTTONDOWN), nullptr);
    HookGuard guard{r};

    Child child("click");
    ASSERT_TRUE(child.started);
    ASSERT_NE(WaitForWindowAt(kClicksClass, kChildX + 20, kChildY + 20, 30000), nullptr);
    ClickAt(kChildX + 20, kChildY + 20);
    ASSERT_TRUE(PumpUntil([&] { return child.Exited(); }, 30000));
    EXPECT_EQ(child.Code(), kGotUp) << "the answered button-down reached the window";
    EXPECT_TRUE(target.Saw(WM_LBUTTONDOWN));
}

// The target thread is stuck and never answers: the other process still gets its click after
// one long wait, well within a generous bound, instead of waiting for every move and button.
TEST(Ravelin, TargetThatNeverAnswersDoesNotHoldOtherProcessesInput) {
    Ravelin r;
    ASSERT_NE(r.set, nullptr);
    Target target;
    Window tw{MakeWindow(kTargetClass, TargetProc, &target, 0, 0, 1)};
    ASSERT_TRUE(tw.h);
    ASSERT_NE(r.set(tw.h, 0), nullptr);
    HookGuard guard{r};

    Child child("click");
    ASSERT_TRUE(child.started);
    ASSERT_NE(WaitForWindowAt(kClicksClass, kChildX + 20, kChildY + 20, 30000), nullptr);
    ClickAt(kChildX + 20, kChildY + 20, 6);
    // From here this thread handles no messages: the forwarded events find nobody answering.
    DWORD waited = WaitForSingleObject(child.pi.hProcess, 4000);
    Pump();
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the other process's click waited for an answer";
    EXPECT_EQ(child.Code(), kGotDown | kGotUp);
}

}  // namespace
}  // namespace plenvue

namespace plenvue {
namespace {

// A process that ends while hooked takes the hook with it: the next one is not refused because of
// a handle left in the shared section.
TEST(Ravelin, ProcessEndingWhileHookedLeavesNoHookBehind) {
    Ravelin r;  // keeps the library, and so its shared section, mapped throughout
    ASSERT_NE(r.set, nullptr);
    Child child("exit");
    ASSERT_TRUE(child.started);
    ASSERT_EQ(WaitForSingleObject(child.pi.hProcess, 60000), WAIT_OBJECT_0);
    ASSERT_EQ(child.Code(), 0u) << "the child could not hook";
    EXPECT_NE(r.set(GetDesktopWindow(), 0), nullptr) << "the ended process's hook is still held";
    r.free();
}

// The owner unhooks on every way out: leaving its scope, or the session's end while it is held.
TEST(Ravelin, OwnedHookEndsWithItsOwnerOrTheSession) {
    Ravelin r;
    ASSERT_NE(r.set, nullptr);
    const std::string dll = BinDir() + "Ravelin.dll";
    std::string reason;
    {
        RavelinHook hook;
        ASSERT_TRUE(hook.Install(dll, GetDesktopWindow(), 0, reason)) << reason;
        EXPECT_TRUE(hook.Active());
        RavelinHook second;
        EXPECT_FALSE(second.Install(dll, GetDesktopWindow(), 0, reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(r.set(GetDesktopWindow(), 0), nullptr) << "held while its owner lives";
    }
    ASSERT_NE(r.set(GetDesktopWindow(), 0), nullptr) << "the owner's end unhooked";
    r.free();

    {
        test::MainWindow w;
        ASSERT_NE(w.hWnd(), nullptr);
        RavelinHook hook;  // as a window pick in progress holds it
        ASSERT_TRUE(hook.Install(dll, w.hWnd(), WM_LBUTTONDOWN, reason)) << reason;
        SendMessageA(w.hWnd(), WM_ENDSESSION, TRUE, 0);
        EXPECT_FALSE(hook.Active());
        HHOOK again = r.set(GetDesktopWindow(), 0);
        EXPECT_NE(again, nullptr) << "the session's end unhooked";
        if (again) r.free();
    }
}

}  // namespace
}  // namespace plenvue
