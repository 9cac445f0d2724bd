// Rectangles of the region-selection and window-picking screens, in screen pixels.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvue {

struct ScreenRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// Source rectangle for the capture engine. The Win32 layer sets the engine's properties in the
// order the screen uses: region SrcLeft, SrcTop, SrcHeight, SrcWidth; window SrcTop, SrcLeft,
// SrcHeight, SrcWidth.
struct CaptureSource {
    int32_t SrcLeft = 0, SrcTop = 0, SrcWidth = 0, SrcHeight = 0;
    bool operator==(const CaptureSource&) const = default;
};

struct RegionChoice {
    bool TooSmall = true;  // message 10003, no capture
    CaptureSource Source;  // valid when !TooSmall
};

// The end of a region selection: (anchorX, anchorY) the pressed pixel, (cornerX, cornerY) the
// released one, in any direction. The region is [smaller x, larger x) by [smaller y, larger y), so
// the pressed pixel is in it whenever it is the top-left one; both sides must exceed one pixel.
// The frozen picture it is cut from holds no band, so nothing is taken off for one.
RegionChoice RegionFromClicks(int32_t anchorX, int32_t anchorY, int32_t cornerX, int32_t cornerY);

// The rectangle RegionFromClicks would capture for a band from the anchor to the corner (empty
// where the two share a column or a row); its size is what the label beside the pointer says.
ScreenRect BandInside(int32_t anchorX, int32_t anchorY, int32_t cornerX, int32_t cornerY);

// Where the size label of a band goes: below and right of the pointer, clear of the arrow; left
// of it where it would leave the area on the right, above it where it would leave at the
// bottom, and never past the area's top-left corner. The area is the monitor under the pointer.
ScreenRect BandLabelPlace(int32_t pointerX, int32_t pointerY, int32_t width, int32_t height, const ScreenRect& area);

// The outline drawn around the window under the pointer: negative left/top become 0, right and
// bottom are cut at the screen's width and height. Only for drawing; the capture is unclamped.
ScreenRect ClampOutlineToScreen(const ScreenRect& window, int32_t screenWidth, int32_t screenHeight);

// The capture source of a picked window: its real rectangle, size right - left by bottom - top
// (an overflowing difference raises the overflow error).
CaptureSource PickedWindowSource(const ScreenRect& window);

// The part of a source area of `width` x `height` at (left, top) that lies inside a device of
// the given bounds, as the same rectangle in the source's coordinates. Empty (Right <= Left or
// Bottom <= Top) when they do not meet. Only that part is copied; the rest of the picture stays
// black, so a window reaching past the screen edge still shows what is on the screen.
ScreenRect VisibleSourcePart(int32_t left, int32_t top, int32_t width, int32_t height, const ScreenRect& device);

// One window of the list taken when the screen froze, for snapping. The list is in z-order, top
// first, each window followed by its children (Depth one more) in their own z-order, depth first.
struct SnapWindow {
    ScreenRect Rect;
    int32_t Depth = 0;
    bool operator==(const SnapWindow&) const = default;
};

// The rectangle of the window (or child control) under (x, y): the top-most top-level window
// that contains the point, then inside it the top-most child containing it, and so on down.
// None where no window contains the point.
std::optional<ScreenRect> SnapRectAt(const std::vector<SnapWindow>& windows, int32_t x, int32_t y);

// A colour as the magnifier names it: "#rrggbb", lower case.
std::string ColourHex(uint8_t red, uint8_t green, uint8_t blue);

// The square of pixels the magnifier enlarges around (x, y): `radius` pixels on each side, moved
// (not cut) to stay inside [0, width) x [0, height) where the picture is big enough.
ScreenRect MagnifierSource(int32_t x, int32_t y, int32_t radius, int32_t width, int32_t height);

// Where the hint line goes on a monitor: centred at its top, or at its bottom while the pointer
// is over the top place, so it never hides what the pointer is on.
ScreenRect HintPlace(int32_t pointerX, int32_t pointerY, int32_t width, int32_t height, const ScreenRect& monitor);

// Windows of the shell (task bar, notification area, desktop, Wine's own tray window): never the
// window "active before Plenvue" that an active-window capture from Plenvue's own menus takes.
bool IsShellWindow(std::string_view className, std::string_view title);

}  // namespace plenvue
