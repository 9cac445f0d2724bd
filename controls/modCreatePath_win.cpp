// Folder creation over the Win32 file functions.
#include "controls/modCreatePath_win.h"

#include <windows.h>

#include "base/Utf.h"
#include "base/win/Wide_win.h"
#include "controls/modCreatePath.h"

namespace plenvue {
namespace {

// A new folder must leave room for an 8.3 name inside it, so its prefix starts sooner.
std::wstring FolderName(const std::string& folder) {
    if (folder.find('\0') != std::string::npos) return {};
    return WidenChecked(ExtendedLengthPath(folder, kMaxPlainFolderPath)).value_or(std::wstring());
}

}  // namespace

bool IsExistingFolder(const std::string& path) {
    DWORD attrs = GetFileAttributesW(WideName(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathExists(const std::string& path) { return GetFileAttributesW(WideName(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool CreatePath(std::string_view path) {
    return CreatePath(path, IsExistingFolder,
                      [](const std::string& folder) { return CreateDirectoryW(FolderName(folder).c_str(), nullptr) != FALSE; });
}

}  // namespace plenvue
