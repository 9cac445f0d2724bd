#include "shell/Help_win.h"

#include <shellapi.h>

#include <string>

#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"
#include "base/win/modDeclare_win.h"
#include "controls/modCreatePath_win.h"
#include "shell/HelpTopics.h"

namespace plenvue {

bool ShellOpenHelp(HWND owner, const std::string& file, const std::string& parameters) {
    const std::wstring wideParameters = Widen(parameters);
    const HINSTANCE result = ShellExecuteW(owner, L"open", Widen(file).c_str(),
                                           wideParameters.empty() ? nullptr : wideParameters.c_str(), nullptr,
                                           SW_SHOWNORMAL);
    // Values up to 32 are the shell's errors (no association among them).
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool OpenHelpTopic(HWND owner, std::string_view topic, const HelpOpener& open) {
    std::string language = App().Language ? App().Language->getItemValue(kMsgHelpFolder, DefaultMessage(kMsgHelpFolder))
                                          : DefaultMessage(kMsgHelpFolder);
    HelpTarget target = ChooseHelpTarget(App().ProgramFolder, language, topic, IsExistingFile);
    if (target.Path.empty()) {
        MessageBeep(MB_ICONWARNING);
        return false;
    }
    bool opened = false;
    if (target.Compiled) {
        wchar_t sys[MAX_PATH] = {};
        GetSystemDirectoryW(sys, MAX_PATH);
        opened = open(owner, Narrow(std::wstring(sys)) + "\\..\\hh.exe", "\"" + target.Path + "\"");
    } else {
        opened = open(owner, target.Path, "");
    }
    if (!opened) {
        const std::string folder = target.Path.substr(0, target.Path.find_last_of('\\') + 1);
        ShowMessageBox(owner, FormatMessageText(Msg(kMsgHelpNoViewer), folder), kProgramName, MB_ICONINFORMATION);
    }
    return opened;
}

}  // namespace plenvue
