#include "settings/FolderPicker_win.h"

#include <shlobj.h>

#include "base/win/Wide_win.h"
#include "controls/modCommonDialog.h"
#include "controls/modCommonDialog_win.h"

namespace plenvue {

std::string PickFolder(HWND owner, const std::string& prompt) {
    wchar_t display[MAX_PATH] = {};
    std::wstring title = Widen(prompt);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST list = SHBrowseForFolderW(&info);
    std::string folder;
    if (list) {
        folder = FolderOfItem(list);
        CoTaskMemFree(list);
    }
    return WithTrailingBackslash(folder);
}

}  // namespace plenvue
