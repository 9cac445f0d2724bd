// The main window's bars: the toolbar (over its image list) in a rebar band, and the status bar
// in simple mode. Destroyed toolbar first, then the rebar, the status bar and the image list.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

#include "base/win/Language_win.h"
#include "controls/CommonControls_win.h"
#include "shell/MainMenu.h"

namespace plenvue {

class MainBars {
public:
    // Creates every bar with the history button pressed and `ready` on the status line.
    void Create(HWND parent, HINSTANCE module, const std::string& ready);
    // Heights the layout leaves for the bars: 0 for a hidden bar.
    int ToolbarHeight() const { return toolbarHeight_; }
    int StatusBarHeight() const { return statusBarHeight_; }
    void ShowToolbar(bool on);
    void ShowStatusBar(bool on);
    void SetStatus(const std::string& text) { statusBar_.SetText(kSimplePart, text); }
    void CheckHistoryButton(bool on) { toolbar_.CheckButton(kTbHistory, on); }
    // After the parent's size changed: the status bar's parts and the rebar's width follow it.
    void FollowParentSize(HWND parent);
    // Fills a toolbar button's tip from the language; returns the status-line part of the item.
    static std::optional<std::string> FillTip(NMTBGETINFOTIPA& tip, const ILanguage* language);
    HWND Toolbar() const { return toolbar_.hWnd(); }
    HWND StatusBar() const { return statusBar_.hWnd(); }

private:
    static constexpr int kSimplePart = 255;
    static constexpr int kStatusBarHeight = 20;
    CImageListCtl imageList_;
    CStatusBarCtl statusBar_;
    CRebarCtl rebar_;
    CToolbarCtl toolbar_;
    int toolbarHeight_ = 0;
    int statusBarHeight_ = 0;
};

}  // namespace plenvue
