#include "shell/Help_win.h"

#include <shellapi.h>

#include <string>

#include "base/MessageTable.h"
#include "base/win/modDeclare_win.h"
#include "shell/HelpTopics.h"

namespace plenvue {

namespace {

bool IsFile(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void OpenHelpTopic(HWND owner, std::string_view topic) {
    std::string language = App().Language ? App().Language->getItemValue(kMsgHelpFolder, DefaultMessage(kMsgHelpFolder))
                                          : DefaultMessage(kMsgHelpFolder);
    HelpTarget target = ChooseHelpTarget(App().ProgramFolder, language, topic, IsFile);
    if (target.Path.empty()) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    if (target.Compiled) {
        char sys[MAX_PATH] = {};
        GetSystemDirectoryA(sys, MAX_PATH);
        std::string viewer = std::string(sys) + "\\..\\hh.exe";
        ShellExecuteA(owner, "open", viewer.c_str(), ("\"" + target.Path + "\"").c_str(), nullptr, SW_SHOWNORMAL);
        return;
    }
    ShellExecuteA(owner, "open", target.Path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace plenvue
