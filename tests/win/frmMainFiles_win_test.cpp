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
    EXPECT_TRUE(f.Has("p0_0.bmp"));
    EXPECT_TRUE(f.Has("p1_1.bmp"));
    EXPECT_EQ(s.SavePath, f.Path() + "\\");
    EXPECT_EQ(w.form.CurrentFile(), f.Path() + "\\p1_1.bmp");
    // A changed suffix starts again at 0, skipping nothing that is not there.
    s.SuffixFileName = "_b";
    w.form.AutoSavePic();
    EXPECT_TRUE(f.Has("p0_0_b.bmp"));
}
