// The main window's file commands in-process: menu enabling, open and save updating the current
// file, automatic names on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "shell/FileCommands_win.h"
#include "shell/MainMenu.h"
#include "shell/frmMain_win.h"
#include "base/win/modDeclare_win.h"
#include "settings/CurrentSettings.h"

#include "tests/support/MainWindow_win.h"
#include "tests/support/TempFolder.h"
#include "settings/modRegistry_win.h"
#include "shell/SaveAsChoice.h"
#include "tests/win/DialogDriver_win.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;

namespace {

using plenvue::test::MainWindow;
using Folder = plenvue::test::TempFolder;

bool Enabled(HMENU menu, int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0; }

// Writes a small picture file through the saving path itself.
std::string MakeBitmapFile(const Folder& f, const char* name) {
    HBITMAP bmp = CreateCompatibleBitmap(WindowDC::Client(nullptr).get(), 16, 8);
    std::string path = f / name, written;
    SavePictureFile(Picture::FromBitmap(bmp, nullptr), path, written);
    return written;
}

}  // namespace

TEST(frmMainFiles, FileMenuFollowsThePictureAndTheCurrentFile) {
    Folder f("frmfiles");
    std::string file = MakeBitmapFile(f, "m.bmp");
    MainWindow w;
    HMENU fileMenu = GetSubMenu(GetMenu(w.form.hWnd()), 0);
    ASSERT_NE(fileMenu, nullptr);
    SendMessageA(w.form.hWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fileMenu), 0);
    for (int id : {kCmdSave, kCmdSaveAs, kCmdPrint, kCmdCopyTo, kCmdMoveTo, kCmdDelete})
        EXPECT_FALSE(Enabled(fileMenu, id)) << id;
    EXPECT_TRUE(Enabled(fileMenu, kCmdOpen));

    ASSERT_TRUE(w.form.OpenPicture(file, false));
    EXPECT_EQ(w.form.CurrentFile(), file);
    SendMessageA(w.form.hWnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fileMenu), 0);
    for (int id : {kCmdSave, kCmdSaveAs, kCmdPrint, kCmdCopyTo, kCmdMoveTo, kCmdDelete})
        EXPECT_TRUE(Enabled(fileMenu, id)) << id;
}

TEST(frmMainFiles, MissingFileChangesNothingAndSaveSetsTheExtendedName) {
    Folder f("frmfiles");
    std::string file = MakeBitmapFile(f, "a.bmp");
    MainWindow w;
    ASSERT_TRUE(w.form.OpenPicture(file, true));
    EXPECT_FALSE(w.form.OpenPicture(f.Path() + "\\missing.bmp", true));
    EXPECT_EQ(w.form.CurrentFile(), file);
    EXPECT_FALSE(w.form.WorkingPicture().Empty());

    ASSERT_TRUE(w.form.SavePic(f.Path() + "\\shot.tif"));
    EXPECT_EQ(w.form.CurrentFile(), f.Path() + "\\shot.tif.bmp");
    EXPECT_TRUE(f.Has("shot.tif.bmp"));
    EXPECT_FALSE(f.Has("shot.tif"));
}

TEST(frmMainFiles, AutoSaveNumbersThePrefixToo) {
    Folder f("frmfiles");
    std::string file = MakeBitmapFile(f, "src.bmp");
    MainWindow w;
    ASSERT_TRUE(w.form.OpenPicture(file, false));
    CurrentSettings& s = Settings();
    s.SavePath = f.Path();  // without the backslash: it is added and kept
    s.PrefixFileName = "p%n_";
    s.SuffixFileName = "";
    s.BeepWhenSaving = "0";
    w.form.AutoSavePic();
    w.form.AutoSavePic();
    EXPECT_TRUE(f.Has("p0_0.png"));  // a fresh installation saves PNG
    EXPECT_TRUE(f.Has("p1_1.png"));
    EXPECT_EQ(s.SavePath, f.Path() + "\\");
    EXPECT_EQ(w.form.CurrentFile(), f.Path() + "\\p1_1.png");
    // A changed suffix starts again at 0, skipping nothing that is not there.
    s.SuffixFileName = "_b";
    w.form.AutoSavePic();
    EXPECT_TRUE(f.Has("p0_0_b.png"));
}

namespace {

struct SaveAsSeen {
    std::string Name;      // the name proposed
    LRESULT Type = -1;     // the 0-based type shown
};

// Runs File > Save As, notes what the dialog proposes, picks `type` (0-based, -1 leaves it) and
// confirms `name`.
SaveAsSeen SaveAs(MainWindow& w, const std::string& name, int type = -1) {
    SaveAsSeen seen;
    plenvue::test::DialogDriver driver([&](HWND d) {
        HWND edit = plenvue::test::FileNameEdit(d);
        seen.Name = plenvue::test::ControlText(edit);
        HWND types = GetDlgItem(d, 0x470);
        seen.Type = SendMessageA(types, CB_GETCURSEL, 0, 0);
        if (type >= 0) {
            plenvue::test::ChooseListEntry(d, 0x470, type);
        }
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        plenvue::test::Press(d, IDOK);
    });
    SendMessageA(w.hWnd(), WM_COMMAND, kCmdSaveAs, 0);
    EXPECT_TRUE(driver.Found()) << "no Save As dialog appeared";
    return seen;
}

}  // namespace

// Save As opens where it saved last (else the auto-save folder), proposes the next automatic name,
// keeps the type last used and gives a bare name that type's extension.
TEST(frmMainFiles, SaveAsRemembersItsFolderAndTypeAndProposesTheAutoSaveName) {
    Folder last("saveas-last"), autoSave("saveas-auto");
    std::string file = MakeBitmapFile(autoSave, "src.bmp");
    MainWindow w;
    ASSERT_TRUE(w.form.OpenPicture(file, false));
    CurrentSettings& s = Settings();
    s.SavePath = autoSave.Path() + "\\";
    s.PrefixFileName = "shot";
    s.SuffixFileName = "";
    WriteSetting(kValSaveAsFolder, "");
    WriteSetting(kValSaveAsFormat, "");

    // Nothing remembered: the auto-save folder, PNG first.
    SaveAsSeen seen = SaveAs(w, "bare");
    EXPECT_EQ(seen.Name, "shot0.png");
    EXPECT_EQ(seen.Type, 0);
    EXPECT_TRUE(autoSave.Has("bare.png"));
    EXPECT_EQ(ReadSetting(kValSaveAsFolder), autoSave.Path());
    EXPECT_EQ(ReadSetting(kValSaveAsFormat), "PNG");

    // Another folder and the BMP type chosen in the list are both kept for the next time.
    MakeBitmapFile(last, "shot0.bmp");
    WriteSetting(kValSaveAsFolder, last.Path());
    seen = SaveAs(w, "second", 2);
    EXPECT_EQ(seen.Name, "shot0.png");
    EXPECT_TRUE(last.Has("second.bmp"));
    EXPECT_EQ(ReadSetting(kValSaveAsFormat), "BMP");
    seen = SaveAs(w, "third.jpg");
    EXPECT_EQ(seen.Name, "shot1.bmp");  // shot0.bmp is taken
    EXPECT_EQ(seen.Type, 2);
    EXPECT_TRUE(last.Has("third.jpg"));
    EXPECT_EQ(ReadSetting(kValSaveAsFormat), "JPEG");  // a typed extension decides the type too
    EXPECT_EQ(w.form.CurrentFile(), last.Path() + "\\third.jpg");

    // The remembered folder gone: the auto-save folder again.
    WriteSetting(kValSaveAsFolder, last.Path() + "\\gone");
    SaveAs(w, "fourth");
    EXPECT_TRUE(autoSave.Has("fourth.jpg"));
}
