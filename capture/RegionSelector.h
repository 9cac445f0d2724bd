// The region-selection screen's mouse logic: cross-hair, rubber band from the press, and the
// release that ends it. Every drawing inverts the pixels, so drawing a shape twice erases it; the Win32 layer draws the shapes
// returned, in order.
#pragma once
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "capture/SelectionGeometry.h"

namespace plenvue {

struct RegionDraw {
    enum class Kind { Crosshair, Box, Outline } Shape;
    // Crosshair: lines (0, Y1)-(screen width, Y1) and (X1, 0)-(X1, screen height) through (X1, Y1).
    // Box: the rectangle from (X1, Y1) to (X2, Y2).
    // Outline: a frame just inside [X1, X2) x [Y1, Y2), the window a click or Enter would take.
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
    bool Click = false;                  // released within the click threshold: no region, a click
    std::optional<RegionChoice> Choice;  // a drag's release: the region, or too small (message 10003)
    std::optional<BandLabel> Label;      // while the band is open: its size beside the pointer
};

class RegionSelector {
public:
    // A press and release whose points differ by less than (clickWidth, clickHeight) in both
    // directions is a click (the system's drag threshold), not a region.
    RegionSelector(int32_t clickWidth = 4, int32_t clickHeight = 4) : clickWidth_(clickWidth), clickHeight_(clickHeight) {}

    // The windows to snap to, in the screen's coordinates, as SnapRectAt takes them.
    void SetSnapWindows(std::vector<SnapWindow> windows) { snap_ = std::move(windows); }

    // state 0 no pointer yet, 1 cross-hair shown, 2 rectangle being dragged, 3 ended
    int State() const { return state_; }

    RegionStep MouseMove(int32_t x, int32_t y);
    // `leftButton` false closes at once without a picture.
    RegionStep ButtonDown(bool leftButton, int32_t x, int32_t y);
    // The left button released: the region of the drag from the press, or a click; either way the
    // selection ends, so the band never follows a pointer without a held button.
    RegionStep ButtonUp(int32_t x, int32_t y);
    // Enter: before a drag, the outlined window's rectangle; nothing during one.
    RegionStep Enter();

private:
    BandLabel LabelAt(int32_t x, int32_t y) const;
    // Moves the outline to the window under (x, y), or takes it away (x, y none).
    void OutlineAt(RegionStep& step, std::optional<ScreenRect> target);
    RegionStep TakeWindow(const std::optional<ScreenRect>& target, RegionStep step);

    int32_t clickWidth_, clickHeight_;
    int state_ = 0;
    int32_t x1_ = 0, y1_ = 0, x0_ = 0, y0_ = 0;
    std::vector<SnapWindow> snap_;
    std::optional<ScreenRect> outline_;  // drawn now
    std::optional<ScreenRect> pressed_;  // under the pointer at the press
};

}  // namespace plenvue
