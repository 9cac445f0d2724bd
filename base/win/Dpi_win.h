// The DPI a window is drawn at. The functions that tell it per monitor exist only on newer
// systems, so they are looked up at run time; where they are missing the system DPI stands in.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/win/Handles_win.h"

namespace plenvue {

// The screen's logical pixels per inch as the whole process sees them.
int32_t SystemDpi();

// The DPI of the monitor the window is on (where the process is per-monitor aware), else the
// system DPI; the system DPI for a null window.
int32_t WindowDpi(HWND hwnd);

// The DPI WM_DPICHANGED announces (its wParam); the system DPI when the message carries none.
int32_t DpiOfDpiChanged(WPARAM wParam);

// The font drawn for another DPI: `base` (the system font for none) with its height scaled from
// `fromDpi` to `toDpi`.
UniqueFont FontForDpi(HFONT base, int32_t fromDpi, int32_t toDpi);

// A control's own font (made for the system DPI), replaced by a scaled copy while the control's
// window is on a monitor of another DPI, and given back when it returns.
class DpiFollowingFont {
public:
    void Attach(HWND control);
    void Follow(int32_t dpi);

private:
    HWND control_ = nullptr;
    HFONT original_ = nullptr;  // the control's, not ours
    int32_t systemDpi_ = 96;
    UniqueFont scaled_;
};

}  // namespace plenvue
