#include "capture/frmFullScreen_win.h"

#include "base/win/WindowThunk_win.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "capture/Monitors_win.h"
#include "capture/clsCapture_win.h"
#include "base/ErrorObject.h"
#include "base/win/modDeclare_win.h"
#include "base/win/WideText_win.h"

namespace plenvue {

namespace {
constexpr const char* kFullScreenClass = "PlenvueFullScreen";

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

void RegisterFullScreenClass(WNDPROC proc) { RegisterWindowClass({kFullScreenClass, proc}); }

constexpr int kOutlineWidth = 3;
constexpr size_t kMostSnapWindows = 4000;  // a bound: the lists can change while they are walked

bool IsSnapCandidate(HWND w) {
    if (!IsWindowVisible(w) || IsIconic(w)) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid != GetCurrentProcessId();
}

struct SnapCollector {
    std::vector<SnapWindow>* list;
    const MonitorList* monitors;
    POINT origin;
    ScreenRect bounds;  // the frozen picture, client coordinates

    void Add(HWND w, int32_t depth, const ScreenRect& desktopRect) {
        if (list->size() >= kMostSnapWindows) return;
        ScreenRect r{desktopRect.Left - origin.x, desktopRect.Top - origin.y, desktopRect.Right - origin.x,
                     desktopRect.Bottom - origin.y};
        r = {std::max(r.Left, bounds.Left), std::max(r.Top, bounds.Top), std::min(r.Right, bounds.Right),
             std::min(r.Bottom, bounds.Bottom)};
        if (r.Right <= r.Left || r.Bottom <= r.Top) return;
        list->push_back({r, depth});
        // Children in z-order, top first, each followed by its own.
        for (HWND c = GetWindow(w, GW_CHILD); c && list->size() < kMostSnapWindows; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!IsWindowVisible(c)) continue;
            RECT cr{};
            if (!GetWindowRect(c, &cr)) continue;
            Add(c, depth + 1, {cr.left, cr.top, cr.right, cr.bottom});
        }
    }
};

BOOL CALLBACK CollectTopLevel(HWND w, LPARAM param) noexcept {
    auto* c = reinterpret_cast<SnapCollector*>(param);
    if (!IsSnapCandidate(w)) return TRUE;
    try {
        c->Add(w, 0, WindowCaptureFrame(w, *c->monitors));
    } catch (...) {
        return FALSE;  // out of memory: snap to what was collected
    }
    return c->list->size() < kMostSnapWindows;
}
}  // namespace

frmFullScreen::~frmFullScreen() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void frmFullScreen::ShowModal(HWND owner) {
    RegisterFullScreenClass(FormWindowProc<frmFullScreen>);
    owner_ = owner;
    // Freeze the whole desktop, whatever full screen takes, before our own window covers it.
    clsCapture& engine = SharedCapture();
    engine.CaptureMethod(0);
    const FullScreenArea area = engine.FullArea();
    engine.FullArea(FullScreenArea::WholeDesktop);
    monitors_ = DesktopMonitors();
    try {
        frozen_ = engine.Capture();
    } catch (...) {
        engine.FullArea(area);
        ShowWindowException(owner);
        return;
    }
    engine.FullArea(area);
    // The window lies exactly over the frozen picture, so a client pixel is a desktop pixel moved.
    origin_ = {engine.SrcLeft(), engine.SrcTop()};
    screenWidth_ = engine.SrcWidth();
    screenHeight_ = engine.SrcHeight();
    // The system's drag threshold: a shorter way between press and release is a click.
    selector_ = RegionSelector(GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG));
    // The windows as they were when the screen froze (EnumWindows gives them in z-order, top first).
    std::vector<SnapWindow> windows;
    SnapCollector collector{&windows, &monitors_, origin_, {0, 0, screenWidth_, screenHeight_}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&collector));
    selector_.SetSnapWindows(std::move(windows));
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kFullScreenClass, nullptr, WS_POPUP, origin_.x,
                            origin_.y, screenWidth_, screenHeight_, owner, nullptr, Instance(), this);
    if (!hwnd_) return;
    Load();

    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(hwnd_);
    UpdateWindow(hwnd_);
    // The outline of the window under the pointer shows before the pointer first moves.
    POINT cursor{};
    if (GetCursorPos(&cursor))
        GuardedCall(hwnd_, false, [&] {
            Apply(selector_.MouseMove(cursor.x - origin_.x, cursor.y - origin_.y));
            return true;
        });
    MSG msg;
    while (!closed_) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit for the main loop
            break;
        }
        if (got < 0) break;
        // Escape cancels wherever the keyboard input went: the screen may not have the focus.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            Close();
            continue;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
            // Outside the window procedure: the same rule against exceptions, then the screen closes.
            if (!GuardedCall(hwnd_, false, [&] {
                    Apply(selector_.Enter());
                    return true;
                }))
                Close();
            continue;
        }
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
        // The keyboard focus once the window is really on the screen (for Escape): asked for
        // while it was still being shown, a display server may refuse it.
        if (!focused_) {
            focused_ = true;
            SetFocus(nullptr);
            SetFocus(hwnd_);
        }
        Apply(selector_.MouseMove(x, y));
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd_);
        Apply(selector_.ButtonDown(true, x, y));
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) ReleaseCapture();
        Apply(selector_.ButtonUp(x, y));
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
        Apply(selector_.ButtonDown(false, x, y));
        return msg == WM_XBUTTONDOWN ? TRUE : 0;
    case WM_ACTIVATE:
        // Another window taking the foreground (task switch, a program's window) cancels; the
        // too-small message, owned by this window, does not.
        if (LOWORD(wParam) != WA_INACTIVE) active_ = true;
        else if (active_ && !messageShown_) Close();
        break;
    case WM_CLOSE:
        Close();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void frmFullScreen::Apply(const RegionStep& step) {
    // The label goes first: the band is inverted under it, and the capture must not see it.
    HideLabel();
    for (const RegionDraw& shape : step.Draw) Invert(shape);
    if (step.SwitchToDotted) dotted_ = true;
    if (step.Choice) {
        const RegionChoice& choice = *step.Choice;
        if (choice.TooSmall) {
            messageShown_ = true;
            ShowMessageBox(hwnd_, Msg(10003), kExeName, MB_ICONERROR);
            messageShown_ = false;
        } else {
            // The band's inside in desktop coordinates: the window starts at the desktop's corner.
            clsCapture& engine = SharedCapture();
            engine.SrcLeft(static_cast<double>(choice.Source.SrcLeft) + origin_.x);
            engine.SrcTop(static_cast<double>(choice.Source.SrcTop) + origin_.y);
            engine.SrcHeight(choice.Source.SrcHeight);
            engine.SrcWidth(choice.Source.SrcWidth);
            engine.CaptureMethod(1);
            // From the frozen picture the user sees 1:1, not the live screen: neither the band nor
            // its label can get into the picture, however late the drawing reaches the display.
            captured_ = engine.CaptureFromPicture(frozen_, origin_.x, origin_.y);
        }
    }
    if (step.Close) Close();
    else if (step.Label) ShowLabel(*step.Label);
}

void frmFullScreen::ShowLabel(const BandLabel& label) {
    WindowDC dc = WindowDC::Client(hwnd_);
    if (!dc.get()) return;
    const std::string text = BandSizeLabel(label.Inside);
    SelectedObject font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    const int width = extent.cx + 8, height = extent.cy + 4;
    // On the monitor under the pointer, so that the label never sits in a gap or off the edge.
    ScreenRect area{0, 0, screenWidth_, screenHeight_};
    int m = NearestMonitor(monitors_, label.PointerX + origin_.x, label.PointerY + origin_.y);
    if (m != kNoMonitor) {
        const ScreenRect& b = monitors_[static_cast<size_t>(m)].Bounds;
        area = {b.Left - origin_.x, b.Top - origin_.y, b.Right - origin_.x, b.Bottom - origin_.y};
    }
    const ScreenRect place = BandLabelPlace(label.PointerX, label.PointerY, width, height, area);
    MemoryDC mem(CreateCompatibleDC(dc.get()));
    labelUnder_.reset(CreateCompatibleBitmap(dc.get(), width, height));
    if (!mem || !labelUnder_) return;
    {
        SelectedObject saved(mem.get(), labelUnder_.get());
        BitBlt(mem.get(), 0, 0, width, height, dc.get(), place.Left, place.Top, SRCCOPY);
    }
    labelRect_ = place;
    // Dark text on a light box with a dark border: readable over any picture.
    RECT box{place.Left, place.Top, place.Right, place.Bottom};
    FillRect(dc.get(), &box, UniqueBrush(CreateSolidBrush(RGB(255, 255, 225))).get());
    FrameRect(dc.get(), &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int oldBk = SetBkMode(dc.get(), TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc.get(), RGB(0, 0, 0));
    TextOutA(dc.get(), place.Left + 4, place.Top + 2, text.c_str(), static_cast<int>(text.size()));
    SetTextColor(dc.get(), oldColour);
    SetBkMode(dc.get(), oldBk);
}

void frmFullScreen::HideLabel() {
    if (IsEmptyRect(labelRect_)) return;
    const ScreenRect r = labelRect_;
    labelRect_ = {};
    WindowDC dc = WindowDC::Client(hwnd_);
    if (!dc.get() || !labelUnder_) return;
    MemoryDC mem(CreateCompatibleDC(dc.get()));
    if (!mem) return;
    SelectedObject saved(mem.get(), labelUnder_.get());
    BitBlt(dc.get(), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, mem.get(), 0, 0, SRCCOPY);
}

void frmFullScreen::Invert(const RegionDraw& shape) {
    WindowDC dc = WindowDC::Client(hwnd_);
    if (!dc.get()) return;
    int oldRop = SetROP2(dc.get(), R2_NOT);
    int oldBk = SetBkMode(dc.get(), TRANSPARENT);
    SelectedObject pen(dc.get(), dotted_ ? dottedPen_.get() : solidPen_.get());
    if (shape.Shape == RegionDraw::Kind::Outline) {
        // Four inverted strips just inside the window's rectangle; drawn again, they are gone.
        const int w = shape.X2 - shape.X1, h = shape.Y2 - shape.Y1;
        const int t = std::min({kOutlineWidth, w / 2, h / 2});
        if (t <= 0) return;
        PatBlt(dc.get(), shape.X1, shape.Y1, w, t, DSTINVERT);
        PatBlt(dc.get(), shape.X1, shape.Y2 - t, w, t, DSTINVERT);
        PatBlt(dc.get(), shape.X1, shape.Y1 + t, t, h - 2 * t, DSTINVERT);
        PatBlt(dc.get(), shape.X2 - t, shape.Y1 + t, t, h - 2 * t, DSTINVERT);
    } else if (shape.Shape == RegionDraw::Kind::Crosshair) {
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
