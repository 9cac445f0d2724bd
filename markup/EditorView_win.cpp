#include "markup/EditorView_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "base/win/WindowThunk_win.h"
#include "markup/ViewRender.h"

namespace plenvue::markup {

namespace {

constexpr int32_t kLineStep = 16;
constexpr double kGripPixels = 4;  // how far, in screen pixels, a handle or line reaches for the pointer

LPCSTR CursorResource(CursorKind kind) {
    switch (kind) {
    case CursorKind::Cross: return IDC_CROSS;
    case CursorKind::Move: return IDC_SIZEALL;
    case CursorKind::SizeNS: return IDC_SIZENS;
    case CursorKind::SizeWE: return IDC_SIZEWE;
    case CursorKind::SizeNWSE: return IDC_SIZENWSE;
    case CursorKind::SizeNESW: return IDC_SIZENESW;
    case CursorKind::IBeam: return IDC_IBEAM;
    default: return IDC_ARROW;
    }
}

Modifiers ModifiersOf(WPARAM wParam) {
    Modifiers m;
    m.shift = (wParam & MK_SHIFT) != 0;
    m.ctrl = (wParam & MK_CONTROL) != 0;
    return m;
}

RECT ToRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

EditorView::~EditorView() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool EditorView::Create(HWND parent, int id, const RECT& place) {
    RegisterWindowClass({kClassName, ControlWindowProc<EditorView>, nullptr, nullptr, CS_DBLCLKS});
    hwnd_ = CreateWindowExA(0, kClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL,
                            place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
}

void EditorView::Attach(MarkupDocument* doc) {
    doc_ = doc;
    controller_ = doc ? std::make_unique<EditorController>(*doc) : nullptr;
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    zoom_.ResetForPicture(doc ? doc->Width() : 0, doc ? doc->Height() : 0, rc.right, rc.bottom);
    UpdateScrollBars();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
    if (ZoomChanged) ZoomChanged();
}

void EditorView::Refresh() {
    if (controller_) controller_->Refresh();
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    zoom_.SetSizes(doc_ ? doc_->Width() : 0, doc_ ? doc_->Height() : 0, rc.right, rc.bottom);
    UpdateScrollBars();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void EditorView::Fit() {
    zoom_.Fit();
    Refresh();
    if (ZoomChanged) ZoomChanged();
}

void EditorView::Actual() {
    zoom_.Actual();
    Refresh();
    if (ZoomChanged) ZoomChanged();
}

void EditorView::Step(bool in) {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    zoom_.StepAbout(in, rc.right / 2.0, rc.bottom / 2.0);
    Refresh();
    if (ZoomChanged) ZoomChanged();
}

void EditorView::Background(COLORREF colour) {
    background_ = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

Point EditorView::PictureAt(LPARAM lParam) const {
    // A press on client pixel (x, y) at 100 % is at the corner of picture pixel (x, y), where a box
    // dragged from it starts.
    return zoom_.ToPicture(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

double EditorView::Tolerance() const { return kGripPixels / zoom_.Scale(); }

bool EditorView::EnsureBuffer(int32_t w, int32_t h) {
    if (buffer_ && bufferView_.width == w && bufferView_.height == h) return true;
    bufferDc_.reset();
    buffer_.reset();
    bufferView_ = PixelView{};
    if (w <= 0 || h <= 0) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // rows from the top, as the view draws them
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    buffer_.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    bufferDc_.reset(CreateCompatibleDC(nullptr));
    if (!buffer_ || !bufferDc_ || !bits) {
        bufferDc_.reset();
        buffer_.reset();
        return false;
    }
    SelectObject(bufferDc_.get(), buffer_.get());
    bufferView_ = PixelView{static_cast<uint8_t*>(bits), static_cast<ptrdiff_t>((w * 3 + 3) & ~3), w, h};
    return true;
}

void EditorView::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    if (EnsureBuffer(rc.right, rc.bottom)) {
        const PixelRect clip = Intersect({ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom},
                                         bufferView_.Bounds());
        GdiFlush();  // earlier overlay drawing must be in the bits before they are written over
        if (doc_ && !doc_->Empty() && controller_) {
            const std::optional<MarkupObject>& drawing = controller_->Drawing();
            RenderView(*doc_, zoom_, controller_->Overrides(), drawing ? &*drawing : nullptr, bufferView_, clip,
                       background_);
        } else {
            for (int32_t y = clip.top; y < clip.bottom; ++y)
                for (int32_t x = clip.left; x < clip.right; ++x) std::copy(background_.begin(), background_.end(), bufferView_.Pixel(x, y));
        }
        IntersectClipRect(bufferDc_.get(), clip.left, clip.top, clip.right, clip.bottom);
        DrawOverlay(bufferDc_.get());
        SelectClipRgn(bufferDc_.get(), nullptr);
        BitBlt(dc, clip.left, clip.top, clip.Width(), clip.Height(), bufferDc_.get(), clip.left, clip.top, SRCCOPY);
    }
    EndPaint(hwnd_, &ps);
}

void EditorView::DrawOverlay(HDC dc) {
    if (!controller_) return;
    UniquePen dotted(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
    UniquePen solid(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    SelectedObject pen(dc, dotted.get());
    SelectedObject brush(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    auto frame = [&](const PixelRect& picture) {
        const PixelRect r = zoom_.ClientRectOf(picture);
        Rectangle(dc, r.left - 1, r.top - 1, r.right + 1, r.bottom + 1);
    };
    for (const PixelRect& box : controller_->SelectionBoxes()) frame(box);
    if (auto band = controller_->RubberBand()) frame(*band);
    if (auto crop = controller_->CropRect()) frame(*crop);
    SelectObject(dc, solid.get());
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    for (const HandleSpot& h : controller_->Handles()) {
        const Point c = zoom_.ToClient(h.at.x, h.at.y);
        const int32_t x = static_cast<int32_t>(std::floor(c.x)) - kHandlePixels / 2;
        const int32_t y = static_cast<int32_t>(std::floor(c.y)) - kHandlePixels / 2;
        Rectangle(dc, x, y, x + kHandlePixels, y + kHandlePixels);
    }
}

void EditorView::Flush() {
    if (!controller_) return;
    // The margin covers the handles and frames, which keep their size in client pixels.
    const int32_t margin = static_cast<int32_t>(std::ceil((kHandlePixels / 2.0 + 2) / zoom_.Scale())) + 1;
    const PixelRect dirty = controller_->TakeDirty(margin);
    controller_->TakeTextRequest();  // the in-place text box comes with the main window's editor
    if (dirty.Empty()) return;
    RECT r = ToRect(zoom_.ClientRectOf(dirty));
    InflateRect(&r, 2, 2);
    InvalidateRect(hwnd_, &r, FALSE);
}

void EditorView::AfterInput(size_t stepsBefore) {
    Flush();
    if (doc_ && doc_->StepCount() != stepsBefore && StepMade) StepMade();
}

void EditorView::UpdateScrollBars() {
    if (!hwnd_) return;
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = std::max(0, zoom_.ContentW() - 1);
    si.nPage = static_cast<UINT>(std::max<LONG>(0, rc.right));
    si.nPos = zoom_.ScrollX();
    SetScrollInfo(hwnd_, SB_HORZ, &si, TRUE);
    si.nMax = std::max(0, zoom_.ContentH() - 1);
    si.nPage = static_cast<UINT>(std::max<LONG>(0, rc.bottom));
    si.nPos = zoom_.ScrollY();
    SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
}

void EditorView::OnScroll(int bar, WORD request) {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &si);
    const int32_t page = bar == SB_HORZ ? rc.right : rc.bottom;
    int32_t pos = bar == SB_HORZ ? zoom_.ScrollX() : zoom_.ScrollY();
    switch (request) {
    case SB_LINEUP: pos -= kLineStep; break;
    case SB_LINEDOWN: pos += kLineStep; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;  // 32-bit, unlike the message's 16
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = INT32_MAX / 2; break;
    default: return;
    }
    if (bar == SB_HORZ) zoom_.ScrollTo(pos, zoom_.ScrollY());
    else zoom_.ScrollTo(zoom_.ScrollX(), pos);
    UpdateScrollBars();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void EditorView::OnKey(WPARAM key) {
    if (!controller_) return;
    const size_t before = doc_ ? doc_->StepCount() : 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    const int32_t step = shift ? 10 : 1;
    switch (key) {
    case VK_ESCAPE: controller_->Cancel(); break;
    case VK_RETURN: controller_->Enter(); break;
    case VK_DELETE: controller_->DeleteSelection(); break;
    case VK_LEFT: controller_->Nudge(-step, 0); break;
    case VK_RIGHT: controller_->Nudge(step, 0); break;
    case VK_UP: controller_->Nudge(0, -step); break;
    case VK_DOWN: controller_->Nudge(0, step); break;
    default:
        if (ctrl && key == 'A') controller_->SelectAll();
        else if (!ctrl && GetKeyState(VK_MENU) >= 0)
            if (auto tool = ToolForLetter(static_cast<char>(key))) controller_->SetTool(*tool);
        break;
    }
    AfterInput(before);
}

LRESULT EditorView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;  // every pixel comes from the back buffer
    case WM_SIZE: {
        zoom_.SetSizes(doc_ ? doc_->Width() : 0, doc_ ? doc_->Height() : 0, LOWORD(lParam), HIWORD(lParam));
        UpdateScrollBars();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    }
    case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd_, &p);
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
            zoom_.StepAbout(delta > 0, p.x, p.y);
            if (ZoomChanged) ZoomChanged();
        } else {
            zoom_.ScrollTo(zoom_.ScrollX(), zoom_.ScrollY() - delta * 3 * kLineStep / WHEEL_DELTA);
        }
        UpdateScrollBars();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN: OnKey(wParam); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && controller_) {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(hwnd_, &p);
            const Modifiers m{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0};
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(CursorResource(controller_->CursorAt(zoom_.ToPicture(p.x, p.y), m, Tolerance())))));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus(hwnd_);
        if (!controller_) return 0;
        const size_t before = doc_->StepCount();
        if (msg == WM_LBUTTONDBLCLK) controller_->DoubleClick(PictureAt(lParam), Tolerance());
        else controller_->Press(PictureAt(lParam), ModifiersOf(wParam), Tolerance());
        if (controller_->Dragging()) SetCapture(hwnd_);
        AfterInput(before);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (controller_ && controller_->Dragging()) {
            const size_t before = doc_->StepCount();
            controller_->Move(PictureAt(lParam), ModifiersOf(wParam));
            AfterInput(before);
        }
        return 0;
    case WM_LBUTTONUP:
        if (controller_ && controller_->Dragging()) {
            const size_t before = doc_->StepCount();
            controller_->Release(PictureAt(lParam), ModifiersOf(wParam));
            AfterInput(before);
        }
        if (GetCapture() == hwnd_) ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        // Capture taken away mid-drag (a dialog, Alt+Tab): the drag is dropped, nothing is made.
        if (controller_ && controller_->Dragging() && reinterpret_cast<HWND>(lParam) != hwnd_) {
            controller_->Cancel();
            Flush();
        }
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace plenvue::markup
