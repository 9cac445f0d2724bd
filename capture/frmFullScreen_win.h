// Region selection: the frozen virtual desktop (every monitor, 1:1) in a borderless top-most
// window, a cross-hair, then a dotted rubber band from the press with its size beside the pointer;
// the release captures exactly the band's rectangle. Escape, another mouse button or another
// window taking the foreground cancels.
#pragma once
#include <windows.h>

#include "capture/MonitorGeometry.h"
#include "capture/RegionSelector.h"
#include "base/win/Handles_win.h"
#include "image/Picture_win.h"

namespace plenvue {

class frmFullScreen {
public:
    frmFullScreen() = default;
    ~frmFullScreen();
    frmFullScreen(const frmFullScreen&) = delete;
    frmFullScreen& operator=(const frmFullScreen&) = delete;

    // Shows the window and returns when it has closed; `owner` takes no input meanwhile.
    void ShowModal(HWND owner);
    // The captured region; empty when cancelled or too small.
    const Picture& CapturedPicture() const { return captured_; }

private:
    template <class T>
    friend LRESULT CALLBACK FormWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    template <class T>
    friend T* WindowObject(HWND, UINT, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Load();
    void Apply(const RegionStep& step);
    void Invert(const RegionDraw& shape);
    void ShowLabel(const BandLabel& label);
    void HideLabel();
    void Close();

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    RegionSelector selector_;
    Picture frozen_;
    Picture captured_;
    UniquePen solidPen_;
    UniquePen dottedPen_;
    bool dotted_ = false;
    bool closed_ = false;
    bool focused_ = false;
    bool active_ = false;        // has been the active window: losing that cancels
    bool messageShown_ = false;  // the too-small message is up
    int screenWidth_ = 0;   // the window: the whole virtual desktop
    int screenHeight_ = 0;
    POINT origin_{};        // the window's top-left corner in desktop coordinates
    MonitorList monitors_;  // at freezing, in desktop coordinates
    UniqueBitmap labelUnder_;  // the pixels the size label covers
    ScreenRect labelRect_;     // where it is, client coordinates; empty when not shown
};

}  // namespace plenvue
