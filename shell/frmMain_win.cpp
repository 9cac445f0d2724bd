#include "shell/frmMain_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <vector>

#include "capture/clsCapture_win.h"
#include "settings/Hotkey_win.h"
#include "capture/frmFullScreen_win.h"
#include "capture/frmSnapWindow_win.h"
#include "settings/CurrentSettings.h"
#include "settings/HotkeyNames.h"
#include "settings/modRegistry_win.h"
#include "base/ErrorObject.h"
#include "shell/ImageCommands_win.h"
#include "shell/MainMenu.h"
#include "shell/MainLayout.h"
#include "shell/MainWindowText.h"
#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/modDeclare_win.h"
#include "settings/SaveFolder_win.h"
#include "shell/HelpTopics.h"
#include "shell/Help_win.h"

namespace plenvue {

namespace {

constexpr const char* kWindowClass = "PlenvueMainWindow";
constexpr UINT kNotifyIconMessage = 2025;
constexpr int kHotkeyFirst = 45057;
constexpr int kHistoryListId = 300;
constexpr int kScrollerId = 301;
constexpr int kCanvasId = 302;
constexpr int kSplitWidth = 3;
constexpr const char* kSplitClass = "PlenvueSplitter";

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// Toolbar buttons in order; 0 is a separator.
constexpr int kToolbarLayout[] = {1, 2, 0, 3, 4, 5, 0, 14, 15, 16, 0, 6, 7, 8, 9, 10, 11, 0, 12, 0, 13};

void AppendMenuTree(HMENU parent, const std::vector<MenuNode>& nodes, const ILanguage* lang) {
    for (const MenuNode& n : nodes) {
        if (n.hidden) continue;  // hidden entries are not part of the menu
        if (n.separator) {
            AppendMenuA(parent, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string caption = n.caption;
        if (lang && n.item) caption = lang->getItemValue(n.item, n.caption);
        if (!n.shortcut.empty()) caption += "\t" + n.shortcut;
        if (!n.children.empty()) {
            HMENU sub = CreatePopupMenu();
            AppendMenuTree(sub, n.children, lang);
            AppendMenuA(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
        } else {
            AppendMenuA(parent, MF_STRING | (n.checked ? MF_CHECKED : 0), n.command, caption.c_str());
        }
    }
}

}  // namespace

frmMain::~frmMain() {
    if (hwnd_) DestroyWindow(hwnd_);
    if (accel_) DestroyAcceleratorTable(accel_);
}

bool frmMain::Load(int showCommand) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = Instance();
    wc.hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(1));
    wc.hIconSm = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc);

    hwnd_ = CreateWindowExA(0, kWindowClass, kProgramTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, Instance(), this);
    if (!hwnd_) return false;

    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'O', kCmdOpen},        {FCONTROL | FVIRTKEY, 'S', kCmdSave},
        {FCONTROL | FVIRTKEY, 'C', kCmdCopyTo},      {FCONTROL | FVIRTKEY, 'M', kCmdMoveTo},
        {FVIRTKEY, VK_DELETE, kCmdDelete},           {FCONTROL | FVIRTKEY, 'P', kCmdPrint},
        {FSHIFT | FVIRTKEY, VK_F1, 1908},            {FSHIFT | FVIRTKEY, VK_F2, 1909},
        {FSHIFT | FVIRTKEY, VK_F3, 1910},            {FSHIFT | FVIRTKEY, VK_F4, 1911},
        {FCONTROL | FVIRTKEY, 'Z', kCmdUndo},        {FVIRTKEY, VK_F1, kCmdContent},
    };
    accel_ = CreateAcceleratorTableA(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    return true;
}

LRESULT CALLBACK frmMain::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    frmMain* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<frmMain*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (const std::exception& e) {
        MessageBoxA(hwnd, e.what(), kProgramName, MB_ICONERROR);
        return 0;
    }
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        OnSize(wParam);
        return 0;
    case WM_COMMAND:
        if (!history_.OnParentCommand(wParam, lParam)) OnCommand(LOWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        // Ctrl+arrows and the like scroll the canvas while the window itself has the focus.
        SendMessageA(canvas_, msg, wParam, lParam);
        return 0;
    case WM_INITMENUPOPUP: {
        auto popup = reinterpret_cast<HMENU>(wParam);
        if (popup == GetSubMenu(menu_, 0)) OnFileMenuOpening(popup);
        if (!HIWORD(lParam)) UpdateImageMenu(popup, !svMain_.GetPicture().Empty());
        break;
    }
    case WM_CLOSE:
        OnUnload();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        if (taskbarCreated_ && msg == taskbarCreated_) {
            // A restarted shell forgets the icon; without it a hidden window is unreachable.
            iconAdded_ = false;
            AddNotifyIcon();
            return 0;
        }
        break;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

void frmMain::Message(int32_t slot, HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    try {
        switch (message) {
        case WM_GETMINMAXINFO: {
            auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
            mm->ptMinTrackSize.x = 400;
            mm->ptMinTrackSize.y = 300;
            return;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            if (hdr->hwndFrom != toolbar_.hWnd() || !toolbar_.hWnd()) break;
            // The toolbar asks for a button's tip on behalf of its tooltip window.
            if (hdr->code == TBN_GETINFOTIPA) {
                ToolbarTip(*reinterpret_cast<NMTBGETINFOTIPA*>(lParam));
                result = 1;
            }
            return;
        }
        case WM_SYSCOMMAND:
            if (wParam >= 1861 && wParam <= 1866) {
                SnapIt(static_cast<int>(wParam) - 1861);
                return;
            }
            break;
        case WM_MENUSELECT:
            OnMenuSelect(wParam, lParam);
            return;
        case WM_DRAWCLIPBOARD:
            SetPic();
            if (nextViewer_) SendMessageA(nextViewer_, message, wParam, lParam);
            return;
        case WM_CHANGECBCHAIN:
            if (reinterpret_cast<HWND>(wParam) == nextViewer_) nextViewer_ = reinterpret_cast<HWND>(lParam);
            else if (nextViewer_) SendMessageA(nextViewer_, message, wParam, lParam);
            return;
        case WM_HOTKEY:
            if (App().ModalDialog) MessageBeep(MB_OK);
            else if (wParam >= kHotkeyFirst && wParam < kHotkeyFirst + 6)
                SnapIt(static_cast<int>(wParam) - kHotkeyFirst);
            return;
        case kNotifyIconMessage:
            OnNotifyIcon(lParam);
            return;
        default:
            break;
        }
    } catch (const std::exception& e) {
        MessageBoxA(hwnd_, e.what(), kProgramName, MB_ICONERROR);
        return;
    }
    result = DefaultProcessing(slot);
}

void frmMain::OnCreate() {
    title_ = kProgramTitle;
    historyMode_ = "PREVIEW";
    BuildMenu();
    svMain_.Create(hwnd_, WS_EX_CLIENTEDGE, kCanvasId);
    svMain_.View(1);
    canvas_ = svMain_.hWnd();
    lstHistory_ = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
                                  WS_CHILD | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY, 0, 0, 10, 10,
                                  hwnd_, reinterpret_cast<HMENU>(kHistoryListId), Instance(), nullptr);
    history_.Create(hwnd_, lstHistory_, kScrollerId,
                    [this](const std::string& path, bool add) { OpenPicture(path, add); });
    picScroller_ = history_.Scroller();
    CreateSplitter();
    CreateBars();
    SendMessageA(lstHistory_, LB_SETHORIZONTALEXTENT, 1024, 0);
    WriteBeepFile();
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    AddNotifyIcon();
    GetCurrentSettings();
    ShowHistoryPane();
    if (!Settings().ShowHistoryList.empty()) ToggleHistory();
    SetConPro();
    SetWindowTextA(hwnd_, title_.c_str());
    ArrangeControls();
    BuildMenuHelpTable();
    // Before joining the viewer chain: the platform sends draw-clipboard from inside the join.
    target_.Attach(hwnd_, this);
    if (Settings().ClipboardMonitorAtStart) JoinViewerChain();
}

void frmMain::GetCurrentSettings() {
    CurrentSettings& settings = Settings();
    SettingReader read = [](std::string_view name) { return ReadSetting(std::string(name)); };
    LoadCurrentSettings(read, DefaultSaveFolder(App().ProgramFolder), settings);
    historyMode_ = settings.HistoryListStatus;
    HotkeyRegistrar registrar = [this](int index, int32_t modifier, int32_t key) {
        return RegisterCaptureHotKey(hwnd_, kHotkeyFirst + index, modifier, key);
    };
    std::vector<int> failed = LoadHotkeyTable(read, registrar, settings);
    if (!failed.empty()) {
        std::string text = HotkeyFailureMessage(Msg(10002), failed, App().HotkeyNames);
        MessageBoxA(hwnd_, text.c_str(), kProgramName, MB_ICONERROR);
    }
    setCapMenu();
}

void frmMain::SetConPro() {
    const CurrentSettings& settings = Settings();
    SetMenuChecked(kCmdAutoSave, settings.AutoSaveAtStart != 0);
    SetMenuChecked(kCmdCMonitor, settings.ClipboardMonitorAtStart != 0);
    int32_t colour = CanvasColorValue(settings.CanvasColor);
    if (colour >= 0) canvasColor_ = static_cast<COLORREF>(colour);
    svMain_.BackColor(colour);
}

void frmMain::JoinViewerChain() {
    if (inViewerChain_) return;  // joining twice would make the chain a loop
    inViewerChain_ = true;
    nextViewer_ = nullptr;
    // The platform sends draw-clipboard from inside this call, so a bitmap already there is taken.
    HWND next = SetClipboardViewer(hwnd_);
    nextViewer_ = next;
}

void frmMain::LeaveViewerChain() {
    if (!inViewerChain_) return;
    ChangeClipboardChain(hwnd_, nextViewer_);
    inViewerChain_ = false;
    nextViewer_ = nullptr;
}

void frmMain::ToggleClipboardMonitor() {
    CurrentSettings& settings = Settings();
    settings.ClipboardMonitorAtStart = settings.ClipboardMonitorAtStart ? 0 : -1;
    SetMenuChecked(kCmdCMonitor, settings.ClipboardMonitorAtStart != 0);
    if (settings.ClipboardMonitorAtStart) JoinViewerChain();
    else LeaveViewerChain();
}

void frmMain::ToggleAutoSave() {
    CurrentSettings& settings = Settings();
    settings.AutoSaveAtStart = settings.AutoSaveAtStart ? 0 : -1;
    SetMenuChecked(kCmdAutoSave, settings.AutoSaveAtStart != 0);
}

void frmMain::SetPic() {
    if (!IsClipboardFormatAvailable(CF_BITMAP) || !OpenClipboard(hwnd_)) return;
    HBITMAP copy = nullptr;
    // The clipboard keeps its own bitmap; the picture gets a copy it may delete.
    if (HANDLE shared = GetClipboardData(CF_BITMAP))
        copy = static_cast<HBITMAP>(CopyImage(shared, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    CloseClipboard();
    if (!copy) return;
    Picture picture = Picture::FromBitmap(copy, nullptr);
    if (picture.Empty()) return;
    picSwap_ = picture;
    SetStatus(Msg(10018));
    ShowPic();
    SetCurrentFile("");
    if (Settings().AutoSaveAtStart) AutoSavePic();
}

void frmMain::BuildMenu() {
    menu_ = CreateMenu();
    AppendMenuTree(menu_, MainMenuTree(), App().Language.get());
    SetMenu(hwnd_, menu_);
}

void frmMain::CreateBars() {
    imageList_.LoadBitmapResource(Instance(), "ToolBar", 16, -1, RGB(255, 0, 255), IMAGE_BITMAP,
                                  LR_COPYFROMRESOURCE);
    toolbar_.Create(hwnd_, 0, 0, 0, 0, 0x50000144);
    toolbar_.SetImageList(imageList_.Handle());
    for (int c : kToolbarLayout) {
        if (c == 0) toolbar_.InsertSeparator();
        else toolbar_.InsertButton(c - 1, c, -1, 0, TBSTATE_ENABLED,
                                   c == kTbHistory ? BTNS_CHECK : BTNS_BUTTON);
    }
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    rebar_.Create(hwnd_, 1, 1, rc.right - 2, 25, 0x56806401);
    toolbar_.SetParent(hwnd_);
    rebar_.InsertBand(nullptr, toolbar_.hWnd(), 360, 25, 360, 0x85);
    toolbar_.CheckButton(kTbHistory, true);
    toolbarHeight_ = rebar_.Height();

    statusBarHeight_ = 20;
    statusBar_.Create(hwnd_, 0x50000100, "", statusBarHeight_ - 2);
    statusBar_.Simple(true);
    SetStatus(Msg(10001));
}

void frmMain::SetStatus(const std::string& text) { statusBar_.SetText(255, text); }

void frmMain::OnSize(WPARAM type) {
    if (type == SIZE_MINIMIZED) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    statusBar_.ResizeToParent();
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    int edges[3] = {rc.right - 60, rc.right - 40, rc.right - 20};
    statusBar_.SetParts(edges, 3);
    if (rebar_.hWnd()) SendMessageA(rebar_.hWnd(), WM_SIZE, 0, 0);
    ArrangeControls();
}

void frmMain::ArrangeControls() {
    if (!canvas_) return;
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    LayoutInput in;
    in.ClientWidth = rc.right;
    in.ClientHeight = rc.bottom;
    in.ToolbarHeight = toolbarHeight_;
    in.StatusBarHeight = statusBarHeight_;
    in.Mode = HistoryModeFromStatus(historyMode_);
    in.SplitterLeft = splitLeft_;
    in.SplitterWidth = kSplitWidth;
    MainLayout layout = plenvue::ArrangeControls(in);
    // Without a history pane the canvas covers the bar.
    ShowWindow(imgSplit_, layout.History ? SW_SHOWNA : SW_HIDE);
    const PaneRect& bar = layout.Splitter;
    MoveWindow(imgSplit_, bar.Left, bar.Top, bar.Width, bar.Height, TRUE);
    if (layout.History) {
        HWND pane = in.Mode == HistoryMode::List ? lstHistory_ : picScroller_;
        MoveWindow(pane, layout.History->Left, layout.History->Top, layout.History->Width,
                   layout.History->Height, TRUE);
    }
    const PaneRect& v = layout.ScrollView;
    MoveWindow(canvas_, v.Left, v.Top, v.Width, v.Height, TRUE);
}

void frmMain::ShowHistoryPane() {
    bool shown = MenuChecked(kCmdHistory);
    ShowWindow(lstHistory_, historyMode_ == "LIST" && shown ? SW_SHOW : SW_HIDE);
    ShowWindow(picScroller_, historyMode_ != "LIST" && historyMode_ != "NONE" && shown ? SW_SHOW : SW_HIDE);
}

bool frmMain::MenuChecked(int id) const {
    return (GetMenuState(menu_, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void frmMain::SetMenuChecked(int id, bool on) {
    CheckMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void frmMain::OnCommand(int id) {
    if (OnFileCommand(id)) return;
    switch (id) {
    case kTbContent: OpenHelp(); return;
    case kTbHistory: ToggleHistory(); return;
    case kTbPrevious: StepHistory(-1); return;
    case kTbNext: StepHistory(1); return;
    case kTbClearHistory: ClearHistory(); return;
    case kCmdExit: OnUnload(); return;
    case kCmdToolBar: ToggleToolBar(); return;
    case kCmdStatusBar: ToggleStatusBar(); return;
    case kCmdHistory: ToggleHistory(); return;
    case kCmdColor: ChooseCanvasColor(); return;
    case kCmdIncludeCursor: SetMenuChecked(id, !MenuChecked(id)); return;
    case kCmdCMonitor: ToggleClipboardMonitor(); return;
    case kCmdAutoSave: ToggleAutoSave(); return;
    case kCmdClearClip:
        if (OpenClipboard(hwnd_)) {
            EmptyClipboard();
            CloseClipboard();
        }
        return;
    case kCmdClearCanvas:
        picSwap_.Reset();
        ShowPic();
        currentFile_.clear();
        return;
    case kCmdContent: OpenHelp(); return;
    case kCmdEmail:
        ShellExecuteA(hwnd_, "open", Msg(11003).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    case kCmdHomepage:
        ShellExecuteA(hwnd_, "open", Msg(11004).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    case kCmdAbout: ShowAbout(); return;
    case kCmdOption: ShowOptions(); return;
    default: break;
    }
    if (RunImageCommand(hwnd_, id, {picSwap_, svMain_.GetPicture(), undo_})) {
        ShowPic();
        return;
    }
    if (id >= kTbCaptureFirst && id <= kTbCaptureLast) SnapIt(id - kTbCaptureFirst);
    else if (id >= kCmdCaptureFirst && id <= kCmdCaptureLast) SnapIt(id - kCmdCaptureFirst);
}

void frmMain::SnapIt(int index) {
    ShowWindow(hwnd_, SW_HIDE);
    CaptureSleep(CaptureHideDelayMs);
    Picture picture;
    if (index == 0 || index == 2 || index == 3 || index == 5) {
        clsCapture& engine = SharedCapture();
        if (index == 0) engine.CaptureMethod(0);
        else if (index == 2) engine.CaptureMethod(3);
        else if (index == 3) engine.CaptureMethod(4);
        engine.hasMouseCursor(MenuChecked(kCmdIncludeCursor));
        try {
            picture = engine.Capture();
        } catch (const ErrorObject& e) {
            MessageBoxA(hwnd_, ErrorBoxText(e).c_str(), kProgramName, MB_ICONERROR);
        } catch (const std::exception& e) {
            MessageBoxA(hwnd_, e.what(), kProgramName, MB_ICONERROR);
        }
    } else if (index == 1) {
        frmFullScreen form;
        form.ShowModal(hwnd_);
        picture = form.CapturedPicture();
    } else if (index == 4) {
        frmSnapWindow form;
        form.ShowModal(hwnd_);
        picture = form.CapturedPicture();
    }
    picSwap_ = picture;
    SetCurrentFile("");
    // A capture that yields nothing leaves an empty canvas, not the previous picture.
    ShowPic();
    if (Settings().AutoSaveAtStart) AutoSavePic();
    SIZE s = picSwap_.PixelSize();
    SetStatus(CaptureStatusText(Msg(10015), s.cx, s.cy));
    ShowWindow(hwnd_, SW_SHOW);
}

void frmMain::AddHistory(const std::string& path) {
    history_.AddHistory(HistoryModeFromStatus(historyMode_), path, picSwap_);
}

void frmMain::StepHistory(int32_t d) { history_.StepHistory(HistoryModeFromStatus(historyMode_), d); }

void frmMain::ClearHistory() { history_.ClearHistory(HistoryModeFromStatus(historyMode_)); }

void frmMain::ShowPic() { svMain_.SetPicture(picSwap_); }

void frmMain::SetCurrentFile(const std::string& path) {
    currentFile_ = path;
    SetWindowTextA(hwnd_, MainWindowCaption(title_, path).c_str());
}

void frmMain::ToggleToolBar() {
    bool on = !MenuChecked(kCmdToolBar);
    SetMenuChecked(kCmdToolBar, on);
    if (on) {
        rebar_.Show(true);
        toolbarHeight_ = rebar_.Height();
    } else {
        toolbarHeight_ = 0;
        rebar_.Show(false);
    }
    ArrangeControls();
}

void frmMain::ToggleStatusBar() {
    bool on = !MenuChecked(kCmdStatusBar);
    SetMenuChecked(kCmdStatusBar, on);
    statusBar_.Show(on);
    statusBarHeight_ = on ? 20 : 0;
    ArrangeControls();
}

void frmMain::ToggleHistory() {
    if (historyMode_ == "NONE") {
        // A click on the check button has already flipped its look; nothing changed, so flip it back.
        toolbar_.CheckButton(kTbHistory, MenuChecked(kCmdHistory));
        return;
    }
    bool on = !MenuChecked(kCmdHistory);
    SetMenuChecked(kCmdHistory, on);
    ShowHistoryPane();
    toolbar_.CheckButton(kTbHistory, on);
    splitLeft_ = on ? 138 : 0;
    ArrangeControls();
}

void frmMain::ChooseCanvasColor() {
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwnd_;
    cc.rgbResult = canvasColor_;
    cc.lpCustColors = customColors_;
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorA(&cc)) return;
    canvasColor_ = cc.rgbResult;
    Settings().CanvasColor = std::to_string(static_cast<int32_t>(canvasColor_));
    svMain_.BackColor(static_cast<int32_t>(canvasColor_));
    WriteSetting(kValForeColor, Settings().CanvasColor);
}

void frmMain::OpenHelp() { OpenHelpTopic(hwnd_, kHelpContents); }

void frmMain::AddNotifyIcon() {
    if (iconAdded_) return;
    nid_ = NOTIFYICONDATAA{};
    nid_.cbSize = 88;  // the original record layout every shell version accepts
    nid_.hWnd = hwnd_;
    nid_.uID = 0;
    nid_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid_.uCallbackMessage = kNotifyIconMessage;
    nid_.hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(1));
    lstrcpynA(nid_.szTip, kProgramTitle, 64);
    iconAdded_ = Shell_NotifyIconA(NIM_ADD, &nid_) != FALSE;
}

void frmMain::RemoveNotifyIcon() {
    if (iconAdded_) Shell_NotifyIconA(NIM_DELETE, &nid_);
    iconAdded_ = false;
}

void frmMain::OnNotifyIcon(LPARAM lParam) {
    if (lParam == WM_LBUTTONDBLCLK && !App().ModalDialog) {
        ShowWindow(hwnd_, SW_RESTORE);
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
    } else if (lParam == WM_RBUTTONUP) {
        POINT pt{};
        GetCursorPos(&pt);
        SendMessageA(hwnd_, 0x313, 0, MAKELPARAM(pt.x, pt.y));
    }
}

void frmMain::BuildMenuHelpTable() {
    menuHelp_.clear();
    for (const MenuHelpEntry& e : MenuHelpTable(MainMenuTree())) {
        HMENU parent = menu_;
        for (size_t i = 0; i + 1 < e.Path.size() && parent; ++i) parent = GetSubMenu(parent, e.Path[i]);
        if (!parent) continue;
        UINT number = e.Submenu ? static_cast<UINT>(e.Path.back()) : static_cast<UINT>(e.Command);
        menuHelp_.push_back({parent, e.Submenu, number, static_cast<UINT>(e.HelpNumber)});
    }
}

void frmMain::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    UINT flags = HIWORD(wParam);
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (flags == 0xFFFF || (flags & MF_SYSMENU) || !menu) return;
    HWND status = statusBar_.hWnd();
    HMODULE strings = App().Language ? App().Language->LanguagePackageInstance() : nullptr;
    if (!status || !strings) return;
    bool submenu = (flags & MF_POPUP) != 0;
    UINT number = LOWORD(wParam);
    for (const MenuHelpKey& k : menuHelp_) {
        if (k.Menu == menu && k.Submenu == submenu && k.Number == number) {
            // Passed on as a plain entry: every platform loads a plain entry's string by its number,
            // while submenus are looked up differently (Windows by the id pairs' menu handles, Wine
            // takes the first pair for all of them).
            wParam = MAKEWPARAM(k.HelpNumber, flags & ~MF_POPUP);
            break;
        }
    }
    UINT ids[4] = {0, 0, 0, 0};
    MenuHelp(WM_MENUSELECT, wParam, lParam, menu_, strings, status, ids);
}

void frmMain::ToolbarTip(NMTBGETINFOTIPA& tip) {
    const ILanguage* lang = App().Language.get();
    ToolbarTipText text = SplitToolbarTip(lang ? lang->getItemValue(1600 + tip.iItem, "") : "");
    if (text.Status) SetStatus(*text.Status);
    if (tip.pszText && tip.cchTextMax > 0) lstrcpynA(tip.pszText, text.Tip.c_str(), tip.cchTextMax);
}

void frmMain::CreateSplitter() {
    WNDCLASSA wc{};
    if (!GetClassInfoA(Instance(), kSplitClass, &wc)) {
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = Instance();
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kSplitClass;
        RegisterClassA(&wc);
    }
    // Only a bar with the sizing pointer: the pane widths are fixed, so it does not drag.
    imgSplit_ = CreateWindowExA(0, kSplitClass, nullptr, WS_CHILD | WS_VISIBLE, splitLeft_, 0, kSplitWidth, 1,
                                hwnd_, nullptr, Instance(), nullptr);
}

void frmMain::WriteBeepFile() {
    const std::string& path = App().BeepFile;
    if (path.empty()) return;
    HRSRC res = FindResourceA(Instance(), "BEEP", "WAVE");
    if (!res) return;
    HGLOBAL data = LoadResource(Instance(), res);
    DWORD size = SizeofResource(Instance(), res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, bytes, size, &written, nullptr);
    CloseHandle(f);
}

void frmMain::setCapMenu() {
    HMENU sys = GetSystemMenu(hwnd_, FALSE);
    if (!sys) return;
    // Remove what an earlier call added, by command number, so entries others added stay.
    for (int id = 1861; id <= 1866; ++id) DeleteMenu(sys, id, MF_BYCOMMAND);
    int count = GetMenuItemCount(sys);
    for (int i = count - 1; i >= 0; --i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_FTYPE;
        if (GetMenuItemInfoA(sys, i, TRUE, &info) && (info.fType & MFT_SEPARATOR) &&
            info.dwItemData == 0x504C4E56) {
            DeleteMenu(sys, i, MF_BYPOSITION);
        }
    }
    // The standard entries end with a separator and Close: insert before that separator.
    int closePos = -1;
    count = GetMenuItemCount(sys);
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(sys, i) == SC_CLOSE) closePos = i;
    int insertAt = closePos >= 0 ? closePos : 6;
    for (int i = 0; i < 6; ++i) {
        std::string caption = App().CaptureCaptions[i];
        if (caption.empty()) caption = " ";
        InsertMenuA(sys, insertAt + i, MF_BYPOSITION | MF_STRING, 1861 + i, caption.c_str());
    }
    InsertMenuA(sys, insertAt + 6, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    // The Tools menu shows each capture's hot key after a tab, as its shortcut text.
    const CurrentSettings& settings = Settings();
    for (int i = 0; i < 6; ++i) {
        std::string caption = App().CaptureCaptions[i];
        if (caption.empty()) {
            char current[256] = {};
            GetMenuStringA(menu_, kCmdCaptureFirst + i, current, sizeof current, MF_BYCOMMAND);
            caption = current;
            caption = caption.substr(0, caption.find('\t'));
        }
        std::string text =
            CaptureMenuCaption(caption, GetHotkeyName(settings.HotkeyModifiers[i], settings.HotkeyKeys[i]));
        ModifyMenuA(menu_, kCmdCaptureFirst + i, MF_BYCOMMAND | MF_STRING, kCmdCaptureFirst + i, text.c_str());
    }
    MENUITEMINFOA mark{};
    mark.cbSize = sizeof mark;
    mark.fMask = MIIM_DATA;
    mark.dwItemData = 0x504C4E56;  // tags our separator for the next rebuild
    SetMenuItemInfoA(sys, insertAt + 6, TRUE, &mark);
}

namespace {
INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) noexcept {
    switch (msg) {
    case WM_INITDIALOG: {
        const ILanguage* lang = App().Language.get();
        std::string caption = lang ? lang->getItemValue(8001, "About Plenvue") : "About Plenvue";
        SetWindowTextA(dlg, caption.c_str());
        std::string version = std::string(kProgramName) + " " + Msg(10012) + kVersion;
        SetDlgItemTextA(dlg, 1002, version.c_str());
        SetDlgItemTextA(dlg, 1003, FormatMessageText(Msg(10028), Msg(11002)).c_str());
        SetDlgItemTextA(dlg, 1004, ("[" + Msg(11003) + "]").c_str());
        SetDlgItemTextA(dlg, 1005, ("[" + Msg(11004) + "]").c_str());
        SetDlgItemTextA(dlg, IDOK, Msg(101).c_str());
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dlg, IDOK);
        return TRUE;
    default:
        return FALSE;
    }
}
}  // namespace

void frmMain::ShowAbout() {
    App().ModalDialog = true;
    DialogBoxParamA(Instance(), "ABOUT", hwnd_, AboutProc, 0);
    App().ModalDialog = false;
}

void frmMain::OnUnload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (!App().BeepFile.empty()) DeleteFileA(App().BeepFile.c_str());
    for (int i = 0; i < 6; ++i) UnregisterHotKey(hwnd_, kHotkeyFirst + i);
    LeaveViewerChain();
    RemoveNotifyIcon();
    toolbar_.Destroy();
    rebar_.Destroy();
    statusBar_.Destroy();
    imageList_.Destroy();
    GetSystemMenu(hwnd_, TRUE);
    picSwap_.Reset();
    undo_.Reset();
    App().Language.reset();
    target_.Reset();
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

}  // namespace plenvue
