// Scroll view arithmetic.
#include "controls/ScrollMath.h"

#include <algorithm>

#include "base/Arith.h"

namespace plenvue {

int32_t ContentPixelsFromHimetric(int32_t himetric, int32_t pixelsPerInch) {
    if (pixelsPerInch == 0) throw DivisionByZeroError();
    double px = static_cast<double>(himetric) * pixelsPerInch / 2540.0;
    return std::min<int32_t>(RoundHalfEven(px), 32767);
}

int32_t HorizontalLineStep(int32_t alphabetTextWidth) { return RoundHalfEven(alphabetTextWidth / 62.0); }

bool ScrollBarNeeded(int32_t clientSize, int32_t contentSize, int32_t showDisabledFlags, int32_t bit) {
    return clientSize < contentSize || (showDisabledFlags & bit) != 0;
}

int32_t LastScrollPosition(const ScrollBarState& bar) {
    return std::max(bar.Min, CheckedAdd(CheckedSub(bar.Max, bar.Page), 1));
}

int32_t ClampScrollPosition(const ScrollBarState& bar, int32_t pos) {
    return std::clamp(pos, bar.Min, LastScrollPosition(bar));
}

std::optional<int32_t> ScrollTarget(const ScrollBarState& bar, int32_t request, int32_t lineStep, int32_t trackPos) {
    int32_t last = LastScrollPosition(bar);
    int32_t target;
    switch (request) {
    case kScrollLineUp: target = CheckedSub(bar.Pos, lineStep); break;
    case kScrollLineDown: target = CheckedAdd(bar.Pos, lineStep); break;
    case kScrollPageUp: target = CheckedSub(bar.Pos, bar.Page); break;
    case kScrollPageDown: target = CheckedAdd(bar.Pos, bar.Page); break;
    case kScrollThumbTrack: target = trackPos; break;
    case kScrollTop: target = bar.Min; break;
    case kScrollBottom: target = last; break;
    default: return std::nullopt;
    }
    // Clamped both ways: a keyboard request on a bar whose content fits must not scroll past 0.
    return std::clamp(target, bar.Min, last);
}

int32_t ScrollContentsBy(int32_t current, int32_t target) { return CheckedSub(current, target); }

int32_t PendingScroll(int32_t origin, int32_t barPosition, bool reset) {
    return reset ? origin : CheckedSub(origin, barPosition);
}

std::optional<KeyScroll> ScrollRequestForKey(int32_t virtualKey, bool ctrlDown) {
    if (!ctrlDown) return std::nullopt;
    switch (virtualKey) {
    case 33: return KeyScroll{true, kScrollPageUp};    // PgUp
    case 34: return KeyScroll{true, kScrollPageDown};  // PgDn
    case 35: return KeyScroll{true, kScrollBottom};    // End
    case 36: return KeyScroll{true, kScrollTop};       // Home
    case 38: return KeyScroll{true, kScrollLineUp};    // Up
    case 40: return KeyScroll{true, kScrollLineDown};  // Down
    case 37: return KeyScroll{false, kScrollLineUp};   // Left
    case 39: return KeyScroll{false, kScrollLineDown}; // Right
    default: return std::nullopt;
    }
}

}  // namespace plenvue
