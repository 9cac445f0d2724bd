#include "settings/FolderPicker_win.h"

#include <shlobj.h>

#include "controls/modCommonDialog.h"

namespace plenvue {

std::string PickFolder(HWND owner, const std::string& prompt) {
    char display[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = display;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST list = SHBrowseForFolderA(&info);
    std::string folder;
    if (list) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(list, path)) folder = TextBeforeNul(std::string_view(path, sizeof path));
        CoTaskMemFree(list);
    }
    return WithTrailingBackslash(folder);
}

}  // namespace plenvue
