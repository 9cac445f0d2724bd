// The main window's bars: the toolbar (over its image list) and the editor's tool strip in rebar
// bands, and the status bar in three parts. Destroyed toolbar first, then the rebar, the status bar and the image list.
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
#include "shell/MainWindowText.h"
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
    // The status bar's parts: the message (as it has always been), the step Undo would take back,
    // the zoom.
    void SetStatus(const std::string& text) { statusBar_.SetText(kMessagePart, StatusBarText(text)); }
    void SetStepText(const std::string& text);
    void SetZoomText(const std::string& text);
    // The editor's tool strip, a band of its own below the toolbar: one check button a tool
    // (commands kCmdToolFirst..kCmdToolLast), the current one pressed.
    void CheckTool(int index);
    HWND ToolStrip() const { return tools_.hWnd(); }
    // The tip of a tool button: its Draw-menu caption and key; the status text is the menu's help.
    static std::optional<std::string> FillToolTip(NMTBGETINFOTIPW& tip, const ILanguage* language);
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
    static constexpr int kMessagePart = 0;
    static constexpr int kStepPart = 1;
    static constexpr int kZoomPart = 2;
    static constexpr int kStepPartWidth = 150;
    static constexpr int kZoomPartWidth = 64;
    static constexpr int kStatusBarHeight = 20;
    static constexpr int kBandHeight = 25;
    static constexpr int kBandWidth = 360;
    void LoadImages();
    void DrawToolImages();
    int BandHeight() const;
    int ToolStripWidth() const;
    HINSTANCE module_ = nullptr;
    int32_t dpi_ = 96;
    int32_t imageSize_ = 16;
    CImageListCtl imageList_;
    DpiFollowingFont statusFont_;
    CStatusBarCtl statusBar_;
    CRebarCtl rebar_;
    CToolbarCtl toolbar_;
    CImageListCtl toolImages_;
    CToolbarCtl tools_;
    int checkedTool_ = 0;
    int toolbarHeight_ = 0;
    int statusBarHeight_ = 0;
};

}  // namespace plenvue
