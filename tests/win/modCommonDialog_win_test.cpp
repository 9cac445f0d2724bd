#include "controls/modCommonDialog_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>

#include "tests/win/DialogDriver_win.h"

using namespace plenvue;
using plenvue::test::DialogDriver;
using plenvue::test::FileNameEdit;
using plenvue::test::Press;
using plenvue::test::ControlText;

namespace {

std::string LowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string TempFolder() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string s(dir);
    if (!s.empty() && s.back() == '\\') s.pop_back();
    return s;
}

}  // namespace

TEST(CommonDialogWin, ConfirmedSaveReturnsThePathWithOneClosingZero) {
    std::string path = TempFolder() + "\\plenvue-dialog-test.bmp";
    DeleteFileA(path.c_str());
    DialogDriver driver([&](HWND d) {
        SendMessageA(FileNameEdit(d), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        Press(d, IDOK);
    });
    std::string result = ShowSaveDialog(nullptr, "Bitmap Files(*.BMP)|*.bmp", "Save File", "", 0x2006);
    EXPECT_TRUE(driver.Found());
    EXPECT_EQ(result, path + std::string(1, '\0'));
}

TEST(CommonDialogWin, ConfirmedOpenReturnsThePathAlone) {
    std::string path = TempFolder() + "\\plenvue-dialog-open.bmp";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(f);
    DialogDriver driver([&](HWND d) {
        SendMessageA(FileNameEdit(d), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        Press(d, IDOK);
    });
    std::string result = ShowOpenDialog(nullptr, "Bitmap Files(*.BMP)|*.bmp|", "Load File", "", OFN_FILEMUSTEXIST);
    DeleteFileA(path.c_str());
    EXPECT_TRUE(driver.Found());
    EXPECT_EQ(result, path);
}

// Each empty result must come from a dialog that was shown and cancelled, not from one that never
// appeared: the driver saw the dialog with its title (or its own controls) before pressing Cancel.
TEST(CommonDialogWin, CancelledDialogsGiveTheirEmptyResults) {
    {
        DialogDriver driver([](HWND d) { Press(d, IDCANCEL); });
        EXPECT_EQ(ShowSaveDialog(nullptr, "a|*.bmp", "Save File", " ", 0), "");
        EXPECT_TRUE(driver.Found()) << "no Save dialog appeared";
        EXPECT_EQ(driver.Title(), "Save File");
    }
    {
        DialogDriver driver([](HWND d) { Press(d, IDCANCEL); });
        EXPECT_EQ(ShowOpenDialog(nullptr, "a|*.bmp", "Load File", "", 0), "");
        EXPECT_TRUE(driver.Found()) << "no Open dialog appeared";
        EXPECT_EQ(driver.Title(), "Load File");
    }
    {
        DialogDriver driver([](HWND d) { Press(d, IDCANCEL); });
        EXPECT_EQ(ShowColorDialog(nullptr, 0), -1);
        EXPECT_TRUE(driver.Found()) << "no colour dialog appeared";
        EXPECT_TRUE(driver.HadControl(706) && driver.HadControl(707) && driver.HadControl(708))
            << "the dialog answered was not the colour dialog";
    }
    {
        OleInitialize(nullptr);
        DialogDriver driver([](HWND d) { Press(d, IDCANCEL); });
        EXPECT_EQ(BrowseForFolder("Please choose a folder.", nullptr), "\\");
        EXPECT_TRUE(driver.Found()) << "no folder dialog appeared";
        EXPECT_FALSE(driver.HadControl(706)) << "the dialog answered was not the folder dialog";
        OleUninitialize();
    }
}

TEST(CommonDialogWin, ChosenFolderEndsInOneBackslash) {
    OleInitialize(nullptr);
    std::string folder = TempFolder();
    DialogDriver driver([&](HWND d) {
        SendMessageA(d, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        Sleep(200);
        Press(d, IDOK);
    });
    std::string result = BrowseForFolder("Please choose a folder.", nullptr);
    OleUninitialize();
    EXPECT_TRUE(driver.Found());
    EXPECT_EQ(LowerCase(result), LowerCase(folder + "\\"));
}

// The name and type proposed are what the dialog shows; the type chosen in the list comes back and
// decides the extension of a bare name.
TEST(CommonDialogWin, SaveDialogShowsTheProposalAndReportsTheTypeChosen) {
    const std::string folder = TempFolder();
    const std::string expected = folder + "\\plenvue-dialog-bare.bmp";
    DeleteFileA(expected.c_str());
    std::string shownName;
    LRESULT shownType = -1;
    DialogDriver driver([&](HWND d) {
        shownName = ControlText(FileNameEdit(d));
        HWND types = GetDlgItem(d, 0x470);
        shownType = SendMessageA(types, CB_GETCURSEL, 0, 0);
        plenvue::test::ChooseListEntry(d, 0x470, 2);
        SendMessageA(FileNameEdit(d), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("plenvue-dialog-bare"));
        Press(d, IDOK);
    });
    SaveDialogChoice choice;
    choice.InitialName = "shot7.jpg";
    choice.FilterIndex = 2;
    choice.DefaultExtension = "jpg";
    const std::string result = ShowSaveDialog(nullptr, "PNG|*.png|JPEG|*.jpg|Bitmap|*.bmp", "Save File", folder,
                                              OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, choice);
    ASSERT_TRUE(driver.Found());
    EXPECT_EQ(shownName, "shot7.jpg");
    EXPECT_EQ(shownType, 1);
    EXPECT_EQ(choice.FilterIndex, 3);
    EXPECT_EQ(LowerCase(WithoutTrailingNul(result)), LowerCase(expected));
}
