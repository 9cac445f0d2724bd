// The hot key dialog: one hot key control with OK and Cancel. Its caller puts in the texts and
// the current keys and reads the chosen ones.
#pragma once
#include <functional>
#include <string>

#include "settings/Hotkey_win.h"
#include "controls/FormDialog_win.h"
#include "base/MessageTable.h"

namespace plenvue {

class frmHotKey : public FormDialog {
public:
    enum : int { kPrompt = 1001, kHotkeyControl = 1002 };

    // Texts set by the caller before showing.
    std::string Caption = "Set Hotkey";
    std::string Prompt = "Plaese Set Hotkey for %s";
    std::string OkCaption = "OK";
    std::string CancelCaption = "Cancel";
    // Shown when OK is pressed on a combination that needs Ctrl or Alt; the dialog stays open.
    std::string NeedsCtrlOrAltText = DefaultMessage(kMsgHotkeyNeedsCtrlOrAlt);
    // Replaceable for tests: how that text is shown (a message box by default).
    std::function<void(const std::string& text)> ShowRefusalFn;

    ~frmHotKey() override { Close(); }

    void HotkeyModifier(int32_t modifier) { modifierIn_ = modifier; }
    void Hotkey(int32_t key) { keyIn_ = key; }
    // The values chosen with OK (0 and "" otherwise).
    int32_t HotkeyModifier() const { return modifier_; }
    int32_t Hotkey() const { return key_; }
    const std::string& GetHotkeyName() const { return name_; }
    // True unless the dialog was left with OK: a close through the frame chooses nothing.
    bool SetCanceled() const { return canceled_; }

    plenvue::Hotkey& Control() { return hkSetHotkey_; }

protected:
    DialogTemplate Template() const override;
    void OnInit() override;
    void OnCommand(int id, int code) override;
    void OnUnload() override { hkSetHotkey_.Destroy(); }

private:
    plenvue::Hotkey hkSetHotkey_;
    int32_t modifierIn_ = kHotkeyDefaultModifier;
    int32_t keyIn_ = kHotkeyDefaultKey;
    int32_t modifier_ = 0;
    int32_t key_ = 0;
    std::string name_;
    bool canceled_ = true;
};

}  // namespace plenvue
