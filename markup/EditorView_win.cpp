#include "markup/EditorView_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "base/win/WindowThunk_win.h"
#include "base/win/Wide_win.h"
#include "markup/TextPainter_win.h"
#include "markup/ViewRender.h"

namespace plenvue::markup {

namespace {

constexpr int32_t kLineStep = 16;
constexpr int kTextBoxId = 1;
// Posted by the text box: its text is to end (wParam 1) as typed.
constexpr UINT kMsgEndText = WM_APP + 7;
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

EditorView::EditorView() {
    for (int i = 0; i < kToolCount; ++i) {
        const auto tool = static_cast<Tool>(i);
        styles_[static_cast<size_t>(i)] = DefaultObject(TypeOfTool(tool).value_or(ObjectType::Rect));
    }
}

EditorView::~EditorView() {
    textKeys_.Reset();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool EditorView::Create(HWND parent, int id, const RECT& place, DWORD exStyle) {
    RegisterWindowClass({kClassName, ControlWindowProc<EditorView>, nullptr, nullptr, CS_DBLCLKS});
    hwnd_ = CreateWindowExA(exStyle, kClassName, nullptr,
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN,
                            place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
}

void EditorView::Attach(MarkupDocument* doc) {
    // A text still open belongs to the picture going away; the caller has already replaced it.
    EndText(false);
    doc_ = doc;
    controller_ = doc ? std::make_unique<EditorController>(*doc) : nullptr;
    if (controller_) {
        for (int i = 0; i < kToolCount; ++i) controller_->SetStyle(static_cast<Tool>(i), styles_[static_cast<size_t>(i)]);
        controller_->SetTool(tool_ == Tool::Crop ? Tool::Select : tool_);
    }
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    shownW_ = doc ? doc->Width() : 0;
    shownH_ = doc ? doc->Height() : 0;
    zoom_.ResetForPicture(shownW_, shownH_, rc.right, rc.bottom);
    UpdateScrollBars();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
    ReportCrop();
    if (controller_ && controller_->CurrentTool() != tool_) {
        tool_ = controller_->CurrentTool();
        if (ToolChanged) ToolChanged();
    }
    if (ZoomChanged) ZoomChanged();
}

void EditorView::Refresh() {
    if (controller_) controller_->Refresh();
    RECT rc{};
    if (hwnd_) GetClientRect(hwnd_, &rc);
    shownW_ = doc_ ? doc_->Width() : 0;
    shownH_ = doc_ ? doc_->Height() : 0;
    zoom_.SetSizes(shownW_, shownH_, rc.right, rc.bottom);
    UpdateScrollBars();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void EditorView::SetTool(Tool tool) {
    EndText(true);
    const bool changed = tool != tool_;
    tool_ = tool;
    if (controller_) {
        controller_->SetTool(tool);
        Flush();
        ReportCrop();
    }
    if (changed && ToolChanged) ToolChanged();
}

void EditorView::SetStyle(Tool tool, const MarkupObject& style) {
    MarkupObject& s = styles_[static_cast<size_t>(tool)];
    s = style;
    if (auto type = TypeOfTool(tool)) s.type = *type;
    if (controller_) controller_->SetStyle(tool, s);
}

bool EditorView::Apply(const std::function<bool(EditorController&)>& action) {
    if (!controller_ || !doc_) return false;
    EndText(true);
    const size_t before = doc_->StepCount();
    const bool done = action(*controller_);
    AfterInput(before);
    return done;
}

void EditorView::ScrollHome() {
    zoom_.ScrollTo(0, 0);
    UpdateScrollBars();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void EditorView::FollowPictureSize() {
    if (doc_ && (doc_->Width() != shownW_ || doc_->Height() != shownH_)) Refresh();
}

void EditorView::ReportCrop() {
    std::optional<PixelRect> crop = controller_ ? controller_->CropRect() : std::nullopt;
    if (crop == lastCrop_) return;
    lastCrop_ = crop;
    if (CropChanged) CropChanged(crop ? &*crop : nullptr);
}

void EditorView::OpenText(const TextRequest& request) {
    EndText(true);
    if (!controller_ || !doc_) return;
    MarkupObject style = Style(Tool::Text);
    std::string text;
    if (request.id) {
        const Item* item = doc_->Find(request.id);
        if (!item) return;
        style = item->object;
        text = item->object.text;
    }
    textId_ = request.id;
    textAt_ = request.at;
    textFont_ = TextFont(style, zoom_.Scale(), 6);
    LOGFONTW shownFont{};
    GetObjectW(textFont_.get(), sizeof shownFont, &shownFont);
    const int height = -shownFont.lfHeight;
    std::wstring shown;
    for (wchar_t c : Widen(text)) {
        if (c == L'\n') shown += L'\r';
        shown += c;
    }
    const Point at = zoom_.ToClient(request.at.x, request.at.y);
    textBox_ = CreateWindowExW(0, L"EDIT", shown.c_str(),
                               WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN,
                               static_cast<int>(std::floor(at.x)), static_cast<int>(std::floor(at.y)), 40, height + 8, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextBoxId)), GetModuleHandleW(nullptr), nullptr);
    if (!textBox_) {
        textFont_.reset();
        return;
    }
    SendMessageW(textBox_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    textKeys_.Attach(textBox_, [this](HWND, UINT msg, WPARAM w, LPARAM, LRESULT& result) {
        const bool ctrl = GetKeyState(VK_CONTROL) < 0;
        switch (msg) {
        case WM_GETDLGCODE: result = DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS; return true;
        case WM_KEYDOWN:
            if (w == VK_ESCAPE || (w == VK_RETURN && ctrl)) {
                PostMessageW(hwnd_, kMsgEndText, 1, 0);
                result = 0;
                return true;
            }
            return false;
        case WM_CHAR:
            // Escape and Ctrl+Enter (a line feed) end the text; Ctrl+A selects it all.
            if (w == 0x1B || (w == L'\n' && ctrl)) return result = 0, true;
            if (w == 1) {
                SendMessageW(textBox_, EM_SETSEL, 0, -1);
                return result = 0, true;
            }
            return false;
        case WM_KILLFOCUS: PostMessageW(hwnd_, kMsgEndText, 1, 0); return false;
        default: return false;
        }
    });
    FitTextBox();
    SetFocus(textBox_);
    SendMessageW(textBox_, EM_SETSEL, 0, -1);
}

std::wstring EditorView::BoxText() const {
    const int length = GetWindowTextLengthW(textBox_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(textBox_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void EditorView::FitTextBox() {
    if (!textBox_) return;
    const std::wstring text = BoxText();
    WindowDC dc = WindowDC::Client(textBox_);
    SelectedObject font(dc.get(), textFont_.get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    LONG widest = tm.tmAveCharWidth * 4;
    int lines = 0;
    size_t start = 0;
    while (true) {
        size_t end = text.find(L'\n', start);
        std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        SIZE size{};
        if (!line.empty()) GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &size);
        widest = std::max(widest, size.cx + tm.tmAveCharWidth * 2);
        ++lines;
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    SetWindowPos(textBox_, nullptr, 0, 0, widest + 8, lines * tm.tmHeight + 8, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditorView::EndText(bool keep) {
    if (!textBox_ || endingText_) return;
    endingText_ = true;
    std::wstring lines;
    for (wchar_t c : BoxText())
        if (c != L'\r') lines += c;
    // Only blank lines is no text.
    if (lines.find_first_not_of(L" \t\n") == std::wstring::npos) lines.clear();
    HWND box = textBox_;
    const bool focused = GetFocus() == box;
    textBox_ = nullptr;
    textKeys_.Reset();
    DestroyWindow(box);
    textFont_.reset();
    if (focused && hwnd_) SetFocus(hwnd_);
    if (keep && controller_ && doc_) {
        const size_t before = doc_->StepCount();
        controller_->FinishText(textId_, textAt_, Narrow(lines));
        AfterInput(before);
    }
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
    endingText_ = false;
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
    if (dirty.Empty()) return;
    RECT r = ToRect(zoom_.ClientRectOf(dirty));
    InflateRect(&r, 2, 2);
    InvalidateRect(hwnd_, &r, FALSE);
}

void EditorView::AfterInput(size_t stepsBefore) {
    Flush();
    FollowPictureSize();
    ReportCrop();
    if (controller_ && controller_->CurrentTool() != tool_) {
        tool_ = controller_->CurrentTool();
        if (ToolChanged) ToolChanged();
    }
    if (doc_ && doc_->StepCount() != stepsBefore && StepMade) StepMade();
    if (controller_) {
        if (std::optional<TextRequest> text = controller_->TakeTextRequest()) OpenText(*text);
    }
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
    if (!controller_) {
        if (key == VK_HOME) ScrollHome();
        else if (GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0)
            if (auto tool = ToolForLetter(static_cast<char>(key))) SetTool(*tool);
        return;
    }
    const size_t before = doc_ ? doc_->StepCount() : 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    const int32_t step = shift ? 10 : 1;
    switch (key) {
    case VK_HOME: ScrollHome(); break;
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
            if (auto tool = ToolForLetter(static_cast<char>(key))) SetTool(*tool);
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
        // A click outside the text box ends the text, and does nothing else.
        if (EditingText()) {
            EndText(true);
            return 0;
        }
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
    case kMsgEndText:
        EndText(wParam != 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kTextBoxId && HIWORD(wParam) == EN_CHANGE) FitTextBox();
        return 0;
    case WM_CTLCOLOREDIT: {
        const Rgba ink = (textId_ && doc_ && doc_->Find(textId_)) ? doc_->Find(textId_)->object.stroke : Style(Tool::Text).stroke;
        const bool light = ink.r + ink.g + ink.b > 3 * 220;
        SetTextColor(reinterpret_cast<HDC>(wParam), light ? RGB(0, 0, 0) : RGB(ink.r, ink.g, ink.b));
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
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
