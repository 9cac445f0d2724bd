// The main window for a test: hidden, loaded over an empty clipboard (it takes a bitmap it finds
// there at start), closed at the end, and the settings key put back after it.
#pragma once
#include <windows.h>

#include <functional>

#include "shell/frmMain_win.h"
#include "tests/support/SettingsKey_win.h"
#include "tests/support/TempFolder.h"
#include "tests/win/WinTestSupport.h"

namespace plenvue::test {

class MainWindow {
public:
    // `beforeLoad` prepares program-wide state that the load step reads.
    explicit MainWindow(const std::function<void()>& beforeLoad = {}) {
        if (beforeLoad) beforeLoad();
        EmptyTheClipboard();
        // Closing with drawings not saved leaves them: a test never waits on the question.
        form.AskToSaveDrawings = [] { return IDNO; };
        form.ConfirmDelete = [](const std::string&) { return true; };
        // A history of the test's own, gone with it.
        form.HistoryFolder = history_.Path() + "\\History";
        loaded = form.Load(SW_HIDE);
    }
    ~MainWindow() { Close(); }
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Unloads the window and takes the quit message it posts.
    void Close() {
        if (form.hWnd()) SendMessageA(form.hWnd(), WM_CLOSE, 0, 0);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND hWnd() const { return form.hWnd(); }

private:
    SettingsKeyRestore registry_;  // first in, last out: restored after the window is gone
    TempFolder history_{"history"};

public:
    frmMain form;
    bool loaded = false;
};

}  // namespace plenvue::test
