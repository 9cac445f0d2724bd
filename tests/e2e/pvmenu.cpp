// Loaded into Plenvue by pvprobe: writes the main window's menus, as this process sees them, to
// %TEMP%\pvmenu-<pid>.txt. Wine keeps menus private to their process, so they cannot be read
// from outside.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Dump(FILE* f, HMENU menu, int depth) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
        std::string flags;
        if (info.fType & MFT_SEPARATOR) flags += "sep,";
        if (info.fState & MFS_GRAYED) flags += "grayed,";
        if (info.fState & MFS_CHECKED) flags += "checked,";
        if (flags.empty()) flags = "-";
        else flags.pop_back();
        std::fprintf(f, "%d\t%u\t%s\t%s\n", depth, info.wID, flags.c_str(), text);
        if (info.hSubMenu) Dump(f, info.hSubMenu, depth + 1);
    }
}

void Write() {
    HWND main = FindWindowA("PlenvueMainWindow", nullptr);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "pvmenu-" + std::to_string(GetCurrentProcessId()) + ".txt";
    std::string part = path + ".part";
    FILE* f = std::fopen(part.c_str(), "w");
    if (!f) return;
    if (HMENU bar = GetMenu(main)) {
        std::fprintf(f, "menu\n");
        Dump(f, bar, 0);
    }
    if (HMENU sys = GetSystemMenu(main, FALSE)) {
        std::fprintf(f, "system\n");
        Dump(f, sys, 0);
    }
    std::fclose(f);
    MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Write();
    return TRUE;
}
