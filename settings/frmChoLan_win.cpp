#include "settings/frmChoLan_win.h"

#include <shellapi.h>

#include "settings/CurrentSettings.h"
#include "settings/modRegistry_win.h"
#include "base/MessageTable.h"
#include "base/win/modDeclare_win.h"
#include "base/win/Wide_win.h"
#include "base/win/WideText_win.h"

namespace plenvue {

std::vector<std::string> PackageFilesOf(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAW found{};
    HANDLE h = FindFirstFileW(WideName(folder + "*.dll").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return files;
    do {
        // A name that is no valid text could not be opened again by its UTF-8 form.
        auto name = NarrowChecked(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name) files.push_back(std::move(*name));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return files;
}

DialogTemplate frmChoLan::Template() const {
    DialogTemplate t(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 230, 172,
                     "Choose Language Package");
    t.Add(kDlgStatic, "Please choose the language package.", kTitle, WS_CHILD | WS_VISIBLE, 7, 7, 216, 18);
    t.Add(kDlgStatic, "The language(s) in the list available:", kTip, WS_CHILD | WS_VISIBLE, 7, 28, 216, 9);
    t.Add(kDlgListBox, "", kList, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY, 7, 40,
          216, 84);
    t.Add(kDlgStatic, "I can translate this software to another language", kTranslate,
          WS_CHILD | WS_VISIBLE | SS_NOTIFY, 7, 130, 216, 9);
    t.Add(kDlgButton, "More...", kMore, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 7, 150, 50, 14);
    t.Add(kDlgButton, "OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_DEFPUSHBUTTON, 118, 150,
          50, 14);
    t.Add(kDlgButton, "Cancel", IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 173, 150, 50, 14);
    return t;
}

void frmChoLan::OnInit() {
    canceled_ = true;
    if (auto lines = ChooserFixedLines(ShowType)) {
        SetItemText(hwnd_, kTitle, lines->Title);
        SetItemText(hwnd_, kTip, lines->Tip);
    } else if (App().Language) {
        form_ = LanguageForm{};
        form_.Window = hwnd_;
        form_.Tag = "7001";
        form_.Add(Item(kTitle), "7003");
        form_.Add(Item(kTip), "7005");
        form_.Add(Item(kList), "");
        form_.Add(Item(kTranslate), "7007");
        form_.Add(Item(kMore), "103");
        form_.Add(Item(IDOK), "101");
        form_.Add(Item(IDCANCEL), "102");
        App().Language->setLanguage(form_);
    }
    FillList();
    // The package in use is the one chosen until another is.
    const std::wstring inUse = Widen(Settings().LanguagePackagePath);
    for (size_t i = 0; i < table_.Paths.size() && !inUse.empty(); ++i) {
        if (CompareStringOrdinal(Widen(table_.Paths[i]).c_str(), -1, inUse.c_str(), -1, TRUE) != CSTR_EQUAL) continue;
        SendDlgItemMessageW(hwnd_, kList, LB_SETCURSEL, i, 0);
        EnableWindow(Item(IDOK), TRUE);
        break;
    }
}

void frmChoLan::FillList() {
    cMultiLanguage probe;
    auto readName = [&probe](const std::string& path) {
        probe.LanguagePackageFileName(path);
        return probe.getItemValue(100, "");
    };
    size_t before = table_.Names.size();
    AppendPackages(table_, BaseFolder, PackageFilesOf(BaseFolder), readName);
    for (size_t i = before; i < table_.Names.size(); ++i)
        SendDlgItemMessageW(hwnd_, kList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(table_.Names[i]).c_str()));
}

void frmChoLan::Confirm() {
    LRESULT sel = SendDlgItemMessageW(hwnd_, kList, LB_GETCURSEL, 0, 0);
    if (sel < 0 || static_cast<size_t>(sel) >= table_.Paths.size()) return;
    canceled_ = false;
    package_ = table_.Paths[static_cast<size_t>(sel)];
    WriteSetting(kValLanguagePackage, package_);
    Close();
}

void frmChoLan::TryCancel() {
    if (ShowType == 0 || ShowType == 1) {
        bool leave = ConfirmExitFn ? ConfirmExitFn(hwnd_)
                                   : ShowMessageBox(hwnd_, kChooserExitQuestion, kProgramName, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
        if (!leave) return;
    }
    Close();
}

void frmChoLan::OnCommand(int id, int code) {
    switch (id) {
    case kList:
        if (code == LBN_SELCHANGE) {
            bool chosen = SendDlgItemMessageW(hwnd_, kList, LB_GETCURSEL, 0, 0) >= 0;
            EnableWindow(Item(IDOK), chosen);
        } else if (code == LBN_DBLCLK) {
            Confirm();
        }
        return;
    case IDOK:
        // Enter reaches here too while no entry is chosen; the disabled button stands for "not yet".
        if (IsWindowEnabled(Item(IDOK))) Confirm();
        return;
    case IDCANCEL: TryCancel(); return;
    case kMore: {
        std::string folder = PickFolderFn(hwnd_, kChooserFolderPrompt);
        if (folder == "\\") return;
        BaseFolder = folder;
        FillList();
        return;
    }
    case kTranslate:
        if (code == STN_CLICKED) ShellExecuteW(hwnd_, L"open", Widen(kTranslationMail).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return;
    default: return;
    }
}

}  // namespace plenvue
