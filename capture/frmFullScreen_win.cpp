#include "capture/frmFullScreen_win.h"

#include "base/win/WindowThunk_win.h"

#include <exception>

#include "capture/clsCapture_win.h"
#include "base/ErrorObject.h"
#include "base/win/modDeclare_win.h"
#include "base/win/WideText_win.h"

namespace plenvue {

namespace {
constexpr const char* kFullScreenClass = "PlenvueFullScreen";

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

void RegisterFullScreenClass(WNDPROC proc) { RegisterWindowClass({kFullScreenClass, proc}); }
}  // namespace

frmFullScreen::~frmFullScreen() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void frmFullScreen::ShowModal(HWND owner) {
    RegisterFullScreenClass(FormWindowProc<frmFullScreen>);
    owner_ = owner;
    screenWidth_ = GetSystemMetrics(SM_CXSCREEN);
    screenHeight_ = GetSystemMetrics(SM_CYSCREEN);
    // Freeze the screen before our own window covers it.
    clsCapture& engine = SharedCapture();
    engine.CaptureMethod(0);
    try {
        frozen_ = engine.Capture();
    } catch (...) {
        ShowWindowException(owner);
        return;
    }
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kFullScreenClass, nullptr, WS_POPUP, 0, 0,
                            screenWidth_, screenHeight_, owner, nullptr, Instance(), this);
    if (!hwnd_) return;
    Load();

    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
    MSG msg;
    while (!closed_) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit for the main loop
            break;
        }
        if (got < 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Enable the owner before the window goes so the activation returns to it.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (hwnd_) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

void frmFullScreen::Load() {
    solidPen_.reset(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    dottedPen_.reset(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

LRESULT frmFullScreen::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    int x = static_cast<short>(LOWORD(lParam));
    int y = static_cast<short>(HIWORD(lParam));
    switch (msg) {
    case WM_PAINT: {
        // The frozen picture is the persistent background; the inverted lines are not kept.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        if (HBITMAP bmp = frozen_.Bitmap()) {
            MemoryDC mem(CreateCompatibleDC(dc));
            SelectedObject sel(mem.get(), bmp);
            BitBlt(dc, 0, 0, screenWidth_, screenHeight_, mem.get(), 0, 0, SRCCOPY);
        }
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        Apply(selector_.MouseMove(x, y));
        return 0;
    case WM_LBUTTONDOWN:
        Apply(selector_.ButtonDown(true, x, y));
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
        Apply(selector_.ButtonDown(false, x, y));
        return msg == WM_XBUTTONDOWN ? TRUE : 0;
    case WM_CLOSE:
        Close();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void frmFullScreen::Apply(const RegionStep& step) {
    for (const RegionDraw& shape : step.Draw) Invert(shape);
    if (step.SwitchToDotted) dotted_ = true;
    if (step.Choice) {
        const RegionChoice& choice = *step.Choice;
        if (choice.TooSmall) {
            ShowMessageBox(hwnd_, Msg(10003), kExeName, MB_ICONERROR);
        } else {
            clsCapture& engine = SharedCapture();
            engine.SrcLeft(choice.Source.SrcLeft);
            engine.SrcTop(choice.Source.SrcTop);
            engine.SrcHeight(choice.Source.SrcHeight);
            engine.SrcWidth(choice.Source.SrcWidth);
            engine.CaptureMethod(1);
            // The live screen shows the frozen image with the band; the inset leaves the band out.
            GdiFlush();
            captured_ = engine.Capture();
        }
    }
    if (step.Close) Close();
}

void frmFullScreen::Invert(const RegionDraw& shape) {
    WindowDC dc = WindowDC::Client(hwnd_);
    if (!dc.get()) return;
    int oldRop = SetROP2(dc.get(), R2_NOT);
    int oldBk = SetBkMode(dc.get(), TRANSPARENT);
    SelectedObject pen(dc.get(), dotted_ ? dottedPen_.get() : solidPen_.get());
    if (shape.Shape == RegionDraw::Kind::Crosshair) {
        MoveToEx(dc.get(), 0, shape.Y1, nullptr);
        LineTo(dc.get(), screenWidth_, shape.Y1);
        MoveToEx(dc.get(), shape.X1, 0, nullptr);
        LineTo(dc.get(), shape.X1, screenHeight_);
    } else {
        // Both corners belong to the box; each pixel is inverted once per drawing.
        POINT pts[5] = {{shape.X1, shape.Y1}, {shape.X2, shape.Y1}, {shape.X2, shape.Y2},
                        {shape.X1, shape.Y2}, {shape.X1, shape.Y1}};
        if (shape.X1 == shape.X2 || shape.Y1 == shape.Y2) {
            MoveToEx(dc.get(), shape.X1, shape.Y1, nullptr);
            LineTo(dc.get(), shape.X2, shape.Y2);
            SetPixel(dc.get(), shape.X2, shape.Y2, GetPixel(dc.get(), shape.X2, shape.Y2) ^ 0xFFFFFF);
        } else {
            Polyline(dc.get(), pts, 5);
        }
    }
    SetBkMode(dc.get(), oldBk);
    SetROP2(dc.get(), oldRop);
}

void frmFullScreen::Close() {
    closed_ = true;
    if (hwnd_) {
        ShowWindow(hwnd_, SW_HIDE);
        PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the modal loop whatever closed the window
    }
}

}  // namespace plenvue
