// Which rectangle a capture takes and where the cursor is drawn, computed without a window.
#pragma once
#include <cstdint>

#include "capture/MonitorGeometry.h"
#include "capture/SelectionGeometry.h"

namespace plenvue {

struct CapturePoint { int32_t x = 0, y = 0; };
struct CaptureBox { int32_t left = 0, top = 0, right = 0, bottom = 0; };

// The engine's persistent fields.
struct CaptureFields {
    int32_t CaptureMethod = 0;
    int32_t SrcTop = 0;
    int32_t SrcLeft = 0;
    int32_t SrcWidth = 0;
    int32_t SrcHeight = 0;
};

enum class CaptureDevice { Desktop, Foreground, ScreenNoWindow };

struct CapturePlan {
    CaptureDevice source = CaptureDevice::Desktop;
    bool clientDC = false;
    int32_t left = 0, top = 0, width = 0, height = 0;
    int32_t cursorX = 0, cursorY = 0;
};

// What the platform reports at the moment of capture.
struct CaptureScene {
    CapturePoint cursor;        // screen coordinates
    int32_t screenWidth = 0;    // primary display, pixels
    int32_t screenHeight = 0;
    // What full screen takes in desktop coordinates (the virtual desktop, one monitor); when
    // empty, the primary display from (0, 0).
    ScreenRect fullScreen;
    CaptureBox windowRect;      // foreground window, screen coordinates
    // The part of it to take, screen coordinates: its visible frame, cut to its monitor when
    // maximised; when empty, the whole window rectangle.
    ScreenRect frameRect;
    CaptureBox clientRect;      // foreground window's client rectangle (0, 0, w, h)
    CapturePoint clientOrigin;  // client area's top-left on the screen
};

// Updates the fields the method computes and returns what to copy. Overflow in the
// subtractions raises an error to the caller.
CapturePlan PlanCapture(CaptureFields& fields, const CaptureScene& scene);

// Whether a repeat of the fields would take a region (methods 1 and 2, a fixed desktop rectangle)
// of which no pixel is on a monitor any more. The window methods take the window of the moment,
// an empty rectangle has nothing to miss, and one past the 32-bit range is the capture's error
// to report: all false.
bool RegionIsOffMonitors(const CaptureFields& fields, const MonitorList& monitors);

// Property conversion of the rectangle fields: nearest integer, halves to even.
int32_t CaptureCoordinate(double value);

}  // namespace plenvue
