// Common dialogs over comdlg32 and the shell's folder browser.
#include "controls/modCommonDialog_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include "controls/modCommonDialog.h"

namespace plenvue {
namespace {

constexpr DWORD kFileBufferSize = 255;

std::string ProgramFolderWithoutBackslash() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    size_t slash = s.find_last_of('\\');
    return slash == std::string::npos ? std::string() : s.substr(0, slash);
}

// Both dialogs share the record; the buffers live in the caller's frame.
struct FileDialog {
    OPENFILENAMEA ofn{};
    std::string filter;
    std::string title;
    std::string folder;
    char file[kFileBufferSize + 1] = {};
    char fileTitle[kFileBufferSize + 1] = {};

    FileDialog(HWND owner, std::string_view f, std::string_view t, std::string folderText, uint32_t flags)
        : filter(DialogFilterText(f)), title(t), folder(std::move(folderText)) {
        // An empty name box: a buffer of blanks would show up as the initial name.
        ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the 76-byte record
        ofn.hwndOwner = owner;
        ofn.hInstance = GetModuleHandleA(nullptr);
        ofn.lpstrFilter = filter.c_str();
        ofn.lpstrFile = file;
        ofn.nMaxFile = kFileBufferSize;
        ofn.lpstrFileTitle = fileTitle;
        ofn.nMaxFileTitle = kFileBufferSize;
        ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        ofn.lpstrTitle = title.c_str();
        ofn.Flags = flags;
    }
};

}  // namespace

std::string ShowSaveDialog(HWND owner, std::string_view filter, std::string_view title,
                           std::string_view initialFolder, uint32_t flags) {
    FileDialog d(owner, filter, title, SaveDialogInitialFolder(initialFolder, ProgramFolderWithoutBackslash()),
                 flags);
    d.ofn.lpstrDefExt = "bmp";
    if (!GetSaveFileNameA(&d.ofn)) return {};
    std::string_view buffer(d.file, sizeof d.file);
    size_t nul = buffer.find('\0');
    return std::string(buffer.substr(0, nul == std::string_view::npos ? buffer.size() : nul + 1));
}

std::string ShowOpenDialog(HWND owner, std::string_view filter, std::string_view title,
                           std::string_view initialFolder, uint32_t flags) {
    FileDialog d(owner, filter, title, std::string(initialFolder), flags);
    if (!GetOpenFileNameA(&d.ofn)) return {};
    return TextBeforeNul(std::string_view(d.file, sizeof d.file));
}

int32_t ShowColorDialog(HWND owner, uint32_t flags) {
    COLORREF custom[16] = {};
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.hInstance = reinterpret_cast<HWND>(GetModuleHandleA(nullptr));
    cc.lpCustColors = custom;
    cc.Flags = flags;
    if (!ChooseColorA(&cc)) return -1;
    return static_cast<int32_t>(cc.rgbResult);
}

std::string BrowseForFolder(std::string_view prompt, HWND owner) {
    std::string title(prompt);
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    std::string folder;
    if (LPITEMIDLIST item = SHBrowseForFolderA(&bi)) {
        char path[512] = {};
        if (SHGetPathFromIDListA(item, path)) folder = TextBeforeNul(std::string_view(path, sizeof path));
        CoTaskMemFree(item);
    }
    return WithTrailingBackslash(folder);
}

std::string WithoutTrailingNul(std::string path) {
    if (!path.empty() && path.back() == '\0') path.pop_back();
    return path;
}

}  // namespace plenvue
