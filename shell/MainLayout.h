// Layout of the main window's client area and of the history strip, in pixels.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace plenvue {

enum class HistoryMode { None, List, Preview };

// "NONE" and "LIST" as stored (upper case); anything else is the preview mode.
HistoryMode HistoryModeFromStatus(std::string_view status);

struct PaneRect {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const PaneRect&) const = default;
};

struct LayoutInput {
    int32_t ClientWidth = 0, ClientHeight = 0;
    int32_t ToolbarHeight = 0;    // rebar height while shown, else 0
    int32_t StatusBarHeight = 0;  // 20 while shown, else 0
    HistoryMode Mode = HistoryMode::Preview;
    int32_t SplitterLeft = 0;     // 138 while the history pane is shown, 0 while hidden
    int32_t SplitterWidth = 3;
};

struct MainLayout {
    PaneRect Splitter;
    std::optional<PaneRect> History;  // the list or the preview strip; none in mode None
    PaneRect ScrollView;
};

// Below the toolbar and above the status bar (at least 1 high): in mode None the scroll view takes
// the full width; otherwise the history pane takes the splitter's left part and the scroll view
// the rest to the right of the splitter (at least 1 wide).
MainLayout ArrangeControls(const LayoutInput& in);

struct ScrollerLayout {
    PaneRect Button0, Button1;  // scroll up at the top, scroll down at the bottom, full width
    int32_t UpperLimit = 0;     // height of button 0
    int32_t LowerLimit = 0;     // inner height less the height of button 1
};
ScrollerLayout ArrangeScroller(int32_t stripWidth, int32_t stripInnerHeight, int32_t button0Height,
                               int32_t button1Height);

// Preview item n (1, 2, ...): its top, and the carrier's height once it is added, with `gap`
// pixels above the first item, between items and below the last.
int32_t PreviewItemTop(int32_t n, int32_t templateHeight, int32_t gap = 10);
int32_t PreviewClientHeight(int32_t n, int32_t templateHeight, int32_t gap = 10);

// One 200 ms tick of strip scrolling (direction +1 or -1): the carrier's new top, or nullopt when the
// room left is under one pixel and the timer stops. The step is at most 20.
std::optional<int32_t> ScrollerTick(int32_t direction, int32_t clientTop, int32_t clientHeight,
                                    int32_t upperLimit, int32_t lowerLimit);

}  // namespace plenvue
