#include "shell/Help_win.h"

#include <shellapi.h>

#include <string>

#include "base/MessageTable.h"
#include "base/win/modDeclare_win.h"
#include "shell/HelpTopics.h"
#include "base/win/Wide_win.h"

namespace plenvue {

namespace {

bool IsFile(const std::string& path) {
    DWORD a = GetFileAttributesW(WideName(path).c_str());
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
