// Main window layout arithmetic.
#include "shell/MainLayout.h"

#include <algorithm>

#include "base/Arith.h"

namespace plenvue {

HistoryMode HistoryModeFromStatus(std::string_view status) {
    if (status == "NONE") return HistoryMode::None;
    if (status == "LIST") return HistoryMode::List;
    return HistoryMode::Preview;
}

MainLayout ArrangeControls(const LayoutInput& in) {
    int32_t top = in.ToolbarHeight;
    int32_t h = std::max<int32_t>(1, CheckedSub(CheckedSub(in.ClientHeight, top), in.StatusBarHeight));
    MainLayout out;
    out.Splitter = {in.SplitterLeft, top, in.SplitterWidth, h};
    if (in.Mode == HistoryMode::None) {
        out.ScrollView = {0, top, in.ClientWidth, h};
        return out;
    }
    out.History = PaneRect{0, top, in.SplitterLeft, h};
    int32_t left = CheckedAdd(in.SplitterLeft, in.SplitterWidth);
    out.ScrollView = {left, top, std::max<int32_t>(1, CheckedSub(in.ClientWidth, left)), h};
    return out;
}

ScrollerLayout ArrangeScroller(int32_t stripWidth, int32_t stripInnerHeight, int32_t button0Height,
                               int32_t button1Height) {
    ScrollerLayout s;
    s.Button0 = {0, 0, stripWidth, button0Height};
    s.LowerLimit = CheckedSub(stripInnerHeight, button1Height);
    s.Button1 = {0, s.LowerLimit, stripWidth, button1Height};
    s.UpperLimit = button0Height;
    return s;
}

int32_t PreviewItemTop(int32_t n, int32_t templateHeight, int32_t gap) {
    return CheckedAdd(gap, CheckedMul(n - 1, CheckedAdd(templateHeight, gap)));
}

int32_t PreviewClientHeight(int32_t n, int32_t templateHeight, int32_t gap) {
    return CheckedAdd(CheckedMul(CheckedAdd(templateHeight, gap), n), gap);
}

std::optional<int32_t> ScrollerTick(int32_t direction, int32_t clientTop, int32_t clientHeight,
                                    int32_t upperLimit, int32_t lowerLimit) {
    int32_t room = direction < 0 ? CheckedSub(CheckedAdd(clientHeight, clientTop), lowerLimit)
                                 : CheckedSub(upperLimit, clientTop);
    int32_t step = std::min<int32_t>(room, 20);
    if (step < 1) return std::nullopt;
    return direction < 0 ? clientTop - step : clientTop + step;
}

}  // namespace plenvue
