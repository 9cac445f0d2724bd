#include "capture/CaptureGeometry.h"

#include <algorithm>
#include <cstdint>

#include "base/Arith.h"

namespace plenvue {

namespace {
int32_t AbsDiff(int32_t a, int32_t b) {
    int32_t d = CheckedSub(a, b);
    return d < 0 ? CheckedSub(0, d) : d;
}
}  // namespace

CapturePlan PlanCapture(CaptureFields& f, const CaptureScene& s) {
    CapturePlan p;
    CapturePoint frameOffset;
    switch (f.CaptureMethod) {
    case 0:
        p.source = CaptureDevice::Desktop;
        if (s.fullScreen.Right > s.fullScreen.Left && s.fullScreen.Bottom > s.fullScreen.Top) {
            f.SrcTop = s.fullScreen.Top;
            f.SrcLeft = s.fullScreen.Left;
            f.SrcWidth = CheckedSub(s.fullScreen.Right, s.fullScreen.Left);
            f.SrcHeight = CheckedSub(s.fullScreen.Bottom, s.fullScreen.Top);
        } else {
            f.SrcTop = 0;
            f.SrcLeft = 0;
            f.SrcWidth = s.screenWidth;
            f.SrcHeight = s.screenHeight;
        }
        // The cursor as it sits in the picture; a cursor on another monitor falls outside it.
        p.cursorX = CheckedSub(s.cursor.x, f.SrcLeft);
        p.cursorY = CheckedSub(s.cursor.y, f.SrcTop);
        break;
    case 1:
    case 2:
        p.source = CaptureDevice::Desktop;
        p.cursorX = AbsDiff(s.cursor.x, f.SrcLeft);
        p.cursorY = AbsDiff(s.cursor.y, f.SrcTop);
        break;
    case 3: {
        p.source = CaptureDevice::Foreground;
        const bool whole = s.frameRect.Right <= s.frameRect.Left || s.frameRect.Bottom <= s.frameRect.Top;
        const ScreenRect frame = whole ? ScreenRect{s.windowRect.left, s.windowRect.top, s.windowRect.right,
                                                    s.windowRect.bottom}
                                       : s.frameRect;
        p.cursorX = AbsDiff(s.cursor.x, frame.Left);
        p.cursorY = AbsDiff(s.cursor.y, frame.Top);
        f.SrcTop = 0;
        f.SrcLeft = 0;
        f.SrcWidth = CheckedSub(frame.Right, frame.Left);
        f.SrcHeight = CheckedSub(frame.Bottom, frame.Top);
        // The window's own DC starts at its rectangle's corner; the frame lies inside it.
        frameOffset = {CheckedSub(frame.Left, s.windowRect.left), CheckedSub(frame.Top, s.windowRect.top)};
        break;
    }
    case 4:
        p.source = CaptureDevice::Foreground;
        p.clientDC = true;
        p.cursorX = AbsDiff(s.cursor.x, s.clientOrigin.x);
        p.cursorY = AbsDiff(s.cursor.y, s.clientOrigin.y);
        f.SrcTop = 0;
        f.SrcLeft = 0;
        f.SrcWidth = CheckedSub(s.clientRect.right, s.clientRect.left);
        f.SrcHeight = CheckedSub(s.clientRect.bottom, s.clientRect.top);
        break;
    default:
        p.source = CaptureDevice::ScreenNoWindow;
        break;
    }
    p.left = CheckedAdd(f.SrcLeft, frameOffset.x);
    p.top = CheckedAdd(f.SrcTop, frameOffset.y);
    p.width = f.SrcWidth;
    p.height = f.SrcHeight;
    return p;
}

bool RegionIsOffMonitors(const CaptureFields& f, const MonitorList& monitors) {
    if (f.CaptureMethod != 1 && f.CaptureMethod != 2) return false;
    if (f.SrcWidth <= 0 || f.SrcHeight <= 0) return false;
    // A rectangle whose far corner is past the 32-bit range is left to the capture, which
    // reports the overflow.
    const int64_t right = int64_t{f.SrcLeft} + f.SrcWidth, bottom = int64_t{f.SrcTop} + f.SrcHeight;
    if (right > INT32_MAX || bottom > INT32_MAX) return false;
    const ScreenRect area{f.SrcLeft, f.SrcTop, static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    return !TouchesAnyMonitor(monitors, area);
}

int32_t CaptureCoordinate(double value) { return RoundHalfEven(value); }

}  // namespace plenvue
