#include "shell/HistoryPane_win.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "controls/PreviewGeometry.h"
#include "controls/modExPath.h"
#include "base/Arith.h"
#include "shell/FileRules.h"
#include "shell/HistoryRules.h"
#include "base/win/Dpi_win.h"
#include "base/win/WindowThunk_win.h"
#include "capture/MonitorGeometry.h"
#include "base/win/Wide_win.h"

namespace plenvue {

namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

constexpr UINT_PTR kScrollTimer = 1;

std::string ListText(HWND list, int index) {
    LRESULT len = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == LB_ERR || len < 0) return {};
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return Narrow(text);
}

std::string CaptionOf(const std::string& path) {
    try {
        return FileNameOfPath(path);
    } catch (const std::exception&) {
        return path;  // a bare name is its own file name
    }
}

}  // namespace

HistoryPane::~HistoryPane() {
    timer_.reset();
    listDrop_.Reset();
    items_.clear();
    if (scroller_ && IsWindow(scroller_)) {
        SetWindowLongPtrW(scroller_, GWLP_USERDATA, 0);
        SetWindowLongPtrW(client_, GWLP_USERDATA, 0);
        DestroyWindow(scroller_);
    }
}

bool HistoryPane::Create(HWND parent, HWND list, int scrollerId, OpenFile open) {
    if (scroller_) return true;
    parent_ = parent;
    list_ = list;
    open_ = std::move(open);
    dpi_ = WindowDpi(parent);
    RegisterWindowClass({kStripClass, PaneWindowProc<HistoryPane>, IDC_ARROW, ButtonFaceBrush()});
    RegisterWindowClass({kClientClass, PaneWindowProc<HistoryPane>, IDC_ARROW, ButtonFaceBrush()});
    scroller_ = CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES, kStripClass, nullptr,
                                WS_CHILD | WS_CLIPCHILDREN, 0, 0, 10, 10, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(scrollerId)), Instance(), this);
    if (!scroller_) return false;
    upperLimit_ = ButtonHeight();
    clientTop_ = upperLimit_;
    clientHeight_ = Gap();
    client_ = CreateWindowExA(WS_EX_ACCEPTFILES, kClientClass, nullptr,
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, clientTop_, 10,
                              clientHeight_, scroller_, nullptr, Instance(), this);
    for (int i = 0; i < 2; ++i) {
        Light3D& b = buttons_[i];
        b.Create(scroller_, 0, 0, 10, ButtonHeight());
        // Above the carrier, which slides underneath them.
        SetWindowPos(b.hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        b.MouseDown = [this, i](int button, int, int) {
            if (button == 1) ScrollPress(i);
        };
        b.MouseUp = [this, i](int button, int, int) {
            if (button == 1) ScrollRelease(i);
        };
        b.Content = [this, i](HDC dc, const RECT& rc) { DrawArrow(i, dc, rc); };
    }
    // The template: never shown, it gives every item its size.
    auto item = std::make_unique<Preview>();
    const SIZE itemSize = ItemSize();
    item->Create(client_, 0, -itemSize.cy, itemSize.cx, itemSize.cy);
    items_.push_back(std::move(item));
    if (list_) {
        DragAcceptFiles(list_, TRUE);
        listDrop_.Attach(list_, [this](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (msg == WM_DROPFILES) {
                DropFiles(reinterpret_cast<HDROP>(wParam));
                result = 0;
                return true;
            }
            const bool key = msg == WM_KEYDOWN && wParam == VK_DELETE;
            if (msg != WM_CONTEXTMENU && !key) return false;
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            int index = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
            if (msg == WM_CONTEXTMENU && !(at.x == -1 && at.y == -1)) {
                POINT client = at;
                ScreenToClient(list_, &client);
                const LRESULT hit = SendMessageW(list_, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
                index = HIWORD(hit) ? -1 : LOWORD(hit);
            } else if (msg == WM_CONTEXTMENU) {
                RECT r{};
                GetWindowRect(list_, &r);
                at = {r.left + 8, r.top + 8};
            }
            result = 0;
            if (index < 0) return true;
            if (key) {
                if (RemoveRequested) RemoveRequested(ListText(list_, index));
            } else {
                OfferRemove(ListText(list_, index), at, list_);
            }
            return true;
        });
    }
    ArrangeScroller();
    return true;
}

void HistoryPane::ArrangeScroller() {
    RECT rc{};
    GetClientRect(scroller_, &rc);
    ScrollerLayout s = plenvue::ArrangeScroller(rc.right, rc.bottom, ButtonHeight(), ButtonHeight());
    MoveWindow(buttons_[0].hWnd(), s.Button0.Left, s.Button0.Top, s.Button0.Width, s.Button0.Height, TRUE);
    MoveWindow(buttons_[1].hWnd(), s.Button1.Left, s.Button1.Top, s.Button1.Width, s.Button1.Height, TRUE);
    upperLimit_ = s.UpperLimit;
    lowerLimit_ = s.LowerLimit;
    MoveWindow(client_, 0, clientTop_, rc.right, clientHeight_, TRUE);
}

int32_t HistoryPane::Scaled(int32_t length96) const { return ScaleForDpi(length96, dpi_); }
int32_t HistoryPane::ButtonHeight() const { return Scaled(kButtonHeight); }
SIZE HistoryPane::ItemSize() const { return {Scaled(kItemWidth), Scaled(kItemHeight)}; }

void HistoryPane::SetDpi(int32_t dpi) {
    if (dpi <= 0 || dpi == dpi_ || !scroller_) return;
    const int32_t oldUpper = upperLimit_;
    dpi_ = dpi;
    for (Light3D& b : buttons_) {
        RECT r{};
        GetClientRect(b.hWnd(), &r);
        MoveWindow(b.hWnd(), 0, 0, r.right, ButtonHeight(), FALSE);
    }
    RECT rc{};
    GetClientRect(client_, &rc);
    const SIZE size = ItemSize();
    const int left = std::max<int>(0, (rc.right - size.cx) / 2);
    MoveWindow(items_[0]->hWnd(), 0, -size.cy, size.cx, size.cy, FALSE);
    for (size_t i = 1; i < items_.size(); ++i) {
        MoveWindow(items_[i]->hWnd(), left, PreviewItemTop(static_cast<int32_t>(i), size.cy, Gap()), size.cx, size.cy,
                   TRUE);
    }
    ArrangeScroller();
    // The carrier keeps its scroll position relative to the upper limit.
    MoveClient(CheckedAdd(upperLimit_, CheckedSub(clientTop_, oldUpper)),
               PreviewClientHeight(PreviewCount() - 1, size.cy, Gap()));
}

void HistoryPane::MoveClient(int32_t top, int32_t height) {
    clientTop_ = top;
    clientHeight_ = height;
    RECT rc{};
    GetClientRect(scroller_, &rc);
    MoveWindow(client_, 0, clientTop_, rc.right, clientHeight_, TRUE);
}

RECT HistoryPane::ClientRect() const { return {0, clientTop_, 0, clientTop_ + clientHeight_}; }

void HistoryPane::AddHistory(HistoryMode mode, const std::string& path, const Picture& picture, bool open) {
    if (mode == HistoryMode::None) return;
    if (mode == HistoryMode::List) {
        // The list only shows the entry; the file is open already.
        if (ListIndexOf(path) < 0) SendMessageW(list_, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(Widen(path).c_str()));
        return;
    }
    if (int32_t at = PreviewIndexOf(path); at > 0) {
        if (open) ClickItem(at);
        return;
    }
    const int32_t templateHeight = ItemSize().cy;
    const int itemWidth = ItemSize().cx;
    auto item = std::make_unique<Preview>();
    if (!item->Create(client_, 0, 0, itemWidth, templateHeight)) return;
    RECT image = item->ImageRect();
    // A reduced copy: a long session of full-screen captures would otherwise keep every one whole.
    item->SetPicture(Thumbnail(picture, image.right - image.left, image.bottom - image.top));
    item->Tag(path);
    item->Caption(CaptionOf(path));
    Preview* raw = item.get();
    // By the item, not its index: entries above it come and go.
    item->Click = [this, raw] {
        for (size_t i = 1; i < items_.size(); ++i)
            if (items_[i].get() == raw) return ClickItem(static_cast<int32_t>(i));
    };
    item->ContextMenu = [this, raw](POINT at) {
        if (at.x == -1 && at.y == -1) {
            RECT r{};
            GetWindowRect(raw->hWnd(), &r);
            at = {r.left + 8, r.top + 8};
        }
        OfferRemove(raw->Tag(), at, raw->hWnd());
    };
    items_.insert(items_.begin() + 1, std::move(item));
    if (selected_ > 0) ++selected_;
    LayOutPreviews();
    // The new entry is the top one: it is shown, wherever the strip was scrolled to.
    MoveClient(upperLimit_, clientHeight_);
    items_[1]->Visible(true);
    if (open) ClickItem(1);
}

void HistoryPane::LayOutPreviews() {
    RECT rc{};
    GetClientRect(client_, &rc);
    const SIZE size = ItemSize();
    const int left = std::max<int>(0, (rc.right - size.cx) / 2);
    for (size_t i = 1; i < items_.size(); ++i)
        MoveWindow(items_[i]->hWnd(), left, PreviewItemTop(static_cast<int32_t>(i), size.cy, Gap()), size.cx, size.cy, TRUE);
    MoveClient(clientTop_, PreviewClientHeight(PreviewCount() - 1, size.cy, Gap()));
}

int32_t HistoryPane::PreviewIndexOf(const std::string& path) const {
    for (size_t i = 1; i < items_.size(); ++i)
        if (items_[i]->Tag() == path) return static_cast<int32_t>(i);
    return -1;
}

int32_t HistoryPane::ListIndexOf(const std::string& path) const {
    if (!list_) return -1;
    const auto count = static_cast<int32_t>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    for (int32_t i = 0; i < count; ++i)
        if (ListText(list_, i) == path) return i;
    return -1;
}

bool HistoryPane::HasEntry(HistoryMode mode, const std::string& path) const {
    if (mode == HistoryMode::List) return ListIndexOf(path) >= 0;
    return mode == HistoryMode::Preview && PreviewIndexOf(path) > 0;
}

void HistoryPane::SelectEntry(HistoryMode mode, const std::string& path) {
    if (mode == HistoryMode::List) {
        const int32_t at = ListIndexOf(path);
        if (at >= 0) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
    } else if (mode == HistoryMode::Preview) {
        const int32_t at = PreviewIndexOf(path);
        if (at > 0) SelectPreview(at);
    }
}

void HistoryPane::RenameEntry(HistoryMode mode, const std::string& from, const std::string& to, const Picture* picture) {
    if (mode == HistoryMode::List) {
        const int32_t at = ListIndexOf(from);
        if (at < 0) return;
        const bool selected = SendMessageW(list_, LB_GETCURSEL, 0, 0) == at;
        SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(at), 0);
        SendMessageW(list_, LB_INSERTSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(Widen(to).c_str()));
        if (selected) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
        return;
    }
    const int32_t at = PreviewIndexOf(from);
    if (at <= 0) return;
    Preview& item = *items_[static_cast<size_t>(at)];
    item.Tag(to);
    item.Caption(CaptionOf(to));
    if (picture) {
        RECT image = item.ImageRect();
        item.SetPicture(Thumbnail(*picture, image.right - image.left, image.bottom - image.top));
    }
}

void HistoryPane::RemoveEntry(HistoryMode mode, const std::string& path) {
    if (mode == HistoryMode::List) {
        const int32_t at = ListIndexOf(path);
        if (at >= 0) SendMessageW(list_, LB_DELETESTRING, static_cast<WPARAM>(at), 0);
        return;
    }
    const int32_t at = PreviewIndexOf(path);
    if (at <= 0) return;
    items_.erase(items_.begin() + at);
    if (selected_ == at) selected_ = 0;
    else if (selected_ > at) --selected_;
    LayOutPreviews();
}

void HistoryPane::OfferRemove(const std::string& path, POINT screen, HWND owner) {
    if (path.empty() || !RemoveRequested) return;
    UniqueHandle<HMENU, SimpleTraits<HMENU, DestroyMenu>> menu(CreatePopupMenu());
    if (!menu) return;
    constexpr UINT kRemove = 1;
    AppendMenuW(menu.get(), MF_STRING, kRemove, Widen(RemoveMenuText).c_str());
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                         screen.x, screen.y, 0, owner, nullptr));
    if (chosen == kRemove) {
        auto handler = RemoveRequested;
        handler(path);
    }
}

void HistoryPane::SelectPreview(int32_t index) {
    if (selected_ > 0 && selected_ < PreviewCount()) {
        items_[static_cast<size_t>(selected_)]->BackColor(GetSysColor(COLOR_BTNFACE));
        items_[static_cast<size_t>(selected_)]->ForeColor(GetSysColor(COLOR_BTNTEXT));
    }
    items_[static_cast<size_t>(index)]->BackColor(GetSysColor(COLOR_HIGHLIGHT));
    items_[static_cast<size_t>(index)]->ForeColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    selected_ = index;
}

void HistoryPane::ClickItem(int32_t index) {
    if (index < 1 || index >= PreviewCount()) return;
    SelectPreview(index);
    std::string path = items_[static_cast<size_t>(index)]->Tag();
    if (open_) open_(path, false);
}

void HistoryPane::StepHistory(HistoryMode mode, int32_t d) {
    if (mode == HistoryMode::None) return;
    if (mode == HistoryMode::List) {
        auto cur = static_cast<int32_t>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
        auto count = static_cast<int32_t>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
        auto target = ListStepTarget(cur, d, count);
        if (!target) return;
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(*target), 0);
        if (open_) open_(ListText(list_, *target), false);
        return;
    }
    if (auto target = PreviewStepTarget(selected_, d, PreviewCount())) ClickItem(*target);
}

void HistoryPane::ClearHistory(HistoryMode mode) {
    if (mode == HistoryMode::None) return;
    if (mode == HistoryMode::List) {
        SendMessageW(list_, LB_RESETCONTENT, 0, 0);
        return;
    }
    RemovePreviews();
}

void HistoryPane::RemovePreviews() {
    items_.resize(1);
    // The remembered selection would point at an item that is gone.
    selected_ = 0;
    timer_.reset();
    MoveClient(upperLimit_, Gap());
}

bool HistoryPane::OnParentCommand(WPARAM wParam, LPARAM lParam) {
    if (!list_ || reinterpret_cast<HWND>(lParam) != list_) return false;
    if (HIWORD(wParam) == LBN_SELCHANGE) {
        auto index = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
        if (index >= 0 && open_) open_(ListText(list_, index), false);
    }
    return true;
}

void HistoryPane::ScrollPress(int index) {
    direction_ = index == 0 ? 1 : -1;
    buttonDown_[index] = true;
    buttons_[index].Style(true);
    InvalidateRect(buttons_[index].hWnd(), nullptr, FALSE);
    // A click is one step; holding the button goes on with the timer.
    ScrollStep(direction_);
    timer_ = WindowTimer(scroller_, kScrollTimer, kScrollInterval);
}

void HistoryPane::ScrollRelease(int index) {
    buttonDown_[index] = false;
    buttons_[index].Style(false);
    InvalidateRect(buttons_[index].hWnd(), nullptr, FALSE);
    timer_.reset();
}

void HistoryPane::ScrollTick() {
    if (!ScrollStep(direction_)) timer_.reset();
}

bool HistoryPane::ScrollStep(int32_t direction) {
    auto top = ScrollerTick(direction, clientTop_, clientHeight_, upperLimit_, lowerLimit_);
    if (!top) return false;
    MoveClient(*top, clientHeight_);
    return true;
}

void HistoryPane::Wheel(int32_t delta) {
    wheelRest_ += delta;
    while (wheelRest_ >= WHEEL_DELTA || wheelRest_ <= -WHEEL_DELTA) {
        const int32_t direction = wheelRest_ > 0 ? 1 : -1;
        wheelRest_ -= direction * WHEEL_DELTA;
        if (!ScrollStep(direction)) wheelRest_ = 0;
    }
}

bool HistoryPane::StripContains(POINT screen) const {
    if (!scroller_ || !IsWindowVisible(scroller_)) return false;
    RECT r{};
    GetWindowRect(scroller_, &r);
    return PtInRect(&r, screen) != FALSE;
}

void HistoryPane::DrawArrow(int index, HDC dc, const RECT& rc) const {
    // Pressed, the arrow rises by 15 twips.
    WindowDC screen = WindowDC::Client(nullptr);
    int dpiY = GetDeviceCaps(screen.get(), LOGPIXELSY);
    int lift = buttonDown_[index] ? std::max(1, 15 * dpiY / 1440) : 0;
    int cx = rc.right / 2, cy = rc.bottom / 2 - lift;
    const int w = Scaled(4), h = Scaled(2);
    POINT pts[3];
    if (index == 0) pts[0] = {cx - w, cy + h}, pts[1] = {cx + w, cy + h}, pts[2] = {cx, cy - h};
    else pts[0] = {cx - w, cy - h}, pts[1] = {cx + w, cy - h}, pts[2] = {cx, cy + h};
    SelectedObject brush(dc, GetSysColorBrush(COLOR_BTNTEXT));
    SelectedObject pen(dc, GetStockObject(NULL_PEN));
    Polygon(dc, pts, 3);
}

void HistoryPane::DropFiles(HDROP drop) {
    std::string path;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        UINT len = DragQueryFileW(drop, 0, nullptr, 0);
        std::wstring wide(len + 1, L'\0');
        UINT got = DragQueryFileW(drop, 0, wide.data(), len + 1);
        wide.resize(got);
        path = NarrowChecked(wide).value_or(std::string());
    }
    DragFinish(drop);
    if (!path.empty() && IsDroppablePicture(path) && open_) open_(path, true);
}

Picture HistoryPane::Thumbnail(const Picture& picture, int boxWidth, int boxHeight) {
    HBITMAP source = picture.Bitmap();
    if (!source) return {};
    SIZE s = picture.PixelSize();
    PixelSize fit = FitInto(s.cx, s.cy, boxWidth, boxHeight);
    if (fit.Width <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = fit.Width;
    info.bmiHeader.biHeight = fit.Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    WindowDC screen = WindowDC::Client(nullptr);
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy) return {};
    {
        MemoryDC from(CreateCompatibleDC(screen.get()));
        MemoryDC to(CreateCompatibleDC(screen.get()));
        SelectedObject inSource(from.get(), source);
        SelectedObject inCopy(to.get(), copy);
        HPALETTE palette = picture.Palette();
        if (palette) {
            SelectPalette(from.get(), palette, TRUE);
            SelectPalette(to.get(), palette, TRUE);
            RealizePalette(to.get());
        }
        SetStretchBltMode(to.get(), HALFTONE);
        SetBrushOrgEx(to.get(), 0, 0, nullptr);
        StretchBlt(to.get(), 0, 0, fit.Width, fit.Height, from.get(), 0, 0, s.cx, s.cy, SRCCOPY);
        if (palette) {
            SelectPalette(from.get(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE);
            SelectPalette(to.get(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE);
        }
    }
    return Picture::FromBitmap(copy, nullptr);
}

LRESULT HistoryPane::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (hwnd == scroller_) ArrangeScroller();
        return 0;
    case WM_TIMER:
        if (hwnd == scroller_ && wParam == kScrollTimer) ScrollTick();
        return 0;
    case WM_MOUSEWHEEL:
        // The thumbnails pass the wheel on to the carrier, the carrier to the strip: it ends here.
        Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_NCDESTROY:
        if (hwnd == scroller_) scroller_ = nullptr;
        if (hwnd == client_) client_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace plenvue
