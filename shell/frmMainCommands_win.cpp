// The main window's commands of the View, Tools and Help menus and their toolbar buttons, the
// settings they show; the clipboard and the capture delay are in frmMainClipboard_win.cpp, the File menu and the history are in
// frmMainFiles_win.cpp, the Image menu in ImageCommands_win.cpp.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "base/win/modDeclare_win.h"
#include "settings/CurrentSettings.h"
#include "settings/modRegistry_win.h"
#include "shell/Clipboard_win.h"
#include "shell/ImageCommands_win.h"
#include "shell/MainMenu.h"
#include "shell/HelpTopics.h"
#include "shell/Help_win.h"
#include "shell/MainWindowText.h"
#include "shell/frmMain_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

void frmMain::OnCommand(int id) {
    // A text being typed is finished first: every command works on the picture as it shows.
    editor_.EndText(true);
    if (id == kCmdEditUndo) id = kCmdUndo;
    if (OnFileCommand(id)) return;
    if (OnEditorCommand(id)) return;
    switch (id) {
    case kTbContent: OpenHelp(); return;
    case kTbHistory: ToggleHistory(); return;
    case kTbPrevious: StepHistory(-1); return;
    case kTbNext: StepHistory(1); return;
    case kTbClearHistory: ClearHistory(); return;
    case kCmdExit: Exit(); return;
    case kCmdToolBar: ToggleToolBar(); return;
    case kCmdStatusBar: ToggleStatusBar(); return;
    case kCmdHistory: ToggleHistory(); return;
    case kCmdColor: ChooseCanvasColor(); return;
    case kCmdIncludeCursor: SetMenuChecked(id, !MenuChecked(id)); return;
    case kCmdCMonitor: ToggleClipboardMonitor(); return;
    case kCmdAutoSave: ToggleAutoSave(); return;
    case kTbCopy:
    case kCmdCopy: CopyPicture(true); return;
    case kCmdPaste: PastePicture(); return;
    case kCmdClearClip:
        if (OpenClipboard(hwnd_)) {
            EmptyClipboard();
            CloseClipboard();
        }
        return;
    case kCmdClearCanvas:
        ParkDocument();
        picSwap_.Reset();
        ForgetDocument();
        ShowPic();
        currentFile_.clear();
        return;
    case kCmdContent: OpenHelp(); return;
    case kCmdEmail: ShellExecuteW(hwnd_, L"open", Widen(Msg(11003)).c_str(), nullptr, nullptr, SW_SHOWNORMAL); return;
    case kCmdHomepage: ShellExecuteW(hwnd_, L"open", Widen(Msg(11004)).c_str(), nullptr, nullptr, SW_SHOWNORMAL); return;
    case kCmdAbout: ShowAbout(); return;
    case kCmdOption: ShowOptions(); return;
    default: break;
    }
    if (RunImageCommand(hwnd_, id, {picSwap_, doc_})) {
        unsaved_ = true;
        kept_.KeepCopy(entryPath_, doc_);  // Undo and the Image menu's commands are kept as drawings are
        ShowPic();
        return;
    }
    if (std::optional<int> index = CaptureIndexFromToolbarCommand(id)) SnapIt(*index);
    else if (id >= kCmdCaptureFirst && id <= kCmdCaptureLast) SnapIt(id - kCmdCaptureFirst);
    else if (id >= kCmdDelayFirst && id <= kCmdDelayLast) SetCaptureDelay(id - kCmdDelayFirst);
}

void frmMain::FollowClipboardMonitor() {
    if (!loaded_) return;
    if (Settings().ClipboardMonitorAtStart) {
        // What is on the clipboard when the monitor starts was copied before: only what is
        // copied from now on is new (else every start would take the same picture again).
        if (!loaded_->viewer.Joined()) clipboardChanges_.Read(ClipboardSequence());
        loaded_->viewer.Join(hwnd_);
    } else {
        loaded_->viewer.Leave();
    }
}

void frmMain::ToggleClipboardMonitor() {
    CurrentSettings& settings = Settings();
    settings.ClipboardMonitorAtStart = settings.ClipboardMonitorAtStart ? 0 : -1;
    SetMenuChecked(kCmdCMonitor, settings.ClipboardMonitorAtStart != 0);
    FollowClipboardMonitor();
}

void frmMain::ToggleAutoSave() {
    CurrentSettings& settings = Settings();
    settings.AutoSaveAtStart = settings.AutoSaveAtStart ? 0 : -1;
    SetMenuChecked(kCmdAutoSave, settings.AutoSaveAtStart != 0);
}

void frmMain::ToggleToolBar() {
    bool on = !MenuChecked(kCmdToolBar);
    SetMenuChecked(kCmdToolBar, on);
    if (loaded_) loaded_->bars.ShowToolbar(on);
    ArrangeControls();
}

void frmMain::ToggleStatusBar() {
    bool on = !MenuChecked(kCmdStatusBar);
    SetMenuChecked(kCmdStatusBar, on);
    if (loaded_) loaded_->bars.ShowStatusBar(on);
    ArrangeControls();
}

void frmMain::ToggleHistory() {
    if (!loaded_) return;
    if (historyMode_ == "NONE") {
        // A click on the check button has already flipped its look; nothing changed, so flip it back.
        loaded_->bars.CheckHistoryButton(MenuChecked(kCmdHistory));
        return;
    }
    bool on = !MenuChecked(kCmdHistory);
    SetMenuChecked(kCmdHistory, on);
    ShowHistoryPane();
    loaded_->bars.CheckHistoryButton(on);
    panes_.PaneShown(on);
    ArrangeControls();
}

void frmMain::ChooseCanvasColor() {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwnd_;
    cc.rgbResult = canvasColor_;
    cc.lpCustColors = customColors_;
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorW(&cc)) return;
    canvasColor_ = cc.rgbResult;
    Settings().CanvasColor = std::to_string(static_cast<int32_t>(canvasColor_));
    editor_.Background(canvasColor_);
    WriteSetting(kValForeColor, Settings().CanvasColor);
}

void frmMain::OpenHelp() { OpenHelpTopic(hwnd_, kHelpContents); }

void frmMain::SetConPro() {
    const CurrentSettings& settings = Settings();
    SetMenuChecked(kCmdAutoSave, settings.AutoSaveAtStart != 0);
    SetMenuChecked(kCmdCMonitor, settings.ClipboardMonitorAtStart != 0);
    ShowCaptureDelay();
    int32_t colour = CanvasColorValue(settings.CanvasColor);
    if (colour >= 0) canvasColor_ = static_cast<COLORREF>(colour);
    editor_.Background(colour < 0 ? GetSysColor(colour & 0xFF) : static_cast<COLORREF>(colour));
}

}  // namespace plenvue
