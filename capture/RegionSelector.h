// The region-selection screen's mouse logic: cross-hair, rubber band, and the second click or the
// release of a drag that ends it. Every
// drawing inverts the pixels, so drawing a shape twice erases it; the Win32 layer draws the shapes
// returned, in order.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "capture/SelectionGeometry.h"

namespace plenvue {

struct RegionDraw {
    enum class Kind { Crosshair, Box } Shape;
    // Crosshair: lines (0, Y1)-(screen width, Y1) and (X1, 0)-(X1, screen height) through (X1, Y1).
    // Box: the rectangle from (X1, Y1) to (X2, Y2).
    int32_t X1, Y1, X2, Y2;
    bool operator==(const RegionDraw&) const = default;
};

struct BandLabel {
    ScreenRect Inside;         // what the band would capture now: its size is the label
    int32_t PointerX, PointerY;
    bool operator==(const BandLabel&) const = default;
};

struct RegionStep {
    std::vector<RegionDraw> Draw;        // shapes to invert, in order
    bool SwitchToDotted = false;         // the rubber band starts: lines become dotted
    bool Close = false;                  // the window closes
    std::optional<RegionChoice> Choice;  // second click: the region, or too small (message 10003)
    std::optional<BandLabel> Label;      // while the band is open: its size beside the pointer
};

// How far the pointer must move with the button held for the release to end the selection; a
// shorter way is a click, and the band stays open for a second click.
inline constexpr int32_t kRegionDragDistance = 4;

class RegionSelector {
public:
    // state 0 no pointer yet, 1 cross-hair shown, 2 rectangle being dragged
    int State() const { return state_; }

    RegionStep MouseMove(int32_t x, int32_t y);
    // `leftButton` false closes at once without a picture.
    RegionStep ButtonDown(bool leftButton, int32_t x, int32_t y);
    // The left button released: after a drag from the press that opened the band, the region.
    RegionStep ButtonUp(int32_t x, int32_t y);

private:
    BandLabel LabelAt(int32_t x, int32_t y) const;

    int state_ = 0;
    bool pressed_ = false;  // the button that opened the band is still down
    int32_t x1_ = 0, y1_ = 0, x0_ = 0, y0_ = 0;
};

}  // namespace plenvue
