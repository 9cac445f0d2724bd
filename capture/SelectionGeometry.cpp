// Region and window-picking rectangles.
#include "capture/SelectionGeometry.h"

#include <algorithm>
#include <cstdint>

#include "base/Arith.h"

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
        c.Source.SrcLeft = left;
        c.Source.SrcTop = top;
        c.Source.SrcHeight = h;
        c.Source.SrcWidth = w;
    }
    return c;
}

ScreenRect BandInside(int32_t anchorX, int32_t anchorY, int32_t cornerX, int32_t cornerY) {
    return {std::min(anchorX, cornerX), std::min(anchorY, cornerY), std::max(anchorX, cornerX),
            std::max(anchorY, cornerY)};
}

ScreenRect BandLabelPlace(int32_t pointerX, int32_t pointerY, int32_t width, int32_t height, const ScreenRect& area) {
    constexpr int64_t kClear = 16;  // the arrow's size below and right of its tip
    constexpr int64_t kGap = 4;
    int64_t x = int64_t{pointerX} + kClear, y = int64_t{pointerY} + kClear;
    if (x + width > area.Right) x = int64_t{pointerX} - kGap - width;
    if (y + height > area.Bottom) y = int64_t{pointerY} - kGap - height;
    x = std::max<int64_t>(x, area.Left);
    y = std::max<int64_t>(y, area.Top);
    x = std::min<int64_t>(x, int64_t{INT32_MAX} - width);
    y = std::min<int64_t>(y, int64_t{INT32_MAX} - height);
    return {static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x + width),
            static_cast<int32_t>(y + height)};
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

ScreenRect VisibleSourcePart(int32_t left, int32_t top, int32_t width, int32_t height, const ScreenRect& device) {
    // In 64 bits: a far-off left plus a wide width must not wrap around into the screen.
    int64_t l = std::max<int64_t>(left, device.Left);
    int64_t t = std::max<int64_t>(top, device.Top);
    int64_t r = std::min<int64_t>(int64_t{left} + std::max(width, 0), device.Right);
    int64_t b = std::min<int64_t>(int64_t{top} + std::max(height, 0), device.Bottom);
    if (r <= l || b <= t) return {};
    return {static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(r), static_cast<int32_t>(b)};
}

bool IsShellWindow(std::string_view className, std::string_view title) {
    static constexpr std::string_view kClasses[] = {"Shell_TrayWnd", "Shell_SecondaryTrayWnd", "Progman",
                                                    "WorkerW", "NotifyIconOverflowWindow", "TrayNotifyWnd"};
    for (std::string_view c : kClasses)
        if (className == c) return true;
    return title == "Wine System Tray";
}

}  // namespace plenvue
