#include "shell/AboutBox_win.h"

#include <string>

#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/modDeclare_win.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {

void AboutBox::OnInit() {
    const ILanguage* lang = App().Language.get();
    std::string caption = lang ? lang->getItemValue(8001, "About Plenvue") : "About Plenvue";
    SetWindowTextUtf8(hwnd_, caption);
    std::string version = std::string(kProgramName) + " " + Msg(10012) + kVersion;
    SetDlgItemTextW(hwnd_, 1002, Widen(version).c_str());
    SetDlgItemTextW(hwnd_, 1003, Widen(FormatMessageText(Msg(10028), Msg(11002))).c_str());
    SetDlgItemTextW(hwnd_, 1004, Widen(("[" + Msg(11003) + "]")).c_str());
    SetDlgItemTextW(hwnd_, 1005, Widen(("[" + Msg(11004) + "]")).c_str());
    SetDlgItemTextW(hwnd_, IDOK, Widen(Msg(101)).c_str());
}

void AboutBox::OnCommand(int id, int) {
    if (id == IDOK || id == IDCANCEL) Close();
}

void ShowAboutBox(HWND owner) {
    ModalDialogScope modal;
    AboutBox box;
    box.ShowModal(owner);
}

}  // namespace plenvue
