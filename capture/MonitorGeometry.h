// Geometry of a desktop made of several monitors, each with its own DPI, computed from a monitor
// list so that it is tested without a display. All rectangles are in desktop (virtual-screen)
// coordinates, half-open: a rectangle covers Left <= x < Right, Top <= y < Bottom. Origins may be
// negative (a monitor left of or above the primary).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "capture/SelectionGeometry.h"

namespace plenvue {

struct MonitorInfo {
    ScreenRect Bounds;     // the whole monitor
    ScreenRect WorkArea;   // less the task bar and docked bars
    bool Primary = false;
    int32_t Dpi = 96;      // effective DPI of the monitor
    bool operator==(const MonitorInfo&) const = default;
};

using MonitorList = std::vector<MonitorInfo>;

// Index into a monitor list meaning "no monitor" (an empty list).
inline constexpr int kNoMonitor = -1;

// True when the rectangle covers no pixel.
bool IsEmptyRect(const ScreenRect& r);

// The common part of two rectangles; the all-zero rectangle when they do not meet.
ScreenRect IntersectRects(const ScreenRect& a, const ScreenRect& b);

// The bounding rectangle of every monitor; the all-zero rectangle for an empty list. Monitors
// with empty bounds are left out here and everywhere below.
ScreenRect VirtualDesktop(const MonitorList& monitors);

// The monitor whose bounds hold the point, or kNoMonitor when the point is in a gap or off the
// desktop. Where monitors overlap (mirrored), the first one in the list wins.
int MonitorAt(const MonitorList& monitors, int32_t x, int32_t y);

// The monitor holding the point, or else the one nearest to it (straight-line distance to its
// bounds, the first in the list on a tie), as the platform's "default to nearest" does.
// kNoMonitor only for a list without monitors.
int NearestMonitor(const MonitorList& monitors, int32_t x, int32_t y);

// The monitor flagged primary; without a flag the one holding (0, 0), where the platform puts the
// primary's origin; else the first. kNoMonitor only for a list without monitors.
int PrimaryMonitor(const MonitorList& monitors);

// The parts of the virtual desktop that no monitor covers (painted black in a capture), as
// disjoint rectangles, ordered left to right and then top to bottom.
std::vector<ScreenRect> DesktopGaps(const MonitorList& monitors);

// A rectangle cut to the virtual desktop / to one monitor (all-zero when nothing is left).
ScreenRect ClipToDesktop(const MonitorList& monitors, const ScreenRect& r);
ScreenRect ClipToMonitor(const MonitorInfo& monitor, const ScreenRect& r);

// Whether any pixel of the rectangle is still on a monitor (a remembered capture rectangle whose
// monitor has gone is not).
bool TouchesAnyMonitor(const MonitorList& monitors, const ScreenRect& r);

// The monitor a window is on: the one its rectangle overlaps most (the first on a tie), else the
// one nearest to its centre. kNoMonitor only for a list without monitors.
int MonitorOfRect(const MonitorList& monitors, const ScreenRect& r);

// What a window capture takes: the window's visible frame, cut to its monitor when the window is
// maximised (its borders hang over the edges, onto a neighbouring monitor).
ScreenRect WindowCaptureRect(const ScreenRect& frame, bool maximised, const MonitorList& monitors);

// What a full-screen capture takes.
enum class FullScreenArea { WholeDesktop, MonitorUnderPointer, PrimaryMonitor };

// The stored (REG_SZ) text of each choice: "0", "1", "2".
std::string FullScreenAreaText(FullScreenArea area);
// The choice of a stored text; a missing (empty) or unknown text gives the whole desktop.
FullScreenArea FullScreenAreaFromText(std::string_view text);

// The rectangle a full-screen capture takes with the pointer at (pointerX, pointerY); a pointer
// in a gap takes the nearest monitor. All-zero for a list without monitors.
ScreenRect FullScreenRect(const MonitorList& monitors, FullScreenArea area, int32_t pointerX, int32_t pointerY);

// The platform's MulDiv: a * b / c exact in 64 bits, rounded half away from zero. Division by
// zero and a result outside 32 bits raise the usual errors.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

inline constexpr int32_t kDefaultDpi = 96;

// A length designed at 96 DPI scaled to `dpi`, and a length at `dpi` back to 96 DPI. A DPI of
// zero or less (the platform could not tell) counts as 96.
int32_t ScaleForDpi(int32_t length96, int32_t dpi);
int32_t UnscaleFromDpi(int32_t length, int32_t dpi);

// The toolbar image size drawn for a DPI: the largest of 16, 24 and 32 that is not larger than
// 16 scaled to the DPI (unrounded); 16 below 96 DPI.
int32_t ToolbarImageSize(int32_t dpi);

// The size label beside a region band: "640 x 480", width and height of the rectangle in pixels
// (an inverted rectangle counts by its extent).
std::string BandSizeLabel(const ScreenRect& r);

// Where a window designed at 96 DPI as width96 x height96 comes up at `dpi`: its size scaled and
// cut to the work area, and its place (left, top as the platform chose it) moved left and up as
// far as it needs to lie inside the work area. An empty work area leaves place and size as scaled.
ScreenRect InitialWindowRect(int32_t left, int32_t top, int32_t width96, int32_t height96, int32_t dpi,
                             const ScreenRect& workArea);

}  // namespace plenvue
