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
constexpr int kEscapeHotkeyId = 1;
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
        // The form never has the focus: Escape reaches it as a hot key for as long as it is up.
        escapeHotkey_ = RegisterHotKey(hwnd_, kEscapeHotkeyId, 0, VK_ESCAPE) != FALSE;
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
    case WM_HOTKEY:
        if (wParam == kEscapeHotkeyId) {
            Close();
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
    // Escape held by another program's hot key: asked for here instead.
    if (!escapeHotkey_ && (GetAsyncKeyState(VK_ESCAPE) & 0x8000)) {
        Close();
        return;
    }
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
        GetPixel(dc.get(), outline.Left, outline.Top);  // the wipe too is on the display before anything else
    }
    SetROP2(dc.get(), oldRop);
    // A window that painted under the outline meanwhile would keep a half-wiped frame: it paints again.
    const RECT ring{outline.Left - kOutlineWidth, outline.Top - kOutlineWidth, outline.Right + kOutlineWidth,
                    outline.Bottom + kOutlineWidth};
    wiped_ = ring;
}

void frmSnapWindow::OnCopyData(const COPYDATASTRUCT* record) {
    if (closed_ || !record) return;
    lastRecord_ = *record;
    // The record comes from another process: take no more than it carries.
    std::memset(&lastMouse_, 0, sizeof lastMouse_);
    if (record->lpData && record->cbData >= sizeof lastMouse_)
        std::memcpy(&lastMouse_, record->lpData, sizeof lastMouse_);
    switch (record->dwData) {
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        Pick();
        break;
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        rightDown_ = true;
        break;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP:
        // Cancels once the button is up, so that the release is kept from the window too.
        if (rightDown_) Close();
        break;
    default:
        break;
    }
}

bool frmSnapWindow::Swallows(ULONG_PTR message) {
    switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

void frmSnapWindow::RepaintUnderOutline() {
    if (IsRectEmpty(&wiped_)) return;
    RedrawWindow(nullptr, &wiped_, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    wiped_ = {};
}

void frmSnapWindow::Pick() {
    // The outline was wiped by the tick that drew it; the repaint waits for Close, after the capture.
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
    const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    try {
        OnCopyData(record);
    } catch (...) {
        ShowWindowException(hwnd_);
        Close();
    }
    // Non-zero keeps the mouse message from its window (the right button, which cancels); zero
    // lets it go on.
    if (record && Swallows(record->dwData)) result = 1;
}

void frmSnapWindow::Unload() {
    if (escapeHotkey_ && hwnd_) UnregisterHotKey(hwnd_, kEscapeHotkeyId);
    escapeHotkey_ = false;
    timSnapWindow_.reset();
    target_.Reset();
    hook_.Remove();
    modal_.reset();
}

void frmSnapWindow::Close() {
    if (!closed_) RepaintUnderOutline();
    closed_ = true;
    // A pick runs inside a sent message, which does not end the wait in the modal loop.
    if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

}  // namespace plenvue
