// The monitors of the desktop and the frames of windows as the system reports them at this
// moment, for the portable geometry of capture/MonitorGeometry.h.
#pragma once
#include <windows.h>

#include <optional>

#include "capture/MonitorGeometry.h"

namespace plenvue {

// Every display monitor with its bounds, work area and primary flag, in the system's order; the
// primary display from (0, 0) when the system lists none.
MonitorList DesktopMonitors();

// The rectangle a capture of the window takes, screen coordinates: the visible frame the desktop
// window manager reports (without the invisible resize borders), else the window rectangle; cut
// to its monitor when maximised. Empty when the window is gone.
ScreenRect WindowCaptureFrame(HWND window, const MonitorList& monitors);

// A fixed monitor list in place of the system's for the scope's lifetime: layouts a test display
// cannot make (tests).
class ScopedMonitorList {
public:
    explicit ScopedMonitorList(MonitorList monitors);
    ~ScopedMonitorList();
    ScopedMonitorList(const ScopedMonitorList&) = delete;
    ScopedMonitorList& operator=(const ScopedMonitorList&) = delete;

private:
    std::optional<MonitorList> saved_;
};

}  // namespace plenvue
