// Scroll view arithmetic: content size, which bars show, and where each scroll request moves to.
// Positions are in pixels; 32-bit overflow raises the overflow error.
#pragma once
#include <cstdint>
#include <optional>

namespace plenvue {

// Scroll request codes of the scroll messages.
enum ScrollRequest : int32_t {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollTop = 6,
    kScrollBottom = 7,
    kScrollEnd = 8,
};

// ShowDisabledScrollbars bits.
inline constexpr int32_t kAlwaysShowHorizontal = 1;
inline constexpr int32_t kAlwaysShowVertical = 2;

// A picture dimension in HIMETRIC shown in pixels at the screen's resolution: himetric * dpi / 2540,
// rounded half to even, at most 32767. Taken from the dots per inch, not from a whole number of
// twips per pixel: 1440 / dpi is no integer at 168, 192 or 216 dpi, and truncating it would make
// the content (and the scroll range) larger than the picture.
int32_t ContentPixelsFromHimetric(int32_t himetric, int32_t pixelsPerInch);

// Horizontal line step: width of the 62-character alphabet text / 62, rounded half to even.
int32_t HorizontalLineStep(int32_t alphabetTextWidth);

// A bar shows when the content does not fit the client or its always-show bit is set.
bool ScrollBarNeeded(int32_t clientSize, int32_t contentSize, int32_t showDisabledFlags, int32_t bit);

struct ScrollBarState {
    int32_t Min = 0;
    int32_t Max = 0;   // the content size
    int32_t Page = 0;  // the client size
    int32_t Pos = 0;
};

// The furthest position: max - page + 1, never below the minimum (content smaller than the client
// cannot scroll).
int32_t LastScrollPosition(const ScrollBarState& bar);

// Position clamped to min .. LastScrollPosition.
int32_t ClampScrollPosition(const ScrollBarState& bar, int32_t pos);

// The new position for a request; nullopt when the request does nothing (thumb position, end of
// scroll, unknown codes). `lineStep` is the line step of the bar's direction; `trackPos` the
// platform's track position for thumb tracking.
std::optional<int32_t> ScrollTarget(const ScrollBarState& bar, int32_t request, int32_t lineStep, int32_t trackPos);

// The amount to scroll the window contents by when moving from `current` to `target` (current -
// target); the drawing origin moves by the negation.
int32_t ScrollContentsBy(int32_t current, int32_t target);

// After updating the bars: what the contents must still be scrolled by so that the drawing origin
// equals the bars' position (the whole origin when resetting to 0).
int32_t PendingScroll(int32_t origin, int32_t barPosition, bool reset);

struct KeyScroll {
    bool Vertical = true;
    int32_t Request = 0;
};
// Ctrl + PgUp/PgDn/End/Home/Up/Down act on the vertical bar, Ctrl + Left/Right on the horizontal;
// nullopt without Ctrl or for other keys.
std::optional<KeyScroll> ScrollRequestForKey(int32_t virtualKey, bool ctrlDown);

}  // namespace plenvue
