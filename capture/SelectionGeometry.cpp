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

namespace {
bool Contains(const ScreenRect& r, int32_t x, int32_t y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }
}  // namespace

std::optional<ScreenRect> SnapRectAt(const std::vector<SnapWindow>& windows, int32_t x, int32_t y) {
    const size_t n = windows.size();
    size_t best = n;
    for (size_t i = 0; i < n && best == n; ++i)
        if (windows[i].Depth == 0 && Contains(windows[i].Rect, x, y)) best = i;
    if (best == n) return std::nullopt;
    // The entries after a window deeper than it are its descendants; take the first child that
    // contains the point, then look among that child's own.
    for (size_t j = best + 1; j < n && windows[j].Depth > windows[best].Depth; ++j)
        if (windows[j].Depth == windows[best].Depth + 1 && Contains(windows[j].Rect, x, y)) best = j;
    return windows[best].Rect;
}

std::string ColourHex(uint8_t red, uint8_t green, uint8_t blue) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string s = "#";
    for (uint8_t c : {red, green, blue}) {
        s += kDigits[c >> 4];
        s += kDigits[c & 15];
    }
    return s;
}

ScreenRect MagnifierSource(int32_t x, int32_t y, int32_t radius, int32_t width, int32_t height) {
    const int64_t size = 2 * int64_t{radius} + 1;
    auto place = [size](int64_t centre, int64_t extent) {
        int64_t start = centre - (size - 1) / 2;
        start = std::min(start, extent - size);
        return std::max<int64_t>(start, 0);
    };
    const int64_t l = place(x, width), t = place(y, height);
    return {static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(l + size),
            static_cast<int32_t>(t + size)};
}

ScreenRect HintPlace(int32_t pointerX, int32_t pointerY, int32_t width, int32_t height, const ScreenRect& monitor) {
    constexpr int64_t kMargin = 8;
    const int64_t left = std::max<int64_t>(monitor.Left, (int64_t{monitor.Left} + monitor.Right - width) / 2);
    int64_t top = int64_t{monitor.Top} + kMargin;
    const bool over = pointerX >= left - kMargin && pointerX < left + width + kMargin && pointerY >= monitor.Top &&
                      pointerY < top + height + kMargin;
    if (over) top = std::max<int64_t>(monitor.Top, int64_t{monitor.Bottom} - kMargin - height);
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(left + width),
            static_cast<int32_t>(top + height)};
}

bool IsShellWindow(std::string_view className, std::string_view title) {
    static constexpr std::string_view kClasses[] = {"Shell_TrayWnd", "Shell_SecondaryTrayWnd", "Progman",
                                                    "WorkerW", "NotifyIconOverflowWindow", "TrayNotifyWnd"};
    for (std::string_view c : kClasses)
        if (className == c) return true;
    return title == "Wine System Tray";
}

}  // namespace plenvue
