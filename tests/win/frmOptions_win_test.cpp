#include "settings/frmOptions_win.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/CurrentSettings.h"
#include "settings/HotkeyNames.h"
#include "settings/frmHotKey_win.h"
#include "settings/modRegistry_win.h"
#include "base/win/modDeclare_win.h"
#include "tests/support/SettingsKey_win.h"

using namespace plenvue;

namespace {

std::string Text(HWND dialog, int id) { return ItemText(dialog, id); }
// Its own visibility: the modeless dialog itself is never shown.
bool Visible(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }

void SelectTab(frmOptions& f, int index) {
    SendMessageA(f.TabStrip(), TCM_SETCURSEL, index, 0);
    NMHDR hdr{f.TabStrip(), 0, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(f.hWnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
}

bool Stored(const char* name) { return ReadRegValue(HKEY_CURRENT_USER, kSettingsSubkey, name).has_value(); }

// Settings as the load step leaves them; the record and the registry are restored afterwards, so
// no test sees what another stored.
class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentSettings& s = Settings();
        s.BeepWhenSaving = "0";
        s.PrefixFileName = "shot";
        s.SuffixFileName = "";
        s.SavePath = "C:\\";
        s.ClipboardMonitorAtStart = -1;
        s.AutoSaveAtStart = 0;
        s.ShowHistoryList = "0";
        s.HistoryListStatus = "";
        s.HotkeyModifiers = {6, 6, 6, 8, 6, 6};
        s.HotkeyKeys = {48, 49, 50, 0, 52, 53};
        App().LanguageName = "English";
    }
    void TearDown() override {
        registry_.Restore();
    }
    // Fresh program-wide state and settings for each test, the ones before restored after it.
    ScopedProgramState state_;
    ScopedSettings settings_;
    plenvue::test::SettingsKeyRestore registry_;
};

}  // namespace

TEST_F(OptionsDialog, OptionsLoadsTheSettingsAndShowsOnePageAtATime) {
    frmOptions f;
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    HWND d = f.hWnd();
    EXPECT_TRUE(App().ModalDialog);
    EXPECT_EQ(IsDlgButtonChecked(d, frmOptions::kChkBeep), BST_UNCHECKED);
    EXPECT_EQ(Text(d, frmOptions::kTxtPrefix), "shot");
    EXPECT_EQ(Text(d, frmOptions::kCmdLan), "English");
    EXPECT_EQ(IsDlgButtonChecked(d, frmOptions::kStartSetup), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, frmOptions::kStartSetup + 1), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, frmOptions::kStartSetup + 2), BST_UNCHECKED);  // "0": not shown
    EXPECT_EQ(IsDlgButtonChecked(d, frmOptions::kOptHistoryList), BST_CHECKED);     // empty: Preview
    EXPECT_EQ(Text(d, frmOptions::kCmdHotkey), "Ctrl+Alt+0");
    EXPECT_EQ(Text(d, frmOptions::kCmdHotkey + 3), "");
    EXPECT_EQ(TabCtrl_GetItemCount(f.TabStrip()), 4);

    EXPECT_TRUE(Visible(d, frmOptions::kFraTab));
    EXPECT_TRUE(Visible(d, frmOptions::kStartSetup));
    EXPECT_FALSE(Visible(d, frmOptions::kCmdHotkey));
    SelectTab(f, 3);
    EXPECT_EQ(f.VisiblePage(), 3);
    EXPECT_FALSE(Visible(d, frmOptions::kStartSetup));
    EXPECT_TRUE(Visible(d, frmOptions::kCmdHotkey + 5));
    EXPECT_TRUE(Visible(d, frmOptions::kFraTab + 3));
    f.Click(IDCANCEL);
    EXPECT_TRUE(f.isCancel());
    EXPECT_FALSE(App().ModalDialog);
    EXPECT_EQ(Settings().PrefixFileName, "shot");
}

// Cancel stores nothing of the three settings pages: the registry holds none of the nine values
// afterwards, however the pages were changed.
TEST_F(OptionsDialog, CancelWritesNothingToTheRegistry) {
    const char* nine[] = {"BeepWhenSaving", "PrefixFileName", "SuffixFileName", "SavePath", "StartStatus",
                          "Set Clipboard Monitor Active", "Set Auto Save When Startup", "Show History List",
                          "History List Status"};
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsSubkey);  // the fixture puts it back
    frmOptions f;
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    HWND d = f.hWnd();
    SetDlgItemTextA(d, frmOptions::kTxtPrefix, "changed");
    SetDlgItemTextA(d, frmOptions::kTxtSavePath, "C:\\windows\\");
    CheckDlgButton(d, frmOptions::kChkBeep, BST_CHECKED);
    CheckDlgButton(d, frmOptions::kStartSetup + 1, BST_CHECKED);
    CheckRadioButton(d, frmOptions::kOptHistoryList, frmOptions::kOptHistoryList + 2, frmOptions::kOptHistoryList + 2);
    f.Click(IDCANCEL);
    EXPECT_TRUE(f.isCancel());
    for (const char* name : nine) EXPECT_FALSE(Stored(name)) << name << " was written";
    EXPECT_EQ(Settings().PrefixFileName, "shot");
    EXPECT_EQ(Settings().BeepWhenSaving, "0");
    EXPECT_EQ(Settings().HistoryListStatus, "");
}

TEST_F(OptionsDialog, OkTrimsStoresAndKeepsAFolderThatCannotBeMade) {
    frmOptions f;
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    HWND d = f.hWnd();
    SetDlgItemTextA(d, frmOptions::kTxtPrefix, "  pre fix  ");
    SetDlgItemTextA(d, frmOptions::kTxtSavePath, "Q:\\no\\drive");
    CheckRadioButton(d, frmOptions::kOptHistoryList, frmOptions::kOptHistoryList + 2, frmOptions::kOptHistoryList + 1);
    CheckDlgButton(d, frmOptions::kStartSetup + 2, BST_CHECKED);
    f.Click(IDOK);
    EXPECT_FALSE(f.isCancel());
    const CurrentSettings& s = Settings();
    EXPECT_EQ(s.PrefixFileName, "pre fix");
    EXPECT_EQ(s.SavePath, "C:\\");
    EXPECT_EQ(s.HistoryListStatus, "LIST");
    EXPECT_EQ(s.ShowHistoryList, "");
    EXPECT_EQ(s.ClipboardMonitorAtStart, 1);
    EXPECT_EQ(ReadSetting("PrefixFileName"), "pre fix");
    EXPECT_EQ(ReadSetting("StartStatus"), " ");
    EXPECT_EQ(ReadSetting("History List Status"), "LIST");
}

TEST_F(OptionsDialog, SetCancelledPutsTheStoredFolderBack) {
    frmOptions f;
    f.PickFolderFn = [](HWND, const std::string& prompt) {
        EXPECT_EQ(prompt, "Please choose a folder.");
        return std::string("\\");
    };
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    SetDlgItemTextA(f.hWnd(), frmOptions::kTxtSavePath, "typed");
    f.Click(frmOptions::kCmdSavePath);
    EXPECT_EQ(Text(f.hWnd(), frmOptions::kTxtSavePath), "C:\\");
    f.PickFolderFn = [](HWND, const std::string&) { return std::string("D:\\pics\\"); };
    f.Click(frmOptions::kCmdSavePath);
    EXPECT_EQ(Text(f.hWnd(), frmOptions::kTxtSavePath), "D:\\pics\\");
}

TEST_F(OptionsDialog, SameHotKeyAgainChangesNothingANewOneIsRegisteredAndStored) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    frmOptions f;
    f.MainWindow = owner;
    int32_t answerModifier = 6, answerKey = 48;
    f.ShowHotKeyFn = [&](frmHotKey& dialog) {
        EXPECT_EQ(dialog.CreateModeless(nullptr) != nullptr, true);
        dialog.Control().HotkeyModifier(answerModifier);
        dialog.Control().Key(answerKey);
        dialog.Click(IDOK);
        return true;
    };
    WriteSetting("Hotkey0Value", "48");
    ASSERT_TRUE(RegisterHotKey(owner, kHotkeyIdBase, MOD_CONTROL | MOD_ALT, '0'));  // as the main window has it
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    f.Click(frmOptions::kCmdHotkey);  // the same keys: nothing registered, nothing written
    EXPECT_EQ(Settings().HotkeyKeys[0], 48);
    answerKey = 'J';
    answerModifier = 3;
    f.Click(frmOptions::kCmdHotkey);
    EXPECT_EQ(Settings().HotkeyKeys[0], 'J');
    EXPECT_EQ(Settings().HotkeyModifiers[0], 3);
    EXPECT_EQ(Text(f.hWnd(), frmOptions::kCmdHotkey), "Ctrl+Shift+J");
    EXPECT_EQ(ReadSetting("Hotkey0Prefix"), "3");
    EXPECT_EQ(ReadSetting("Hotkey0Value"), "74");
    // The old combination was released: it can be taken again.
    EXPECT_TRUE(RegisterHotKey(owner, 0x7001, MOD_CONTROL | MOD_ALT, '0'));
    UnregisterHotKey(owner, 0x7001);
    // Taken by this window already under another id: the platform refuses, nothing changes.
    ASSERT_TRUE(RegisterHotKey(owner, 0x7000, MOD_CONTROL | MOD_SHIFT, 'K'));
    answerKey = 'K';
    int errors = 0;
    f.ShowErrorFn = [&](const std::string& text) {
        ++errors;
        EXPECT_EQ(text, "Ctrl+Shift+K: register hotkey failed, another program uses this key. Please choose another one.");
    };
    f.Click(frmOptions::kCmdHotkey);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(Settings().HotkeyKeys[0], 'J');
    EXPECT_EQ(ReadSetting("Hotkey0Value"), "74");
    UnregisterHotKey(owner, 0x7000);
    UnregisterHotKey(owner, kHotkeyIdBase);
    f.Click(IDCANCEL);
    DestroyWindow(owner);
}

// Ctrl+Right comes from the control as Ctrl with the extended-key flag (10). What is kept and
// stored must bring back Ctrl+Right after a restart, not Ctrl+Alt+Right.
TEST_F(OptionsDialog, CtrlWithAnArrowKeyIsStoredSoThatItLoadsBackTheSame) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    frmOptions f;
    f.MainWindow = owner;
    f.ShowHotKeyFn = [&](frmHotKey& dialog) {
        EXPECT_NE(dialog.CreateModeless(nullptr), nullptr);
        dialog.Control().HotkeyModifier(kHkCtrl | kHkExtended);
        dialog.Control().Key(VK_RIGHT);
        dialog.Click(IDOK);
        return true;
    };
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    f.Click(frmOptions::kCmdHotkey + 1);
    EXPECT_EQ(Settings().HotkeyModifiers[1], kHkCtrl);
    EXPECT_EQ(Settings().HotkeyKeys[1], VK_RIGHT);
    EXPECT_EQ(Text(f.hWnd(), frmOptions::kCmdHotkey + 1), "Ctrl+R Arr");
    EXPECT_EQ(ReadSetting("Hotkey1Prefix"), "2");
    EXPECT_EQ(ReadSetting("Hotkey1Value"), "39");
    // Registered as Ctrl+Right: the platform refuses the same combination to anyone else.
    EXPECT_FALSE(RegisterHotKey(owner, 0x7002, MOD_CONTROL, VK_RIGHT));
    UnregisterHotKey(owner, kHotkeyIdBase + 1);
    f.Click(IDCANCEL);

    // The next start reads the stored values back into the same registration.
    CurrentSettings next;
    int32_t modifier = -1, key = -1;
    LoadHotkeyTable([](std::string_view name) { return ReadSetting(std::string(name)); },
                    [&](int i, int32_t m, int32_t k) {
                        if (i == 1) modifier = m, key = k;
                        return true;
                    },
                    next);
    EXPECT_EQ(ControlToRegisterModifiers(modifier), kModCtrl);
    EXPECT_EQ(key, VK_RIGHT);
    EXPECT_EQ(GetHotkeyName(next.HotkeyModifiers[1], next.HotkeyKeys[1]), "Ctrl+R Arr");
    DestroyWindow(owner);
}

// The Options dialog hands the hot key dialog the refusal text of the current language, and a
// refused key leaves everything as it was.
TEST_F(OptionsDialog, RefusedTypingKeyRegistersAndStoresNothing) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    App().Messages[kMsgHotkeyNeedsCtrlOrAlt] = "localised refusal";
    frmOptions f;
    f.MainWindow = owner;
    std::vector<std::string> refusals;
    f.ShowHotKeyFn = [&](frmHotKey& dialog) {
        EXPECT_NE(dialog.CreateModeless(nullptr), nullptr);
        dialog.ShowRefusalFn = [&](const std::string& text) { refusals.push_back(text); };
        dialog.Control().HotkeyModifier(0);
        dialog.Control().Key('P');
        dialog.Click(IDOK);       // refused: the dialog stays
        dialog.Click(IDCANCEL);   // and the user gives up
        return true;
    };
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsSubkey);
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    f.Click(frmOptions::kCmdHotkey + 2);
    EXPECT_EQ(refusals, std::vector<std::string>{"localised refusal"});
    EXPECT_EQ(Settings().HotkeyKeys[2], 50);
    EXPECT_FALSE(Stored("Hotkey2Prefix"));
    EXPECT_FALSE(Stored("Hotkey2Value"));
    EXPECT_TRUE(RegisterHotKey(owner, 0x7003, 0, 'P')) << "the plain key was registered";
    UnregisterHotKey(owner, 0x7003);
    f.Click(IDCANCEL);
    App().Messages.erase(kMsgHotkeyNeedsCtrlOrAlt);
    DestroyWindow(owner);
}

TEST_F(OptionsDialog, ClipboardFormatAndDelayAreShownAndStoredOnOk) {
    Settings().CopyEveryCapture = -1;
    Settings().AutoSaveFormat = "JPEG";
    Settings().CaptureDelay = 5;
    frmOptions f;
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    HWND d = f.hWnd();
    EXPECT_EQ(IsDlgButtonChecked(d, frmOptions::kChkCopyEveryCapture), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(d, frmOptions::kCboCaptureDelay, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendDlgItemMessageA(d, frmOptions::kCboCaptureDelay, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Text(d, frmOptions::kCboCaptureDelay), "5 Seconds");
    EXPECT_EQ(Text(d, frmOptions::kCboAutoSaveFormat), "JPEG");
    EXPECT_TRUE(Visible(d, frmOptions::kChkCopyEveryCapture));
    EXPECT_FALSE(Visible(d, frmOptions::kCboAutoSaveFormat));  // on the Auto Save page
    CheckDlgButton(d, frmOptions::kChkCopyEveryCapture, BST_UNCHECKED);
    SendDlgItemMessageA(d, frmOptions::kCboCaptureDelay, CB_SETCURSEL, 3, 0);
    SendDlgItemMessageA(d, frmOptions::kCboAutoSaveFormat, CB_SETCURSEL, 1, 0);
    f.Click(IDOK);
    EXPECT_EQ(Settings().CopyEveryCapture, 0);
    EXPECT_EQ(Settings().CaptureDelay, 10);
    EXPECT_EQ(Settings().AutoSaveFormat, "PNG");
    EXPECT_EQ(ReadSetting("Copy Every Capture"), "0");
    EXPECT_EQ(ReadSetting("Capture Delay"), "10");
    EXPECT_EQ(ReadSetting("Auto Save Format"), "PNG");
}

TEST_F(OptionsDialog, CancelLeavesTheCaptureSettingsUnstored) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsSubkey);  // the fixture puts it back
    frmOptions f;
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    SendDlgItemMessageA(f.hWnd(), frmOptions::kCboCaptureDelay, CB_SETCURSEL, 1, 0);
    f.Click(IDCANCEL);
    for (const char* name : {"Copy Every Capture", "Capture Delay", "Auto Save Format"})
        EXPECT_FALSE(Stored(name)) << name << " was written";
}

TEST_F(OptionsDialog, FullScreenChoiceIsShownOnTheFirstPageAndStoredOnOk) {
    Settings().FullScreen = FullScreenArea::PrimaryMonitor;
    frmOptions f;
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    HWND d = f.hWnd();
    EXPECT_TRUE(Visible(d, frmOptions::kCboFullScreenArea));
    EXPECT_EQ(SendDlgItemMessageA(d, frmOptions::kCboFullScreenArea, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(d, frmOptions::kCboFullScreenArea), "The primary monitor");
    SendDlgItemMessageA(d, frmOptions::kCboFullScreenArea, CB_SETCURSEL, 1, 0);
    f.Click(IDOK);
    EXPECT_EQ(Settings().FullScreen, FullScreenArea::MonitorUnderPointer);
    EXPECT_EQ(ReadSetting("Full Screen Area"), "1");
}

TEST_F(OptionsDialog, CloseToTrayIsOnTheSecondPageStoredOnOkAndLeftAloneByCancel) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsSubkey);  // the fixture puts it back
    {
        frmOptions f;
        ASSERT_NE(f.CreateModeless(nullptr), nullptr);
        EXPECT_EQ(IsDlgButtonChecked(f.hWnd(), frmOptions::kChkCloseToTray), BST_UNCHECKED);
        CheckDlgButton(f.hWnd(), frmOptions::kChkCloseToTray, BST_CHECKED);
        f.Click(IDCANCEL);
        EXPECT_FALSE(Stored("Close To Notification Area"));
        EXPECT_FALSE(Settings().CloseToTray);
    }
    frmOptions f;
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    HWND d = f.hWnd();
    EXPECT_FALSE(Visible(d, frmOptions::kChkCloseToTray));
    SelectTab(f, 1);
    EXPECT_TRUE(Visible(d, frmOptions::kChkCloseToTray));
    CheckDlgButton(d, frmOptions::kChkCloseToTray, BST_CHECKED);
    f.Click(IDOK);
    EXPECT_TRUE(Settings().CloseToTray);
    EXPECT_EQ(ReadSetting("Close To Notification Area"), "1");
}

// A key another program held at start is marked on the hot-key page, tried again each time the
// dialog opens, and tried again when chosen again; it keeps its stored value throughout.
TEST_F(OptionsDialog, HotKeysInUseAreMarkedAndTriedAgainUntilTheyWork) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 0x7002, MOD_CONTROL | MOD_ALT, '0'));
    Settings().HotkeyInUse[0] = true;
    int errors = 0;
    std::string error;
    auto sameAgain = [](frmHotKey& dialog) {
        EXPECT_NE(dialog.CreateModeless(nullptr), nullptr);
        dialog.Control().HotkeyModifier(6);
        dialog.Control().Key('0');
        dialog.Click(IDOK);
        return true;
    };
    {
        frmOptions f;
        f.MainWindow = owner;
        f.StartPage = 3;
        f.ShowHotKeyFn = sameAgain;
        f.ShowErrorFn = [&](const std::string& text) {
            ++errors;
            error = text;
        };
        ASSERT_NE(f.CreateModeless(nullptr), nullptr);
        EXPECT_EQ(f.VisiblePage(), 3);
        EXPECT_TRUE(Visible(f.hWnd(), frmOptions::kCmdHotkey));
        EXPECT_EQ(Text(f.hWnd(), frmOptions::kCmdHotkey), "Ctrl+Alt+0 (in use)");
        EXPECT_EQ(Text(f.hWnd(), frmOptions::kCmdHotkey + 1), "Ctrl+Alt+1");
        EXPECT_TRUE(Settings().HotkeyInUse[0]);
        // Chosen again while still held: the key is named in the failure, and stays wanted.
        f.Click(frmOptions::kCmdHotkey);
        EXPECT_EQ(errors, 1);
        EXPECT_EQ(error, "Ctrl+Alt+0: register hotkey failed, another program uses this key. Please choose another one.");
        EXPECT_EQ(Settings().HotkeyKeys[0], 48);
        EXPECT_TRUE(Settings().HotkeyInUse[0]);
        // Let go: the same key chosen again now works and loses its mark.
        UnregisterHotKey(other, 0x7002);
        f.Click(frmOptions::kCmdHotkey);
        EXPECT_EQ(errors, 1);
        EXPECT_FALSE(Settings().HotkeyInUse[0]);
        EXPECT_EQ(Text(f.hWnd(), frmOptions::kCmdHotkey), "Ctrl+Alt+0");
        EXPECT_FALSE(RegisterHotKey(other, 0x7002, MOD_CONTROL | MOD_ALT, '0')) << "the owner holds it now";
        f.Click(IDCANCEL);
    }
    // Held again by another program after a start: opening the dialog tries it again.
    UnregisterHotKey(owner, kHotkeyIdBase);
    Settings().HotkeyInUse[0] = true;
    frmOptions f;
    f.MainWindow = owner;
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    EXPECT_FALSE(Settings().HotkeyInUse[0]);
    EXPECT_EQ(Text(f.hWnd(), frmOptions::kCmdHotkey), "Ctrl+Alt+0");
    EXPECT_EQ(f.VisiblePage(), 0);
    f.Click(IDCANCEL);
    UnregisterHotKey(owner, kHotkeyIdBase);
    DestroyWindow(other);
    DestroyWindow(owner);
}

// After switching the language in the dialog its lists kept the texts of the language before.
TEST_F(OptionsDialog, LanguageSwitchRelabelsTheListsAndKeepsTheirChoice) {
    Settings().CaptureDelay = 5;
    Settings().FullScreen = FullScreenArea::PrimaryMonitor;
    std::string german = std::string("Z:") + PLENVUE_BIN_DIR + "/Language/German.dll";
    for (char& c : german)
        if (c == '/') c = '\\';
    frmOptions f;
    f.ChooseLanguageFn = [&](const std::string&, std::string& chosen) {
        chosen = german;
        return true;
    };
    ASSERT_NE(f.CreateModeless(nullptr), nullptr);
    HWND d = f.hWnd();
    EXPECT_EQ(Text(d, frmOptions::kCboCaptureDelay), "5 Seconds");
    EXPECT_EQ(Text(d, frmOptions::kCmdHotkey), "Ctrl+Alt+0");
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(frmOptions::kCmdLan, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(d, frmOptions::kCmdLan)));
    EXPECT_EQ(Text(d, frmOptions::kCmdLan), "Deutsch");
    EXPECT_EQ(Text(d, frmOptions::kCboCaptureDelay), "5 Sekunden");
    EXPECT_EQ(SendDlgItemMessageA(d, frmOptions::kCboCaptureDelay, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(Text(d, frmOptions::kCboFullScreenArea), "Den Hauptbildschirm");
    EXPECT_EQ(SendDlgItemMessageA(d, frmOptions::kCboFullScreenArea, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Text(d, frmOptions::kCmdHotkey), "Strg+Alt+0");  // the hot keys' names too
}
