#include "controls/Light3D_win.h"

#include <windowsx.h>

#include "controls/PreviewGeometry.h"
#include "base/win/Handles_win.h"
#include "base/win/WindowThunk_win.h"

namespace plenvue {

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

void FillLine(HDC dc, const EdgeLine& l, HBRUSH brush) {
    RECT r{l.X1, l.Y1, l.X2 + 1, l.Y2 + 1};
    FillRect(dc, &r, brush);
}

}  // namespace

void DrawLight3DEdges(HDC dc, int width, int height, bool sunken) {
    if (width <= 0 || height <= 0) return;
    auto edges = Light3DEdges(width, height);
    HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    HBRUSH topLeft = sunken ? shadow : light;
    HBRUSH bottomRight = sunken ? light : shadow;
    FillLine(dc, edges[0], topLeft);
    FillLine(dc, edges[1], topLeft);
    FillLine(dc, edges[2], bottomRight);
    FillLine(dc, edges[3], bottomRight);
}

Light3D::~Light3D() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Light3D::Create(HWND parent, int x, int y, int width, int height, DWORD style) {
    if (hwnd_) return true;
    RegisterWindowClass({kClassName, ControlWindowProc<Light3D>, IDC_ARROW, nullptr, CS_DBLCLKS});
    hwnd_ = CreateWindowExA(0, kClassName, nullptr, style | WS_CLIPSIBLINGS, x, y, width, height, parent,
                            nullptr, Instance(), this);
    return hwnd_ != nullptr;
}

void Light3D::Style(bool sunken) {
    if (sunken == sunken_) return;
    sunken_ = sunken;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Light3D::BackColor(COLORREF colour) {
    back_ = colour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Light3D::ForeColor(COLORREF colour) {
    fore_ = colour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

bool Light3D::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void Light3D::Enabled(bool on) {
    if (hwnd_) EnableWindow(hwnd_, on);
}

void Light3D::BackStyle(int style) {
    backStyle_ = style;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Light3D::SetPicture(const Picture& picture) {
    picture_ = picture;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Light3D::Font(HFONT font) {
    font_ = font;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Light3D::Cls() {
    points_.clear();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Light3D::PSet(int x, int y, COLORREF colour) {
    if (autoRedraw_) {
        points_.push_back({x, y, colour});
        if (hwnd_) {
            RECT r{x, y, x + 1, y + 1};
            InvalidateRect(hwnd_, &r, FALSE);
        }
    } else if (hwnd_) {
        WindowDC dc = WindowDC::Client(hwnd_);
        SetPixel(dc.get(), x, y, colour);
    }
}

void Light3D::Draw(HDC dc) const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    if (backStyle_ != 0) {
        UniqueBrush brush(CreateSolidBrush(back_));
        FillRect(dc, &rc, brush.get());
    }
    if (HBITMAP bitmap = picture_.Bitmap()) {
        SIZE s = picture_.PixelSize();
        MemoryDC source(CreateCompatibleDC(dc));
        SelectedObject selected(source.get(), bitmap);
        BitBlt(dc, 0, 0, s.cx, s.cy, source.get(), 0, 0, SRCCOPY);
    }
    for (const Point& p : points_) SetPixel(dc, p.X, p.Y, p.Colour);
    SelectedObject font(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, fore_);
    SetBkMode(dc, TRANSPARENT);
    if (Content) Content(dc, rc);
    DrawLight3DEdges(dc, rc.right, rc.bottom, sunken_);
}

void Light3D::OnButton(UINT msg, int button, LPARAM lParam) {
    int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // The release must come back here even when the pointer has left the panel.
        SetCapture(hwnd_);
        if (button == 1) pressed_ = true;
        if (MouseDown) MouseDown(button, x, y);
        break;
    default: {
        bool click = button == 1 && pressed_;
        if (button == 1) pressed_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
        RECT rc{};
        GetClientRect(hwnd_, &rc);
        POINT pt{x, y};
        if (MouseUp) MouseUp(button, x, y);
        if (click && PtInRect(&rc, pt) && Click) Click();
        break;
    }
    }
}

LRESULT Light3D::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
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
        // The edges follow the size: the right and bottom lines move with it.
        InvalidateRect(hwnd_, nullptr, FALSE);
        if (Resize) Resize();
        return 0;
    case WM_LBUTTONDOWN: OnButton(msg, 1, lParam); return 0;
    case WM_LBUTTONUP: OnButton(msg, 1, lParam); return 0;
    case WM_RBUTTONDOWN: OnButton(msg, 2, lParam); return 0;
    case WM_RBUTTONUP: OnButton(msg, 2, lParam); return 0;
    case WM_MBUTTONDOWN: OnButton(msg, 4, lParam); return 0;
    case WM_MBUTTONUP: OnButton(msg, 4, lParam); return 0;
    case WM_LBUTTONDBLCLK:
        if (DblClick) DblClick();
        OnButton(WM_LBUTTONDOWN, 1, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace plenvue
