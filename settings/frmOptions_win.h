// The Options dialog: start-up switches, history mode and language, automatic saving, and the six
// capture hot keys, on four tab pages. Language and hot key changes apply and are stored at once;
// the rest only on OK.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "controls/CommonControls_win.h"
#include "settings/FolderPicker_win.h"
#include "controls/FormDialog_win.h"
#include "settings/cMultiLanguage_win.h"
#include "base/win/modDeclare_win.h"

namespace plenvue {

class frmHotKey;

class frmOptions : public FormDialog {
public:
    enum : int {
        kStartSetup = 1100,  // + 0..2
        kLblShowHistory = 1110, kOptHistoryList = 1111,  // + 0..2
        kLblLan = 1114, kCmdLan = 1115,
        kChkBeep = 1120, kCmdTryBeep = 1121, kLblSavePath = 1122, kTxtSavePath = 1123, kCmdSavePath = 1124,
        kLblFileName = 1125, kTxtPrefix = 1126, kLblFileNum = 1127, kTxtSuffix = 1128,
        kLblHotkey = 1130,  // + capture kind
        kCmdHotkey = 1140,  // + capture kind
        kLblTrans = 1150,
        kChkStartWithWindows = 1160,
        kChkCopyEveryCapture = 1165, kLblCaptureDelay = 1161, kCboCaptureDelay = 1162,  // page 0
        kLblAutoSaveFormat = 1163, kCboAutoSaveFormat = 1164,                            // page 2
        kLblFullScreenArea = 1166, kCboFullScreenArea = 1167,                            // page 0
        kLblKeptPictures = 1180, kTxtKeptPictures = 1181,                                // page 1
        kLblKeptMegabytes = 1182, kTxtKeptMegabytes = 1183,
        kChkCloseToTray = 1168,                                                          // page 1
        kFraTab = 1200,  // + page
        kPages = 4,
    };

    // The main window: owner of the capture hot keys.
    HWND MainWindow = nullptr;
    // The page shown first (3: the hot keys).
    int StartPage = 0;
    // Relabels the main window after a language change.
    std::function<void()> ApplyLanguageToMain;
    // Replaceable for tests: the folder browser, the chooser and the hot key dialog.
    FolderPickerFn PickFolderFn = PickFolder;
    std::function<bool(const std::string& baseFolder, std::string& chosen)> ChooseLanguageFn;
    std::function<bool(frmHotKey& dialog)> ShowHotKeyFn;
    std::function<void(const std::string& text)> ShowErrorFn;

    ~frmOptions() override { Close(); }

    bool isCancel() const { return isCancel_; }
    int VisiblePage() const { return page_; }
    HWND TabStrip() const { return tabs_.hWnd(); }

protected:
    DialogTemplate Template() const override;
    void OnInit() override;
    void OnCommand(int id, int code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnUnload() override;

private:
    void ShowPage(int page, bool visible);
    void AddTabs();
    void OnOK();
    void OnSavePath();
    void OnLanguage();
    void OnHotkey(int index);
    // Registers again the hot keys another program held, then shows each key's name, marked
    // while it is still held.
    void RetryHotkeysInUse();
    void ShowHotkeyName(int index);
    // The capture-delay and full-screen lists in the present language, with these entries chosen.
    void FillLanguageCombos(int delay, int fullScreen);
    bool Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

    CTabStripCtl tabs_;
    std::optional<ModalDialogScope> modal_;  // from load to unload
    LanguageForm form_;
    UniqueFont webdings_;
    int page_ = 0;
    bool isCancel_ = false;
    std::string pendingStartStatus_;
};

// The Options dialog's idea of the folder the current package lives in: the start-up package's
// folder, or the program's "Language\" folder when the built-in texts are in use.
std::string LanguageFolderForChooser();

}  // namespace plenvue
