#include "controls/CommonControls_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

namespace {
HINSTANCE Instance() { return GetModuleHandleW(nullptr); }
}  // namespace

void CControlBase::Destroy() {
    if (hwnd_ && owned_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    owned_ = false;
}

LRESULT CControlBase::Send(UINT msg, WPARAM w, LPARAM l) const {
    return hwnd_ ? SendMessageW(hwnd_, msg, w, l) : 0;
}

HWND CControlBase::CreateOwned(const char* cls, HWND parent, int x, int y, int w, int h,
                               DWORD style, DWORD exStyle) {
    if (hwnd_) return hwnd_;
    hwnd_ = CreateWindowExW(exStyle, Widen(cls).c_str(), nullptr, style, x, y, w, h, parent, nullptr, Instance(),
                            nullptr);
    owned_ = hwnd_ != nullptr;
    return hwnd_;
}

HIMAGELIST CImageListCtl::LoadBitmapResource(HINSTANCE inst, const char* name, int width, int grow,
                                             COLORREF mask, UINT type, UINT flags) {
    if (list_) return list_;
    list_ = ImageList_LoadImageA(inst, name, width, grow, mask, type, flags);
    owned_ = list_ != nullptr;
    return list_;
}

void CImageListCtl::Destroy() {
    if (list_ && owned_) ImageList_Destroy(list_);
    list_ = nullptr;
    owned_ = false;
}

HWND CToolbarCtl::Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle) {
    bool fresh = hwnd_ == nullptr;
    HWND r = CreateOwned(TOOLBARCLASSNAMEA, parent, x, y, w, h, style, exStyle);
    if (r && fresh) Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return r;
}

void CToolbarCtl::SetImageList(HIMAGELIST list) {
    Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
}

bool CToolbarCtl::InsertButton(int image, int command, int position, LPARAM data, BYTE state,
                               BYTE style) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = state;
    b.fsStyle = style;
    b.dwData = data;
    b.iString = -1;
    return Send(TB_INSERTBUTTONW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&b)) != 0;
}

bool CToolbarCtl::InsertSeparator(int position) {
    return InsertButton(0, 0, position, 0, TBSTATE_ENABLED, BTNS_SEP);
}

void CToolbarCtl::CheckButton(int command, bool checked) {
    Send(TB_CHECKBUTTON, command, MAKELPARAM(checked ? TRUE : FALSE, 0));
}

bool CToolbarCtl::IsChecked(int command) const { return Send(TB_ISBUTTONCHECKED, command) != 0; }

void CToolbarCtl::SetFlat(bool flat) {
    if (!hwnd_) return;
    LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    style = flat ? (style | TBSTYLE_FLAT) : (style & ~TBSTYLE_FLAT);
    SetWindowLongW(hwnd_, GWL_STYLE, style);
}

void CToolbarCtl::SetParent(HWND parent) { Send(TB_SETPARENT, reinterpret_cast<WPARAM>(parent)); }
void CToolbarCtl::AutoSize() { Send(TB_AUTOSIZE); }
void CToolbarCtl::SetBitmapSize(int width, int height) { Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height)); }
void CToolbarCtl::SetButtonSize(int width, int height) { Send(TB_SETBUTTONSIZE, 0, MAKELPARAM(width, height)); }

SIZE CToolbarCtl::ButtonSize() const {
    auto packed = static_cast<DWORD>(Send(TB_GETBUTTONSIZE));
    return {LOWORD(packed), HIWORD(packed)};
}

HWND CRebarCtl::Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle) {
    return CreateOwned(REBARCLASSNAMEA, parent, x, y, w, h, style, exStyle);
}

bool CRebarCtl::InsertBand(const char* text, HWND child, int minChildWidth, int minChildHeight,
                           int width, UINT style, COLORREF fore, COLORREF back) {
    std::wstring wide = text ? Widen(text) : std::wstring();
    REBARBANDINFOW band{};
    band.cbSize = 80;  // the band record size common controls 5 and 6 both accept
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
    if (text) band.fMask |= RBBIM_TEXT;
    if (fore != CLR_DEFAULT || back != CLR_DEFAULT) band.fMask |= RBBIM_COLORS;
    band.fStyle = style;
    band.lpText = text ? wide.data() : nullptr;
    band.hwndChild = child;
    band.cxMinChild = minChildWidth;
    band.cyMinChild = minChildHeight;
    band.cx = width;
    band.clrFore = fore;
    band.clrBack = back;
    return Send(RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

bool CRebarCtl::SetBandChildSize(int band, int minChildWidth, int minChildHeight, int width) {
    REBARBANDINFOW info{};
    info.cbSize = 80;
    info.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE;
    info.cxMinChild = minChildWidth;
    info.cyMinChild = minChildHeight;
    info.cx = width;
    return Send(RB_SETBANDINFOW, static_cast<WPARAM>(band), reinterpret_cast<LPARAM>(&info)) != 0;
}

int CRebarCtl::Height() const {
    RECT r{};
    if (!hwnd_ || !GetWindowRect(hwnd_, &r)) return 0;
    return r.bottom - r.top;
}

void CRebarCtl::Show(bool visible) { if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

HWND CStatusBarCtl::Create(HWND parent, DWORD style, const char* text, int minHeight) {
    if (hwnd_) return hwnd_;
    hwnd_ = CreateStatusWindowW(static_cast<LONG>(style), text ? Widen(text).c_str() : nullptr, parent, 0);
    owned_ = hwnd_ != nullptr;
    if (hwnd_ && minHeight > 0) Send(SB_SETMINHEIGHT, minHeight);
    return hwnd_;
}

void CStatusBarCtl::SetParts(const int* edges, int count) {
    Send(SB_SETPARTS, count, reinterpret_cast<LPARAM>(edges));
}

void CStatusBarCtl::Simple(bool on) { Send(SB_SIMPLE, on ? TRUE : FALSE); }

void CStatusBarCtl::SetText(int part, const std::string& text) {
    text_ = text;
    Send(SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void CStatusBarCtl::ResizeToParent() { Send(WM_SIZE); }

void CStatusBarCtl::Show(bool visible) { if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }

HWND CTabStripCtl::Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle) {
    return CreateOwned(WC_TABCONTROLA, parent, x, y, w, h, style, exStyle);
}

int CTabStripCtl::InsertTab(const std::string& text, int position, int image, LPARAM data) {
    std::wstring wide = Widen(text);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = wide.data();
    if (image >= 0) { item.mask |= TCIF_IMAGE; item.iImage = image; }
    if (data != 0) { item.mask |= TCIF_PARAM; item.lParam = data; }
    return static_cast<int>(Send(TCM_INSERTITEMW, position, reinterpret_cast<LPARAM>(&item)));
}

void CTabStripCtl::DeleteAll() { Send(TCM_DELETEALLITEMS); }
int CTabStripCtl::Selected() const { return static_cast<int>(Send(TCM_GETCURSEL)); }
void CTabStripCtl::Select(int index) { Send(TCM_SETCURSEL, index); }

HWND CTrackBarCtl::Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle) {
    return CreateOwned(TRACKBAR_CLASSA, parent, x, y, w, h, style, exStyle);
}
void CTrackBarCtl::SetRange(int minimum, int maximum) {
    Send(TBM_SETRANGEMIN, FALSE, minimum);
    Send(TBM_SETRANGEMAX, TRUE, maximum);
}
void CTrackBarCtl::SetLineAndPage(int line, int page) {
    Send(TBM_SETLINESIZE, 0, line);
    Send(TBM_SETPAGESIZE, 0, page);
}
void CTrackBarCtl::SetPos(int pos) { Send(TBM_SETPOS, TRUE, pos); }
int CTrackBarCtl::Pos() const { return static_cast<int>(Send(TBM_GETPOS)); }

HWND CUpDownCtl::Create(HWND parent, int x, int y, int w, int h, DWORD style, DWORD exStyle) {
    return CreateOwned(UPDOWN_CLASSA, parent, x, y, w, h, style, exStyle);
}
void CUpDownCtl::SetRange(int minimum, int maximum) {
    Send(UDM_SETRANGE, 0, MAKELPARAM(maximum, minimum));
}
void CUpDownCtl::SetBuddy(HWND buddy) { Send(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)); }

}  // namespace plenvue
