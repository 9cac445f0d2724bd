#include "effects/frmFilters_win.h"

#include <commctrl.h>

#include <vector>

#include "effects/modHLSRGB.h"
#include "base/win/Dpi_win.h"
#include "base/win/Handles_win.h"
#include "base/win/WindowThunk_win.h"
#include "base/MessageText.h"
#include "base/win/modDeclare_win.h"
#include "base/win/Wide_win.h"
#include "base/win/WideText_win.h"

namespace plenvue {
namespace {

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Client area and the places of the controls, in pixels at 96 DPI; the pictures (preview and
// hue bar) are drawn 1:1 in pixels at every DPI, the rest is scaled.
constexpr int kClientWidth = 500, kClientHeight = 186;
constexpr int kPreviewWidth = 160, kPreviewHeight = 120;
constexpr int kHueHeight = 24;
constexpr int kAnchorLeft = 185, kAnchorTop = 62;
constexpr int32_t kPreviewLabelItem = 13124;

void RegisterBoxClass() { RegisterWindowClass({frmFilters::kBoxClass, DefWindowProcW, IDC_ARROW, ButtonFaceBrush()}); }

std::string LangItem(int32_t id, const char* fallback = "") {
    const ILanguage* lang = App().Language.get();
    return lang ? lang->getItemValue(id, fallback) : std::string(fallback);
}

}  // namespace

DialogTemplate frmFilters::Template() const {
    // No controls: they are all made when the dialog starts, in pixels.
    return DialogTemplate(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 300, 120,
                          "Set Filters");
}

bool frmFilters::BoxMessage(HWND box, UINT msg, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(box, &ps);
        PaintBox(box, dc);
        EndPaint(box, &ps);
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (box == picHue_)
            OnHueMouseDown(msg == WM_LBUTTONDOWN, static_cast<int16_t>(LOWORD(lParam)),
                           static_cast<int16_t>(HIWORD(lParam)));
        return true;
    default:
        return false;
    }
}

void frmFilters::OnCommand(int id, int code) {
    if (id == IDOK && code == BN_CLICKED) {
        cancelled_ = false;
        Close();
    } else if (id == IDCANCEL) {  // the Cancel button, Escape and the close box
        Close();
    } else if (id == kPercentId && code == EN_CHANGE) {
        if (active_) OnPercentChange();
    } else if ((id == kUniformId || id == kRandomId) && code == BN_CLICKED) {
        OnOptionClick();
    }
}

HWND frmFilters::MakeChild(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
                           DWORD exStyle) {
    HWND c = CreateWindowExW(exStyle, Widen(cls).c_str(), text ? Widen(text).c_str() : nullptr, WS_CHILD | style, x, y, w, h, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    SendMessageW(c, WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
    if (std::string(cls) == kBoxClass) {
        for (WindowSubclass& box : boxes_) {
            if (box) continue;
            box.Attach(c, [this](HWND h, UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
                result = 0;
                return BoxMessage(h, msg, lParam);
            });
            break;
        }
    }
    return c;
}

int frmFilters::Scaled(int length96) const { return MulDiv(length96, dpi_, 96); }

void frmFilters::OnInit() {
    RegisterBoxClass();
    dpi_ = WindowDpi(hwnd_);
    // Beside the preview box, which keeps its pixel size.
    anchorLeft_ = Scaled(10) + kPreviewWidth + 4 + Scaled(kAnchorLeft - 10 - kPreviewWidth - 4);
    anchorTop_ = Scaled(kAnchorTop);
    // The form at its design size, with the controls of every type; hidden ones wait.
    RECT r{0, 0, Scaled(kClientWidth), Scaled(kClientHeight)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    if (HWND owner = GetWindow(hwnd_, GW_OWNER)) {
        RECT o{}, me{};
        GetWindowRect(owner, &o);
        GetWindowRect(hwnd_, &me);
        SetWindowPos(hwnd_, nullptr, o.left + ((o.right - o.left) - (me.right - me.left)) / 2,
                     o.top + ((o.bottom - o.top) - (me.bottom - me.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    const int margin = Scaled(10);
    picPreview_ = MakeChild(kBoxClass, "", WS_VISIBLE, margin, margin, kPreviewWidth + 4, kPreviewHeight + 4,
                            kPreviewId, WS_EX_CLIENTEDGE);
    MakeChild("STATIC", LangItem(kPreviewLabelItem, "Preview").c_str(), WS_VISIBLE | SS_CENTER, margin, margin + kPreviewHeight + 4 + Scaled(4),
              kPreviewWidth + 4, Scaled(16), kPreviewLabelId);
    lblFilters_ = MakeChild("STATIC", "", WS_VISIBLE, anchorLeft_, margin, Scaled(305), Scaled(48), kLabelId);
    picHue_ = MakeChild(kBoxClass, "", 0, anchorLeft_, anchorTop_ + Scaled(5), kHueBarColumns + 4, kHueHeight + 4,
                        kHueId, WS_EX_CLIENTEDGE);
    picSelected_ = MakeChild(kBoxClass, "", 0, 0, 0, Scaled(28), kHueHeight + 4, kSelectedId, WS_EX_CLIENTEDGE);
    txtPercent_ = MakeChild("EDIT", "0", WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, Scaled(58), Scaled(22), kPercentId,
                            WS_EX_CLIENTEDGE);
    optNoise_[0] = MakeChild("BUTTON", "Uniform", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, 0, Scaled(95),
                             Scaled(16), kUniformId);
    optNoise_[1] = MakeChild("BUTTON", "Random", BS_AUTORADIOBUTTON, 0, 0, Scaled(95), Scaled(16), kRandomId);
    SendMessageW(optNoise_[0], BM_SETCHECK, BST_CHECKED, 0);
    cmdOK_ = MakeChild("BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, Scaled(320), Scaled(150), Scaled(80),
                       Scaled(26), IDOK);
    cmdCancel_ = MakeChild("BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP, Scaled(410), Scaled(150), Scaled(80), Scaled(26),
                           IDCANCEL);

    // The box's picture: the working picture at its natural size over the box's background.
    original_.Create(kPreviewWidth, kPreviewHeight);
    RECT all{0, 0, kPreviewWidth, kPreviewHeight};
    FillRect(original_.hdc(), &all, GetSysColorBrush(COLOR_BTNFACE));
    if (!source_.Empty()) {
        MemoryDC dc(CreateCompatibleDC(nullptr));
        SelectedObject selected(dc.get(), source_.Bitmap());
        BitBlt(original_.hdc(), 0, 0, kPreviewWidth, kPreviewHeight, dc.get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    preview_.Create(kPreviewWidth, kPreviewHeight);
    preview_.CopyFrom(original_);

    cancelled_ = true;
    layout_ = LayoutForFilterType(filterType_);
    active_ = true;
    if (layout_.amount) BuildAmountControls();
    else if (layout_.hueBar) BuildHueControls();
    ApplyTexts();
    target_.Attach(hwnd_, this);
}

void frmFilters::BuildAmountControls() {
    if (layout_.noiseOptions) {
        SetWindowTextUtf8(optNoise_[0], LangItem(baseResId_ + 4, "Uniform"));
        SetWindowTextUtf8(optNoise_[1], LangItem(baseResId_ + 6, "Random"));
        SetWindowPos(optNoise_[0], nullptr, anchorLeft_ + Scaled(5), anchorTop_ + Scaled(5), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(optNoise_[1], nullptr, anchorLeft_ + Scaled(5), anchorTop_ + Scaled(20), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(optNoise_[0], SW_SHOW);
        ShowWindow(optNoise_[1], SW_SHOW);
    }
    const int left = anchorLeft_ + Scaled(layout_.trackLeft);
    trackBar_.Create(hwnd_, left, anchorTop_ + Scaled(5), Scaled(layout_.trackWidth), Scaled(25),
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | TBS_NOTICKS);
    trackBar_.SetRange(0, layout_.maximum);
    trackBar_.SetLineAndPage(1, 10);
    RECT tr{};
    GetWindowRect(trackBar_.hWnd(), &tr);
    SetWindowPos(txtPercent_, nullptr, left + (tr.right - tr.left), anchorTop_ + Scaled(5), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(txtPercent_, EM_LIMITTEXT, static_cast<WPARAM>(layout_.maxLength), 0);
    SetPercentText(layout_.initialText);
    ShowWindow(txtPercent_, SW_SHOW);
    SetWindowLongPtrW(txtPercent_, GWL_STYLE, GetWindowLongPtrW(txtPercent_, GWL_STYLE) | ES_NUMBER);
    upDown_.Create(hwnd_, 0, 0, 0, 0,
                   WS_CHILD | WS_VISIBLE | UDS_WRAP | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                   WS_EX_STATICEDGE);
    upDown_.SetBuddy(txtPercent_);
    upDown_.SetRange(0, layout_.maximum);
}

void frmFilters::BuildHueControls() {
    RECT hue{};
    GetWindowRect(picHue_, &hue);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&hue), 2);
    SetWindowPos(picSelected_, nullptr, hue.right + Scaled(10), hue.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(picSelected_, SW_SHOW);
    ShowWindow(picHue_, SW_SHOW);
    OnHueMouseDown(true, 0, 0);
}

void frmFilters::ApplyTexts() {
    SetWindowTextUtf8(hwnd_, LangItem(baseResId_));
    SetWindowTextUtf8(lblFilters_, ExpandLineBreaks(LangItem(baseResId_ + 2)));
    SetWindowTextUtf8(cmdOK_, Msg(101));
    SetWindowTextUtf8(cmdCancel_, Msg(102));
}

void frmFilters::OnHueMouseDown(bool leftButton, int32_t x, int32_t y) {
    RECT c{};
    GetClientRect(picHue_, &c);
    if (!HueBarClickCounts(leftButton, x, y, c.right, c.bottom)) return;
    hue_ = HueOfColumn(x);
    swatch_ = static_cast<COLORREF>(HueColour(hue_));
    markerX_ = x;
    InvalidateRect(picSelected_, nullptr, FALSE);
    InvalidateRect(picHue_, nullptr, FALSE);
    // From the unchanged picture: colouring an already coloured preview drifts (reds and greys
    // take the new saturation again, lightness rounds twice).
    ReloadPreview();
    effect_.Colourise(preview_, hue_, 0.5f);
    PaintPreview();
}

std::string frmFilters::PercentText() const {
    return WindowTextOf(txtPercent_);
}

void frmFilters::SetPercentText(const std::string& text) {
    // As a text box: the change handler runs only when the text really changes.
    if (PercentText() != text) SetWindowTextUtf8(txtPercent_, text);
}

void frmFilters::OnPercentChange() {
    ReloadPreview();
    const std::optional<AmountValue> amount = AmountFromText(PercentText(), layout_.maximum);
    if (!amount) {
        SetPercentText("0");
        return;
    }
    if (amount->clamped) {  // a fade of 256..999 must never reach the effect
        SetPercentText(std::to_string(amount->value));
        return;
    }
    percentage_ = amount->value;
    trackBar_.SetPos(percentage_);
    switch (filterType_) {
    case eFilterNoise: effect_.AddNoise(preview_, percentage_, random_); break;
    case eFilterFade: effect_.Fade(preview_, percentage_); break;
    case eFilterLighten: effect_.Lighten(preview_, percentage_); break;
    default: break;
    }
    PaintPreview();
}

void frmFilters::OnOptionClick() {
    ReloadPreview();
    random_ = SendMessageW(optNoise_[1], BM_GETCHECK, 0, 0) == BST_CHECKED;
    effect_.AddNoise(preview_, percentage_, random_);
    PaintPreview();
}

void frmFilters::ReloadPreview() { preview_.CopyFrom(original_); }

void frmFilters::PaintPreview() {
    InvalidateRect(picPreview_, nullptr, FALSE);
    UpdateWindow(picPreview_);
}

void frmFilters::PaintBox(HWND box, HDC dc) {
    if (box == picPreview_) {
        preview_.PaintPicture(dc, 0, 0, -1, -1, 0, 0, SRCCOPY);
    } else if (box == picHue_) {
        RECT c{};
        GetClientRect(box, &c);
        for (int32_t column = 0; column < kHueBarColumns; ++column) {
            RECT line{column, 0, column + 1, c.bottom};
            UniqueBrush b(CreateSolidBrush(column == markerX_ ? RGB(0, 0, 0) : HueBarColour(column)));
            FillRect(dc, &line, b.get());
        }
    } else if (box == picSelected_) {
        RECT c{};
        GetClientRect(box, &c);
        UniqueBrush b(CreateSolidBrush(swatch_));
        FillRect(dc, &c, b.get());
    }
}

void frmFilters::Message(int32_t slot, HWND window, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (window == hwnd_ && message == WM_HSCROLL && trackBar_.hWnd() &&
        reinterpret_cast<HWND>(lParam) == trackBar_.hWnd()) {
        GuardedCall(hwnd_, 0, [this] {
            SetPercentText(std::to_string(trackBar_.Pos()));
            return 0;
        });
        result = 0;
        return;
    }
    result = DefaultProcessing(slot);
}

void frmFilters::OnUnload() {
    active_ = false;
    trackBar_.Destroy();
    upDown_.Destroy();
    target_.Reset();
    for (WindowSubclass& box : boxes_) box.Reset();
    preview_.ClearUp();
    original_.ClearUp();
}

}  // namespace plenvue
