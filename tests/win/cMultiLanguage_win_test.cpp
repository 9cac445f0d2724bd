#include "settings/cMultiLanguage_win.h"

#include <gtest/gtest.h>

#include "controls/DialogTemplate.h"
#include "base/win/Wide_win.h"

using namespace plenvue;

namespace {

const std::string kBin = std::string(PLENVUE_BIN_DIR);

// The build folder as a Windows path (Wine maps / to Z:).
std::string WinPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

const std::string kEnglish = WinPath(kBin + "/Language/English.dll");
const std::string kGerman = WinPath(kBin + "/Language/German.dll");
const std::string kCodePackage = WinPath(kBin + "/testdata/CodePackage.dll");
const std::string kMarker = WinPath(kBin + "/testdata/DllMainRan.txt");

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) noexcept { return FALSE; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// In the program's UTF-8, as the package's texts are.
std::string Text(HWND w) {
    wchar_t t[256] = {};
    GetWindowTextW(w, t, 256);
    return Narrow(t);
}

}  // namespace

TEST(cMultiLanguage, PackageWithCodeIsReadWithoutItsEntryPointRunning) {
    DeleteFileA(kMarker.c_str());
    {
        cMultiLanguage lang;
        lang.LanguagePackageFileName(kCodePackage);
        ASSERT_NE(lang.LanguagePackageInstance(), nullptr);
        EXPECT_EQ(lang.getItemValue(100, "none"), "Code");
        EXPECT_EQ(lang.getItemValue(200, "").size(), 254u);  // a 300-character item is cut
    }
    EXPECT_FALSE(Exists(kMarker));
    // The control: loaded as a library the same file does leave its marker.
    HMODULE code = LoadLibraryA(kCodePackage.c_str());
    ASSERT_NE(code, nullptr);
    FreeLibrary(code);
    EXPECT_TRUE(Exists(kMarker));
    DeleteFileA(kMarker.c_str());
}

TEST(cMultiLanguage, DefaultsWhenNothingLoadedItemMissingOrEmpty) {
    cMultiLanguage lang;
    EXPECT_EQ(lang.LanguagePackageInstance(), nullptr);
    EXPECT_EQ(lang.getItemValue(10001, "Plenvue Is Ready"), "Plenvue Is Ready");
    lang.LanguagePackageFileName(kCodePackage);
    EXPECT_EQ(lang.getItemValue(201, "dflt"), "dflt");    // empty in the package
    EXPECT_EQ(lang.getItemValue(4242, "dflt"), "dflt");   // not in the package
    EXPECT_EQ(lang.getItemValue(4242), "");
    lang.LanguagePackageFileName("C:\\no\\such\\package.dll");
    EXPECT_EQ(lang.LanguagePackageInstance(), nullptr);
    EXPECT_EQ(lang.getItemValue(100, "dflt"), "dflt");
}

TEST(cMultiLanguage, SameNameKeepsTheModuleAnotherReplacesItAndEmptyReleasesIt) {
    cMultiLanguage lang;
    lang.LanguagePackageFileName(kEnglish);
    HMODULE first = lang.LanguagePackageInstance();
    ASSERT_NE(first, nullptr);
    lang.LanguagePackageFileName(kEnglish);
    EXPECT_EQ(lang.LanguagePackageInstance(), first);
    lang.LanguagePackageFileName(kGerman);
    EXPECT_EQ(lang.getItemValue(100), "Deutsch");
    EXPECT_EQ(lang.LanguagePackageFileName(), kGerman);
    lang.LanguagePackageFileName("");
    EXPECT_EQ(lang.LanguagePackageInstance(), nullptr);
    EXPECT_EQ(lang.getItemValue(100, "built-in"), "built-in");
}

TEST(cMultiLanguage, SetLanguageFollowsTagsAndLeavesTextBoxesAndNonNumbersAlone) {
    DialogTemplate t(DS_SETFONT | WS_POPUP | WS_CAPTION, 0, 0, 200, 120, "Design");
    t.Add(kDlgButton, "b1", 11, WS_CHILD | WS_VISIBLE, 5, 5, 60, 14);
    t.Add(kDlgEdit, "typed", 12, WS_CHILD | WS_VISIBLE | WS_BORDER, 5, 25, 60, 14);
    t.Add(kDlgStatic, "label", 13, WS_CHILD | WS_VISIBLE | SS_NOTIFY, 5, 45, 60, 9);
    t.Add(kDlgButton, "tip only", 14, WS_CHILD | WS_VISIBLE, 5, 60, 60, 14);
    t.Add(kDlgButton, "both", 15, WS_CHILD | WS_VISIBLE, 5, 80, 60, 14);
    t.Add(kDlgButton, "missing", 16, WS_CHILD | WS_VISIBLE, 5, 100, 60, 14);
    HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                          reinterpret_cast<const DLGTEMPLATE*>(t.Data().data()), nullptr, PlainDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 500, "&Design\tCtrl+O");
    SetMenu(dlg, menu);

    LanguageForm form;
    form.Window = dlg;
    form.Tag = "2001";
    form.ToolTips = CreateFormToolTips(dlg);
    form.Add(GetDlgItem(dlg, 11), "1103");
    form.Add(GetDlgItem(dlg, 12), "1105");
    form.Add(GetDlgItem(dlg, 13), "abc");
    form.Add(GetDlgItem(dlg, 14), "|2019");
    form.Add(GetDlgItem(dlg, 15), "101|1601");
    form.Add(GetDlgItem(dlg, 16), "4242");
    form.AddMenuItem(menu, 500, "1103");
    cMultiLanguage lang;
    lang.LanguagePackageFileName(kGerman);
    std::string optionen = lang.getItemValue(2001);
    ASSERT_FALSE(optionen.empty());
    lang.setLanguage(form);

    EXPECT_EQ(Text(dlg), optionen);
    EXPECT_EQ(Text(GetDlgItem(dlg, 11)), lang.getItemValue(1103));
    EXPECT_EQ(Text(GetDlgItem(dlg, 12)), "typed");
    EXPECT_EQ(Text(GetDlgItem(dlg, 13)), "label");
    EXPECT_EQ(Text(GetDlgItem(dlg, 14)), "tip only");
    EXPECT_EQ(ControlToolTip(form.ToolTips, GetDlgItem(dlg, 14)), lang.getItemValue(2019));
    EXPECT_EQ(Text(GetDlgItem(dlg, 15)), lang.getItemValue(101));
    EXPECT_EQ(ControlToolTip(form.ToolTips, GetDlgItem(dlg, 15)), lang.getItemValue(1601));
    EXPECT_EQ(Text(GetDlgItem(dlg, 16)), "missing");
    wchar_t item[64] = {};
    GetMenuStringW(menu, 500, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(Narrow(item), lang.getItemValue(1103) + "\tCtrl+O");

    // Without a package nothing changes.
    cMultiLanguage none;
    SetWindowTextA(GetDlgItem(dlg, 11), "design");
    none.setLanguage(form);
    EXPECT_EQ(Text(GetDlgItem(dlg, 11)), "design");
    DestroyWindow(dlg);
}
