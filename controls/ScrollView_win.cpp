#include "controls/ScrollView_win.h"

#include <algorithm>
#include <exception>

#include "controls/ScrollMath.h"
#include "controls/modWndProcEx_win.h"
#include "base/win/WindowThunk_win.h"

namespace plenvue {

namespace {

constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890";

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

}  // namespace

ScrollView::~ScrollView() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool ScrollView::Create(HWND parent, DWORD exStyle, int id) {
    RegisterWindowClass({kClassName, ControlWindowProc<ScrollView>});
    hwnd_ = CreateWindowExA(exStyle, kClassName, nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, 10, 10,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), this);
    if (!hwnd_) return false;
    if (!SubclassScrollView(hwnd_, ScrollViewWindowProc, this)) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
        return false;
    }
    WindowDC screen = WindowDC::Client(nullptr);
    int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    if (dpiX > 0) dpiX_ = dpiX;
    if (dpiY > 0) dpiY_ = dpiY;
    MeasureLineSteps();
    brush_.reset(CreateSolidBrush(FillColour()));
    // Shown only now, so that the first show reaches the subclassing and sets up the bars.
    ShowWindow(hwnd_, SW_SHOWNA);
    return true;
}

void ScrollView::MeasureLineSteps() {
    WindowDC dc = WindowDC::Client(hwnd_);
    SIZE s{};
    if (GetTextExtentPoint32A(dc.get(), kAlphabet, static_cast<int>(sizeof kAlphabet - 1), &s)) {
        lineStepX_ = std::max<int32_t>(1, HorizontalLineStep(s.cx));
        lineStepY_ = std::max<int32_t>(1, s.cy);
    }
}

COLORREF ScrollView::FillColour() const {
    if (backColor_ < 0) return GetSysColor(backColor_ & 0xFF);
    return static_cast<COLORREF>(backColor_);
}

void ScrollView::BackColor(int32_t colour) {
    if (colour == backColor_) return;
    backColor_ = colour;
    brush_.reset(CreateSolidBrush(FillColour()));
    if (view_ == 1) Render();
    else if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void ScrollView::SetPicture(const Picture& picture) {
    picture_ = picture;
    if (view_ & 1) View(view_);
}

void ScrollView::ShowDisabledScrollbars(int32_t flags) {
    showDisabled_ = flags;
    UpdateScrollBars(false);
}

void ScrollView::View(int32_t mode) {
    int32_t old = view_;
    view_ = mode;
    if (mode == 1) {
        contentW_ = contentH_ = 0;
        if (IPicture* p = picture_.get()) {
            OLE_XSIZE_HIMETRIC w = 0;
            OLE_YSIZE_HIMETRIC h = 0;
            if (SUCCEEDED(p->get_Width(&w)) && SUCCEEDED(p->get_Height(&h))) {
                contentW_ = ContentPixelsFromHimetric(w, dpiX_);
                contentH_ = ContentPixelsFromHimetric(h, dpiY_);
            }
        }
        Render();
    } else if (mode == 2) {
        // The child windows make up the content.
        int32_t right = 0, bottom = 0;
        for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!IsWindowVisible(c)) continue;
            RECT r{};
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
            right = std::max<int32_t>(right, r.right);
            bottom = std::max<int32_t>(bottom, r.bottom);
        }
        contentW_ = right;
        contentH_ = bottom;
        image_.reset();
        InvalidateRect(hwnd_, nullptr, TRUE);
    } else {
        contentW_ = contentH_ = 0;
        image_.reset();
        if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
    }
    UpdateScrollBars(true);
    if (ViewChange) ViewChange(mode, old);
}

void ScrollView::Render() {
    if (!hwnd_) return;
    busy_ = true;
    int w = std::max<int>(GetSystemMetrics(SM_CXSCREEN), contentW_);
    int h = std::max<int>(GetSystemMetrics(SM_CYSCREEN), contentH_);
    WindowDC dc = WindowDC::Client(hwnd_);
    image_.reset(CreateCompatibleBitmap(dc.get(), w, h));
    imageSize_ = image_ ? SIZE{w, h} : SIZE{0, 0};
    if (image_) {
        MemoryDC mem(CreateCompatibleDC(dc.get()));
        SelectedObject sel(mem.get(), image_.get());
        RECT all{0, 0, w, h};
        FillRect(mem.get(), &all, brush_.get());
        if (HBITMAP bmp = picture_.Bitmap()) {
            SIZE s = picture_.PixelSize();
            MemoryDC src(CreateCompatibleDC(dc.get()));
            SelectedObject selSrc(src.get(), bmp);
            BitBlt(mem.get(), 0, 0, s.cx, s.cy, src.get(), 0, 0, SRCCOPY);
        }
    }
    busy_ = false;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ScrollView::UpdateScrollBars(bool reset) {
    if (!hwnd_ || !shown_) return;
    bool wasBusy = busy_;
    busy_ = true;  // showing a bar resizes the client and comes back through WM_SIZE
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    bool needH = ScrollBarNeeded(rc.right, contentW_, showDisabled_, kAlwaysShowHorizontal);
    bool needV = ScrollBarNeeded(rc.bottom, contentH_, showDisabled_, kAlwaysShowVertical);
    ShowScrollBar(hwnd_, SB_HORZ, needH);
    ShowScrollBar(hwnd_, SB_VERT, needV);
    GetClientRect(hwnd_, &rc);
    auto setBar = [&](int bar, int32_t content, int32_t page, bool always) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | (reset ? SIF_POS : 0) | (always ? SIF_DISABLENOSCROLL : 0);
        si.nMin = 0;
        si.nMax = content;
        si.nPage = static_cast<UINT>(std::max<int32_t>(0, page));
        si.nPos = 0;
        SetScrollInfo(hwnd_, bar, &si, TRUE);
    };
    setBar(SB_HORZ, contentW_, rc.right, (showDisabled_ & kAlwaysShowHorizontal) != 0);
    setBar(SB_VERT, contentH_, rc.bottom, (showDisabled_ & kAlwaysShowVertical) != 0);
    int posX = GetScrollPos(hwnd_, SB_HORZ);
    int posY = GetScrollPos(hwnd_, SB_VERT);
    int32_t dx = PendingScroll(origin_.x, posX, reset);
    int32_t dy = PendingScroll(origin_.y, posY, reset);
    if (dx || dy) {
        ScrollWindowEx(hwnd_, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
        origin_.x -= dx;
        origin_.y -= dy;
    }
    UpdateWindow(hwnd_);
    busy_ = wasBusy;
}

void ScrollView::Scroll(int bar, int32_t request, int32_t trackPos) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(hwnd_, bar, &si)) return;
    ScrollBarState state{si.nMin, si.nMax, static_cast<int32_t>(si.nPage), si.nPos};
    bool horizontal = bar == SB_HORZ;
    std::optional<int32_t> target = ScrollTarget(state, request, horizontal ? lineStepX_ : lineStepY_, trackPos);
    if (!target || *target == si.nPos) return;
    int32_t by = ScrollContentsBy(si.nPos, *target);
    ScrollWindowEx(hwnd_, horizontal ? by : 0, horizontal ? 0 : by, nullptr, nullptr, nullptr, nullptr,
                   SW_INVALIDATE | SW_ERASE);
    if (horizontal) origin_.x -= by;
    else origin_.y -= by;
    si.fMask = SIF_POS;
    si.nPos = *target;
    SetScrollInfo(hwnd_, bar, &si, TRUE);
    UpdateWindow(hwnd_);
}

void ScrollView::Paint(HDC dc, const RECT& area) {
    RECT rc = area;
    if (image_) {
        MemoryDC mem(CreateCompatibleDC(dc));
        SelectedObject sel(mem.get(), image_.get());
        BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem.get(), rc.left + origin_.x,
               rc.top + origin_.y, SRCCOPY);
        // Whatever lies beyond the image (a client wider than the screen) gets the background.
        RECT right{std::max<LONG>(rc.left, imageSize_.cx - origin_.x), rc.top, rc.right, rc.bottom};
        if (right.left < right.right) FillRect(dc, &right, brush_.get());
        RECT below{rc.left, std::max<LONG>(rc.top, imageSize_.cy - origin_.y), rc.right, rc.bottom};
        if (below.top < below.bottom) FillRect(dc, &below, brush_.get());
        return;
    }
    FillRect(dc, &rc, brush_.get());
    // Without a persistent image (too large to allocate) the picture is drawn straight from its bitmap.
    if (view_ == 1) {
        if (HBITMAP bmp = picture_.Bitmap()) {
            SIZE s = picture_.PixelSize();
            MemoryDC src(CreateCompatibleDC(dc));
            SelectedObject selSrc(src.get(), bmp);
            BitBlt(dc, -origin_.x, -origin_.y, s.cx, s.cy, src.get(), 0, 0, SRCCOPY);
        }
    }
}

LRESULT ScrollView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Paint(dc, ps.rcPaint);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(hwnd_);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (auto k = ScrollRequestForKey(static_cast<int32_t>(wParam), GetKeyState(VK_CONTROL) < 0)) {
            Scroll(k->Vertical ? SB_VERT : SB_HORZ, k->Request, 0);
            return 0;
        }
        break;
    case WM_DESTROY: {
        HWND self = hwnd_;
        SetWindowLongPtrW(self, GWLP_USERDATA, 0);  // later messages go straight to the default
        image_.reset();
        hwnd_ = nullptr;
        return DefWindowProcW(self, msg, wParam, lParam);
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT ScrollView::ViewWindowMessage(WNDPROC old, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DESTROY: {
        LRESULT result = CallWindowProcW(old, window, msg, wParam, lParam);
        UnsubclassScrollView(window);
        return result;
    }
    case WM_SIZE: {
        LRESULT result = CallWindowProcW(old, window, msg, wParam, lParam);
        if (!busy_ && view_ != 0) {
            busy_ = true;
            UpdateScrollBars(false);
            busy_ = false;
        }
        return result;
    }
    case WM_SHOWWINDOW: {
        LRESULT result = CallWindowProcW(old, window, msg, wParam, lParam);
        if (wParam && !shown_) {
            shown_ = true;
            UpdateScrollBars(true);
        }
        return result;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        int bar = msg == WM_HSCROLL ? SB_HORZ : SB_VERT;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(window, bar, &si);
        Scroll(bar, LOWORD(wParam), si.nTrackPos);
        return 0;
    }
    default:
        return CallWindowProcW(old, window, msg, wParam, lParam);
    }
}

}  // namespace plenvue
