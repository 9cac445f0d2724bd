// Region selection: the frozen screen in a borderless top-most window, a cross-hair, then a
// dotted rubber band; the second click captures the inside of the band.
#pragma once
#include <windows.h>

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
    int screenWidth_ = 0;
    int screenHeight_ = 0;
};

}  // namespace plenvue
