#include "shell/AboutBox_win.h"

#include <string>

#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/modDeclare_win.h"

namespace plenvue {

void AboutBox::OnInit() {
    const ILanguage* lang = App().Language.get();
    std::string caption = lang ? lang->getItemValue(8001, "About Plenvue") : "About Plenvue";
    SetWindowTextA(hwnd_, caption.c_str());
    std::string version = std::string(kProgramName) + " " + Msg(10012) + kVersion;
    SetDlgItemTextA(hwnd_, 1002, version.c_str());
    SetDlgItemTextA(hwnd_, 1003, FormatMessageText(Msg(10028), Msg(11002)).c_str());
    SetDlgItemTextA(hwnd_, 1004, ("[" + Msg(11003) + "]").c_str());
    SetDlgItemTextA(hwnd_, 1005, ("[" + Msg(11004) + "]").c_str());
    SetDlgItemTextA(hwnd_, IDOK, Msg(101).c_str());
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
