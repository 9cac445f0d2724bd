// Window procedures for objects that own their HWND: `this` comes from the creation parameters and
// every message goes to T::HandleMessage, so no exception crosses into the system.
#pragma once
#include <windows.h>

namespace plenvue {

// The object behind a window, stored at WM_NCCREATE; null before that and after it is forgotten.
template <class T>
T* WindowObject(HWND h, UINT m, LPARAM l) noexcept {
    if (m == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(l);
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<T*>(cs->lpCreateParams)->hwnd_ = h;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrA(h, GWLP_USERDATA));
}

// A form: a handler that throws closes the form.
template <class T>
LRESULT CALLBACK FormWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    T* self = WindowObject<T>(h, m, l);
    if (!self) return DefWindowProcA(h, m, w, l);
    try {
        return self->HandleMessage(m, w, l);
    } catch (...) {
        self->Close();
        return 0;
    }
}

// A child control: the window may go with its parent, so the object forgets the handle at
// WM_NCDESTROY; a handler that throws gets the default behaviour.
template <class T>
LRESULT CALLBACK ControlWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    T* self = WindowObject<T>(h, m, l);
    if (!self) return DefWindowProcA(h, m, w, l);
    if (m == WM_NCDESTROY) {
        SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcA(h, m, w, l);
    }
    try {
        return self->HandleMessage(m, w, l);
    } catch (...) {
        return DefWindowProcA(h, m, w, l);
    }
}

}  // namespace plenvue
