#include "shell/MainBars_win.h"

#include "shell/MainMenu.h"
#include "shell/MainWindowText.h"

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
    imageList_.LoadBitmapResource(module, "ToolBar", 16, -1, RGB(255, 0, 255), IMAGE_BITMAP, LR_COPYFROMRESOURCE);
    toolbar_.Create(parent, 0, 0, 0, 0, kToolbarStyle);
    toolbar_.SetImageList(imageList_.Handle());
    for (int c : kToolbarLayout) {
        if (c == 0) toolbar_.InsertSeparator();
        else toolbar_.InsertButton(c - 1, c, -1, 0, TBSTATE_ENABLED, c == kTbHistory ? BTNS_CHECK : BTNS_BUTTON);
    }
    RECT rc{};
    GetClientRect(parent, &rc);
    rebar_.Create(parent, 1, 1, rc.right - 2, 25, kRebarStyle);
    toolbar_.SetParent(parent);
    rebar_.InsertBand(nullptr, toolbar_.hWnd(), 360, 25, 360, kBandStyle);
    toolbar_.CheckButton(kTbHistory, true);
    toolbarHeight_ = rebar_.Height();

    statusBarHeight_ = kStatusBarHeight;
    statusBar_.Create(parent, kStatusBarStyle, "", statusBarHeight_ - 2);
    statusBar_.Simple(true);
    SetStatus(ready);
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
    statusBarHeight_ = on ? kStatusBarHeight : 0;
}

void MainBars::FollowParentSize(HWND parent) {
    statusBar_.ResizeToParent();
    RECT rc{};
    GetClientRect(parent, &rc);
    int edges[3] = {rc.right - 60, rc.right - 40, rc.right - 20};
    statusBar_.SetParts(edges, 3);
    if (rebar_.hWnd()) SendMessageA(rebar_.hWnd(), WM_SIZE, 0, 0);
}

std::optional<std::string> MainBars::FillTip(NMTBGETINFOTIPA& tip, const ILanguage* language) {
    ToolbarTipText text =
        SplitToolbarTip(language ? language->getItemValue(kToolbarTipItemBase + tip.iItem, "") : "");
    if (tip.pszText && tip.cchTextMax > 0) lstrcpynA(tip.pszText, text.Tip.c_str(), tip.cchTextMax);
    return text.Status;
}

}  // namespace plenvue
