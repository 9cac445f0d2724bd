#include "capture/Monitors_win.h"

#include <utility>

#include "base/win/SystemDll_win.h"

namespace plenvue {

namespace {

std::optional<MonitorList>& FixedMonitors() {
    static std::optional<MonitorList> fixed;
    return fixed;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    MonitorInfo m;
    m.Bounds = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
    m.WorkArea = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    m.Primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    try {
        reinterpret_cast<MonitorList*>(data)->push_back(m);
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

MonitorList DesktopMonitors() {
    if (FixedMonitors()) return *FixedMonitors();
    MonitorList monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        MonitorInfo primary;
        primary.Bounds = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        primary.WorkArea = primary.Bounds;
        primary.Primary = true;
        monitors.push_back(primary);
    }
    return monitors;
}

ScreenRect WindowCaptureFrame(HWND window, const MonitorList& monitors) {
    RECT r{};
    // Loaded at run time: systems without the window manager have no dwmapi.dll, and where it
    // is off the call fails; both leave the window rectangle.
    if (FAILED(sysdll::DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r)) ||
        r.right <= r.left || r.bottom <= r.top) {
        if (!GetWindowRect(window, &r)) return {};
    }
    return WindowCaptureRect({r.left, r.top, r.right, r.bottom}, IsZoomed(window) != FALSE, monitors);
}

ScopedMonitorList::ScopedMonitorList(MonitorList monitors) : saved_(std::move(FixedMonitors())) {
    FixedMonitors() = std::move(monitors);
}

ScopedMonitorList::~ScopedMonitorList() { FixedMonitors() = std::move(saved_); }

}  // namespace plenvue
