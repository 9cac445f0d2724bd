#include "shell/frmMain_win.h"

#include <gtest/gtest.h>

#include "shell/MainMenu.h"
#include "base/win/modDeclare_win.h"
#include "settings/CurrentSettings.h"
#include "settings/cMultiLanguage_win.h"

#include "tests/support/MainWindow_win.h"
#include "base/win/Wide_win.h"

using namespace plenvue;

namespace {

std::string GermanPackage() {
    std::string p = "Z:" + std::string(PLENVUE_BIN_DIR) + "/Language/German.dll";
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

// In the program's UTF-8, as the package's texts are.
std::string MenuText(HMENU menu, UINT item, UINT flag) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, item, text, 128, flag);
    return Narrow(text);
}

}  // namespace

TEST(frmMain, ApplyLanguageRelabelsMenusCaptureEntriesAndStatusAtOnce) {
    plenvue::test::MainWindow w;
    ASSERT_TRUE(w.loaded);
    frmMain& form = w.form;
    HMENU menu = GetMenu(form.hWnd());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), "&File");

    App().Language = std::make_unique<cMultiLanguage>();
    App().Language->LanguagePackageFileName(GermanPackage());
    ASSERT_EQ(App().Language->getItemValue(100), "Deutsch");
    LoadMessageTable(*App().Language);
    form.ApplyLanguage();

    const ILanguage& de = *App().Language;
    EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), de.getItemValue(1101));
    EXPECT_EQ(MenuText(menu, 1, MF_BYPOSITION), de.getItemValue(kItemMenuEdit));
    EXPECT_EQ(MenuText(menu, 3, MF_BYPOSITION), de.getItemValue(kItemMenuDraw));
    EXPECT_EQ(MenuText(menu, 6, MF_BYPOSITION), de.getItemValue(1199));
    EXPECT_EQ(MenuText(menu, kCmdToolFirst + 1, MF_BYCOMMAND), de.getItemValue(kItemMenuDraw + 2) + "\tR");
    // Entries keep their shortcut in the language's key names (they kept "Ctrl+O" and "Del");
    // submenu entries are reached too.
    EXPECT_EQ(MenuText(menu, kCmdOpen, MF_BYCOMMAND), de.getItemValue(1103) + "\tStrg+O");
    EXPECT_EQ(MenuText(menu, kCmdUndo, MF_BYCOMMAND), de.getItemValue(1197) + "\tStrg+Z");
    EXPECT_EQ(MenuText(menu, kCmdDelete, MF_BYCOMMAND), de.getItemValue(1113) + "\tEntf");
    EXPECT_EQ(MenuText(menu, kCmdOption, MF_BYCOMMAND), de.getItemValue(1151));
    // Capture entries: the caption and the hot key name after a tab.
    std::string capture = MenuText(menu, kCmdCaptureFirst, MF_BYCOMMAND);
    EXPECT_EQ(capture.substr(0, capture.find('\t')), de.getItemValue(1129));
    HWND status = FindWindowExA(form.hWnd(), nullptr, STATUSCLASSNAMEA, nullptr);
    char text[128] = {};
    SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Plenvue ist bereit");

    w.Close();
    App().Messages.clear();
}
