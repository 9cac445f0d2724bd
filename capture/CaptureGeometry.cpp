#include "capture/CaptureGeometry.h"

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
    switch (f.CaptureMethod) {
    case 0:
        p.source = CaptureDevice::Desktop;
        f.SrcTop = 0;
        f.SrcLeft = 0;
        f.SrcWidth = s.screenWidth;
        f.SrcHeight = s.screenHeight;
        p.cursorX = s.cursor.x;
        p.cursorY = s.cursor.y;
        break;
    case 1:
    case 2:
        p.source = CaptureDevice::Desktop;
        p.cursorX = AbsDiff(s.cursor.x, f.SrcLeft);
        p.cursorY = AbsDiff(s.cursor.y, f.SrcTop);
        break;
    case 3:
        p.source = CaptureDevice::Foreground;
        p.cursorX = AbsDiff(s.cursor.x, s.windowRect.left);
        p.cursorY = AbsDiff(s.cursor.y, s.windowRect.top);
        f.SrcTop = 0;
        f.SrcLeft = 0;
        f.SrcWidth = CheckedSub(s.windowRect.right, s.windowRect.left);
        f.SrcHeight = CheckedSub(s.windowRect.bottom, s.windowRect.top);
        break;
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
    p.left = f.SrcLeft;
    p.top = f.SrcTop;
    p.width = f.SrcWidth;
    p.height = f.SrcHeight;
    return p;
}

int32_t CaptureCoordinate(double value) { return RoundHalfEven(value); }

}  // namespace plenvue
