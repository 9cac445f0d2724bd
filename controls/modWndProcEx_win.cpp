#include "controls/modWndProcEx_win.h"

#include <cstdio>
#include <exception>
#include <string>

#include "controls/ScrollView_win.h"
#include "base/ErrorObject.h"
#include "base/win/WindowThunk_win.h"
#include "base/win/WideText_win.h"

namespace plenvue {

namespace {

constexpr char kOldWndProc[] = "OldWndProc";
constexpr char kObjectPtr[] = "ObjectPtr";

int32_t g_subclassed = 0;

WNDPROC OldProcedure(HWND window) { return reinterpret_cast<WNDPROC>(GetPropA(window, kOldWndProc)); }

void ReportSubclassFailure(HWND window, DWORD error) {
    char text[256];
    std::string reason = error ? SystemErrorLine(error) : std::string();
    if (reason.empty()) reason = "Method failed";
    std::snprintf(text, sizeof text, "Error subclassing window &H%lX\r\n\r\nErr# %lu: %s",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)), static_cast<unsigned long>(error),
                  reason.c_str());
    ShowMessageBox(nullptr, text, kExeName, MB_OK | MB_ICONWARNING);
}

}  // namespace

bool SubclassScrollView(HWND window, WNDPROC procedure, ScrollView* owner) {
    if (OldProcedure(window)) return true;
    SetLastError(0);
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    DWORD error = GetLastError();
    if (!previous) {
        ReportSubclassFailure(window, error);
        return false;
    }
    bool ok = SetPropA(window, kOldWndProc, reinterpret_cast<HANDLE>(previous)) != FALSE;
    if (ok && owner) ok = SetPropA(window, kObjectPtr, static_cast<HANDLE>(owner)) != FALSE;
    if (!ok) {
        error = GetLastError();
        // Undo the half-done install so the window keeps working with its own procedure.
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(window, kOldWndProc);
        RemovePropA(window, kObjectPtr);
        ReportSubclassFailure(window, error);
        return false;
    }
    ++g_subclassed;
    return true;
}

bool UnsubclassScrollView(HWND window) {
    WNDPROC old = OldProcedure(window);
    if (!old) return false;
    if (!SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old))) return false;
    RemovePropA(window, kOldWndProc);
    RemovePropA(window, kObjectPtr);
    if (g_subclassed > 0) --g_subclassed;
    return true;
}

int32_t SubclassedScrollViewCount() { return g_subclassed; }

LRESULT CALLBACK ScrollViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    WNDPROC old = OldProcedure(window);
    if (!old) return 0;
    switch (message) {
    case WM_DESTROY:
    case WM_SIZE:
    case WM_SHOWWINDOW:
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (auto* owner = static_cast<ScrollView*>(GetPropA(window, kObjectPtr))) {
            // A failure (overflow in the scroll arithmetic) is shown and leaves the view where it was.
            return GuardedCall<LRESULT>(window, 0, [&] {
                return owner->ViewWindowMessage(old, window, message, wParam, lParam);
            });
        }
        {
            LRESULT result = CallWindowProcW(old, window, message, wParam, lParam);
            UnsubclassScrollView(window);
            return result;
        }
    default:
        return CallWindowProcW(old, window, message, wParam, lParam);
    }
}

}  // namespace plenvue
