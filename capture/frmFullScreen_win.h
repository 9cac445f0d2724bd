// Region selection: the frozen virtual desktop (every monitor, 1:1) in a borderless top-most
// window, a cross-hair, then a dotted rubber band from the press with its size beside the pointer;
// the release captures exactly the band's rectangle. Before a press the window under the pointer
// is outlined, and a click or Enter takes it. A magnifier with the pointer's coordinates and colour
// follows the pointer; arrow keys move it by a pixel (Shift: ten). Escape, another mouse button or
// another window taking the foreground cancels.
#pragma once
#include <windows.h>

#include <optional>

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
    // What sits over the frozen picture (never in it): the pixels it covers, to put back.
    struct Overlay {
        UniqueBitmap under;
        ScreenRect rect;  // client coordinates; empty when not shown
    };
    // Saves what `rect` covers into `o`; false when the screen cannot be read.
    bool SaveUnder(HDC dc, Overlay& o, const ScreenRect& rect);
    void Restore(Overlay& o);
    ScreenRect MonitorArea(int x, int y) const;  // the monitor under a client point, client coordinates
    void ShowPanel();
    void ShowHint();
    void MovePointer(int dx, int dy);
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
    Overlay panel_;            // magnifier, coordinates, colour and the band's size beside the pointer
    Overlay hint_;             // the one-line hint
    POINT pointer_{};          // the last pointer position, client coordinates
    bool havePointer_ = false;
    std::optional<ScreenRect> band_;  // the band's rectangle while dragging
};

}  // namespace plenvue
