// Region and window-picking rectangles.
#include "capture/SelectionGeometry.h"

#include "image/Arith.h"

namespace plenvue {

RegionChoice RegionFromClicks(int32_t anchorX, int32_t anchorY, int32_t cornerX, int32_t cornerY) {
    int32_t dx = CheckedSub(anchorX, cornerX);
    int32_t dy = CheckedSub(anchorY, cornerY);
    int32_t left = dx > 0 ? cornerX : anchorX;
    int32_t top = dy > 0 ? cornerY : anchorY;
    int32_t w = dx < 0 ? CheckedSub(0, dx) : dx;
    int32_t h = dy < 0 ? CheckedSub(0, dy) : dy;
    RegionChoice c;
    if (w > 1 && h > 1) {
        c.TooSmall = false;
        c.Source.SrcLeft = left + 1;  // left < right edge, so no overflow
        c.Source.SrcTop = top + 1;
        c.Source.SrcHeight = h - 1;
        c.Source.SrcWidth = w - 1;
    }
    return c;
}

ScreenRect ClampOutlineToScreen(const ScreenRect& window, int32_t screenWidth, int32_t screenHeight) {
    ScreenRect r = window;
    if (r.Left < 0) r.Left = 0;
    if (r.Top < 0) r.Top = 0;
    if (r.Right > screenWidth) r.Right = screenWidth;
    if (r.Bottom > screenHeight) r.Bottom = screenHeight;
    return r;
}

CaptureSource PickedWindowSource(const ScreenRect& window) {
    CaptureSource s;
    s.SrcTop = window.Top;
    s.SrcLeft = window.Left;
    s.SrcHeight = CheckedSub(window.Bottom, window.Top);
    s.SrcWidth = CheckedSub(window.Right, window.Left);
    return s;
}

}  // namespace plenvue
