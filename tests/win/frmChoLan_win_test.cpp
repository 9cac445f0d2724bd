#include "settings/frmChoLan_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/CurrentSettings.h"
#include "settings/frmHotKey_win.h"
#include "settings/modRegistry_win.h"
#include "tests/support/SettingsKey_win.h"
#include "tests/support/TempFolder.h"

using namespace plenvue;

namespace {

std::string WinPath(const std::string& unixPath) {
    std::string p = "Z:" + unixPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

// A folder of its own under the temporary folder; the chooser takes folder paths with the backslash.
class TempFolder : public plenvue::test::TempFolder {
public:
    explicit TempFolder(const char* name)
        : plenvue::test::TempFolder(name), path_(plenvue::test::TempFolder::Path() + "\\") {}
    void Copy(const std::string& from, const std::string& name) {
        CopyFileA(from.c_str(), (path_ + name).c_str(), FALSE);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The chooser writes the stored package on OK; the test puts back what was there.
using StoredPackageGuard = plenvue::test::SettingsKeyRestore;

LRESULT ListCount(frmChoLan& c) { return SendMessageA(c.Item(frmChoLan::kList), LB_GETCOUNT, 0, 0); }

void Select(frmChoLan& c, int index) {
    HWND list = c.Item(frmChoLan::kList);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageA(c.hWnd(), WM_COMMAND, MAKEWPARAM(frmChoLan::kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

const std::string kGerman = WinPath(std::string(PLENVUE_BIN_DIR) + "/Language/German.dll");

}  // namespace

TEST(frmChoLan, NonPackageFirstAndPackageSecondListsOneEntryWhosePathIsChosen) {
    StoredPackageGuard guard;
    TempFolder folder("plenvue-cholan-a");
    folder.Write("a.dll", "not a module");
    folder.Copy(kGerman, "b.dll");
    frmChoLan chooser;
    chooser.BaseFolder = folder.Path();
    chooser.ShowType = 0;
    ASSERT_NE(chooser.CreateModeless(nullptr), nullptr);
    EXPECT_EQ(ListCount(chooser), 1);
    char name[64] = {};
    SendMessageA(chooser.Item(frmChoLan::kList), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(name));
    EXPECT_STREQ(name, "Deutsch");
    char title[200] = {};
    GetDlgItemTextA(chooser.hWnd(), frmChoLan::kTitle, title, sizeof title);
    EXPECT_STREQ(title, "This maybe the first time you run Plenvue. Please choose the language package.");
    EXPECT_FALSE(IsWindowEnabled(chooser.Item(IDOK)));
    Select(chooser, 0);
    EXPECT_TRUE(IsWindowEnabled(chooser.Item(IDOK)));
    chooser.Click(IDOK);
    EXPECT_FALSE(chooser.Canceled());
    EXPECT_EQ(chooser.LanguagePackage(), folder.Path() + "b.dll");
    EXPECT_EQ(ReadSetting("LanguagePackage"), folder.Path() + "b.dll");
}

// The chooser opened with nothing chosen, whatever package was in use.
TEST(frmChoLan, PackageInUseIsChosenWhenTheChooserOpens) {
    StoredPackageGuard guard;
    ScopedSettings settings;
    TempFolder folder("plenvue-cholan-use");
    folder.Copy(kGerman, "a.dll");
    folder.Copy(kGerman, "b.dll");
    Settings().LanguagePackagePath = folder.Path() + "B.DLL";  // case aside, the same file
    frmChoLan chooser;
    chooser.BaseFolder = folder.Path();
    chooser.ShowType = 2;
    ASSERT_NE(chooser.CreateModeless(nullptr), nullptr);
    ASSERT_EQ(ListCount(chooser), 2);
    EXPECT_EQ(SendMessageA(chooser.Item(frmChoLan::kList), LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsWindowEnabled(chooser.Item(IDOK)));
    chooser.Click(IDCANCEL);
}

TEST(frmChoLan, MoreTwiceOnTheSameFolderListsItsPackagesTwice) {
    TempFolder empty("plenvue-cholan-empty");
    TempFolder folder("plenvue-cholan-b");
    folder.Copy(kGerman, "German.dll");
    frmChoLan chooser;
    chooser.BaseFolder = empty.Path();
    chooser.ShowType = 2;
    int asked = 0;
    chooser.PickFolderFn = [&](HWND, const std::string& prompt) {
        EXPECT_EQ(prompt, "Choose Language Package Folder");
        ++asked;
        return folder.Path();
    };
    ASSERT_NE(chooser.CreateModeless(nullptr), nullptr);
    EXPECT_EQ(ListCount(chooser), 0);
    chooser.Click(frmChoLan::kMore);
    chooser.Click(frmChoLan::kMore);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(ListCount(chooser), 2);
    // A cancelled folder dialog adds nothing and keeps the folder.
    chooser.PickFolderFn = [](HWND, const std::string&) { return std::string("\\"); };
    chooser.Click(frmChoLan::kMore);
    EXPECT_EQ(ListCount(chooser), 2);
    EXPECT_EQ(chooser.BaseFolder, folder.Path());
}

TEST(frmChoLan, CancelAsksInTheFirstTwoModesAndCanBeTakenBack) {
    TempFolder empty("plenvue-cholan-c");
    for (int mode : {0, 1, 2}) {
        frmChoLan chooser;
        chooser.BaseFolder = empty.Path();
        chooser.ShowType = mode;
        int asked = 0;
        bool answer = false;
        chooser.ConfirmExitFn = [&](HWND) { ++asked; return answer; };
        ASSERT_NE(chooser.CreateModeless(nullptr), nullptr);
        chooser.Click(IDCANCEL);
        if (mode == 2) {
            EXPECT_EQ(asked, 0);
            EXPECT_EQ(chooser.hWnd(), nullptr);
        } else {
            EXPECT_EQ(asked, 1);
            EXPECT_NE(chooser.hWnd(), nullptr) << "Cancel in the question keeps the dialog";
            answer = true;
            chooser.Click(IDCANCEL);
            EXPECT_EQ(chooser.hWnd(), nullptr);
        }
        EXPECT_TRUE(chooser.Canceled());
    }
}

TEST(frmHotKey, OkReportsTheKeysCancelAndTheFrameChooseNothing) {
    {
        frmHotKey dialog;
        dialog.HotkeyModifier(4);
        dialog.Hotkey(53);
        ASSERT_NE(dialog.CreateModeless(nullptr), nullptr);
        EXPECT_EQ(dialog.Control().GetHotkeyName(), "Alt+5");
        dialog.Control().HotkeyModifier(6);  // keeps the key
        EXPECT_EQ(dialog.Control().Key(), 53);
        dialog.Control().HotkeyModifier(6 + 256);  // modulo 256: no change
        EXPECT_EQ(dialog.Control().HotKeyAndModifier(), 0x0635);
        dialog.Click(IDOK);
        EXPECT_FALSE(dialog.SetCanceled());
        EXPECT_EQ(dialog.HotkeyModifier(), 6);
        EXPECT_EQ(dialog.Hotkey(), 53);
        EXPECT_EQ(dialog.GetHotkeyName(), "Ctrl+Alt+5");
    }
    {
        frmHotKey dialog;
        ASSERT_NE(dialog.CreateModeless(nullptr), nullptr);
        // The defaults of a new control.
        EXPECT_EQ(dialog.Control().HotkeyModifier(), 4);
        EXPECT_EQ(dialog.Control().Key(), 0);
        EXPECT_EQ(dialog.Control().Font().Name, "MS Sans Serif");
        SendMessageA(dialog.hWnd(), WM_CLOSE, 0, 0);  // the close box sends Cancel
        EXPECT_TRUE(dialog.SetCanceled());
        EXPECT_EQ(dialog.Hotkey(), 0);
    }
}

// A letter or digit alone would be registered system-wide and stop working in every program:
// OK refuses it with the message and keeps the dialog open; Ctrl, Alt or a function key go through.
TEST(frmHotKey, OkOnATypingKeyWithoutCtrlOrAltIsRefusedWithTheMessage) {
    frmHotKey dialog;
    dialog.NeedsCtrlOrAltText = "needs Ctrl or Alt";
    std::vector<std::string> shown;
    dialog.ShowRefusalFn = [&](const std::string& text) { shown.push_back(text); };
    ASSERT_NE(dialog.CreateModeless(nullptr), nullptr);
    const std::pair<int32_t, int32_t> refused[] = {{0, 'A'}, {0, '7'}, {1, 'Q'}, {8, ' '}};
    for (const auto& [modifier, key] : refused) {
        dialog.Control().HotkeyModifier(modifier);
        dialog.Control().Key(key);
        dialog.Click(IDOK);
        ASSERT_NE(dialog.hWnd(), nullptr) << "closed on " << modifier << "+" << key;
        EXPECT_TRUE(dialog.SetCanceled());
        EXPECT_EQ(dialog.Hotkey(), 0);
    }
    EXPECT_EQ(shown, std::vector<std::string>(4, "needs Ctrl or Alt"));
    dialog.Control().HotkeyModifier(0);
    dialog.Control().Key(VK_F9);
    dialog.Click(IDOK);
    EXPECT_EQ(shown.size(), 4u);
    EXPECT_FALSE(dialog.SetCanceled());
    EXPECT_EQ(dialog.Hotkey(), VK_F9);
    EXPECT_EQ(dialog.GetHotkeyName(), "F9");
}

TEST(frmHotKey, RefusalTextDefaultsToTheBuiltInMessage) {
    frmHotKey dialog;
    EXPECT_EQ(dialog.NeedsCtrlOrAltText, DefaultMessage(kMsgHotkeyNeedsCtrlOrAlt));
    EXPECT_FALSE(dialog.NeedsCtrlOrAltText.empty());
}

TEST(Hotkey, SetApplicationHotKeyOnAChildWindowRaisesWithTheControlSource) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Hotkey hk;
    ASSERT_NE(hk.Create(parent, 0, 0, 80, 20), nullptr);
    hk.Key('K');
    try {
        hk.SetApplicationHotKey(hk.hWnd());  // a child window cannot have an activation hot key
        ADD_FAILURE() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Source, "Plenvue.cHotKey");
        EXPECT_EQ(static_cast<uint32_t>(e.Number) & 0xFFFFFFF0u, 0x80040440u);
    }
    hk.Destroy();
    DestroyWindow(parent);
}
