#include "base/win/Dpi_win.h"


namespace plenvue {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn DpiForWindowFunction() {
    // user32 is always loaded in a process with windows; the address never changes.
    static const auto fn = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return fn;
}

}  // namespace

int32_t SystemDpi() {
    WindowDC screen = WindowDC::Client(nullptr);
    int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

int32_t WindowDpi(HWND hwnd) {
    if (hwnd) {
        if (GetDpiForWindowFn fn = DpiForWindowFunction()) {
            UINT dpi = fn(hwnd);
            if (dpi > 0) return static_cast<int32_t>(dpi);
        }
    }
    return SystemDpi();
}

int32_t DpiOfDpiChanged(WPARAM wParam) {
    int dpi = LOWORD(wParam);
    return dpi > 0 ? dpi : SystemDpi();
}

UniqueFont FontForDpi(HFONT base, int32_t fromDpi, int32_t toDpi) {
    LOGFONTA lf{};
    if (!GetObjectA(base ? base : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) return UniqueFont();
    if (fromDpi > 0 && toDpi > 0) {
        lf.lfHeight = MulDiv(lf.lfHeight, toDpi, fromDpi);
        lf.lfWidth = MulDiv(lf.lfWidth, toDpi, fromDpi);
    }
    return UniqueFont(CreateFontIndirectA(&lf));
}

void DpiFollowingFont::Attach(HWND control) {
    control_ = control;
    original_ = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    systemDpi_ = SystemDpi();
    scaled_.reset();
}

void DpiFollowingFont::Follow(int32_t dpi) {
    if (!control_) return;
    if (dpi == systemDpi_) {
        if (scaled_) SendMessageW(control_, WM_SETFONT, reinterpret_cast<WPARAM>(original_), TRUE);
        scaled_.reset();
        return;
    }
    UniqueFont next = FontForDpi(original_, systemDpi_, dpi);
    if (!next) return;
    SendMessageW(control_, WM_SETFONT, reinterpret_cast<WPARAM>(next.get()), TRUE);
    scaled_ = std::move(next);  // the control has let go of the previous copy
}

}  // namespace plenvue
