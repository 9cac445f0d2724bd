// The main window: canvas, history pane, toolbar in a rebar, status bar, menus, and the
// capture command every capture source ends in.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/CommonControls_win.h"
#include "controls/ScrollView_win.h"
#include "shell/AutoSaveName.h"
#include "shell/ClipboardChange.h"
#include "shell/DelayedCapture_win.h"
#include "shell/HistoryPane_win.h"
#include "image/Picture_win.h"
#include "base/win/modCBSubclass_win.h"

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
    HACCEL Accelerators() const { return accel_; }

    void SnapIt(int index);
    // How long the capture command waits with the window hidden, so that the screen is redrawn
    // without it before the capture, and how it waits; replaceable so tests can see the wait.
    uint32_t CaptureHideDelayMs = 500;
    std::function<void(uint32_t ms)> CaptureSleep = [](uint32_t ms) { Sleep(ms); };
    void setCapMenu();
    void SetCurrentFile(const std::string& path);
    void SetStatus(const std::string& text);
    // The load step: reads every setting, registers the hot keys and reports those that failed.
    void GetCurrentSettings();
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
    void AddHistory(const std::string& path);
    void StepHistory(int32_t d);
    void ClearHistory();
    HistoryPane& History() { return history_; }

    // The raw messages: notification icon, hot keys, clipboard chain, toolbar notifications, menu help.
    void Message(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                 LRESULT& result) override;

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void OnSize(WPARAM type);
    void OnCommand(int id);
    void OnUnload();
    void OnNotifyIcon(LPARAM lParam);
    void OnMenuSelect(WPARAM wParam, LPARAM lParam);

    void BuildMenu();
    void BuildMenuHelpTable();
    void ToolbarTip(NMTBGETINFOTIPA& tip);
    void CreateBars();
    void CreateSplitter();
    void ArrangeControls();
    void ShowPic();
    void ShowHistoryPane();
    void ToggleToolBar();
    void ToggleStatusBar();
    void ToggleHistory();
    void ChooseCanvasColor();
    void ShowAbout();
    void ShowOptions();
    void OpenHelp();
    void AddNotifyIcon();
    void RemoveNotifyIcon();
    void WriteBeepFile();
    bool MenuChecked(int id) const;
    void SetMenuChecked(int id, bool on);
    void ToggleClipboardMonitor();
    void ToggleAutoSave();
    void JoinViewerChain();
    // The File menu commands (in frmMainFiles_win.cpp); false for other ids.
    bool OnFileCommand(int id);
    void OnFileMenuOpening(HMENU menu);
    void mnuOpen();
    void mnuSave();
    void mnuSaveAs();
    void mnuFileOperator(int index);
    void mnuPrint();
    void LeaveViewerChain();
    // In frmMainClipboard_win.cpp.
    void TakeClipboardPicture(const Picture& picture);
    void ShowCaptureDelay();
    void AttachDelayedCapture();
    void SetNotifyTip(const std::string& text);
    // Hides the window and starts the delay; true when the capture is to run at once.
    bool RequestCapture(int index);
    // The capture itself, the window already hidden; shows it again at the end.
    void CaptureNow(int index);

    HWND hwnd_ = nullptr;
    ScrollView svMain_;
    HWND canvas_ = nullptr;  // svMain_'s window
    HWND lstHistory_ = nullptr;
    HWND picScroller_ = nullptr;
    HWND imgSplit_ = nullptr;
    HistoryPane history_;
    HMENU menu_ = nullptr;
    HACCEL accel_ = nullptr;
    CImageListCtl imageList_;
    CToolbarCtl toolbar_;
    CRebarCtl rebar_;
    CStatusBarCtl statusBar_;
    NOTIFYICONDATAA nid_{};
    bool iconAdded_ = false;
    UINT taskbarCreated_ = 0;
    HWND nextViewer_ = nullptr;
    bool inViewerChain_ = false;

    Picture picSwap_;
    Picture undo_;
    std::string title_;
    std::string currentFile_;
    std::string historyMode_;
    COLORREF canvasColor_ = RGB(255, 255, 255);
    COLORREF customColors_[16] = {};
    int toolbarHeight_ = 0;
    int statusBarHeight_ = 0;
    int splitLeft_ = 138;
    bool unloaded_ = false;
    // Menu help: a menu entry as the selection message names it, and its help string number.
    struct MenuHelpKey {
        HMENU Menu;
        bool Submenu;  // Number is then the title's position in Menu
        UINT Number;
        UINT HelpNumber;
    };
    std::vector<MenuHelpKey> menuHelp_;
    MessageTargetAttachment target_;
    AutoSaveNamer autoSave_;
    ClipboardChanges clipboardChanges_;
    bool readingClipboard_ = false;
    DelayedCapture delayed_;
};

}  // namespace plenvue
