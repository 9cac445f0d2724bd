#include "settings/frmOptions_win.h"

#include <commctrl.h>

#include <algorithm>
#include <mmsystem.h>
#include <shellapi.h>

#include "controls/modCreatePath.h"
#include "controls/modExPath.h"
#include "settings/CurrentSettings.h"
#include "settings/HotkeyHealth.h"
#include "settings/HotkeyNames.h"
#include "settings/StartWithWindows_win.h"
#include "settings/frmChoLan_win.h"
#include "settings/frmHotKey_win.h"
#include "settings/modRegistry_win.h"
#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "settings/Hotkey_win.h"
#include "base/win/Dpi_win.h"
#include "base/win/SystemDll_win.h"
#include "base/win/modDeclare_win.h"
#include "base/win/Wide_win.h"
#include "controls/modCreatePath_win.h"
#include "base/win/WideText_win.h"

namespace plenvue {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kButton = kChild | WS_TABSTOP;

// The controls of each page, to show and hide with its frame.
const std::vector<int>& PageControls(int page) {
    static const std::vector<int> pages[4] = {
        {frmOptions::kStartSetup, frmOptions::kStartSetup + 1, frmOptions::kStartSetup + 2,
         frmOptions::kChkStartWithWindows, frmOptions::kChkCopyEveryCapture, frmOptions::kLblCaptureDelay,
         frmOptions::kCboCaptureDelay, frmOptions::kLblFullScreenArea, frmOptions::kCboFullScreenArea},
        {frmOptions::kLblShowHistory, frmOptions::kOptHistoryList, frmOptions::kOptHistoryList + 1,
         frmOptions::kOptHistoryList + 2, frmOptions::kLblLan, frmOptions::kCmdLan, frmOptions::kLblKeptPictures,
         frmOptions::kTxtKeptPictures, frmOptions::kLblKeptMegabytes, frmOptions::kTxtKeptMegabytes, frmOptions::kChkCloseToTray},
        {frmOptions::kChkBeep, frmOptions::kCmdTryBeep, frmOptions::kLblSavePath, frmOptions::kTxtSavePath,
         frmOptions::kCmdSavePath, frmOptions::kLblFileName, frmOptions::kTxtPrefix, frmOptions::kLblFileNum,
         frmOptions::kTxtSuffix, frmOptions::kLblAutoSaveFormat, frmOptions::kCboAutoSaveFormat},
        {frmOptions::kLblHotkey, frmOptions::kLblHotkey + 1, frmOptions::kLblHotkey + 2, frmOptions::kLblHotkey + 3,
         frmOptions::kLblHotkey + 4, frmOptions::kLblHotkey + 5, frmOptions::kCmdHotkey, frmOptions::kCmdHotkey + 1,
         frmOptions::kCmdHotkey + 2, frmOptions::kCmdHotkey + 3, frmOptions::kCmdHotkey + 4,
         frmOptions::kCmdHotkey + 5},
    };
    return pages[page];
}

std::string LanguageItem(int item, const std::string& fallback) {
    return App().Language ? App().Language->getItemValue(item, fallback) : fallback;
}

constexpr uint16_t kDlgComboBox = 0x0085;

// The delay entries as the Tools menu names them, without their access keys.
std::string DelayText(size_t index) {
    static const char* const defaults[] = {"&No Delay", "&3 Seconds", "&5 Seconds", "1&0 Seconds"};
    std::string text = LanguageItem(kItemMenuDelay + 1 + static_cast<int>(index), defaults[index]);
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

// The full-screen choices in the order of FullScreenArea, named by the package.
constexpr int kFullScreenAreas = 3;
std::string FullScreenAreaName(int index) {
    static const char* const defaults[] = {"The whole desktop", "The monitor under the pointer", "The primary monitor"};
    return LanguageItem(kItemFullScreenArea + 1 + index, defaults[index]);
}

int ComboIndex(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

// Modifier 8 and 0 both mean none; the dialogs and the comparison use 0.
int32_t NoneAsZero(int32_t modifier) { return modifier == 8 ? 0 : modifier; }

}  // namespace

std::string LanguageFolderForChooser() {
    std::string folder = FolderOfPath(App().LanguagePackagePath);
    return folder.empty() ? App().ProgramFolder + "Language\\" : folder;
}

DialogTemplate frmOptions::Template() const {
    DialogTemplate t(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 280, 220,
                     "Options");
    const char* starts[3] = {"Set Clipboard Monitor Active", "Set Auto Save Active", "Show History List"};
    for (int i = 0; i < 3; ++i)
        t.Add(kDlgButton, starts[i], static_cast<uint16_t>(kStartSetup + i), kButton | BS_AUTOCHECKBOX, 22,
              static_cast<int16_t>(40 + 16 * i), 200, 12);
    t.Add(kDlgButton, "Start with Windows", kChkStartWithWindows, kButton | BS_AUTOCHECKBOX, 22, 88, 200, 12);
    t.Add(kDlgButton, "Copy every capture to the clipboard", kChkCopyEveryCapture, kButton | BS_AUTOCHECKBOX, 22, 104,
          200, 12);
    t.Add(kDlgStatic, "Capture delay:", kLblCaptureDelay, kChild, 22, 126, 90, 9);
    t.Add(kDlgComboBox, "", kCboCaptureDelay, kButton | CBS_DROPDOWNLIST | WS_VSCROLL, 116, 124, 90, 70);
    t.Add(kDlgStatic, "Full screen takes:", kLblFullScreenArea, kChild, 22, 144, 90, 9);
    t.Add(kDlgComboBox, "", kCboFullScreenArea, kButton | CBS_DROPDOWNLIST | WS_VSCROLL, 116, 142, 124, 60);
    t.Add(kDlgStatic, "Show history list using:", kLblShowHistory, kChild, 22, 40, 200, 9);
    const char* modes[3] = {"Preview", "List", "None"};
    for (int i = 0; i < 3; ++i)
        t.Add(kDlgButton, modes[i], static_cast<uint16_t>(kOptHistoryList + i),
              kButton | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), 32, static_cast<int16_t>(52 + 13 * i), 150,
              11);
    t.Add(kDlgStatic, "Please choose your language", kLblLan, kChild | WS_GROUP, 22, 100, 200, 9);
    t.Add(kDlgButton, "", kCmdLan, kButton, 22, 112, 110, 14);
    t.Add(kDlgButton, "Keep running in the notification area when the window is closed", kChkCloseToTray,
          kButton | BS_AUTOCHECKBOX | BS_MULTILINE | WS_GROUP, 22, 132, 190, 20);
    t.Add(kDlgStatic, "Unsaved pictures kept, at most:", kLblKeptPictures, kChild, 22, 156, 180, 9);
    t.Add(kDlgEdit, "", kTxtKeptPictures, kButton | WS_BORDER | ES_NUMBER, 206, 154, 50, 13);
    t.Add(kDlgStatic, "Megabytes they take, at most:", kLblKeptMegabytes, kChild, 22, 170, 180, 9);
    t.Add(kDlgEdit, "", kTxtKeptMegabytes, kButton | WS_BORDER | ES_NUMBER, 206, 168, 50, 13);
    t.Add(kDlgButton, "Beep at Saving", kChkBeep, kButton | BS_AUTOCHECKBOX, 22, 40, 120, 12);
    t.Add(kDlgButton, "4", kCmdTryBeep, kButton, 150, 37, 20, 16);
    t.Add(kDlgStatic, "Please choose a folder for auto save", kLblSavePath, kChild, 22, 60, 234, 9);
    t.Add(kDlgEdit, "", kTxtSavePath, kButton | WS_BORDER | ES_AUTOHSCROLL, 22, 72, 190, 13);
    t.Add(kDlgButton, "Set", kCmdSavePath, kButton, 216, 71, 40, 14);
    t.Add(kDlgStatic, "Please set the prefix and the suffix for auto file name", kLblFileName, kChild, 22, 98, 234,
          9);
    t.Add(kDlgEdit, "", kTxtPrefix, kButton | WS_BORDER | ES_AUTOHSCROLL, 22, 112, 104, 13);
    t.Add(kDlgStatic, "***", kLblFileNum, kChild | SS_NOTIFY | SS_CENTER, 128, 114, 22, 9);
    t.Add(kDlgEdit, "", kTxtSuffix, kButton | WS_BORDER | ES_AUTOHSCROLL, 152, 112, 104, 13);
    // Room for the longer German label ("Format beim automatischen Speichern:").
    t.Add(kDlgStatic, "Auto save format:", kLblAutoSaveFormat, kChild, 22, 138, 170, 9);
    t.Add(kDlgComboBox, "", kCboAutoSaveFormat, kButton | CBS_DROPDOWNLIST | WS_VSCROLL, 196, 136, 60, 60);
    const char* kinds[6] = {"Capture Full Screen", "Capture Region", "Capture Active Window",
                            "Capture Active Window Client", "Capture Windows", "Repeat Last Capture"};
    for (int i = 0; i < 6; ++i) {
        t.Add(kDlgStatic, kinds[i], static_cast<uint16_t>(kLblHotkey + i), kChild, 22,
              static_cast<int16_t>(42 + 19 * i), 130, 9);
        t.Add(kDlgButton, "", static_cast<uint16_t>(kCmdHotkey + i), kButton, 156, static_cast<int16_t>(39 + 19 * i),
              100, 14);
    }
    // Frames after the page controls: below them in the drawing order, above the tab strip.
    const char* frames[4] = {"Starup Setup", "Common Setup", "Auto Save", "Hotkeys"};
    for (int p = 0; p < kPages; ++p)
        t.Add(kDlgButton, frames[p], static_cast<uint16_t>(kFraTab + p), WS_CHILD | BS_GROUPBOX, 12, 24, 256, 160);
    t.Add(kDlgStatic, "Need more supports?", kLblTrans, WS_CHILD | WS_VISIBLE | SS_NOTIFY, 8, 202, 120, 9);
    t.Add(kDlgButton, "OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 168, 199, 50, 14);
    t.Add(kDlgButton, "Cancel", IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 223, 199, 50, 14);
    return t;
}

void frmOptions::OnInit() {
    // 1. Modal flag and language.
    modal_.emplace();
    isCancel_ = false;
    page_ = 0;
    form_ = LanguageForm{};
    form_.Window = hwnd_;
    form_.Tag = "2001";
    form_.ToolTips = CreateFormToolTips(hwnd_);
    const std::pair<int, const char*> tags[] = {
        {kFraTab, "2021"}, {kStartSetup, "2005"}, {kStartSetup + 1, "2007"}, {kStartSetup + 2, "2009"},
        {kFraTab + 1, "2023"}, {kLblShowHistory, "2051"}, {kOptHistoryList, "2053"}, {kOptHistoryList + 1, "2055"},
        {kOptHistoryList + 2, "2057"}, {kLblLan, "2045"}, {kCmdLan, "2013"}, {kFraTab + 2, "2025"},
        {kChkBeep, "2003"}, {kCmdTryBeep, "|2019"}, {kLblSavePath, "2047"}, {kTxtSavePath, ""},
        {kCmdSavePath, "2017"}, {kLblFileName, "2029"}, {kTxtPrefix, ""}, {kLblFileNum, "|2031"}, {kTxtSuffix, ""},
        {kFraTab + 3, "2027"}, {kLblHotkey, "2033"}, {kLblHotkey + 1, "2035"}, {kLblHotkey + 2, "2037"},
        {kLblHotkey + 3, "2039"}, {kLblHotkey + 4, "2041"}, {kLblHotkey + 5, "2043"}, {kCmdHotkey, ""},
        {kCmdHotkey + 1, ""}, {kCmdHotkey + 2, ""}, {kCmdHotkey + 3, ""}, {kCmdHotkey + 4, ""}, {kCmdHotkey + 5, ""},
        {kLblTrans, "2049"}, {IDOK, "101"}, {IDCANCEL, "102"}, {kChkStartWithWindows, "12101"},
        {kLblKeptPictures, "12807"}, {kTxtKeptPictures, ""}, {kLblKeptMegabytes, "12808"}, {kTxtKeptMegabytes, ""},
        {kChkCopyEveryCapture, "12022"}, {kLblCaptureDelay, "12024"}, {kCboCaptureDelay, ""},
        {kLblAutoSaveFormat, "12023"}, {kCboAutoSaveFormat, ""}, {kLblFullScreenArea, "12300"},
        {kCboFullScreenArea, ""}, {kChkCloseToTray, "12900"}};
    for (const auto& [id, tag] : tags) form_.Add(GetDlgItem(hwnd_, id), tag);
    SetControlToolTip(form_.ToolTips, GetDlgItem(hwnd_, kCmdTryBeep), "Try");
    SetControlToolTip(form_.ToolTips, GetDlgItem(hwnd_, kLblFileNum), "File number");
    // The speaker glyph at 12 points, as large beside the text at every DPI.
    webdings_.reset(CreateFontA(-MulDiv(12, WindowDpi(hwnd_), 72), 0, 0, 0, 400, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Webdings"));
    SendDlgItemMessageW(hwnd_, kCmdTryBeep, WM_SETFONT, reinterpret_cast<WPARAM>(webdings_.get()), FALSE);
    if (App().Language) App().Language->setLanguage(form_);

    const CurrentSettings& s = Settings();
    // 2.-3. Auto save.
    CheckDlgButton(hwnd_, kChkBeep, s.BeepWhenSaving == "1" ? BST_CHECKED : BST_UNCHECKED);
    SetItemText(hwnd_, kTxtSavePath, s.SavePath);
    SetItemText(hwnd_, kTxtPrefix, s.PrefixFileName);
    SetItemText(hwnd_, kTxtSuffix, s.SuffixFileName);
    // 4. Language name.
    SetItemText(hwnd_, kCmdLan, App().LanguageName);
    // 5.-6. Start-up switches and history mode.
    CheckDlgButton(hwnd_, kStartSetup, s.ClipboardMonitorAtStart ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd_, kStartSetup + 1, s.AutoSaveAtStart ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd_, kStartSetup + 2, s.ShowHistoryList.empty() ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd_, kChkStartWithWindows, StartsWithWindows(ThisProgramPath()) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd_, kChkCopyEveryCapture, s.CopyEveryCapture ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd_, kChkCloseToTray, s.CloseToTray ? BST_CHECKED : BST_UNCHECKED);
    int delay = 0;
    for (size_t i = 0; i < kCaptureDelays.size(); ++i)
        if (kCaptureDelays[i] == s.CaptureDelay) delay = static_cast<int>(i);
    const std::string format = NormaliseAutoSaveFormat(s.AutoSaveFormat);
    for (size_t i = 0; i < kAutoSaveFormats.size(); ++i) {
        SendDlgItemMessageW(hwnd_, kCboAutoSaveFormat, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(kAutoSaveFormats[i]).c_str()));
        if (format == kAutoSaveFormats[i]) SendDlgItemMessageW(hwnd_, kCboAutoSaveFormat, CB_SETCURSEL, i, 0);
    }
    FillLanguageCombos(delay, static_cast<int>(s.FullScreen));
    int mode = s.HistoryListStatus == "NONE" ? 2 : s.HistoryListStatus == "LIST" ? 1 : 0;
    CheckRadioButton(hwnd_, kOptHistoryList, kOptHistoryList + 2, kOptHistoryList + mode);
    SetItemText(hwnd_, kTxtKeptPictures, s.KeptPictures);
    SetItemText(hwnd_, kTxtKeptMegabytes, s.KeptMegabytes);
    // 7. Hot key names.
    RetryHotkeysInUse();
    // 8. Tab strip over the pages.
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    tabs_.Create(hwnd_, 5, 5, rc.right - 10, rc.bottom - 40, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
    SetWindowPos(tabs_.hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(tabs_.hWnd(), WM_SETFONT, SendMessageW(hwnd_, WM_GETFONT, 0, 0), FALSE);
    AddTabs();
    if (StartPage > 0 && StartPage < kPages) {
        page_ = StartPage;
        tabs_.Select(page_);
    }
    ShowPage(page_, true);
}

void frmOptions::RetryHotkeysInUse() {
    CurrentSettings& s = Settings();
    for (int i = 0; i < kCaptureKinds; ++i) {
        if (s.HotkeyInUse[i] && MainWindow &&
            RegisterCaptureHotKey(MainWindow, kHotkeyIdBase + i, s.HotkeyModifiers[i], s.HotkeyKeys[i]))
            s.HotkeyInUse[i] = false;
        ShowHotkeyName(i);
    }
}

void frmOptions::ShowHotkeyName(int index) {
    const CurrentSettings& s = Settings();
    const std::string name =
        LocalHotkeyName(s.HotkeyModifiers[index] == 0 ? 8 : s.HotkeyModifiers[index], s.HotkeyKeys[index], LanguageItem);
    SetItemText(hwnd_, kCmdHotkey + index, s.HotkeyInUse[index] ? ReplacePlaceholder(Msg(kMsgHotkeyInUseMark), name) : name);
}

void frmOptions::AddTabs() {
    for (int p = 0; p < kPages; ++p) tabs_.InsertTab(LanguageItem(2021 + 2 * p, "") + " ", p);
}

void frmOptions::ShowPage(int page, bool visible) {
    int show = visible ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(hwnd_, kFraTab + page), show);
    for (int id : PageControls(page)) ShowWindow(GetDlgItem(hwnd_, id), show);
}

bool frmOptions::OnMessage(UINT msg, WPARAM, LPARAM lParam, INT_PTR& result) {
    if (msg != WM_NOTIFY) return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!tabs_.hWnd() || hdr->hwndFrom != tabs_.hWnd()) return false;
    int selected = tabs_.Selected();
    if (selected >= 0 && selected < kPages && selected != page_) {
        ShowPage(page_, false);
        page_ = selected;
        ShowPage(page_, true);
    }
    result = 0;
    return true;
}

void frmOptions::OnCommand(int id, int code) {
    if (id >= kCmdHotkey && id < kCmdHotkey + 6) {
        if (code == BN_CLICKED) OnHotkey(id - kCmdHotkey);
        return;
    }
    switch (id) {
    case IDOK: OnOK(); return;
    case IDCANCEL:
        isCancel_ = true;
        Close();
        return;
    case kCmdSavePath: OnSavePath(); return;
    case kCmdTryBeep:
        if (!App().BeepFile.empty()) sysdll::PlaySoundW(WideName(App().BeepFile).c_str(), nullptr, SND_FILENAME | SND_ASYNC);
        return;
    case kCmdLan: OnLanguage(); return;
    case kLblTrans:
        if (code == STN_CLICKED) ShellExecuteW(hwnd_, L"open", Widen(kSupportMail).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    default: return;
    }
}

void frmOptions::OnOK() {
    CurrentSettings& s = Settings();
    s.BeepWhenSaving = Checked(kChkBeep) ? "1" : "0";
    s.PrefixFileName = TrimBlanks(ItemText(hwnd_, kTxtPrefix));
    s.SuffixFileName = TrimBlanks(ItemText(hwnd_, kTxtSuffix));
    std::string folder = TrimBlanks(ItemText(hwnd_, kTxtSavePath));
    if (CreatePath(folder)) s.SavePath = folder;
    s.StartStatus = pendingStartStatus_;
    s.ClipboardMonitorAtStart = Checked(kStartSetup) ? 1 : 0;
    s.AutoSaveAtStart = Checked(kStartSetup + 1) ? 1 : 0;
    s.HistoryListStatus = Checked(kOptHistoryList) ? "PREVIEW" : Checked(kOptHistoryList + 1) ? "LIST" : "NONE";
    s.ShowHistoryList = Checked(kStartSetup + 2) ? "" : "0";
    // A limit left empty or out of range keeps the one before.
    s.KeptPictures = NormaliseWholeNumber(ItemText(hwnd_, kTxtKeptPictures), kKeptCountMin, kKeptCountMax, s.KeptPictures);
    s.KeptMegabytes =
        NormaliseWholeNumber(ItemText(hwnd_, kTxtKeptMegabytes), kKeptMegabytesMin, kKeptMegabytesMax, s.KeptMegabytes);
    s.CopyEveryCapture = Checked(kChkCopyEveryCapture) ? -1 : 0;
    const int delay = ComboIndex(hwnd_, kCboCaptureDelay);
    s.CaptureDelay = delay >= 0 && delay < static_cast<int>(kCaptureDelays.size()) ? kCaptureDelays[delay] : 0;
    const int format = ComboIndex(hwnd_, kCboAutoSaveFormat);
    s.AutoSaveFormat = format >= 0 && format < static_cast<int>(kAutoSaveFormats.size()) ? kAutoSaveFormats[format] : "PNG";
    for (const auto& [name, text] : SettingsToStore(s)) WriteSetting(name, text);
    for (const auto& [name, text] : CaptureSettingsToStore(s)) WriteSetting(name, text);
    const int area = ComboIndex(hwnd_, kCboFullScreenArea);
    s.FullScreen = area > 0 && area < kFullScreenAreas ? static_cast<FullScreenArea>(area) : FullScreenArea::WholeDesktop;
    const auto [areaName, areaText] = FullScreenAreaToStore(s);
    WriteSetting(areaName, areaText);
    s.CloseToTray = Checked(kChkCloseToTray);
    const auto [trayName, trayText] = CloseToTrayToStore(s);
    WriteSetting(trayName, trayText);
    SetStartWithWindows(ThisProgramPath(), Checked(kChkStartWithWindows));
    Close();
}

void frmOptions::OnSavePath() {
    std::string folder = PickFolderFn(hwnd_, Msg(10009));
    if (folder == "\\") folder = Settings().SavePath;
    SetItemText(hwnd_, kTxtSavePath, folder);
}

void frmOptions::FillLanguageCombos(int delay, int fullScreen) {
    for (int id : {kCboCaptureDelay, kCboFullScreenArea}) SendDlgItemMessageW(hwnd_, id, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < kCaptureDelays.size(); ++i)
        SendDlgItemMessageW(hwnd_, kCboCaptureDelay, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(DelayText(i)).c_str()));
    for (int i = 0; i < kFullScreenAreas; ++i)
        SendDlgItemMessageW(hwnd_, kCboFullScreenArea, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(FullScreenAreaName(i)).c_str()));
    SendDlgItemMessageW(hwnd_, kCboCaptureDelay, CB_SETCURSEL, static_cast<WPARAM>(std::max(delay, 0)), 0);
    SendDlgItemMessageW(hwnd_, kCboFullScreenArea, CB_SETCURSEL, static_cast<WPARAM>(std::max(fullScreen, 0)), 0);
}

void frmOptions::OnLanguage() {
    std::string chosen;
    bool ok = false;
    if (ChooseLanguageFn) {
        ok = ChooseLanguageFn(LanguageFolderForChooser(), chosen);
    } else {
        frmChoLan chooser;
        chooser.BaseFolder = LanguageFolderForChooser();
        chooser.ShowType = 2;
        chooser.ShowModal(hwnd_);
        ok = !chooser.Canceled();
        chosen = chooser.LanguagePackage();
    }
    if (!ok) return;
    if (!App().Language) App().Language = std::make_unique<cMultiLanguage>();
    App().Language->LanguagePackageFileName(chosen);
    App().LanguageName = App().Language->getItemValue(100, "");
    SetItemText(hwnd_, kCmdLan, App().LanguageName);
    form_.TagOf(GetDlgItem(hwnd_, kCmdLan)) = chosen;
    // Messages first: the main window's status text is one of them.
    LoadMessageTable(*App().Language);
    App().Language->setLanguage(form_);
    // The lists' entries are texts of the language too; what is chosen in them stays.
    FillLanguageCombos(ComboIndex(hwnd_, kCboCaptureDelay), ComboIndex(hwnd_, kCboFullScreenArea));
    for (int i = 0; i < kCaptureKinds; ++i) ShowHotkeyName(i);
    if (ApplyLanguageToMain) ApplyLanguageToMain();
    tabs_.DeleteAll();
    AddTabs();
    tabs_.Select(page_);
}

void frmOptions::OnHotkey(int index) {
    CurrentSettings& s = Settings();
    frmHotKey dialog;
    dialog.Caption = ReplacePlaceholder(LanguageItem(5001, ""), LanguageItem(2033 + 2 * index, ""));
    dialog.CancelCaption = LanguageItem(102, "Cancel");
    dialog.OkCaption = LanguageItem(101, "OK");
    dialog.Prompt = LanguageItem(5003, "");
    dialog.NeedsCtrlOrAltText = Msg(kMsgHotkeyNeedsCtrlOrAlt);
    int32_t oldModifier = NoneAsZero(s.HotkeyModifiers[index]);
    int32_t oldKey = s.HotkeyKeys[index];
    dialog.HotkeyModifier(oldModifier);
    dialog.Hotkey(oldKey);
    bool shown = ShowHotKeyFn ? ShowHotKeyFn(dialog) : (dialog.ShowModal(hwnd_), true);
    if (!shown || dialog.SetCanceled()) return;
    // Kept and stored as the load step will read it back after a restart.
    int32_t modifier = StoredHotkeyModifier(dialog.HotkeyModifier());
    int32_t key = dialog.Hotkey();
    // The same key again changes nothing, unless another program held it: then it is tried again.
    const bool inUse = s.HotkeyInUse[index];
    if (NoneAsZero(modifier) == oldModifier && key == oldKey && !inUse) return;
    int id = kHotkeyIdBase + index;
    // The old combination is released first, so only the new one captures; it comes back on failure.
    UnregisterHotKey(MainWindow, id);
    if (!RegisterCaptureHotKey(MainWindow, id, modifier, key)) {
        if (oldKey && !inUse) RegisterCaptureHotKey(MainWindow, id, oldModifier, oldKey);
        std::string text = HotkeyText(Msg(kMsgHotkeyChangeFailed), modifier, key, LanguageItem);
        if (ShowErrorFn) ShowErrorFn(text);
        else ShowMessageBox(hwnd_, text, kProgramName, MB_ICONERROR);
        return;
    }
    s.HotkeyModifiers[index] = modifier;
    s.HotkeyKeys[index] = key;
    s.HotkeyInUse[index] = false;
    ShowHotkeyName(index);
    WriteSetting(HotkeyPrefixValueName(index), std::to_string(modifier));
    WriteSetting(HotkeyKeyValueName(index), std::to_string(key));
}

void frmOptions::OnUnload() {
    tabs_.Destroy();
    modal_.reset();
}

}  // namespace plenvue
