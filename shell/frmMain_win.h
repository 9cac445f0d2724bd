// The main window: canvas, history pane, toolbar in a rebar, status bar, menus, and the
// capture command every capture source ends in.
#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>
#include <memory>
#include <string>

#include "base/win/Handles_win.h"
#include "base/win/WindowThunk_win.h"
#include "base/win/modCBSubclass_win.h"
#include "base/win/modDeclare_win.h"
#include "markup/EditorView_win.h"
#include "markup/MarkupDocument.h"
#include "markup/TextPainter_win.h"
#include "settings/CurrentSettings.h"
#include "image/Picture_win.h"
#include "shell/AutoSaveName.h"
#include "shell/BeepFile_win.h"
#include "shell/CaptureHotkeys_win.h"
#include "shell/ClipboardChange.h"
#include "shell/ClipboardViewer_win.h"
#include "shell/DelayedCapture_win.h"
#include "shell/HistoryPane_win.h"
#include "shell/KeptHistory_win.h"
#include "shell/MainBars_win.h"
#include "shell/MainMenuBar_win.h"
#include "shell/MainPanes_win.h"
#include "shell/NotifyIcon_win.h"
#include "shell/StartSwitches.h"
#include "shell/SystemMenu_win.h"

namespace plenvue {

class frmMain : public IMessageTarget {
public:
    frmMain() = default;
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Creates and shows the window; false when it could not be created.
    bool Load(int showCommand);
    HWND hWnd() const { return hwnd_; }
    HACCEL Accelerators() const { return accel_.get(); }

    // The capture command. From a hot key the window captures take the active window of the
    // moment; from Plenvue's own menus and buttons, the window that was active before Plenvue.
    void SnapIt(int index, bool fromHotkey = false);
    // What a start asked for (its own or a second start's, handed over): done once the message
    // loop runs, so that a second start is answered at once.
    void Request(const StartRequest& request);
    // How long the capture command waits with the window hidden, so that the screen is redrawn
    // without it before the capture, and how it waits; replaceable so tests can see the wait.
    uint32_t CaptureHideDelayMs = 500;
    // The question on close about unsaved drawings (IDYES, IDNO, IDCANCEL); replaceable so that
    // tests never wait on a message box.
    std::function<int()> AskToSaveDrawings;
    // A Yes/No question before history entries never saved are deleted; true for Yes.
    // Replaceable for the same reason.
    std::function<bool(const std::string& question)> ConfirmDelete;
    // Where the kept history lives (set before Load; WinMain gives %LOCALAPPDATA%\Plenvue\History).
    // Empty keeps nothing beyond the run.
    std::string HistoryFolder;
    KeptHistory& Kept() { return kept_; }
    // Started with /tray: for this run, closing the window hides it as the Options setting would.
    bool TrayStart = false;
    std::function<void(uint32_t ms)> CaptureSleep = [](uint32_t ms) { Sleep(ms); };
    void setCapMenu();
    void SetCurrentFile(const std::string& path);
    void SetStatus(const std::string& text);
    // The load step: reads every setting, registers the hot keys and reports those that failed.
    void GetCurrentSettings();
    // The capture hot keys another program holds, named in one balloon and in the status bar.
    void ReportHotkeysInUse(const std::vector<int>& failed);
    // Applies the current settings to the window: check marks and canvas colour.
    void SetConPro();
    // The clipboard monitor: takes a picture another program put on the clipboard onto the canvas,
    // each change once.
    void SetPic();
    // Copy: the working picture onto the clipboard (nothing with an empty canvas); `report` says
    // so in the status bar.
    void CopyPicture(bool report);
    // Paste: the clipboard's picture as the current picture, whether or not the monitor is on.
    void PastePicture();
    // The capture delay for this run, by the Tools menu's entry index (none, 3, 5, 10 seconds).
    void SetCaptureDelay(int index);
    // Relabels menus and the status text from the current language object (after a change).
    void ApplyLanguage();

    const Picture& WorkingPicture() const { return picSwap_; }
    const std::string& CurrentFile() const { return currentFile_; }

    // Loads a picture file onto the canvas; true when it was loaded. Failures are reported here.
    bool OpenPicture(const std::string& path, bool addHistory);
    // Saves the working picture by the path's extension; true when the file was written. A failed
    // save is reported and changes neither the current file nor the history.
    bool SavePic(const std::string& path);
    // Saves under the next free generated name in the auto-save folder.
    void AutoSavePic();

    // Adds an entry for the file just opened or saved, with the working picture as its thumbnail.
    void AddHistory(const std::string& path, bool open = true);
    void StepHistory(int32_t d);
    // Empties the history pane and the kept history (asking first when that deletes pictures never saved).
    void ClearHistory();
    // Takes one entry off the history: its kept copy goes, never a file the user saved.
    void RemoveHistoryEntry(const std::string& path);
    HistoryPane& History() { return history_; }
    // The canvas: the mark-up editor over the working picture's document.
    markup::EditorView& Editor() { return editor_; }
    const markup::MarkupDocument& Document() const { return doc_; }
    // The message loop leaves keys for the editor's text box to it, untranslated.
    bool KeysBelongToTextBox(HWND target) const { return editor_.IsTextBox(target); }
    // A wheel message over the history strip is sent to the strip instead of the focus window.
    void RouteWheel(MSG& msg) const {
        const POINT at{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
        if (history_.StripContains(at)) msg.hwnd = history_.Scroller();
    }
    // Drawings made since the picture was last saved (or opened): closing asks about them.
    bool HasUnsavedObjects() const;

    // The raw messages: notification icon, hot keys, clipboard chain, toolbar notifications, menu help.
    void Message(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                 LRESULT& result) override;

private:
    template <class T>
    friend T* WindowObject(HWND, UINT, LPARAM) noexcept;
    template <class T>
    friend LRESULT CALLBACK FormWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    // What a handler that throws something other than an exception leaves: the window unloads.
    void Close() { OnUnload(); }

    void OnCreate();
    void OnSize(WPARAM type);
    // The window moved to a monitor of another DPI: bars, panes and history for it, at the
    // platform's suggested place and size.
    void OnDpiChanged(int32_t dpi, const RECT* suggested);
    void OnCommand(int id);
    void OnUnload();
    // Before the window closes: unsaved drawings are saved, or left, as the user answers; false
    // when the user would rather keep the window.
    bool ConfirmClose();
    // The close button and Alt+F4: the window goes to the notification area when the setting (or
    // a /tray start) says so; otherwise, and from File > Exit always, the program ends.
    void OnClose();
    bool KeepsRunningOnClose() const { return TrayStart || Settings().CloseToTray; }
    // File > Exit and the icon menu's Exit: the question about unsaved drawings, then the end.
    void Exit();

    // The editor (in frmMainEditor_win.cpp): its commands, style, menus and status parts.
    bool OnEditorCommand(int id);
    void WireEditor();
    void OnEditorStep();
    void UpdateEditStatus();
    void OnEditMenuOpening(HMENU menu);
    void OnDrawMenuOpening(HMENU menu);
    void LoadToolStyles();
    // The tool whose style the Draw menu's style entries change: the current drawing tool, else
    // the tool of the first selected object, else Rectangle.
    markup::Tool StyleTool() const;
    // Gives the style tool `change`d style, remembers it, and restyles the selected objects.
    void ChangeStyle(const std::function<void(markup::MarkupObject&)>& change);
    // The same for a given tool; `restyle`: the selected objects take the new style too.
    void ChangeStyleOf(markup::Tool tool, const std::function<void(markup::MarkupObject&)>& change, bool restyle = true);
    void ChooseStyleColour();
    void UseStyleColour(markup::Rgba colour);
    void ChooseStyleFont();

    void ArrangeControls();
    void ShowPic();
    void ShowHistoryPane();
    void ToggleToolBar();
    void ToggleStatusBar();
    void ToggleHistory();
    void ChooseCanvasColor();
    void ShowAbout();
    // The Options dialog, on the given page (3: the hot keys).
    void ShowOptions(int page = 0);
    void OpenHelp();
    bool MenuChecked(int id) const;
    void SetMenuChecked(int id, bool on);
    void ToggleClipboardMonitor();
    // Joins or leaves the viewer chain as the monitor setting says.
    void FollowClipboardMonitor();
    void ToggleAutoSave();
    // The File menu commands (in frmMainFiles_win.cpp); false for other ids.
    bool OnFileCommand(int id);
    void OnFileMenuOpening(HMENU menu);
    void mnuOpen();
    void mnuSave();
    void mnuSaveAs();
    void mnuFileOperator(int index);
    void mnuPrint();
    // In frmMainClipboard_win.cpp.
    void TakeClipboardPicture(const Picture& picture);
    void ShowCaptureDelay();
    void AttachDelayedCapture();
    void SetNotifyTip(const std::string& text);
    // Hides the window and starts the delay; true when the capture is to run at once.
    bool RequestCapture(int index);
    // The capture itself, the window already hidden; shows it again at the end.
    void CaptureNow(int index);
    // The window shown again and in front after a capture, whatever its outcome.
    void ComeBack();
    // A second start's command line; true when it was one.
    bool OnCopyData(const COPYDATASTRUCT* data);
    void RunRequests();
    // Opens a /edit file as File > Open does; a file that cannot be read is said so and changes nothing.
    void EditFile(const std::string& path);
    // Shown, restored and in front (also from the notification area).
    void BringForward();
    // Remembers the window that was active before Plenvue, as the main window becomes active.
    void OnActivate(WPARAM state, HWND previous);

    // What loading registers with the system, each owner undoing its own part when destroyed.
    // Declared in the reverse of the unload order, so that destroying them is the unload: the
    // beep file goes first, then the subclassing, the viewer chain, the hot keys, the icon, the
    // bars, the system-menu entries, the shared language object, and the window itself last.
    struct SharedLanguageRelease {
        ~SharedLanguageRelease() { App().Language.reset(); }
    };
    struct Registrations {
        UniqueHandle<HWND, SimpleTraits<HWND, DestroyWindow>> window;
        SharedLanguageRelease language;
        SystemMenuEntries systemMenu;
        MainBars bars;
        NotifyIcon icon;
        CaptureHotkeys hotkeys;
        ClipboardViewer viewer;
        MessageTargetAttachment target;
        BeepFile beep;
    };
    // Null before the window is created and from the start of its unload on.
    std::unique_ptr<Registrations> loaded_;

    HWND hwnd_ = nullptr;
    UniqueHandle<HACCEL, SimpleTraits<HACCEL, DestroyAcceleratorTable>> accel_;
    markup::EditorView editor_;
    HWND canvas_ = nullptr;  // editor_'s window
    MainPanes panes_;
    HistoryPane history_;
    HMENU menu_ = nullptr;
    MainMenuHelp menuHelp_;

    Picture picSwap_;
    // The working picture's mark-up and history; cleared for every new picture. docFile_: the file
    // the document was last saved to, which the history pane opens again right after the save:
    // that reopening keeps the document and its steps.
    markup::GdiTextPainter textPainter_;
    markup::MarkupDocument doc_;
    std::string docFile_;
    // The canvas is to take the document afresh (a new picture) at the next ShowPic.
    bool newDocument_ = true;
    bool unsaved_ = false;
    void ForgetDocument() {
        doc_.Clear();
        docFile_.clear();
        newDocument_ = true;
        unsaved_ = false;
    }
    // Pictures being edited that a new one replaced: kept with their objects and steps, by the
    // path of their history entry (their file, or the editable PNG kept for an unsaved capture),
    // and taken up again when that entry is chosen.
    struct ParkedEdit {
        std::unique_ptr<markup::MarkupDocument> doc;
        std::string docFile;
        std::string currentFile;  // empty: a capture or paste never saved
        bool unsaved = false;
    };
    std::map<std::string, ParkedEdit> parked_;
    // The history entry of the picture on the canvas (its file, or its kept copy), if it has one.
    std::string entryPath_;
    KeptHistory kept_;
    // Lists the kept history in the pane (at load, and when the pane's mode changes).
    void ListKeptHistory();
    // A capture or paste just put on the canvas: its entry, kept at once.
    void KeepNewPicture();
    void ApplyKeptLimits();
    // Before a new picture replaces an edited one: sets it aside (see parked_).
    void ParkDocument();
    // Takes up a document set aside for this history path; false when none is.
    bool ResumeParked(const std::string& path);
    std::vector<markup::Rgba> recentColours_;
    std::vector<UniqueBitmap> recentSwatches_;  // the Recent Colours entries' pictures
    HWND before_ = nullptr;         // the other program's window active before Plenvue
    HWND captureTarget_ = nullptr;  // the window the current window capture takes; null: the foreground
    std::string title_;
    std::string currentFile_;
    std::string historyMode_;
    COLORREF canvasColor_ = RGB(255, 255, 255);
    COLORREF customColors_[16] = {};
    AutoSaveNamer autoSave_;
    ClipboardChanges clipboardChanges_;
    bool readingClipboard_ = false;
    DelayedCapture delayed_;
    std::deque<StartRequest> requests_;
    bool hotkeysReported_ = false;  // the status bar names hot keys another program holds
};

}  // namespace plenvue
