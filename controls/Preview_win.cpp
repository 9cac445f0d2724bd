#include "controls/Preview_win.h"

#include "controls/Light3D_win.h"
#include "base/win/WindowThunk_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

HFONT CaptionFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

}  // namespace

Preview::~Preview() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Preview::Create(HWND parent, int x, int y, int width, int height, DWORD style) {
    if (hwnd_) return true;
    RegisterWindowClass({kClassName, ControlWindowProc<Preview>});
    WindowDC screen = WindowDC::Client(nullptr);
    int dpiX = GetDeviceCaps(screen.get(), LOGPIXELSX);
    int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    if (dpiX > 0) twipsX_ = 1440 / dpiX;
    if (dpiY > 0) twipsY_ = 1440 / dpiY;
    {
        SelectedObject font(screen.get(), CaptionFont());
        TEXTMETRICA tm{};
        int lineHeight = GetTextMetricsA(screen.get(), &tm) ? tm.tmHeight : 13;
        parts_.Label.Height = (lineHeight + 2) * twipsY_;
    }
    // Created at zero size so that the first real size runs the resize rule.
    hwnd_ = CreateWindowExA(0, kClassName, nullptr, style | WS_CLIPSIBLINGS, x, y, 0, 0, parent, nullptr,
                            Instance(), this);
    if (!hwnd_) return false;
    MoveWindow(hwnd_, x, y, width, height, FALSE);
    return true;
}

void Preview::Changed() {
    PropertyChanged = true;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Preview::SetPicture(const Picture& picture) {
    picture_ = picture;
    Changed();
}

void Preview::Caption(const std::string& text) {
    caption_ = text;
    Changed();
}

void Preview::BackColor(COLORREF colour) {
    back_ = colour;
    Changed();
}

void Preview::ForeColor(COLORREF colour) {
    fore_ = colour;
    Changed();
}

void Preview::PreviewBorder(bool on) {
    border_ = on;
    Changed();
}

void Preview::Alignment(int alignment) {
    alignment_ = alignment;
    Changed();
}

void Preview::FontBold(bool on) {
    bold_ = on;
    FontChanged();
}

void Preview::FontItalic(bool on) {
    italic_ = on;
    FontChanged();
}

void Preview::FontName(const std::string& name) {
    fontName_ = name;
    FontChanged();
}

void Preview::FontChanged() {
    font_.reset();
    if (bold_ || italic_ || !fontName_.empty()) {
        LOGFONTA lf{};
        GetObjectA(CaptionFont(), sizeof lf, &lf);
        if (!fontName_.empty()) lstrcpynA(lf.lfFaceName, fontName_.c_str(), LF_FACESIZE);
        lf.lfWeight = bold_ ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = italic_ ? TRUE : FALSE;
        font_.reset(CreateFontIndirectA(&lf));
    }
    Changed();
}

bool Preview::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void Preview::Enabled(bool on) {
    if (hwnd_) EnableWindow(hwnd_, on);
    PropertyChanged = true;
}

bool Preview::Visible() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE); }

void Preview::Visible(bool on) {
    if (hwnd_) ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE);
}

int Preview::Top() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r.top;
}

void Preview::Top(int y) {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(hwnd_, nullptr, r.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Preview::ImageRect() const {
    const TwipRect& t = parts_.Image;
    return {t.Left / twipsX_, t.Top / twipsY_, (t.Left + t.Width) / twipsX_, (t.Top + t.Height) / twipsY_};
}

RECT Preview::LabelRect() const {
    const TwipRect& t = parts_.Label;
    return {t.Left / twipsX_, t.Top / twipsY_, (t.Left + t.Width) / twipsX_, (t.Top + t.Height) / twipsY_};
}

void Preview::OnSize(int width, int height) {
    parts_ = PreviewResize(width * twipsX_, height * twipsY_, parts_);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Preview::Draw(HDC dc) const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    UniqueBrush brush(CreateSolidBrush(back_));
    FillRect(dc, &rc, brush.get());
    RECT image = ImageRect();
    if (border_) FrameRect(dc, &image, GetSysColorBrush(COLOR_WINDOWFRAME));
    if (HBITMAP bitmap = picture_.Bitmap()) {
        SIZE s = picture_.PixelSize();
        PixelSize fit = FitInto(s.cx, s.cy, image.right - image.left, image.bottom - image.top);
        if (fit.Width > 0) {
            int x = image.left + (image.right - image.left - fit.Width) / 2;
            int y = image.top + (image.bottom - image.top - fit.Height) / 2;
            MemoryDC source(CreateCompatibleDC(dc));
            SelectedObject selected(source.get(), bitmap);
            if (fit.Width == s.cx && fit.Height == s.cy) {
                BitBlt(dc, x, y, fit.Width, fit.Height, source.get(), 0, 0, SRCCOPY);
            } else {
                int oldMode = SetStretchBltMode(dc, HALFTONE);
                SetBrushOrgEx(dc, 0, 0, nullptr);
                StretchBlt(dc, x, y, fit.Width, fit.Height, source.get(), 0, 0, s.cx, s.cy, SRCCOPY);
                SetStretchBltMode(dc, oldMode);
            }
        }
    }
    RECT label = LabelRect();
    SelectedObject font(dc, font_ ? font_.get() : CaptionFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fore_);
    UINT align = alignment_ == 0 ? DT_LEFT : alignment_ == 1 ? DT_RIGHT : DT_CENTER;
    std::wstring caption = Widen(caption_);
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &label,
              align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    DrawLight3DEdges(dc, rc.right, rc.bottom, false);
}

LRESULT Preview::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Draw(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Draw(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(hwnd_);
        pressed_ = true;
        return 0;
    case WM_LBUTTONUP: {
        bool click = pressed_;
        pressed_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
        RECT rc{};
        GetClientRect(hwnd_, &rc);
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        // The handler may reopen a file and even clear the history: nothing of this item after it.
        if (click && PtInRect(&rc, pt) && Click) {
            auto handler = Click;
            handler();
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    case WM_CONTEXTMENU:
        if (ContextMenu) {
            auto handler = ContextMenu;
            handler(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace plenvue
