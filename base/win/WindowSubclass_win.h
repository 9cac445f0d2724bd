// One owned subclass of a window that is not ours (a list box, a drawn box): the handler sees the
// window's messages first. Removed when the owner goes or the window is destroyed, whichever is
// first; a handler that throws is shown and the message goes on to the window.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "base/win/WindowThunk_win.h"

namespace plenvue {

class WindowSubclass {
public:
    // Returns true when it handled the message, with its result in `result`.
    using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT& result)>;

    WindowSubclass() = default;
    ~WindowSubclass() { Reset(); }
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    bool Attach(HWND window, Handler handler) {
        Reset();
        handler_ = std::move(handler);
        if (!window || !SetWindowSubclass(window, Proc, kId, reinterpret_cast<DWORD_PTR>(this))) return false;
        window_ = window;
        return true;
    }
    void Reset() noexcept {
        if (window_ && IsWindow(window_)) RemoveWindowSubclass(window_, Proc, kId);
        window_ = nullptr;
    }
    HWND Window() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }

private:
    static constexpr UINT_PTR kId = 0x504C;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) noexcept {
        auto* self = reinterpret_cast<WindowSubclass*>(data);
        if (m == WM_NCDESTROY) {
            RemoveWindowSubclass(h, Proc, kId);
            self->window_ = nullptr;
            return DefSubclassProc(h, m, w, l);
        }
        LRESULT result = 0;
        const bool handled = GuardedCall(h, false, [&] { return self->handler_ && self->handler_(h, m, w, l, result); });
        return handled ? result : DefSubclassProc(h, m, w, l);
    }

    HWND window_ = nullptr;
    Handler handler_;
};

}  // namespace plenvue
