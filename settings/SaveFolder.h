// Where automatic saving goes when the folder setting is missing or blank. A portable copy keeps
// its pictures beside itself; an installed copy, or one whose folder cannot be written (under
// Program Files), uses the user's Pictures folder instead, in a subfolder made on the first save.
#pragma once
#include <string>
#include <string_view>

namespace plenvue {

// The subfolder of the Pictures folder, with its trailing backslash.
inline constexpr const char* kPicturesSubfolder = "Plenvue\\";

// `programFolder` when it is writable and not an installed copy, else `picturesFolder` +
// "Plenvue\" (a backslash added between them when needed). Without a Pictures folder the
// program folder is all there is.
std::string FallbackSaveFolder(std::string_view programFolder, bool programFolderWritable, bool installedCopy,
                               std::string_view picturesFolder);

// True when the installer's record of its install folder names `programFolder` (case and one
// trailing backslash aside).
bool IsInstalledFolder(std::string_view programFolder, std::string_view recordedInstallFolder);

}  // namespace plenvue
