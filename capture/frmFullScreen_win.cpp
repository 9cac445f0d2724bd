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
#include "base/win/Wide_win.h"
#include "base/MessageTable.h"

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
            pointer_ = {cursor.x - origin_.x, cursor.y - origin_.y};
            havePointer_ = true;
            Apply(selector_.MouseMove(pointer_.x, pointer_.y));
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
        if (msg.message == WM_KEYDOWN &&
            (msg.wParam == VK_LEFT || msg.wParam == VK_RIGHT || msg.wParam == VK_UP || msg.wParam == VK_DOWN)) {
            const int step = (GetKeyState(VK_SHIFT) & 0x8000) ? 10 : 1;
            const int dx = msg.wParam == VK_LEFT ? -step : msg.wParam == VK_RIGHT ? step : 0;
            const int dy = msg.wParam == VK_UP ? -step : msg.wParam == VK_DOWN ? step : 0;
            if (!GuardedCall(hwnd_, false, [&] {
                    MovePointer(dx, dy);
                    return true;
                }))
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
        pointer_ = {x, y};
        havePointer_ = true;
        Apply(selector_.MouseMove(x, y));
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd_);
        pointer_ = {x, y};
        havePointer_ = true;
        Apply(selector_.ButtonDown(true, x, y));
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) ReleaseCapture();
        pointer_ = {x, y};
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
    // The overlays go first (in the reverse order of showing): the shapes are inverted under them,
    // and they come back over the result.
    Restore(panel_);
    Restore(hint_);
    for (const RegionDraw& shape : step.Draw) Invert(shape);
    if (step.SwitchToDotted) dotted_ = true;
    if (step.Label) band_ = step.Label->Inside;
    if (step.Choice) {
        const RegionChoice& choice = *step.Choice;
        if (choice.TooSmall) {
            messageShown_ = true;
            ShowMessageBox(hwnd_, Msg(10003), kExeName, MB_ICONERROR);
            messageShown_ = false;
        } else {
            // The region in desktop coordinates: the window starts at the desktop's corner.
            clsCapture& engine = SharedCapture();
            engine.SrcLeft(static_cast<double>(choice.Source.SrcLeft) + origin_.x);
            engine.SrcTop(static_cast<double>(choice.Source.SrcTop) + origin_.y);
            engine.SrcHeight(choice.Source.SrcHeight);
            engine.SrcWidth(choice.Source.SrcWidth);
            engine.CaptureMethod(1);
            // From the frozen picture the user sees 1:1, not the live screen: nothing drawn over
            // it can get into the picture, however late the drawing reaches the display.
            captured_ = engine.CaptureFromPicture(frozen_, origin_.x, origin_.y);
        }
    }
    if (step.Close) {
        Close();
        return;
    }
    ShowHint();
    ShowPanel();
}

void frmFullScreen::MovePointer(int dx, int dy) {
    POINT p{};
    if (!GetCursorPos(&p)) return;
    // During a drag the button is still held, so the move carries the band's free corner along.
    SetCursorPos(p.x + dx, p.y + dy);
    GetCursorPos(&p);  // the system keeps the pointer on the desktop
    pointer_ = {p.x - origin_.x, p.y - origin_.y};
    havePointer_ = true;
    Apply(selector_.MouseMove(pointer_.x, pointer_.y));
}

bool frmFullScreen::SaveUnder(HDC dc, Overlay& o, const ScreenRect& rect) {
    const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
    MemoryDC mem(CreateCompatibleDC(dc));
    o.under.reset(CreateCompatibleBitmap(dc, w, h));
    if (!mem || !o.under) return false;
    SelectedObject saved(mem.get(), o.under.get());
    BitBlt(mem.get(), 0, 0, w, h, dc, rect.Left, rect.Top, SRCCOPY);
    o.rect = rect;
    return true;
}

void frmFullScreen::Restore(Overlay& o) {
    if (IsEmptyRect(o.rect)) return;
    const ScreenRect r = o.rect;
    o.rect = {};
    WindowDC dc = WindowDC::Client(hwnd_);
    if (!dc.get() || !o.under) return;
    MemoryDC mem(CreateCompatibleDC(dc.get()));
    if (!mem) return;
    SelectedObject saved(mem.get(), o.under.get());
    BitBlt(dc.get(), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, mem.get(), 0, 0, SRCCOPY);
}

ScreenRect frmFullScreen::MonitorArea(int x, int y) const {
    int m = NearestMonitor(monitors_, x + origin_.x, y + origin_.y);
    if (m == kNoMonitor) return {0, 0, screenWidth_, screenHeight_};
    const ScreenRect& b = monitors_[static_cast<size_t>(m)].Bounds;
    return {b.Left - origin_.x, b.Top - origin_.y, b.Right - origin_.x, b.Bottom - origin_.y};
}

void frmFullScreen::ShowHint() {
    if (!havePointer_) return;
    WindowDC dc = WindowDC::Client(hwnd_);
    if (!dc.get()) return;
    const std::wstring text = Widen(Msg(kMsgRegionHint));
    SelectedObject font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    const ScreenRect place = HintPlace(pointer_.x, pointer_.y, extent.cx + 12, extent.cy + 6, MonitorArea(pointer_.x, pointer_.y));
    if (!SaveUnder(dc.get(), hint_, place)) return;
    RECT box{place.Left, place.Top, place.Right, place.Bottom};
    FillRect(dc.get(), &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int oldBk = SetBkMode(dc.get(), TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc.get(), RGB(255, 255, 255));
    TextOutW(dc.get(), place.Left + 6, place.Top + 3, text.c_str(), static_cast<int>(text.size()));
    SetTextColor(dc.get(), oldColour);
    SetBkMode(dc.get(), oldBk);
}

void frmFullScreen::ShowPanel() {
    if (!havePointer_ || !frozen_.Bitmap()) return;
    WindowDC dc = WindowDC::Client(hwnd_);
    if (!dc.get()) return;
    MemoryDC picture(CreateCompatibleDC(dc.get()));
    if (!picture) return;
    SelectedObject frozen(picture.get(), frozen_.Bitmap());
    constexpr int kRadius = 7, kZoom = 6, kSide = (2 * kRadius + 1) * kZoom;
    const int px = std::clamp<int>(pointer_.x, 0, std::max(screenWidth_ - 1, 0));
    const int py = std::clamp<int>(pointer_.y, 0, std::max(screenHeight_ - 1, 0));
    const COLORREF c = GetPixel(picture.get(), px, py);
    std::vector<std::string> lines{std::to_string(px + origin_.x) + ", " + std::to_string(py + origin_.y),
                                   ColourHex(GetRValue(c), GetGValue(c), GetBValue(c))};
    if (selector_.State() == 2 && band_) lines.push_back(BandSizeLabel(*band_));
    SelectedObject font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    int textWidth = 0, lineHeight = 0;
    for (const std::string& line : lines) {
        SIZE e{};
        GetTextExtentPoint32A(dc.get(), line.c_str(), static_cast<int>(line.size()), &e);
        textWidth = std::max<int>(textWidth, e.cx);
        lineHeight = std::max<int>(lineHeight, e.cy);
    }
    const int width = std::max(textWidth, kSide) + 8;
    const int textHeight = static_cast<int>(lines.size()) * lineHeight + 4;
    const int height = textHeight + kSide + 4;
    const ScreenRect place = BandLabelPlace(pointer_.x, pointer_.y, width, height, MonitorArea(pointer_.x, pointer_.y));
    if (!SaveUnder(dc.get(), panel_, place)) return;
    // Dark text on a light box with a dark border: readable over any picture.
    RECT box{place.Left, place.Top, place.Right, place.Bottom};
    FillRect(dc.get(), &box, UniqueBrush(CreateSolidBrush(RGB(255, 255, 225))).get());
    FrameRect(dc.get(), &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int oldBk = SetBkMode(dc.get(), TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc.get(), RGB(0, 0, 0));
    for (size_t i = 0; i < lines.size(); ++i)
        TextOutA(dc.get(), place.Left + 4, place.Top + 2 + static_cast<int>(i) * lineHeight, lines[i].c_str(),
                 static_cast<int>(lines[i].size()));
    SetTextColor(dc.get(), oldColour);
    SetBkMode(dc.get(), oldBk);
    // The pixels around the pointer, from the frozen picture, each a square of kZoom.
    const ScreenRect src = MagnifierSource(px, py, kRadius, screenWidth_, screenHeight_);
    const int mx = place.Left + (width - kSide) / 2, my = place.Top + textHeight;
    SetStretchBltMode(dc.get(), COLORONCOLOR);
    StretchBlt(dc.get(), mx, my, (src.Right - src.Left) * kZoom, (src.Bottom - src.Top) * kZoom, picture.get(),
               src.Left, src.Top, src.Right - src.Left, src.Bottom - src.Top, SRCCOPY);
    // The cross: the pointer's pixel framed, with lines out to the magnifier's edges.
    const int cx = mx + (px - src.Left) * kZoom, cy = my + (py - src.Top) * kZoom;
    const int oldRop = SetROP2(dc.get(), R2_NOT);
    SelectedObject pen(dc.get(), solidPen_.get());
    SelectedObject brush(dc.get(), GetStockObject(NULL_BRUSH));
    Rectangle(dc.get(), cx - 1, cy - 1, cx + kZoom + 1, cy + kZoom + 1);
    MoveToEx(dc.get(), mx, cy + kZoom / 2, nullptr);
    LineTo(dc.get(), cx - 1, cy + kZoom / 2);
    MoveToEx(dc.get(), cx + kZoom + 1, cy + kZoom / 2, nullptr);
    LineTo(dc.get(), mx + kSide, cy + kZoom / 2);
    MoveToEx(dc.get(), cx + kZoom / 2, my, nullptr);
    LineTo(dc.get(), cx + kZoom / 2, cy - 1);
    MoveToEx(dc.get(), cx + kZoom / 2, cy + kZoom + 1, nullptr);
    LineTo(dc.get(), cx + kZoom / 2, my + kSide);
    SetROP2(dc.get(), oldRop);
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
