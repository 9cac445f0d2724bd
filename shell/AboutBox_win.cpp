#include "shell/AboutBox_win.h"

#include <string>

#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/modDeclare_win.h"
#include "base/win/WideText_win.h"

namespace plenvue {

void AboutBox::OnInit() {
    const ILanguage* lang = App().Language.get();
    std::string caption = lang ? lang->getItemValue(8001, "About Plenvue") : "About Plenvue";
    SetWindowTextUtf8(hwnd_, caption);
    std::string version = std::string(kProgramName) + " " + Msg(10012) + kVersion;
    SetItemText(hwnd_, 1002, version);
    SetItemText(hwnd_, 1003, FormatMessageText(Msg(10028), Msg(11002)));
    SetItemText(hwnd_, 1004, "[" + Msg(11003) + "]");
    SetItemText(hwnd_, 1005, "[" + Msg(11004) + "]");
    // The credit libjpeg-turbo's licence asks of a program linking it, in its own words.
    SetItemText(hwnd_, 1007,
                "JPEG: libjpeg-turbo. This software is based in part on the work of the Independent JPEG Group.");
    SetItemText(hwnd_, IDOK, Msg(101));
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
