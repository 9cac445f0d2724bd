// Entry point: single instance, program paths, language package, message table, main window.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "image/clsDIBSection_win.h"
#include "settings/CurrentSettings.h"
#include "settings/LanguageTag.h"
#include "settings/StartWithWindows.h"
#include "settings/frmChoLan_win.h"
#include "settings/modRegistry_win.h"
#include "base/win/Handles_win.h"
#include "base/win/WideText_win.h"
#include "controls/modCreatePath_win.h"
#include "base/win/Wide_win.h"
#include "base/MessageTable.h"
#include "shell/SecondStart_win.h"
#include "shell/StartSwitches.h"
#include "shell/UninstallCleanup_win.h"
#include "shell/frmMain_win.h"
#include "base/win/modDeclare_win.h"

using namespace plenvue;

namespace {

// %LOCALAPPDATA%\Plenvue\History; empty when the system names no such folder.
std::string KeptHistoryFolder() {
    PWSTR wide = nullptr;
    std::string base;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &wide)) && wide)
        base = NarrowChecked(wide).value_or(std::string());
    CoTaskMemFree(wide);
    return base.empty() ? std::string() : base + "\\Plenvue\\History";
}

std::string WithBackslash(std::string s) {
    if (s.empty() || s.back() != '\\') s += '\\';
    return s;
}

// Only the system folder and the program's own full paths are ever searched for libraries,
// so a DLL planted in the current folder is never loaded.
void RestrictDllSearch() {
    SetDllDirectoryA("");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE k32 = GetModuleHandleA("kernel32.dll");
    auto fn = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(k32, "SetDefaultDllDirectories")));
    if (fn) fn(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */);
}

// The package to use: the stored or default one, else the user's choice in the chooser. False
// when the user cancelled it, which ends the program before any window appears.
bool ChoosePackage(const std::string& programFolder, std::string& package) {
    auto readName = [](const std::string& path) {
        cMultiLanguage probe;
        probe.LanguagePackageFileName(path);
        return probe.getItemValue(100, "");
    };
    StartupPackage choice = ChooseStartupPackage(ReadSetting(kValLanguagePackage),
                                                 programFolder + "Language\\English.dll", readName, IsExistingFile);
    if (!choice.ChooserType) {
        package = choice.Path;
        return true;
    }
    frmChoLan chooser;
    chooser.BaseFolder = programFolder + "Language\\";
    chooser.ShowType = *choice.ChooserType;
    chooser.ShowModal(nullptr);
    if (chooser.Canceled()) return false;
    package = chooser.LanguagePackage();
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int showCommand) {
    RestrictDllSearch();

    // One instance per executable path.
    std::string exe = ModulePath(nullptr);
    std::wstring mutexName = Widen(exe);
    CharLowerBuffW(mutexName.data(), static_cast<DWORD>(mutexName.size()));
    for (wchar_t& c : mutexName)
        if (c == L'\\' || c == L':') c = L'_';
    mutexName = L"Local\\Plenvue.Instance." + mutexName;
    std::vector<std::string> args;
    if (!ProgramArgumentsUtf8(args)) args.clear();  // a name that is no valid text opens nothing
    if (IsUninstallCleanup(args)) {
        // Before the single-instance check: a running copy must not be handed the installer's call.
        CleanUpForUninstall(exe.substr(0, exe.find_last_of('\\') + 1), exe, WithBackslash(TempFolderPath()));
        return 0;
    }
    StartRequest request = ParseStartSwitches(args);
    if (request.Action == StartAction::Edit) {
        request.File = AbsoluteFilePath(request.File);
        args = {"/edit", request.File};
    }
    UniqueKernel instance(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // The running instance does what this start was asked to do.
        HandOverToRunningInstance(args, 10000);
        return 0;
    }

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                             ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    InstallWin32ImageServices();

    ProgramState& app = App();
    app.ProgramFolder = WithBackslash(exe.substr(0, exe.find_last_of('\\') + 1));
    app.TempFolder = WithBackslash(TempFolderPath());
    wchar_t beep[MAX_PATH + 1] = {};
    if (GetTempFileNameW(WideName(app.TempFolder).c_str(), L"~", 0, beep)) app.BeepFile = Narrow(beep);

    if (!ChoosePackage(app.ProgramFolder, app.LanguagePackagePath)) {
        if (!app.BeepFile.empty()) DeleteFileW(WideName(app.BeepFile).c_str());
        OleUninitialize();
        return 0;
    }
    Settings().LanguagePackagePath = app.LanguagePackagePath;
    app.Language = std::make_unique<cMultiLanguage>();
    app.Language->LanguagePackageFileName(app.LanguagePackagePath);
    app.LanguageName = app.Language->getItemValue(100, "");
    LoadMessageTable(*app.Language);

    int rc = 0;
    {
        frmMain main;
        main.HistoryFolder = KeptHistoryFolder();
        // Started with Windows: only the notification icon until the user asks for the window.
        if (request.Action == StartAction::Tray || HasTraySwitch(arguments ? arguments : "")) {
            showCommand = SW_HIDE;
            main.TrayStart = true;
        }
        if (main.Load(showCommand)) {
            if (request.Action == StartAction::Capture || request.Action == StartAction::Edit) main.Request(request);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                // The wheel goes to the focus window; over the history strip it scrolls the strip.
                if (msg.message == WM_MOUSEWHEEL && main.hWnd()) main.RouteWheel(msg);
                // Keys typed into the editor's text box are its own (Delete, Ctrl+A/C/V/X/Z, ...).
                if (main.hWnd() && !main.KeysBelongToTextBox(msg.hwnd) &&
                    TranslateAcceleratorW(main.hWnd(), main.Accelerators(), &msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            rc = static_cast<int>(msg.wParam);
        }
    }
    OleUninitialize();
    return rc;
}
