// The shared screen-capture engine: five ways of choosing the source rectangle, optionally
// with the cursor drawn in, and a picture that owns the captured bitmap.
#pragma once
#include "capture/CaptureGeometry.h"
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

    // Raises ErrorObject on arithmetic overflow; an empty picture when no bitmap could be made.
    Picture Capture();

    // Prints the picture as large as it fits on the printer's current page, from the top-left corner
    // of the printable area; landscape when the picture is wider than high. Raises what the printer
    // raises and the division-by-zero error for a picture or page of height 0.
    void PrintPictureToFitPage(cPrinter& printer, const Picture& picture);

private:
    Picture GrabDeviceArea(HWND window, bool clientDC, int32_t left, int32_t top, int32_t width,
                           int32_t height, int32_t cursorX, int32_t cursorY);

    CaptureFields f_;
    bool cursor_ = false;
};

// The one engine of the run, created on first use.
clsCapture& SharedCapture();

}  // namespace plenvue
