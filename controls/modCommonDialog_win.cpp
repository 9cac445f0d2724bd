// Common dialogs over comdlg32 and the shell's folder browser.
#include "controls/modCommonDialog_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"
#include "controls/modCommonDialog.h"

namespace plenvue {
namespace {

// Room for names beyond MAX_PATH, up to what the extended-length form allows.
constexpr DWORD kFileBufferSize = 32767;

std::string ProgramFolderWithoutBackslash() {
    std::string s = ModulePath(nullptr);
    size_t slash = s.find_last_of('\\');
    return slash == std::string::npos ? std::string() : s.substr(0, slash);
}

// The chosen name, up to its first zero; "" for one that is no valid text (no file is named by it).
std::string ChosenName(const std::vector<wchar_t>& buffer) {
    std::wstring_view text(buffer.data(), buffer.size());
    return NarrowChecked(text.substr(0, text.find(L'\0'))).value_or(std::string());
}

// Both dialogs share the record; the buffers live in the caller's frame.
struct FileDialog {
    OPENFILENAMEW ofn{};
    std::wstring filter;
    std::wstring title;
    std::wstring folder;
    std::vector<wchar_t> file = std::vector<wchar_t>(kFileBufferSize + 1, L'\0');
    std::vector<wchar_t> fileTitle = std::vector<wchar_t>(256, L'\0');

    FileDialog(HWND owner, std::string_view f, std::string_view t, std::string folderText, uint32_t flags)
        : filter(Widen(DialogFilterText(f))), title(Widen(t)), folder(WidenChecked(folderText).value_or(std::wstring())) {
        // An empty name box: a buffer of blanks would show up as the initial name.
        ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
        ofn.hwndOwner = owner;
        ofn.hInstance = GetModuleHandleW(nullptr);
        ofn.lpstrFilter = filter.c_str();
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = kFileBufferSize;
        ofn.lpstrFileTitle = fileTitle.data();
        ofn.nMaxFileTitle = 255;
        ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        ofn.lpstrTitle = title.c_str();
        ofn.Flags = flags;
    }
};

}  // namespace

std::string ShowSaveDialog(HWND owner, std::string_view filter, std::string_view title,
                           std::string_view initialFolder, uint32_t flags) {
    SaveDialogChoice choice;
    return ShowSaveDialog(owner, filter, title, initialFolder, flags, choice);
}

std::string ShowSaveDialog(HWND owner, std::string_view filter, std::string_view title,
                           std::string_view initialFolder, uint32_t flags, SaveDialogChoice& choice) {
    FileDialog d(owner, filter, title, SaveDialogInitialFolder(initialFolder, ProgramFolderWithoutBackslash()),
                 flags);
    const std::wstring defaultExtension = Widen(choice.DefaultExtension);
    d.ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    d.ofn.nFilterIndex = static_cast<DWORD>(choice.FilterIndex > 0 ? choice.FilterIndex : 1);
    // A proposed name too long for the buffer (or no valid text) leaves the box empty.
    const std::wstring proposed = WidenChecked(choice.InitialName).value_or(std::wstring());
    if (proposed.size() < kFileBufferSize) std::copy(proposed.begin(), proposed.end(), d.file.begin());
    const BOOL chosen = GetSaveFileNameW(&d.ofn);
    choice.FilterIndex = static_cast<int32_t>(d.ofn.nFilterIndex);
    if (!chosen) return {};
    std::string name = ChosenName(d.file);
    return name.empty() ? name : name + '\0';
}

std::string ShowOpenDialog(HWND owner, std::string_view filter, std::string_view title,
                           std::string_view initialFolder, uint32_t flags) {
    FileDialog d(owner, filter, title, std::string(initialFolder), flags);
    if (!GetOpenFileNameW(&d.ofn)) return {};
    return ChosenName(d.file);
}

int32_t ShowColorDialog(HWND owner, uint32_t flags) {
    COLORREF custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.hInstance = reinterpret_cast<HWND>(GetModuleHandleW(nullptr));
    cc.lpCustColors = custom;
    cc.Flags = flags;
    if (!ChooseColorW(&cc)) return -1;
    return static_cast<int32_t>(cc.rgbResult);
}

std::string FolderOfItem(LPCITEMIDLIST item) {
    // The Ex form takes folders beyond MAX_PATH; the plain form is the fallback where it is missing.
    std::vector<wchar_t> path(kFileBufferSize + 1, L'\0');
    if (!SHGetPathFromIDListEx(item, path.data(), kFileBufferSize, GPFIDL_DEFAULT)) {
        std::fill(path.begin(), path.end(), L'\0');
        if (!SHGetPathFromIDListW(item, path.data())) return {};
    }
    return ChosenName(path);
}

std::string BrowseForFolder(std::string_view prompt, HWND owner) {
    std::wstring title = Widen(prompt);
    BROWSEINFOW bi{};
    bi.hwndOwner = owner;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    std::string folder;
    if (LPITEMIDLIST item = SHBrowseForFolderW(&bi)) {
        folder = FolderOfItem(item);
        CoTaskMemFree(item);
    }
    return WithTrailingBackslash(folder);
}

std::string WithoutTrailingNul(std::string path) {
    if (!path.empty() && path.back() == '\0') path.pop_back();
    return path;
}

}  // namespace plenvue
