// The Windows common dialogs: save, open, colour and folder. Each is modal to its owner, works in
// UTF-8 text and keeps nothing between calls (what Save As remembers is its caller's).
#pragma once
#include <windows.h>
#include <shtypes.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace plenvue {

// What a save dialog shows first, and the type the user chose in it.
struct SaveDialogChoice {
    std::string InitialName;              // the name proposed in the name box ("" leaves it empty)
    int32_t FilterIndex = 1;              // in: the 1-based type shown first; out: the type chosen
    std::string DefaultExtension = "bmp"; // added to a bare name (the system takes the chosen type's where it can)
};

// The chosen path followed by one zero character (the caller removes it); "" when cancelled.
// A blank initial folder starts in the program's folder. The default extension is "bmp".
std::string ShowSaveDialog(HWND owner, std::string_view filter, std::string_view title,
                           std::string_view initialFolder, uint32_t flags);
std::string ShowSaveDialog(HWND owner, std::string_view filter, std::string_view title,
                           std::string_view initialFolder, uint32_t flags, SaveDialogChoice& choice);

// The chosen path without a terminator; "" when cancelled. An empty initial folder lets the
// system choose.
std::string ShowOpenDialog(HWND owner, std::string_view filter, std::string_view title,
                           std::string_view initialFolder, uint32_t flags);

// The chosen colour (0x00BBGGRR) or -1 when cancelled. Custom colours start black every time.
int32_t ShowColorDialog(HWND owner, uint32_t flags);

// The chosen folder ending in "\"; a cancelled dialog gives "\" alone.
std::string BrowseForFolder(std::string_view prompt, HWND owner);

// The file-system path of a shell item (beyond MAX_PATH too); "" when it has none.
std::string FolderOfItem(LPCITEMIDLIST item);

// The save dialog's result without its terminating zero (text without one is returned whole).
std::string WithoutTrailingNul(std::string path);

}  // namespace plenvue
