// The main window's client area between the bars: the history pane (the path list or the
// thumbnail strip) at the left, the splitter bar beside it, and the canvas.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "base/win/Dpi_win.h"

namespace plenvue {

class MainPanes {
public:
    // The list and the splitter are children of `parent` and go with it.
    HWND CreateList(HWND parent, int id);
    void CreateSplitter(HWND parent);
    void SetStrip(HWND strip) { strip_ = strip; }
    void SetCanvas(HWND canvas) { canvas_ = canvas; }
    // The pane of the history mode is shown while `shown`; the other stays hidden.
    void ShowHistoryPane(std::string_view mode, bool shown) const;
    // Where the splitter stands: beside a shown pane or at the left edge.
    void PaneShown(bool shown) { splitLeft_ = shown ? paneWidth_ : 0; }
    // Widths (designed at 96 DPI) and the list's font for the window's DPI.
    void SetDpi(int32_t dpi);
    void Arrange(HWND parent, int toolbarHeight, int statusBarHeight, std::string_view mode) const;

private:
    static constexpr int kPaneWidth = 138;
    static constexpr int kSplitWidth = 3;
    static constexpr int kListExtent = 1024;
    HWND list_ = nullptr;
    HWND strip_ = nullptr;
    HWND split_ = nullptr;
    HWND canvas_ = nullptr;
    int paneWidth_ = kPaneWidth;
    int splitWidth_ = kSplitWidth;
    int splitLeft_ = kPaneWidth;
    DpiFollowingFont listFont_;
};

}  // namespace plenvue
