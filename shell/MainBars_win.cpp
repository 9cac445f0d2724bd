#include "shell/MainBars_win.h"

#include "capture/MonitorGeometry.h"
#include "base/MessageTable.h"
#include "markup/ToolIcons.h"
#include "shell/MainMenu.h"
#include "shell/MainWindowText.h"
#include "base/MessageText.h"
#include "base/win/Handles_win.h"
#include "base/win/Wide_win.h"

#include <algorithm>

namespace plenvue {

namespace {

// Toolbar buttons in order; 0 is a separator. A button's image is its command − 1.
constexpr int kToolbarLayout[] = {kTbOpen, kTbSave, 0, kTbCopyTo, kTbMoveTo, kTbDelete, 0, kTbPrevious, kTbNext,
                                  kTbClearHistory, 0, kTbCaptureFirst, kTbCaptureFirst + 1, kTbCaptureFirst + 2,
                                  kTbCaptureFirst + 3, kTbCaptureFirst + 4, kTbCaptureLast, 0, kTbHistory, 0,
                                  kTbContent, 0, kTbCopy};
constexpr DWORD kToolbarStyle = WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_TOOLTIPS;
constexpr DWORD kRebarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER |
                              RBS_VERTICALGRIPPER | RBS_AUTOSIZE | RBS_BANDBORDERS | CCS_TOP;
constexpr DWORD kStatusBarStyle = WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP;
constexpr UINT kBandStyle = RBBS_BREAK | RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;

}  // namespace

void MainBars::Create(HWND parent, HINSTANCE module, const std::string& ready) {
    module_ = module;
    dpi_ = WindowDpi(parent);
    toolbar_.Create(parent, 0, 0, 0, 0, kToolbarStyle);
    LoadImages();
    for (int c : kToolbarLayout) {
        if (c == 0) toolbar_.InsertSeparator();
        else toolbar_.InsertButton(c - 1, c, -1, 0, TBSTATE_ENABLED, c == kTbHistory ? BTNS_CHECK : BTNS_BUTTON);
    }
    RECT rc{};
    GetClientRect(parent, &rc);
    rebar_.Create(parent, 1, 1, rc.right - 2, BandHeight(), kRebarStyle);
    toolbar_.SetParent(parent);
    const int bandWidth = ScaleForDpi(kBandWidth, dpi_);
    rebar_.InsertBand(nullptr, toolbar_.hWnd(), bandWidth, BandHeight(), bandWidth, kBandStyle);
    toolbar_.CheckButton(kTbHistory, true);

    tools_.Create(parent, 0, 0, 0, 0, kToolbarStyle);
    DrawToolImages();
    for (int i = 0; i < markup::kToolCount; ++i)
        tools_.InsertButton(i, kCmdToolFirst + i, -1, 0, TBSTATE_ENABLED, BTNS_CHECKGROUP);
    tools_.SetParent(parent);
    rebar_.InsertBand(nullptr, tools_.hWnd(), ToolStripWidth(), BandHeight(), ToolStripWidth(), kBandStyle);
    CheckTool(checkedTool_);
    // The main toolbar stays the first toolbar a search of the rebar's children meets.
    SetWindowPos(toolbar_.hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    toolbarHeight_ = rebar_.Height();

    statusBarHeight_ = ScaleForDpi(kStatusBarHeight, dpi_);
    statusBar_.Create(parent, kStatusBarStyle, "", statusBarHeight_ - 2);
    statusFont_.Attach(statusBar_.hWnd());
    statusFont_.Follow(dpi_);
    FollowParentSize(parent);
    SetStatus(ready);
}

void MainBars::LoadImages() {
    imageSize_ = ToolbarImageSize(dpi_);
    const char* name = imageSize_ == 32 ? "ToolBar32" : imageSize_ == 24 ? "ToolBar24" : "ToolBar";
    if (imageList_.Handle()) {
        toolbar_.SetImageList(nullptr);
        imageList_.Destroy();
    }
    imageList_.LoadBitmapResource(module_, name, imageSize_, -1, RGB(255, 0, 255), IMAGE_BITMAP,
                                  LR_COPYFROMRESOURCE);
    // The toolbar sizes its buttons for the images it was told of, 16 pixels unless told otherwise.
    if (imageSize_ != 16) toolbar_.SetBitmapSize(imageSize_, imageSize_);
    toolbar_.SetImageList(imageList_.Handle());
}

int MainBars::BandHeight() const { return ScaleForDpi(kBandHeight, dpi_); }

int MainBars::ToolStripWidth() const {
    const SIZE button = tools_.hWnd() ? tools_.ButtonSize() : SIZE{imageSize_ + 7, imageSize_ + 6};
    return static_cast<int>(button.cx) * markup::kToolCount + ScaleForDpi(4, dpi_);
}

// The tool images are drawn at the toolbar's image size, so they stay crisp at any DPI.
void MainBars::DrawToolImages() {
    const int n = imageSize_;
    HIMAGELIST list = ImageList_Create(n, n, ILC_COLOR24 | ILC_MASK, markup::kToolCount, 0);
    constexpr COLORREF kKey = RGB(255, 0, 255);
    for (int i = 0; i < markup::kToolCount && list; ++i) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = n;
        bi.bmiHeader.biHeight = -n;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        void* bits = nullptr;
        UniqueBitmap bitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bitmap || !bits) break;
        markup::PixelView view{static_cast<uint8_t*>(bits), static_cast<ptrdiff_t>((n * 3 + 3) & ~3), n, n};
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                uint8_t* p = view.Pixel(x, y);
                p[0] = 255, p[1] = 0, p[2] = 255;
            }
        markup::DrawToolIcon(static_cast<markup::Tool>(i), view, markup::Rgba{32, 32, 32, 255});
        ImageList_AddMasked(list, bitmap.get(), kKey);
    }
    tools_.SetImageList(nullptr);
    toolImages_.Own(list);
    if (n != 16) tools_.SetBitmapSize(n, n);
    tools_.SetImageList(toolImages_.Handle());
}

void MainBars::CheckTool(int index) {
    checkedTool_ = index;
    for (int i = 0; i < markup::kToolCount; ++i) tools_.CheckButton(kCmdToolFirst + i, i == index);
}

// Not through SetText, which keeps the message part's text only.
void MainBars::SetStepText(const std::string& text) { statusBar_.Send(SB_SETTEXTW, kStepPart, reinterpret_cast<LPARAM>(Widen(text).c_str())); }

void MainBars::SetZoomText(const std::string& text) { statusBar_.Send(SB_SETTEXTW, kZoomPart, reinterpret_cast<LPARAM>(Widen(text).c_str())); }

void MainBars::Rescale(HWND parent, int32_t dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    dpi_ = dpi;
    LoadImages();
    // Buttons made for the old images would keep their size; the padding is the toolbar's own.
    const auto padding = static_cast<DWORD>(toolbar_.Send(TB_GETPADDING));
    toolbar_.SetButtonSize(imageSize_ + LOWORD(padding), imageSize_ + HIWORD(padding));
    toolbar_.AutoSize();
    rebar_.SetBandChildSize(0, ScaleForDpi(kBandWidth, dpi_), BandHeight(), ScaleForDpi(kBandWidth, dpi_));
    DrawToolImages();
    tools_.SetButtonSize(imageSize_ + LOWORD(padding), imageSize_ + HIWORD(padding));
    tools_.AutoSize();
    rebar_.SetBandChildSize(1, ToolStripWidth(), BandHeight(), ToolStripWidth());
    statusFont_.Follow(dpi_);
    statusBar_.SetMinHeight(ScaleForDpi(kStatusBarHeight, dpi_) - 2);
    // A hidden bar keeps its height of 0.
    if (statusBarHeight_ != 0) statusBarHeight_ = ScaleForDpi(kStatusBarHeight, dpi_);
    FollowParentSize(parent);
    if (toolbarHeight_ != 0) toolbarHeight_ = rebar_.Height();
}

void MainBars::ShowToolbar(bool on) {
    if (on) {
        rebar_.Show(true);
        toolbarHeight_ = rebar_.Height();
    } else {
        toolbarHeight_ = 0;
        rebar_.Show(false);
    }
}

void MainBars::ShowStatusBar(bool on) {
    statusBar_.Show(on);
    statusBarHeight_ = on ? ScaleForDpi(kStatusBarHeight, dpi_) : 0;
}

void MainBars::FollowParentSize(HWND parent) {
    statusBar_.ResizeToParent();
    RECT rc{};
    GetClientRect(parent, &rc);
    const int zoom = ScaleForDpi(kZoomPartWidth, dpi_), step = ScaleForDpi(kStepPartWidth, dpi_);
    int edges[3] = {std::max<int>(rc.right - zoom - step, rc.right / 3), std::max<int>(rc.right - zoom, rc.right / 3), -1};
    statusBar_.SetParts(edges, 3);
    if (rebar_.hWnd()) SendMessageW(rebar_.hWnd(), WM_SIZE, 0, 0);
}

namespace {

void CopyTip(char* to, int room, const std::string& text) { lstrcpynA(to, text.c_str(), room); }
void CopyTip(wchar_t* to, int room, const std::string& text) { lstrcpynW(to, Widen(text).c_str(), room); }

// Either form of the request: the tip cut to the caller's buffer, the status text returned.
template <class Request>
std::optional<std::string> AnswerTip(Request& tip, const ILanguage* language) {
    ToolbarTipText text =
        SplitToolbarTip(language ? language->getItemValue(kToolbarTipItemBase + tip.iItem, "") : "");
    if (tip.pszText && tip.cchTextMax > 0) CopyTip(tip.pszText, tip.cchTextMax, text.Tip);
    return text.Status;
}

}  // namespace

std::optional<std::string> MainBars::FillTip(NMTBGETINFOTIPA& tip, const ILanguage* language) {
    return AnswerTip(tip, language);
}

std::optional<std::string> MainBars::FillTip(NMTBGETINFOTIPW& tip, const ILanguage* language) {
    return AnswerTip(tip, language);
}

std::optional<std::string> MainBars::FillToolTip(NMTBGETINFOTIPW& tip, const ILanguage* language) {
    const int index = tip.iItem - kCmdToolFirst;
    if (index < 0 || index >= markup::kToolCount) return std::nullopt;
    const MenuNode* draw = nullptr;
    for (const MenuNode& top : MainMenuTree())
        if (top.command == kHelpDraw) draw = &top;
    if (!draw) return std::nullopt;
    const MenuNode& entry = draw->children[static_cast<size_t>(index)];
    std::string caption = language ? language->getItemValue(entry.item, entry.caption) : entry.caption;
    caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
    const std::string key = language ? language->getItemValue(kMsgToolTipKey, "%s key") : "%s key";
    std::string text = caption + " (" + FormatMessageText(key, entry.shortcut) + ")";
    if (tip.pszText && tip.cchTextMax > 0) CopyTip(tip.pszText, tip.cchTextMax, text);
    return language ? language->getItemValue(entry.command, "") : std::string();
}

}  // namespace plenvue
