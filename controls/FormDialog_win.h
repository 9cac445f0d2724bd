// The dialog base of every dialog form: an in-memory template (or a named resource), modal for
// the program, modeless for tests that drive it directly. The dialog procedure hands every message
// to the members below under the window procedures' exception rule (see WindowThunk_win.h).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "controls/DialogTemplate.h"

namespace plenvue {

class FormDialog {
public:
    FormDialog() = default;
    virtual ~FormDialog();
    FormDialog(const FormDialog&) = delete;
    FormDialog& operator=(const FormDialog&) = delete;

    // Shows the dialog modally over `owner`; returns when it has closed.
    void ShowModal(HWND owner);
    // Creates the dialog without a modal loop (tests); Close destroys it.
    HWND CreateModeless(HWND owner);
    HWND hWnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    // Sends a button click as the user's click would.
    void Click(int id) { SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id))); }

protected:
    // The layout; not asked for when ResourceName names a template of the executable.
    virtual DialogTemplate Template() const { return DialogTemplate(WS_POPUP, 0, 0, 0, 0, ""); }
    virtual const char* ResourceName() const { return nullptr; }
    // The module holding that template and its bitmaps (tests read the executable's as data).
    virtual HINSTANCE ResourceModule() const { return GetModuleHandleW(nullptr); }
    virtual void OnInit() = 0;
    // Commands from controls; IDCANCEL also comes from Escape and the close box.
    virtual void OnCommand(int id, int code) = 0;
    // Other messages; return true when handled (result in `result`).
    virtual bool OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }
    virtual void OnUnload() {}
    void Close();

    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM) noexcept;
    bool modal_ = false;
};

// Texts of a dialog control.
std::string ItemText(HWND dialog, int id);
// Sets a dialog item's text from UTF-8.
void SetItemText(HWND dialog, int id, std::string_view text);

}  // namespace plenvue
