#include "controls/modCommonDialog_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>
#include <ole2.h>
#include <shlobj.h>

#include <functional>
#include <set>
#include <string>

using namespace plenvue;

namespace {

// Answers the next dialog of this process from a second thread, as a user would.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> act) : act_(std::move(act)) {
        thread_ = CreateThread(nullptr, 0, &DialogDriver::Run, this, 0, nullptr);
    }
    ~DialogDriver() {
        WaitForSingleObject(thread_, 20000);
        CloseHandle(thread_);
    }
    // These wait for the driver to finish, so that what it noted is complete.
    bool Found() const {
        Join();
        return found_;
    }
    // The caption of the dialog that was answered, read before answering it.
    const std::string& Title() const {
        Join();
        return title_;
    }
    // Whether it had a control with this id (the colour dialog's red edit, 706, for instance).
    bool HadControl(int id) const {
        Join();
        return controls_.count(id) != 0;
    }

private:
    void Join() const { WaitForSingleObject(thread_, 20000); }
    static BOOL CALLBACK Match(HWND w, LPARAM p) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (pid == GetCurrentProcessId() && std::string(cls) == "#32770" && IsWindowVisible(w)) {
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
        }
        return TRUE;
    }
    static DWORD WINAPI Run(void* self) {
        auto* d = static_cast<DialogDriver*>(self);
        for (int i = 0; i < 300; ++i) {
            HWND dialog = nullptr;
            EnumWindows(&DialogDriver::Match, reinterpret_cast<LPARAM>(&dialog));
            if (dialog) {
                Sleep(300);  // let the dialog finish its own start-up
                char title[128] = {};
                GetWindowTextA(dialog, title, sizeof title);
                d->title_ = title;
                EnumChildWindows(dialog, &DialogDriver::NoteControl, reinterpret_cast<LPARAM>(d));
                d->found_ = true;
                d->act_(dialog);
                return 0;
            }
            Sleep(50);
        }
        return 0;
    }
    static BOOL CALLBACK NoteControl(HWND c, LPARAM p) {
        reinterpret_cast<DialogDriver*>(p)->controls_.insert(GetDlgCtrlID(c));
        return TRUE;
    }
    std::function<void(HWND)> act_;
    HANDLE thread_ = nullptr;
    bool found_ = false;
    std::string title_;
    std::set<int> controls_;
};

void Press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))); }

HWND FileNameEdit(HWND dialog) {
    for (int id : {0x47C, 0x480}) {
        HWND c = GetDlgItem(dialog, id);
        if (!c) continue;
        char cls[64] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Edit") == 0) return c;
        for (HWND inner = c; inner;) {
            if (HWND edit = FindWindowExA(inner, nullptr, "Edit", nullptr)) return edit;
            inner = FindWindowExA(inner, nullptr, "ComboBox", nullptr);
        }
    }
    return nullptr;
}

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
