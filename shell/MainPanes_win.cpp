#include "shell/MainPanes_win.h"

#include "base/win/WindowThunk_win.h"
#include "capture/MonitorGeometry.h"
#include "shell/MainLayout.h"

namespace plenvue {

namespace {
constexpr const char* kSplitClass = "PlenvueSplitter";
HINSTANCE Instance() { return GetModuleHandleW(nullptr); }
}  // namespace

HWND MainPanes::CreateList(HWND parent, int id) {
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr, WS_CHILD | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY,
                            0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(),
                            nullptr);
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, kListExtent, 0);
    listFont_.Attach(list_);
    return list_;
}

void MainPanes::SetDpi(int32_t dpi) {
    const bool shown = splitLeft_ != 0;
    paneWidth_ = ScaleForDpi(kPaneWidth, dpi);
    splitWidth_ = ScaleForDpi(kSplitWidth, dpi);
    PaneShown(shown);
    if (list_) SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ScaleForDpi(kListExtent, dpi)), 0);
    listFont_.Follow(dpi);
}

void MainPanes::CreateSplitter(HWND parent) {
    RegisterWindowClass({kSplitClass, DefWindowProcW, IDC_SIZEWE, ButtonFaceBrush()});
    // Only a bar with the sizing pointer: the pane widths are fixed, so it does not drag.
    split_ = CreateWindowExA(0, kSplitClass, nullptr, WS_CHILD | WS_VISIBLE, splitLeft_, 0, splitWidth_, 1, parent,
                             nullptr, Instance(), nullptr);
}

void MainPanes::ShowHistoryPane(std::string_view mode, bool shown) const {
    ShowWindow(list_, mode == "LIST" && shown ? SW_SHOW : SW_HIDE);
    ShowWindow(strip_, mode != "LIST" && mode != "NONE" && shown ? SW_SHOW : SW_HIDE);
}

void MainPanes::Arrange(HWND parent, int toolbarHeight, int statusBarHeight, std::string_view mode) const {
    if (!canvas_) return;
    RECT rc{};
    GetClientRect(parent, &rc);
    LayoutInput in;
    in.ClientWidth = rc.right;
    in.ClientHeight = rc.bottom;
    in.ToolbarHeight = toolbarHeight;
    in.StatusBarHeight = statusBarHeight;
    in.Mode = HistoryModeFromStatus(mode);
    in.SplitterLeft = splitLeft_;
    in.SplitterWidth = splitWidth_;
    MainLayout layout = ArrangeControls(in);
    // Without a history pane the canvas covers the bar.
    ShowWindow(split_, layout.History ? SW_SHOWNA : SW_HIDE);
    const PaneRect& bar = layout.Splitter;
    MoveWindow(split_, bar.Left, bar.Top, bar.Width, bar.Height, TRUE);
    if (layout.History) {
        HWND pane = in.Mode == HistoryMode::List ? list_ : strip_;
        MoveWindow(pane, layout.History->Left, layout.History->Top, layout.History->Width, layout.History->Height,
                   TRUE);
    }
    const PaneRect& v = layout.ScrollView;
    MoveWindow(canvas_, v.Left, v.Top, v.Width, v.Height, TRUE);
}

}  // namespace plenvue
