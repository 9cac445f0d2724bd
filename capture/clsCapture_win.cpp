#include "capture/clsCapture_win.h"

#include "capture/Monitors_win.h"
#include "capture/SelectionGeometry.h"

#include <vector>

namespace plenvue {

Picture clsCapture::Capture() {
    CaptureScene scene;
    POINT cursor{};
    GetCursorPos(&cursor);
    scene.cursor = {cursor.x, cursor.y};
    scene.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    scene.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const MonitorList monitors = DesktopMonitors();
    if (f_.CaptureMethod == 0) scene.fullScreen = FullScreenRect(monitors, area_, cursor.x, cursor.y);
    HWND window = nullptr;
    if (f_.CaptureMethod == 3 || f_.CaptureMethod == 4) {
        window = target_ && IsWindow(target_) ? target_ : GetForegroundWindow();
        RECT r{};
        GetWindowRect(window, &r);
        scene.windowRect = {r.left, r.top, r.right, r.bottom};
        scene.frameRect = WindowCaptureFrame(window, monitors);
        RECT c{};
        GetClientRect(window, &c);
        scene.clientRect = {c.left, c.top, c.right, c.bottom};
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        scene.clientOrigin = {origin.x, origin.y};
    }
    CapturePlan plan = PlanCapture(f_, scene);
    switch (plan.source) {
    case CaptureDevice::Desktop: window = GetDesktopWindow(); break;
    case CaptureDevice::Foreground: break;
    case CaptureDevice::ScreenNoWindow: window = nullptr; break;
    }
    return GrabDeviceArea(window, plan.clientDC, plan.left, plan.top, plan.width, plan.height,
                          plan.cursorX, plan.cursorY, monitors);
}

namespace {
// The drawable area of the DC GrabDeviceArea reads, in that DC's coordinates.
ScreenRect DeviceBounds(HWND window, bool clientDC) {
    RECT r{};
    if (!window || window == GetDesktopWindow()) {  // every monitor, also left of or above the primary
        int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    if (clientDC) {
        GetClientRect(window, &r);
    } else {
        GetWindowRect(window, &r);
        OffsetRect(&r, -r.left, -r.top);
    }
    return {r.left, r.top, r.right, r.bottom};
}

// Copies the part of the source rectangle that `covered` holds (both in desktop or device
// coordinates) from `from`, whose pixel (0, 0) lies at (fromX, fromY), to the same place in `to`,
// whose pixel (0, 0) is the rectangle's corner. Only what lies on the device: a source reaching
// past its edge comes out black as a whole under some drivers.
void CopyCoveredPart(HDC to, HDC from, int32_t left, int32_t top, int32_t width, int32_t height,
                     const ScreenRect& covered, int32_t fromX, int32_t fromY) {
    const ScreenRect part = VisibleSourcePart(left, top, width, height, covered);
    if (part.Right > part.Left && part.Bottom > part.Top)
        BitBlt(to, part.Left - left, part.Top - top, part.Right - part.Left, part.Bottom - part.Top, from,
               part.Left - fromX, part.Top - fromY, SRCCOPY);
}
}  // namespace

Picture clsCapture::GrabDeviceArea(HWND window, bool clientDC, int32_t left, int32_t top,
                                   int32_t width, int32_t height, int32_t cursorX,
                                   int32_t cursorY, const MonitorList& monitors) {
    WindowDC source = clientDC || !window ? WindowDC::Client(window) : WindowDC::Whole(window);
    if (!source.get()) return Picture();
    MemoryDC memory(CreateCompatibleDC(source.get()));
    if (!memory) return Picture();
    UniqueBitmap bitmap(CreateCompatibleBitmap(source.get(), width, height));
    UniquePalette palette;
    {
        SelectedObject selBitmap(memory.get(), bitmap.get());
        HPALETTE oldPalette = nullptr;
        if ((GetDeviceCaps(source.get(), RASTERCAPS) & RC_PALETTE) &&
            GetDeviceCaps(source.get(), SIZEPALETTE) == 256) {
            std::vector<unsigned char> buf(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
            auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
            lp->palVersion = 0x300;
            lp->palNumEntries = 256;
            GetSystemPaletteEntries(source.get(), 0, 256, lp->palPalEntry);
            palette.reset(CreatePalette(lp));
            if (palette) {
                oldPalette = SelectPalette(memory.get(), palette.get(), FALSE);
                RealizePalette(memory.get());
            }
        }
        if (bitmap) {
            // The rest of the new bitmap is black already.
            const ScreenRect device = DeviceBounds(window, clientDC);
            if (window == GetDesktopWindow() && !monitors.empty()) {
                // Monitor by monitor: the gaps between monitors of different sizes stay black.
                PatBlt(memory.get(), 0, 0, width, height, BLACKNESS);
                for (const MonitorInfo& m : monitors)
                    CopyCoveredPart(memory.get(), source.get(), left, top, width, height,
                                    IntersectRects(m.Bounds, device), 0, 0);
            } else {
                CopyCoveredPart(memory.get(), source.get(), left, top, width, height, device, 0, 0);
            }
            if (cursor_) DrawIcon(memory.get(), cursorX, cursorY, GetCursor());
        }
        if (oldPalette) SelectPalette(memory.get(), oldPalette, FALSE);
    }
    return Picture::FromBitmap(bitmap.release(),
                               palette.release());
}

Picture clsCapture::CaptureFromPicture(const Picture& desktop, int32_t originX, int32_t originY) {
    CaptureScene scene;
    POINT cursor{};
    GetCursorPos(&cursor);
    scene.cursor = {cursor.x, cursor.y};
    const CapturePlan plan = PlanCapture(f_, scene);
    const SIZE size = desktop.PixelSize();
    WindowDC screen = WindowDC::Client(nullptr);
    if (!screen.get() || !desktop.Bitmap() || plan.width <= 0 || plan.height <= 0) return Picture();
    MemoryDC source(CreateCompatibleDC(screen.get()));
    MemoryDC memory(CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), plan.width, plan.height));
    if (!source || !memory || !bitmap) return Picture();
    {
        SelectedObject selSource(source.get(), desktop.Bitmap());
        SelectedObject selBitmap(memory.get(), bitmap.get());
        PatBlt(memory.get(), 0, 0, plan.width, plan.height, BLACKNESS);
        const ScreenRect covered{originX, originY, static_cast<int32_t>(int64_t{originX} + size.cx),
                                 static_cast<int32_t>(int64_t{originY} + size.cy)};
        CopyCoveredPart(memory.get(), source.get(), plan.left, plan.top, plan.width, plan.height, covered, originX,
                        originY);
        if (cursor_) DrawIcon(memory.get(), plan.cursorX, plan.cursorY, GetCursor());
    }
    return Picture::FromBitmap(bitmap.release(), nullptr);
}

bool clsCapture::RepeatIsOffMonitors() const { return RegionIsOffMonitors(f_, DesktopMonitors()); }

clsCapture& SharedCapture() {
    static clsCapture engine;
    return engine;
}

}  // namespace plenvue
