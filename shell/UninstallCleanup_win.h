// What the installer has Plenvue.exe do (/uninstall) just before it removes the program's files:
// what the program left outside them goes too.
#pragma once
#include <string>

namespace plenvue {

// Removes the Start-with-Windows entry when it starts `exePath` (another copy's entry stays), and
// deletes `programFolder`'s Ravelin.dll. When other programs still hold the library (the mouse
// hook reached them) it cannot be deleted: it is moved into `tempFolder` and deleted at the next
// restart, so the program folder can go at once. Where it cannot be moved it is left for the
// installer, which deletes files in use at the next restart itself.
void CleanUpForUninstall(const std::string& programFolder, const std::string& exePath, const std::string& tempFolder);

}  // namespace plenvue
