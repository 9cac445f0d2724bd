#include "shell/frmMain_win.h"

#include <commdlg.h>
#include <shellapi.h>

#include "base/ErrorObject.h"
#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/Dpi_win.h"
#include "capture/MonitorGeometry.h"
#include "capture/clsCapture_win.h"
#include "capture/frmFullScreen_win.h"
#include "capture/RavelinHook_win.h"
#include "capture/frmSnapWindow_win.h"
#include "capture/SelectionGeometry.h"
#include "settings/CurrentSettings.h"
#include "settings/HotkeyHealth.h"
#include "settings/modRegistry_win.h"
#include "base/ErrorObject.h"
#include "shell/AboutBox_win.h"
#include "shell/ImageCommands_win.h"
#include "shell/MainMenu.h"
#include "shell/MainWindowText.h"
#include "settings/SaveFolder_win.h"
#include "base/win/Wide_win.h"
#include "base/win/WideText_win.h"

namespace plenvue {

namespace {

constexpr const char* kWindowClass = "PlenvueMainWindow";
constexpr int kHistoryListId = 300;
constexpr int kScrollerId = 301;
constexpr int kCanvasId = 302;
// Sizes designed at 96 DPI.
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;
constexpr int kMinTrackWidth = 400;
constexpr int kMinTrackHeight = 300;
// Posted to itself: the start requests waiting are run.
constexpr UINT kMsgRunRequests = WM_APP + 41;
// Posted by the kept history's writer: a picture could not be kept.
constexpr UINT kMsgKeptWriteFailed = WM_APP + 43;
// Posted to itself from a click on the balloon: the Options dialog opens on its hot-key page, once
// the icon's message is answered.
constexpr UINT kMsgOpenHotkeys = WM_APP + 42;
constexpr int kHotkeyPage = 3;
// The room of the balloon's title and text, in UTF-16 units (the status bar cuts its own).
constexpr size_t kBalloonTitleUnits = 63;
constexpr size_t kBalloonTextUnits = 255;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }
HICON ProgramIcon() { return LoadIconA(Instance(), MAKEINTRESOURCEA(1)); }

}  // namespace

frmMain::~frmMain() { OnUnload(); }

bool frmMain::Load(int showCommand) {
    RegisterWindowClass({kWindowClass, FormWindowProc<frmMain>, IDC_ARROW, ButtonFaceBrush(), 0, ProgramIcon(),
                         static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0))});

    // Sized for the system DPI, then for the DPI of the monitor the window came up on.
    const int32_t systemDpi = SystemDpi();
    CreateWindowExW(0, Widen(kWindowClass).c_str(), Widen(kProgramTitle).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                    CW_USEDEFAULT, ScaleForDpi(kInitialWidth, systemDpi), ScaleForDpi(kInitialHeight, systemDpi),
                    nullptr, nullptr, Instance(), this);
    if (!loaded_) return false;
    // A large scaling on a small screen would leave the window larger than its monitor.
    RECT now{};
    GetWindowRect(hwnd_, &now);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ScreenRect work;
    if (GetMonitorInfoA(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor))
        work = {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
    const ScreenRect fit =
        InitialWindowRect(now.left, now.top, kInitialWidth, kInitialHeight, loaded_->bars.Dpi(), work);
    if (fit != ScreenRect{now.left, now.top, now.right, now.bottom}) {
        SetWindowPos(hwnd_, nullptr, fit.Left, fit.Top, fit.Right - fit.Left, fit.Bottom - fit.Top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    accel_.reset(CreateMainAccelerators());
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    return true;
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        return Dispatch(msg, wParam, lParam);
    } catch (const std::exception& e) {
        ShowMessageBox(hwnd_, e.what(), kProgramName, MB_ICONERROR);
        return 0;
    }
}

LRESULT frmMain::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
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
        SendMessageW(canvas_, msg, wParam, lParam);
        return 0;
    case WM_INITMENUPOPUP: {
        auto popup = reinterpret_cast<HMENU>(wParam);
        if (popup == GetSubMenu(menu_, 0)) OnFileMenuOpening(popup);
        if (popup == GetSubMenu(menu_, 1)) OnEditMenuOpening(popup);
        if (popup == GetSubMenu(menu_, 3)) OnDrawMenuOpening(popup);
        if (!HIWORD(lParam)) UpdateImageMenu(popup, !picSwap_.Empty());
        break;
    }
    case WM_TIMER:
        if (delayed_.OnTimer(wParam)) return 0;
        break;
    case WM_ACTIVATE:
        OnActivate(wParam, reinterpret_cast<HWND>(lParam));
        break;
    case WM_DPICHANGED:
        OnDpiChanged(DpiOfDpiChanged(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
    case kMsgRunRequests:
        RunRequests();
        return 0;
    case kMsgKeptWriteFailed:
        if (std::string reason = kept_.TakeFailure(); !reason.empty())
            SetStatus(FormatMessageText(Msg(kMsgKeptFailed), reason));
        return 0;
    case kMsgOpenHotkeys:
        if (App().ModalDialog) return 0;
        BringForward();
        ShowOptions(kHotkeyPage);
        return 0;
    case WM_SETFOCUS:
        // The canvas takes the keys: the tools' letters, arrows, Escape and Enter.
        if (canvas_) SetFocus(canvas_);
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ENDSESSION:
        // The system ends the program once this returns, without unwinding a window pick in progress.
        if (wParam) RavelinHook::RemoveActive();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        if (loaded_ && loaded_->icon.OnShellRestarted(msg)) return 0;
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void frmMain::Message(int32_t slot, HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    try {
        if (!loaded_) {
            result = DefaultProcessing(slot);
            return;
        }
        Registrations& parts = *loaded_;
        if (parts.viewer.OnMessage(message, wParam, lParam, [this] { SetPic(); })) return;
        switch (message) {
        case WM_GETMINMAXINFO: {
            auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
            mm->ptMinTrackSize.x = ScaleForDpi(kMinTrackWidth, parts.bars.Dpi());
            mm->ptMinTrackSize.y = ScaleForDpi(kMinTrackHeight, parts.bars.Dpi());
            return;
        }
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            if (hdr->hwndFrom == parts.bars.ToolStrip() && hdr->code == TBN_GETINFOTIPW) {
                if (auto status = MainBars::FillToolTip(*reinterpret_cast<NMTBGETINFOTIPW*>(lParam), App().Language.get()))
                    SetStatus(*status);
                result = 1;
                return;
            }
            if (hdr->hwndFrom != parts.bars.Toolbar() || !parts.bars.Toolbar()) break;
            // The toolbar asks for a button's tip on behalf of its tooltip window.
            auto answer = [&](auto& tip) {
                if (auto status = MainBars::FillTip(tip, App().Language.get())) SetStatus(*status);
                result = 1;
            };
            if (hdr->code == TBN_GETINFOTIPA) answer(*reinterpret_cast<NMTBGETINFOTIPA*>(lParam));
            else if (hdr->code == TBN_GETINFOTIPW) answer(*reinterpret_cast<NMTBGETINFOTIPW*>(lParam));
            return;
        }
        case WM_SYSCOMMAND:
            if (std::optional<int> index = CaptureIndexFromSystemCommand(static_cast<int32_t>(wParam))) {
                SnapIt(*index);
                return;
            }
            if (wParam == kSysExit) {
                Exit();
                return;
            }
            break;
        case WM_MENUSELECT: {
            HMODULE strings = App().Language ? App().Language->LanguagePackageInstance() : nullptr;
            menuHelp_.OnMenuSelect(menu_, wParam, lParam, parts.bars.StatusBar(), strings);
            return;
        }
        case WM_HOTKEY:
            if (App().ModalDialog) MessageBeep(MB_OK);
            else if (std::optional<int> index = CaptureIndexFromHotkeyId(static_cast<int32_t>(wParam)))
                SnapIt(*index, true);
            return;
        case NotifyIcon::kCallbackMessage:
            parts.icon.OnCallback(lParam, [this] { BringForward(); },
                                  [this] { PostMessageW(hwnd_, kMsgOpenHotkeys, 0, 0); });
            return;
        default:
            break;
        }
    } catch (const std::exception& e) {
        ShowMessageBox(hwnd_, e.what(), kProgramName, MB_ICONERROR);
        return;
    }
    result = DefaultProcessing(slot);
}

void frmMain::OnCreate() {
    loaded_ = std::make_unique<Registrations>();
    Registrations& parts = *loaded_;
    parts.window.reset(hwnd_);
    title_ = kProgramTitle;
    historyMode_ = "PREVIEW";
    menu_ = CreateMainMenu(App().Language.get());
    SetMenu(hwnd_, menu_);
    editor_.Create(hwnd_, kCanvasId, RECT{0, 0, 10, 10}, WS_EX_CLIENTEDGE);
    canvas_ = editor_.hWnd();
    panes_.SetCanvas(canvas_);
    HWND list = panes_.CreateList(hwnd_, kHistoryListId);
    panes_.SetDpi(WindowDpi(hwnd_));
    history_.Create(hwnd_, list, kScrollerId, [this](const std::string& path, bool add) { OpenPicture(path, add); });
    panes_.SetStrip(history_.Scroller());
    panes_.CreateSplitter(hwnd_);
    parts.bars.Create(hwnd_, Instance(), Msg(10001));
    WireEditor();
    parts.beep.Write(App().BeepFile, Instance());
    parts.icon.Add(hwnd_, ProgramIcon(), kProgramTitle);
    GetCurrentSettings();
    ShowHistoryPane();
    if (!Settings().ShowHistoryList.empty()) ToggleHistory();
    history_.RemoveMenuText = Msg(kMsgRemoveFromHistory);
    history_.RemoveRequested = [this](const std::string& path) { RemoveHistoryEntry(path); };
    if (!ConfirmDelete)
        ConfirmDelete = [this](const std::string& question) {
            return ShowMessageBox(hwnd_, question, kProgramName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
        };
    kept_.NotifyFailures(hwnd_, kMsgKeptWriteFailed);
    kept_.Open(HistoryFolder, KeptLimitsFromText(Settings().KeptPictures, Settings().KeptMegabytes));
    ListKeptHistory();
    SetConPro();
    SetWindowTextUtf8(hwnd_, title_);
    ArrangeControls();
    menuHelp_.Build(menu_);
    // Before joining the viewer chain: the platform sends draw-clipboard from inside the join.
    parts.target.Attach(hwnd_, this);
    AttachDelayedCapture();
    if (Settings().ClipboardMonitorAtStart) FollowClipboardMonitor();
}

void frmMain::GetCurrentSettings() {
    CurrentSettings& settings = Settings();
    SettingReader read = [](std::string_view name) { return ReadSetting(std::string(name)); };
    LoadCurrentSettings(read, DefaultSaveFolder(App().ProgramFolder), settings);
    historyMode_ = settings.HistoryListStatus;
    ReportHotkeysInUse(loaded_->hotkeys.Register(hwnd_, read, settings));
    setCapMenu();
}

void frmMain::ReportHotkeysInUse(const std::vector<int>& failed) {
    if (failed.empty() || !loaded_) return;
    // Said without stopping the start: a start with Windows would otherwise wait on a box no one sees.
    const std::vector<std::string> lines =
        HotkeyInUseLines(Msg(kMsgHotkeyInUseLine), failed, Settings(), App().HotkeyNames, [](int item, const std::string& word) {
            return App().Language ? App().Language->getItemValue(item, word) : word;
        });
    SetStatus(JoinWithin(lines, "; ", kStatusTextUnits));
    loaded_->icon.ShowBalloon(JoinWithin({Msg(kMsgHotkeyInUseTitle)}, "", kBalloonTitleUnits),
                              JoinWithin(lines, "\r\n", kBalloonTextUnits));
    hotkeysReported_ = true;
}

void frmMain::SetStatus(const std::string& text) {
    if (loaded_) loaded_->bars.SetStatus(text);
}

void frmMain::OnSize(WPARAM type) {
    if (type == SIZE_MINIMIZED) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    if (loaded_) loaded_->bars.FollowParentSize(hwnd_);
    ArrangeControls();
}

void frmMain::OnDpiChanged(int32_t dpi, const RECT* suggested) {
    if (!loaded_) return;
    loaded_->bars.Rescale(hwnd_, dpi);
    panes_.SetDpi(dpi);
    history_.SetDpi(dpi);
    // The platform's rectangle keeps the window's place on the new monitor; the size message it
    // brings lays the window out again.
    if (suggested) {
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ArrangeControls();
}

void frmMain::ArrangeControls() {
    if (loaded_) panes_.Arrange(hwnd_, loaded_->bars.ToolbarHeight(), loaded_->bars.StatusBarHeight(), historyMode_);
}

void frmMain::ShowHistoryPane() { panes_.ShowHistoryPane(historyMode_, MenuChecked(kCmdHistory)); }

bool frmMain::MenuChecked(int id) const { return (GetMenuState(menu_, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

void frmMain::SetMenuChecked(int id, bool on) { CheckMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); }

void frmMain::SnapIt(int index, bool fromHotkey) {
    const bool windowCapture = index == 2 || index == 3 || index == 5;
    captureTarget_ = !fromHotkey && windowCapture && before_ && IsWindow(before_) && IsWindowVisible(before_)
                         ? before_
                         : nullptr;
    if (RequestCapture(index)) CaptureNow(index);
}

namespace {
// A window another program shows to the user: visible, not minimised, not a tool window, and not
// ours (our own windows are never the window "active before Plenvue").
bool IsOtherProgramWindow(HWND w) {
    if (!w || !IsWindowVisible(w) || IsIconic(w)) return false;
    if (GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() || w == GetDesktopWindow() || w == GetShellWindow()) return false;
    char className[64] = {}, title[64] = {};
    GetClassNameA(w, className, sizeof className);
    GetWindowTextA(w, title, sizeof title);
    return !IsShellWindow(className, title);
}
}  // namespace

void frmMain::OnActivate(WPARAM state, HWND previous) {
    if (LOWORD(state) == WA_INACTIVE) return;
    // The system names the window it deactivates where it can; else the one just below us is
    // the window that was in front before.
    HWND candidate = previous ? GetAncestor(previous, GA_ROOT) : nullptr;
    if (!IsOtherProgramWindow(candidate)) {
        candidate = nullptr;
        // Bounded: the list can change while it is walked.
        int left = 1000;
        for (HWND w = GetWindow(hwnd_, GW_HWNDNEXT); w && left > 0; w = GetWindow(w, GW_HWNDNEXT), --left) {
            if (IsOtherProgramWindow(w) && !GetWindow(w, GW_OWNER)) {
                candidate = w;
                break;
            }
        }
    }
    before_ = candidate;
}

void frmMain::CaptureNow(int index) {
    Picture picture;
    if (index == 0 || index == 2 || index == 3 || index == 5) {
        clsCapture& engine = SharedCapture();
        if (index == 0) engine.CaptureMethod(0);
        else if (index == 2) engine.CaptureMethod(3);
        else if (index == 3) engine.CaptureMethod(4);
        engine.hasMouseCursor(MenuChecked(kCmdIncludeCursor));
        engine.FullArea(Settings().FullScreen);
        engine.TargetWindow(captureTarget_);
        try {
            if (index == 5 && engine.RepeatIsOffMonitors()) {
                ShowMessageBox(hwnd_, Msg(kMsgRepeatOffMonitors), kProgramName, MB_ICONINFORMATION);
                ComeBack();
                return;
            }
            picture = engine.Capture();
        } catch (const ErrorObject& e) {
            ShowMessageBox(hwnd_, ErrorBoxText(e), kProgramName, MB_ICONERROR);
        } catch (const std::exception& e) {
            ShowMessageBox(hwnd_, e.what(), kProgramName, MB_ICONERROR);
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
    // A cancelled, too small or failed capture is no capture: canvas, caption and status stay.
    SIZE s = picture.PixelSize();
    if (picture.Empty() || s.cx <= 0 || s.cy <= 0) {
        ComeBack();
        return;
    }
    ParkDocument();
    picSwap_ = picture;
    ForgetDocument();
    SetCurrentFile("");
    ShowPic();
    KeepNewPicture();
    // Before auto-save: the monitor then sees our own picture and leaves it alone.
    if (Settings().CopyEveryCapture) CopyPicture(false);
    if (Settings().AutoSaveAtStart) AutoSavePic();
    ApplyKeptLimits();
    SetStatus(CaptureStatusText(Msg(10015), s.cx, s.cy));
    ComeBack();
}

void frmMain::Request(const StartRequest& request) {
    requests_.push_back(request);
    PostMessageW(hwnd_, kMsgRunRequests, 0, 0);
}

bool frmMain::OnCopyData(const COPYDATASTRUCT* data) {
    if (!data || data->dwData != kHandOverTag) return false;
    std::optional<std::vector<std::string>> args = DecodeHandOver(data->lpData, data->cbData);
    if (!args) return false;
    Request(ParseStartSwitches(*args));
    return true;
}

void frmMain::RunRequests() {
    while (!requests_.empty() && loaded_) {
        const StartRequest request = requests_.front();
        requests_.pop_front();
        switch (request.Action) {
            case StartAction::Show: BringForward(); break;
            case StartAction::Tray: break;
            case StartAction::Capture:
                // As a hot key is refused while a dialog is up, so is a capture from outside.
                if (App().ModalDialog) MessageBeep(MB_OK);
                else SnapIt(request.CaptureIndex);
                break;
            case StartAction::Edit: EditFile(request.File); break;
        }
    }
}

void frmMain::EditFile(const std::string& path) {
    if (App().ModalDialog) {
        MessageBeep(MB_OK);
        return;
    }
    BringForward();
    HANDLE file = CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool readable = file != INVALID_HANDLE_VALUE && !(GetFileAttributesW(WideName(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!readable) {
        ShowMessageBox(hwnd_, FormatMessageText(Msg(kMsgEditCannotOpen), path), kProgramName, MB_ICONERROR);
        return;
    }
    OpenPicture(path, true);
}

void frmMain::BringForward() {
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void frmMain::ComeBack() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

void frmMain::ShowPic() {
    if (picSwap_.Empty()) {
        doc_.Clear();
        newDocument_ = true;
        unsaved_ = false;
        editor_.Attach(nullptr);
    } else {
        // Every picture on the canvas is editable at once: a document is started from it.
        if (doc_.Empty()) {
            clsDIBSection dib;
            if (DibFromPicture(picSwap_, dib)) doc_.Reset(dib);
            newDocument_ = true;
        }
        if (newDocument_) {
            editor_.Attach(doc_.Empty() ? nullptr : &doc_);
            newDocument_ = false;
            unsaved_ = false;
            if (GetActiveWindow() == hwnd_) SetFocus(canvas_);
        } else {
            editor_.Refresh();
        }
    }
    UpdateEditStatus();
}

void frmMain::SetCurrentFile(const std::string& path) {
    currentFile_ = path;
    SetWindowTextUtf8(hwnd_, MainWindowCaption(title_, path));
}

void frmMain::setCapMenu() {
    if (!loaded_) return;
    const std::string exitCaption = App().Language ? App().Language->getItemValue(1117, "E&xit") : "E&xit";
    loaded_->systemMenu.Insert(hwnd_, App().CaptureCaptions, exitCaption);
    ShowCaptureHotkeys(menu_, App().CaptureCaptions, Settings());
}

void frmMain::OnClose() {
    if (!KeepsRunningOnClose()) {
        Exit();
        return;
    }
    // Minimised first, so that the icon's menu offers Restore; minimising hides the window.
    if (loaded_) loaded_->icon.EnsureAdded();
    if (IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_MINIMIZE);
}

void frmMain::Exit() {
    // From the icon's menu the window may be hidden: the question shows the picture it is about.
    if (HasUnsavedObjects() && !IsWindowVisible(hwnd_)) BringForward();
    if (ConfirmClose()) OnUnload();
}

void frmMain::ShowAbout() { ShowAboutBox(hwnd_); }

void frmMain::OnUnload() {
    if (!loaded_) return;
    delayed_.Stop();
    picSwap_.Reset();
    ForgetDocument();
    parked_.clear();
    // Destroying the registrations is the unload, in the order their declaration gives.
    std::unique_ptr<Registrations> parts = std::move(loaded_);
    parts.reset();
    hwnd_ = nullptr;
    canvas_ = nullptr;
}

}  // namespace plenvue
