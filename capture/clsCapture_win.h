// The shared screen-capture engine: five ways of choosing the source rectangle, optionally
// with the cursor drawn in, and a picture that owns the captured bitmap.
#pragma once
#include "capture/CaptureGeometry.h"
#include "capture/MonitorGeometry.h"
#include "image/Picture_win.h"

namespace plenvue {

class cPrinter;

class clsCapture {
public:
    int32_t CaptureMethod() const { return f_.CaptureMethod; }
    void CaptureMethod(int32_t vNewMethod) { f_.CaptureMethod = vNewMethod; }
    int32_t SrcTop() const { return f_.SrcTop; }
    void SrcTop(double vNewTop) { f_.SrcTop = CaptureCoordinate(vNewTop); }
    int32_t SrcLeft() const { return f_.SrcLeft; }
    void SrcLeft(double vNewLeft) { f_.SrcLeft = CaptureCoordinate(vNewLeft); }
    int32_t SrcWidth() const { return f_.SrcWidth; }
    void SrcWidth(double vNewWidth) { f_.SrcWidth = CaptureCoordinate(vNewWidth); }
    int32_t SrcHeight() const { return f_.SrcHeight; }
    void SrcHeight(double vNewHeight) { f_.SrcHeight = CaptureCoordinate(vNewHeight); }
    bool hasMouseCursor() const { return cursor_; }
    void hasMouseCursor(bool bNewValue) { cursor_ = bNewValue; }
    // The window methods 3 and 4 take: a window chosen before the capture (the one active before
    // Plenvue), or null for the foreground window of the moment.
    HWND TargetWindow() const { return target_; }
    void TargetWindow(HWND window) { target_ = window; }
    // What method 0 takes: the whole virtual desktop (the default), the monitor under the pointer
    // or the primary monitor.
    FullScreenArea FullArea() const { return area_; }
    void FullArea(FullScreenArea area) { area_ = area; }

    // Whether a repeat now would take a region that lies on no monitor any more.
    bool RepeatIsOffMonitors() const;

    // Raises ErrorObject on arithmetic overflow; an empty picture when no bitmap could be made.
    Picture Capture();

    // Method 1 or 2 taken from a picture of the desktop made earlier (the frozen screen of region
    // selection) whose top-left pixel is at (originX, originY) on the desktop, with the cursor
    // drawn as Capture draws it; what the picture does not cover is black.
    Picture CaptureFromPicture(const Picture& desktop, int32_t originX, int32_t originY);

    // Prints the picture as large as it fits on the printer's current page, from the top-left corner
    // of the printable area; landscape when the picture is wider than high. Raises what the printer
    // raises and the division-by-zero error for a picture or page of height 0.
    void PrintPictureToFitPage(cPrinter& printer, const Picture& picture);

private:
    Picture GrabDeviceArea(HWND window, bool clientDC, int32_t left, int32_t top, int32_t width,
                           int32_t height, int32_t cursorX, int32_t cursorY, const MonitorList& monitors);

    CaptureFields f_;
    bool cursor_ = false;
    FullScreenArea area_ = FullScreenArea::WholeDesktop;
    HWND target_ = nullptr;
};

// The one engine of the run, created on first use.
clsCapture& SharedCapture();

}  // namespace plenvue
