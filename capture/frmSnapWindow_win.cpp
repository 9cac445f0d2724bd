#include "capture/frmSnapWindow_win.h"

#include "base/win/WindowThunk_win.h"

#include <cstring>
#include <exception>

#include "capture/MonitorGeometry.h"
#include "capture/Monitors_win.h"
#include "capture/SelectionGeometry.h"
#include "capture/clsCapture_win.h"
#include "base/ErrorObject.h"
#include "base/win/modDeclare_win.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

namespace {
constexpr const char* kSnapWindowClass = "PlenvueSnapWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTickMs = 400;
constexpr UINT kForwardFilter = WM_LBUTTONDOWN;  // in our own process only button-downs come through
constexpr int kOutlineWidth = 3;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

}  // namespace

frmSnapWindow::~frmSnapWindow() {
    Unload();
    if (hwnd_) DestroyWindow(hwnd_);
}

void frmSnapWindow::ShowModal(HWND owner) {
    RegisterWindowClass({kSnapWindowClass, FormWindowProc<frmSnapWindow>, nullptr});
    // Load: the form takes no visible space; it owns the timer and receives the forwarded events.
    modal_.emplace();
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kSnapWindowClass, "", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                            Instance(), this);
    std::string reason;
    if (!hwnd_) {
        reason = "The window picker could not be created.";
    } else if (Activate(reason)) {
        bool ownerWasEnabled = owner && IsWindowEnabled(owner);
        if (ownerWasEnabled) EnableWindow(owner, FALSE);
        ShowWindow(hwnd_, SW_SHOWNA);
        MSG msg;
        while (!closed_) {
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got < 0) break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ownerWasEnabled) EnableWindow(owner, TRUE);
    }
    Unload();
    if (hwnd_) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
    // Without the forwarded button releases nothing could ever close the form: say why and stop.
    if (!reason.empty()) ShowMessageBox(owner, reason, kExeName, MB_ICONERROR);
}

bool frmSnapWindow::Activate(std::string& reason) {
    timSnapWindow_ = WindowTimer(hwnd_, kTimerId, kTickMs);
    if (!target_.Attach(hwnd_, this)) {
        reason = "The window picker could not receive the mouse messages.";
        return false;
    }
    return hook_.Install(App().ProgramFolder + "Ravelin.dll", hwnd_, kForwardFilter, reason);
}

LRESULT frmSnapWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kTimerId) {
            Tick();
            return 0;
        }
        break;
    case WM_CLOSE:
        Close();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void frmSnapWindow::Tick() {
    if (closed_) return;
    HWND desktop = GetDesktopWindow();
    WindowDC dc = WindowDC::Whole(desktop);
    if (!dc.get()) return;
    POINT pt{};
    GetCursorPos(&pt);
    HWND under = WindowFromPoint(pt);
    if (!under) return;
    // Where the window is, on whichever monitor, kept on the desktop so that all of it shows.
    const MonitorList monitors = DesktopMonitors();
    ScreenRect outline = ClipToDesktop(monitors, WindowCaptureFrame(under, monitors));
    if (IsEmptyRect(outline)) return;
    int oldRop = SetROP2(dc.get(), R2_NOTXORPEN);
    UniquePen pen(CreatePen(PS_SOLID, kOutlineWidth, RGB(0, 0, 0)));
    {
        SelectedObject selPen(dc.get(), pen.get());
        SelectedObject selBrush(dc.get(), GetStockObject(NULL_BRUSH));
        Rectangle(dc.get(), outline.Left, outline.Top, outline.Right, outline.Bottom);
        GdiFlush();
        // GdiFlush does not reach the display under every driver (Wine buffers the X requests, so
        // drawing and wiping would go out together and the outline never show); a read-back does.
        GetPixel(dc.get(), outline.Left, outline.Top);
        // Forwarded events wait meanwhile, so an outline is never on the screen when a pick captures.
        Sleep(kTickMs);
        Rectangle(dc.get(), outline.Left, outline.Top, outline.Right, outline.Bottom);
    }
    SetROP2(dc.get(), oldRop);
}

void frmSnapWindow::OnCopyData(const COPYDATASTRUCT* record) {
    if (closed_ || !record) return;
    lastRecord_ = *record;
    // The record comes from another process: take no more than it carries.
    std::memset(&lastMouse_, 0, sizeof lastMouse_);
    if (record->lpData && record->cbData >= sizeof lastMouse_)
        std::memcpy(&lastMouse_, record->lpData, sizeof lastMouse_);
    if (record->dwData == WM_LBUTTONUP || record->dwData == WM_NCLBUTTONUP) Pick();
}

void frmSnapWindow::Pick() {
    POINT pt{};
    GetCursorPos(&pt);
    HWND picked = WindowFromPoint(pt);
    if (!picked) return;
    const ScreenRect frame = WindowCaptureFrame(picked, DesktopMonitors());
    if (IsEmptyRect(frame)) return;
    clsCapture& engine = SharedCapture();
    try {
        CaptureSource src = PickedWindowSource(frame);
        engine.CaptureMethod(2);
        engine.SrcTop(src.SrcTop);
        engine.SrcLeft(src.SrcLeft);
        engine.SrcHeight(src.SrcHeight);
        engine.SrcWidth(src.SrcWidth);
        captured_ = engine.Capture();
    } catch (const ErrorObject& e) {
        ShowMessageBox(nullptr, ErrorBoxText(e), kExeName, MB_ICONERROR | MB_TOPMOST);
    } catch (const std::exception& e) {
        ShowMessageBox(nullptr, e.what(), kExeName, MB_ICONERROR | MB_TOPMOST);
    }
    timSnapWindow_.reset();
    Close();
}

void frmSnapWindow::Message(int32_t slot, HWND, UINT message, WPARAM, LPARAM lParam,
                            LRESULT& result) {
    result = 0;
    if (message != WM_COPYDATA) {
        result = DefaultProcessing(slot);
        return;
    }
    try {
        OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    } catch (...) {
        ShowWindowException(hwnd_);
        Close();
    }
    // Result 0: the mouse message goes on to its window.
}

void frmSnapWindow::Unload() {
    timSnapWindow_.reset();
    target_.Reset();
    hook_.Remove();
    modal_.reset();
}

void frmSnapWindow::Close() {
    closed_ = true;
    // A pick runs inside a sent message, which does not end the wait in the modal loop.
    if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

}  // namespace plenvue
