// Window picking: outlines the window under the pointer and captures the window of another
// application on which the left button is released. The button events come from Ravelin.dll;
// Escape or the right button (kept from the window under the pointer) cancels.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "base/win/Handles_win.h"
#include "capture/RavelinHook_win.h"
#include "image/Picture_win.h"
#include "base/win/modCBSubclass_win.h"
#include "base/win/modDeclare_win.h"

namespace plenvue {

class frmSnapWindow : public IMessageTarget {
public:
    frmSnapWindow() = default;
    ~frmSnapWindow();
    frmSnapWindow(const frmSnapWindow&) = delete;
    frmSnapWindow& operator=(const frmSnapWindow&) = delete;

    // Shows the form and returns when it has closed; `owner` takes no input meanwhile.
    void ShowModal(HWND owner);
    // The picked window's picture; empty when nothing was picked.
    const Picture& CapturedPicture() const { return captured_; }

    // The mouse records Ravelin sends as copy-data.
    void Message(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                 LRESULT& result) override;

private:
    template <class T>
    friend LRESULT CALLBACK FormWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    template <class T>
    friend T* WindowObject(HWND, UINT, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Loads Ravelin and hooks; on failure the reason for the user.
    bool Activate(std::string& reason);
    void Tick();
    void OnCopyData(const COPYDATASTRUCT* record);
    void Pick();
    // The last outline's ring painted again by its windows: nothing of it stays on the screen.
    void RepaintUnderOutline();
    static bool Swallows(ULONG_PTR message);
    void Unload();
    void Close();

    HWND hwnd_ = nullptr;
    RavelinHook hook_;
    WindowTimer timSnapWindow_;
    COPYDATASTRUCT lastRecord_{};
    MOUSEHOOKSTRUCT lastMouse_{};
    Picture captured_;
    bool closed_ = false;
    bool escapeHotkey_ = false;  // Escape registered as this form's hot key
    bool rightDown_ = false;     // the right button went down while picking
    RECT wiped_{};               // where the last outline was
    std::optional<ModalDialogScope> modal_;  // while the form is up
    MessageTargetAttachment target_;
};

}  // namespace plenvue
