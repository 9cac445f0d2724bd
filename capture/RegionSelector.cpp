// Region selection state machine.
#include "capture/RegionSelector.h"

namespace plenvue {

namespace {
RegionDraw Cross(int32_t x, int32_t y) { return {RegionDraw::Kind::Crosshair, x, y, 0, 0}; }
RegionDraw Box(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { return {RegionDraw::Kind::Box, x1, y1, x2, y2}; }
RegionDraw Frame(const ScreenRect& r) { return {RegionDraw::Kind::Outline, r.Left, r.Top, r.Right, r.Bottom}; }
}  // namespace

RegionStep RegionSelector::MouseMove(int32_t x, int32_t y) {
    RegionStep step;
    switch (state_) {
    case 0:
        x1_ = x;
        y1_ = y;
        state_ = 1;
        step.Draw = {Cross(x, y)};
        OutlineAt(step, SnapRectAt(snap_, x, y));
        break;
    case 1:
        step.Draw = {Cross(x1_, y1_), Cross(x, y)};
        x1_ = x;
        y1_ = y;
        OutlineAt(step, SnapRectAt(snap_, x, y));
        break;
    case 2:
        step.Draw = {Box(x1_, y1_, x0_, y0_), Box(x1_, y1_, x, y)};
        x0_ = x;
        y0_ = y;
        step.Label = LabelAt(x, y);
        break;
    default:  // ended: nothing follows the pointer any more
        break;
    }
    return step;
}

void RegionSelector::OutlineAt(RegionStep& step, std::optional<ScreenRect> target) {
    if (target == outline_) return;
    if (outline_) step.Draw.push_back(Frame(*outline_));
    if (target) step.Draw.push_back(Frame(*target));
    outline_ = target;
}

RegionStep RegionSelector::TakeWindow(const std::optional<ScreenRect>& target, RegionStep step) {
    step.Close = true;
    if (target) step.Choice = RegionFromClicks(target->Left, target->Top, target->Right, target->Bottom);
    return step;
}

RegionStep RegionSelector::Enter() {
    if (state_ != 1) return {};
    state_ = 3;
    RegionStep step;
    const std::optional<ScreenRect> target = outline_;
    OutlineAt(step, std::nullopt);
    return TakeWindow(target, std::move(step));
}

BandLabel RegionSelector::LabelAt(int32_t x, int32_t y) const { return {BandInside(x1_, y1_, x0_, y0_), x, y}; }

RegionStep RegionSelector::ButtonDown(bool leftButton, int32_t x, int32_t y) {
    RegionStep step;
    if (!leftButton) {
        step.Close = true;
        return step;
    }
    if (state_ >= 2) return step;  // a second press during a drag, or after the end
    if (state_ == 1) step.Draw = {Cross(x1_, y1_)};
    pressed_ = state_ == 1 ? outline_ : SnapRectAt(snap_, x, y);
    OutlineAt(step, std::nullopt);
    x1_ = x0_ = x;
    y1_ = y0_ = y;
    step.SwitchToDotted = true;
    state_ = 2;
    step.Label = LabelAt(x, y);
    return step;
}

RegionStep RegionSelector::ButtonUp(int32_t x, int32_t y) {
    RegionStep step;
    if (state_ != 2) return step;
    state_ = 3;
    step.Close = true;
    // In 64 bits: the distance of far-apart points does not wrap.
    const int64_t dx = int64_t{x} - x1_, dy = int64_t{y} - y1_;
    if (dx < clickWidth_ && -dx < clickWidth_ && dy < clickHeight_ && -dy < clickHeight_) {
        step.Draw = {Box(x1_, y1_, x0_, y0_)};
        step.Click = true;
        return TakeWindow(pressed_, std::move(step));
    }
    // The band ends where the button came up, as the user saw it drawn last.
    if (x != x0_ || y != y0_) {
        step.Draw = {Box(x1_, y1_, x0_, y0_), Box(x1_, y1_, x, y)};
        x0_ = x;
        y0_ = y;
    }
    step.Choice = RegionFromClicks(x1_, y1_, x0_, y0_);
    return step;
}

}  // namespace plenvue
