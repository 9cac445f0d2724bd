#include "shell/Help_win.h"

#include <shellapi.h>

#include <string>

#include "base/MessageTable.h"
#include "base/win/modDeclare_win.h"
#include "controls/modCreatePath_win.h"
#include "shell/HelpTopics.h"
#include "base/win/Wide_win.h"

namespace plenvue {

void OpenHelpTopic(HWND owner, std::string_view topic) {
    std::string language = App().Language ? App().Language->getItemValue(kMsgHelpFolder, DefaultMessage(kMsgHelpFolder))
                                          : DefaultMessage(kMsgHelpFolder);
    HelpTarget target = ChooseHelpTarget(App().ProgramFolder, language, topic, IsExistingFile);
    if (target.Path.empty()) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (target.Compiled) {
        wchar_t sys[MAX_PATH] = {};
        GetSystemDirectoryW(sys, MAX_PATH);
        std::wstring viewer = std::wstring(sys) + L"\\..\\hh.exe";
        ShellExecuteW(owner, L"open", viewer.c_str(), (L"\"" + Widen(target.Path) + L"\"").c_str(), nullptr,
                      SW_SHOWNORMAL);
        return;
    }
    ShellExecuteW(owner, L"open", Widen(target.Path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace plenvue
