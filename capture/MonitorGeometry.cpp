// Desktop geometry from a monitor list.
#include "capture/MonitorGeometry.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "base/ErrorObject.h"

namespace plenvue {

namespace {

bool Holds(const ScreenRect& r, int32_t x, int32_t y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// Distance along one axis from a coordinate to the half-open span [lo, hi); 64 bits because the
// span's ends may be at opposite ends of the 32-bit range.
int64_t AxisDistance(int32_t v, int32_t lo, int32_t hi) {
    if (v < lo) return int64_t{lo} - v;
    if (v >= hi) return int64_t{v} - (int64_t{hi} - 1);
    return 0;
}

}  // namespace

bool IsEmptyRect(const ScreenRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

ScreenRect IntersectRects(const ScreenRect& a, const ScreenRect& b) {
    ScreenRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom)};
    return IsEmptyRect(r) ? ScreenRect{} : r;
}

ScreenRect VirtualDesktop(const MonitorList& monitors) {
    ScreenRect d;
    bool any = false;
    for (const MonitorInfo& m : monitors) {
        if (IsEmptyRect(m.Bounds)) continue;
        if (!any) {
            d = m.Bounds;
            any = true;
            continue;
        }
        d.Left = std::min(d.Left, m.Bounds.Left);
        d.Top = std::min(d.Top, m.Bounds.Top);
        d.Right = std::max(d.Right, m.Bounds.Right);
        d.Bottom = std::max(d.Bottom, m.Bounds.Bottom);
    }
    return d;
}

int MonitorAt(const MonitorList& monitors, int32_t x, int32_t y) {
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (Holds(monitors[i].Bounds, x, y)) return static_cast<int>(i);
    }
    return kNoMonitor;
}

int NearestMonitor(const MonitorList& monitors, int32_t x, int32_t y) {
    int best = kNoMonitor;
    double bestDistance = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const ScreenRect& b = monitors[i].Bounds;
        if (IsEmptyRect(b)) continue;
        // Squares in double: exact for any real layout, and never wrap for far-off points.
        double dx = static_cast<double>(AxisDistance(x, b.Left, b.Right));
        double dy = static_cast<double>(AxisDistance(y, b.Top, b.Bottom));
        double d = dx * dx + dy * dy;
        if (best == kNoMonitor || d < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = d;
        }
    }
    return best;
}

int PrimaryMonitor(const MonitorList& monitors) {
    int origin = kNoMonitor, first = kNoMonitor;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const MonitorInfo& m = monitors[i];
        if (IsEmptyRect(m.Bounds)) continue;
        if (m.Primary) return static_cast<int>(i);
        if (origin == kNoMonitor && Holds(m.Bounds, 0, 0)) origin = static_cast<int>(i);
        if (first == kNoMonitor) first = static_cast<int>(i);
    }
    return origin != kNoMonitor ? origin : first;
}

std::vector<ScreenRect> DesktopGaps(const MonitorList& monitors) {
    const ScreenRect desk = VirtualDesktop(monitors);
    std::vector<ScreenRect> gaps;
    if (IsEmptyRect(desk)) return gaps;

    // Vertical slabs between consecutive monitor edges: inside a slab every monitor either spans it
    // fully or not at all, so the uncovered part of a slab is a set of whole-width strips.
    std::vector<int32_t> xs;
    for (const MonitorInfo& m : monitors) {
        if (IsEmptyRect(m.Bounds)) continue;
        xs.push_back(m.Bounds.Left);
        xs.push_back(m.Bounds.Right);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());

    std::vector<ScreenRect> open;  // strips of the previous slab, still growing to the right
    for (size_t s = 0; s + 1 < xs.size(); ++s) {
        const int32_t x0 = xs[s], x1 = xs[s + 1];
        std::vector<std::pair<int32_t, int32_t>> covered;
        for (const MonitorInfo& m : monitors) {
            if (IsEmptyRect(m.Bounds)) continue;
            if (m.Bounds.Left <= x0 && m.Bounds.Right >= x1) covered.emplace_back(m.Bounds.Top, m.Bounds.Bottom);
        }
        std::sort(covered.begin(), covered.end());
        std::vector<ScreenRect> next;
        int32_t y = desk.Top;
        auto addStrip = [&](int32_t top, int32_t bottom) {
            auto it = std::find_if(open.begin(), open.end(), [&](const ScreenRect& g) {
                return g.Right == x0 && g.Top == top && g.Bottom == bottom;
            });
            if (it != open.end()) {
                it->Right = x1;
                next.push_back(*it);
                open.erase(it);
            } else {
                next.push_back({x0, top, x1, bottom});
            }
        };
        for (const auto& [top, bottom] : covered) {
            if (top > y) addStrip(y, top);
            y = std::max(y, bottom);
        }
        if (y < desk.Bottom) addStrip(y, desk.Bottom);
        gaps.insert(gaps.end(), open.begin(), open.end());  // strips that stopped growing
        open = std::move(next);
    }
    gaps.insert(gaps.end(), open.begin(), open.end());
    std::sort(gaps.begin(), gaps.end(), [](const ScreenRect& a, const ScreenRect& b) {
        return a.Left != b.Left ? a.Left < b.Left : a.Top < b.Top;
    });
    return gaps;
}

ScreenRect ClipToDesktop(const MonitorList& monitors, const ScreenRect& r) {
    return IntersectRects(r, VirtualDesktop(monitors));
}

ScreenRect ClipToMonitor(const MonitorInfo& monitor, const ScreenRect& r) { return IntersectRects(r, monitor.Bounds); }

bool TouchesAnyMonitor(const MonitorList& monitors, const ScreenRect& r) {
    return std::any_of(monitors.begin(), monitors.end(),
                       [&](const MonitorInfo& m) { return !IsEmptyRect(IntersectRects(r, m.Bounds)); });
}

int MonitorOfRect(const MonitorList& monitors, const ScreenRect& r) {
    int best = kNoMonitor;
    int64_t bestArea = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const ScreenRect common = IntersectRects(r, monitors[i].Bounds);
        const int64_t area = (int64_t{common.Right} - common.Left) * (int64_t{common.Bottom} - common.Top);
        if (area > bestArea) {
            best = static_cast<int>(i);
            bestArea = area;
        }
    }
    if (best != kNoMonitor) return best;
    const int32_t cx = static_cast<int32_t>((int64_t{r.Left} + r.Right) / 2);
    const int32_t cy = static_cast<int32_t>((int64_t{r.Top} + r.Bottom) / 2);
    return NearestMonitor(monitors, cx, cy);
}

ScreenRect WindowCaptureRect(const ScreenRect& frame, bool maximised, const MonitorList& monitors) {
    if (!maximised) return frame;
    const int m = MonitorOfRect(monitors, frame);
    if (m == kNoMonitor) return frame;
    const ScreenRect cut = ClipToMonitor(monitors[static_cast<size_t>(m)], frame);
    return IsEmptyRect(cut) ? frame : cut;
}

std::string FullScreenAreaText(FullScreenArea area) {
    switch (area) {
        case FullScreenArea::MonitorUnderPointer: return "1";
        case FullScreenArea::PrimaryMonitor: return "2";
        case FullScreenArea::WholeDesktop: break;
    }
    return "0";
}

FullScreenArea FullScreenAreaFromText(std::string_view text) {
    if (text == "1") return FullScreenArea::MonitorUnderPointer;
    if (text == "2") return FullScreenArea::PrimaryMonitor;
    return FullScreenArea::WholeDesktop;
}

ScreenRect FullScreenRect(const MonitorList& monitors, FullScreenArea area, int32_t pointerX, int32_t pointerY) {
    int i = kNoMonitor;
    switch (area) {
        case FullScreenArea::WholeDesktop: return VirtualDesktop(monitors);
        case FullScreenArea::MonitorUnderPointer: i = NearestMonitor(monitors, pointerX, pointerY); break;
        case FullScreenArea::PrimaryMonitor: i = PrimaryMonitor(monitors); break;
    }
    return i == kNoMonitor ? ScreenRect{} : monitors[static_cast<size_t>(i)].Bounds;
}

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) throw DivisionByZeroError();
    const int64_t n = int64_t{a} * b;  // at most 2^62 in magnitude
    const bool negative = (n < 0) != (c < 0);
    const uint64_t un = n < 0 ? uint64_t{0} - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    const uint64_t uc = c < 0 ? uint64_t{0} - static_cast<uint64_t>(int64_t{c}) : static_cast<uint64_t>(c);
    uint64_t q = un / uc;
    const uint64_t r = un % uc;
    if (r >= uc - r) ++q;  // half or more rounds away from zero
    const int64_t result = negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
    if (result < std::numeric_limits<int32_t>::min() || result > std::numeric_limits<int32_t>::max())
        throw OverflowError();
    return static_cast<int32_t>(result);
}

int32_t ScaleForDpi(int32_t length96, int32_t dpi) {
    return MulDivRound(length96, dpi > 0 ? dpi : kDefaultDpi, kDefaultDpi);
}

int32_t UnscaleFromDpi(int32_t length, int32_t dpi) {
    return MulDivRound(length, kDefaultDpi, dpi > 0 ? dpi : kDefaultDpi);
}

int32_t ToolbarImageSize(int32_t dpi) {
    // Compared unrounded: 24 at 143 DPI would already be larger than the 23.8 wanted.
    if (dpi >= 192) return 32;
    if (dpi >= 144) return 24;
    return 16;
}

std::string BandSizeLabel(const ScreenRect& r) {
    const int64_t w = int64_t{r.Right} - r.Left, h = int64_t{r.Bottom} - r.Top;
    return std::to_string(w < 0 ? -w : w) + " x " + std::to_string(h < 0 ? -h : h);
}

ScreenRect InitialWindowRect(int32_t left, int32_t top, int32_t width96, int32_t height96, int32_t dpi,
                             const ScreenRect& workArea) {
    int64_t w = ScaleForDpi(width96, dpi), h = ScaleForDpi(height96, dpi);
    int64_t x = left, y = top;
    if (!IsEmptyRect(workArea)) {
        w = std::min<int64_t>(w, int64_t{workArea.Right} - workArea.Left);
        h = std::min<int64_t>(h, int64_t{workArea.Bottom} - workArea.Top);
        x = std::max<int64_t>(std::min<int64_t>(x, workArea.Right - w), workArea.Left);
        y = std::max<int64_t>(std::min<int64_t>(y, workArea.Bottom - h), workArea.Top);
    }
    // 64 bits: a place near the end of the 32-bit range plus the size does not wrap.
    const int64_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
    x = std::clamp(x, lo, hi - w);
    y = std::clamp(y, lo, hi - h);
    return {static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(x + w), static_cast<int32_t>(y + h)};
}

}  // namespace plenvue
