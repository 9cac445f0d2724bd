// Window procedures for objects that own their HWND: `this` comes from the creation parameters and
// every message goes to T::HandleMessage.
//
// The one rule for an exception inside any window, dialog, subclass or hook procedure: it is shown
// to the user (ShowWindowException) and never crosses into the system. A form then closes; a
// control or a shared pane gets the default behaviour for the message.
#pragma once
#include <windows.h>

#include <exception>
#include <string>

#include "base/ErrorObject.h"
#include "base/MessageTable.h"
#include "base/win/WideText_win.h"

namespace plenvue {

// What a window class of this program looks like; registered once, later calls find it there.
struct WindowClassInfo {
    const char* name;
    WNDPROC procedure;
    LPCSTR cursor = IDC_ARROW;  // a system cursor, or nullptr for none
    HBRUSH background = nullptr;
    UINT style = 0;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
};

inline void RegisterWindowClass(const WindowClassInfo& cls) noexcept {
    // Unicode classes: their windows' texts carry every character, whatever the ANSI code page.
    HINSTANCE instance = GetModuleHandleW(nullptr);
    wchar_t name[64] = {};
    for (size_t i = 0; i < 63 && cls.name[i]; ++i) name[i] = static_cast<unsigned char>(cls.name[i]);  // ASCII names
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, name, &wc)) return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.style = cls.style;
    wc.lpfnWndProc = cls.procedure;
    wc.hInstance = instance;
    wc.hIcon = cls.icon;
    wc.hIconSm = cls.smallIcon;
    wc.hCursor = cls.cursor ? LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(cls.cursor)) : nullptr;
    wc.hbrBackground = cls.background;
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

inline HBRUSH ButtonFaceBrush() noexcept { return reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1); }

// Shows the exception being handled: an error object as "number - description", anything else by
// its text; the caption is the program name. Call only inside a catch block.
inline void ShowWindowException(HWND owner) noexcept {
    try {
        try {
            throw;
        } catch (const ErrorObject& e) {
            ShowMessageBox(owner, ErrorBoxText(e), kProgramName, MB_ICONERROR);
        } catch (const std::exception& e) {
            ShowMessageBox(owner, e.what(), kProgramName, MB_ICONERROR);
        }
    } catch (...) {
        MessageBoxW(owner, L"Unexpected error", L"Plenvue", MB_ICONERROR);  // kProgramName, without allocating
    }
}

// Runs a handler under the rule above; `fallback` is the result when it threw.
template <class R, class F>
R GuardedCall(HWND owner, R fallback, F&& handler) noexcept {
    try {
        return handler();
    } catch (...) {
        ShowWindowException(owner);
        return fallback;
    }
}

// The object behind a window, stored at WM_NCCREATE; null before that and after it is forgotten.
template <class T>
T* WindowObject(HWND h, UINT m, LPARAM l) noexcept {
    if (m == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<T*>(cs->lpCreateParams)->hwnd_ = h;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrW(h, GWLP_USERDATA));
}

// A form: a handler that throws is shown, then the form closes.
template <class T>
LRESULT CALLBACK FormWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    T* self = WindowObject<T>(h, m, l);
    if (!self) return DefWindowProcW(h, m, w, l);
    try {
        return self->HandleMessage(m, w, l);
    } catch (...) {
        ShowWindowException(h);
        try {
            self->Close();
        } catch (...) {
        }
        return 0;
    }
}

// A child control: the window may go with its parent, so the object forgets the handle at
// WM_NCDESTROY; a handler that throws is shown and the message gets the default behaviour.
template <class T>
LRESULT CALLBACK ControlWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    T* self = WindowObject<T>(h, m, l);
    if (!self) return DefWindowProcW(h, m, w, l);
    if (m == WM_NCDESTROY) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(h, m, w, l);
    }
    try {
        return self->HandleMessage(m, w, l);
    } catch (...) {
        ShowWindowException(h);
        return DefWindowProcW(h, m, w, l);
    }
}

// One object behind several windows (a pane and its parts): the creation parameter is stored per
// window and T::HandleMessage(hwnd, ...) tells them apart. The object is forgotten at WM_NCDESTROY
// after it has seen the message.
template <class T>
LRESULT CALLBACK PaneWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    if (m == WM_NCCREATE)
        SetWindowLongPtrW(h, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!self) return DefWindowProcW(h, m, w, l);
    LRESULT result = 0;
    try {
        result = self->HandleMessage(h, m, w, l);
    } catch (...) {
        ShowWindowException(h);
        result = DefWindowProcW(h, m, w, l);
    }
    if (m == WM_NCDESTROY) SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    return result;
}

}  // namespace plenvue
