// Ravelin: one system-wide mouse hook whose events go to one window as WM_COPYDATA records.
// The hook procedure runs in every process that takes mouse input, so the hook handle and the
// target window live in a section shared by all of them; the filter stays per process.
#include <windows.h>

namespace plenvue {
namespace {

// One copy for every process that maps this library.
HHOOK g_hook __attribute__((section("Shared"), shared)) = nullptr;
HWND g_target __attribute__((section("Shared"), shared)) = nullptr;

// Per process: only the caller of SetGlobalMouseHook filters; elsewhere everything is forwarded.
UINT g_filter = 0;
// Per process: this process set the hook and has not freed it.
bool g_hookedHere = false;
HINSTANCE g_instance = nullptr;
COPYDATASTRUCT g_record{};

// A target that does not answer must not freeze the mouse of every other application.
constexpr UINT kForwardTimeoutMs = 1000;
// Once the target has let a forward time out, this process waits only briefly until it answers
// again: a stuck target costs one long wait, not one per mouse move.
constexpr UINT kSilentTargetTimeoutMs = 50;
bool g_targetSilent = false;

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code < 0) return CallNextHookEx(g_hook, code, wParam, lParam);
    if (g_filter != 0 && g_filter != wParam) return CallNextHookEx(g_hook, code, wParam, lParam);
    g_record.dwData = wParam;
    g_record.cbData = sizeof(MOUSEHOOKSTRUCT);
    g_record.lpData = reinterpret_cast<void*>(lParam);
    HWND target = g_target;
    if (!target) return 0;
    DWORD_PTR reply = 0;
    UINT timeout = g_targetSilent ? kSilentTargetTimeoutMs : kForwardTimeoutMs;
    if (!SendMessageTimeoutA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&g_record),
                             SMTO_ABORTIFHUNG, timeout, &reply)) {
        // Target gone or hung: the mouse message goes on as if nothing were hooked.
        g_targetSilent = true;
        return CallNextHookEx(g_hook, code, wParam, lParam);
    }
    g_targetSilent = false;
    return static_cast<LRESULT>(reply);
}

}  // namespace
}  // namespace plenvue

// The shipped 32-bit library forwards 20 bytes; the 64-bit test build forwards that platform's record.
static_assert(sizeof(void*) != 4 || sizeof(MOUSEHOOKSTRUCT) == 20, "the forwarded record carries 20 bytes");

extern "C" {

HHOOK WINAPI SetGlobalMouseHook(HWND target, UINT filter) noexcept {
    using namespace plenvue;
    if (g_hook) return nullptr;  // held by this or another process
    // The calling thread's priority is left alone: installing the hook needs no boost, and a raised
    // priority would stay with the caller's user-interface thread for the rest of its run.
    g_hook = SetWindowsHookExA(WH_MOUSE, MouseProc, g_instance, 0);
    g_target = target;
    g_filter = filter;
    g_hookedHere = g_hook != nullptr;
    return g_hook;
}

BOOL WINAPI FreeGlobalMouseHook() noexcept {
    using namespace plenvue;
    BOOL ok = UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_target = nullptr;
    g_hookedHere = false;
    return ok;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept {
    using namespace plenvue;
    g_instance = instance;
    // The hooking process ends (or lets the library go) still hooked: the system drops its hook
    // with its thread, so the shared handle goes too, or every later hook would be refused while
    // any other program still maps the library.
    if (reason == DLL_PROCESS_DETACH && g_hookedHere) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        g_target = nullptr;
        g_hookedHere = false;
    }
    return TRUE;
}

}  // extern "C"
