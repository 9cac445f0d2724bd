// The main window's bars: the toolbar (over its image list) in a rebar band, and the status bar
// in simple mode. Destroyed toolbar first, then the rebar, the status bar and the image list.
// Sizes are designed at 96 DPI and scaled to the DPI of the window's monitor; the toolbar images
// come from the strip drawn nearest to that scale.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/win/Dpi_win.h"
#include "base/win/Language_win.h"
#include "controls/CommonControls_win.h"
#include "shell/MainMenu.h"

namespace plenvue {

class MainBars {
public:
    // Creates every bar for the parent's DPI, with the history button pressed and `ready` on the
    // status line.
    void Create(HWND parent, HINSTANCE module, const std::string& ready);
    // After the parent moved to a monitor of another DPI: images, fonts and heights for `dpi`.
    void Rescale(HWND parent, int32_t dpi);
    int32_t Dpi() const { return dpi_; }
    int32_t ImageSize() const { return imageSize_; }
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
    // The same for a Unicode parent, which the toolbar asks in UTF-16.
    static std::optional<std::string> FillTip(NMTBGETINFOTIPW& tip, const ILanguage* language);
    HWND Toolbar() const { return toolbar_.hWnd(); }
    HWND StatusBar() const { return statusBar_.hWnd(); }

private:
    static constexpr int kSimplePart = 255;
    static constexpr int kStatusBarHeight = 20;
    static constexpr int kBandHeight = 25;
    static constexpr int kBandWidth = 360;
    void LoadImages();
    int BandHeight() const;
    HINSTANCE module_ = nullptr;
    int32_t dpi_ = 96;
    int32_t imageSize_ = 16;
    CImageListCtl imageList_;
    DpiFollowingFont statusFont_;
    CStatusBarCtl statusBar_;
    CRebarCtl rebar_;
    CToolbarCtl toolbar_;
    int toolbarHeight_ = 0;
    int statusBarHeight_ = 0;
};

}  // namespace plenvue
