// The Win32 side of the automatic-saving fallback: the writability probe, the Pictures folder and
// the installer's record, and making the Pictures subfolder on the first save.
#pragma once
#include <string>

namespace plenvue {

// Where the installer records the folder it installed to (HKEY_CURRENT_USER).
inline constexpr const char* kInstallerSubkey = "Software\\Korvane Studio\\Plenvue Installer";
inline constexpr const char* kValInstallFolder = "InstallFolder";

// True when a new file can be made in `folder` (made and deleted again at once).
bool IsFolderWritable(const std::string& folder);
// The user's Pictures folder without a trailing backslash; empty when there is none.
std::string PicturesFolder();
// The fallback for this program folder (see FallbackSaveFolder).
std::string DefaultSaveFolder(const std::string& programFolder);
// Makes the Pictures subfolder when `folder` is it and it does not exist yet; other folders are
// left as the user set them.
void PrepareSaveFolder(const std::string& folder);

}  // namespace plenvue
