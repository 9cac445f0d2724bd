// Folder creation over the Win32 file functions.
#include "controls/modCreatePath_win.h"

#include <windows.h>

#include "base/Utf.h"
#include "base/win/Wide_win.h"
#include "controls/modCreatePath.h"

namespace plenvue {

bool IsExistingFolder(const std::string& path) {
    DWORD attrs = GetFileAttributesW(WideName(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsExistingFile(const std::string& path) {
    DWORD attrs = GetFileAttributesW(WideName(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool PathExists(const std::string& path) { return GetFileAttributesW(WideName(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool CreatePath(std::string_view path) {
    return CreatePath(path, IsExistingFolder,
                      [](const std::string& folder) { return CreateDirectoryW(WideName(folder, kMaxPlainFolderPath).c_str(), nullptr) != FALSE; });
}

}  // namespace plenvue
