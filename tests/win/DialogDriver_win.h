// Answers a common dialog of this process from a second thread, as a user would (the dialog runs
// modal on the test's own thread).
#pragma once
#include <windows.h>

#include <functional>
#include <set>
#include <string>

#include "tests/support/FileDialogParts_win.h"

namespace plenvue::test {

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

inline void Press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))); }

// Picks entry `index` of a dialog's drop-down list as the user would: the selection, then the
// notifications (Wine's file dialog acts on the end of the choice, Windows' on the change).
inline void ChooseListEntry(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(list));
}

// The text of a dialog's control (the file-name box's edit included).
inline std::string ControlText(HWND control) {
    char text[1024] = {};
    if (control) GetWindowTextA(control, text, sizeof text);
    return text;
}

}  // namespace plenvue::test
