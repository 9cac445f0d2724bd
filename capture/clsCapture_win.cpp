#include "capture/clsCapture_win.h"

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
    HWND window = nullptr;
    if (f_.CaptureMethod == 3 || f_.CaptureMethod == 4) {
        window = GetForegroundWindow();
        RECT r{};
        GetWindowRect(window, &r);
        scene.windowRect = {r.left, r.top, r.right, r.bottom};
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
                          plan.cursorX, plan.cursorY);
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
}  // namespace

Picture clsCapture::GrabDeviceArea(HWND window, bool clientDC, int32_t left, int32_t top,
                                   int32_t width, int32_t height, int32_t cursorX,
                                   int32_t cursorY) {
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
            // Only what lies on the device: a source reaching past the screen edge comes out black
            // as a whole under some drivers. The rest of the new bitmap is black already.
            ScreenRect part = VisibleSourcePart(left, top, width, height, DeviceBounds(window, clientDC));
            if (part.Right > part.Left && part.Bottom > part.Top)
                BitBlt(memory.get(), part.Left - left, part.Top - top, part.Right - part.Left,
                       part.Bottom - part.Top, source.get(), part.Left, part.Top, SRCCOPY);
            if (cursor_) DrawIcon(memory.get(), cursorX, cursorY, GetCursor());
        }
        if (oldPalette) SelectPalette(memory.get(), oldPalette, FALSE);
    }
    return Picture::FromBitmap(bitmap.release(),
                               palette.release());
}

clsCapture& SharedCapture() {
    static clsCapture engine;
    return engine;
}

}  // namespace plenvue
