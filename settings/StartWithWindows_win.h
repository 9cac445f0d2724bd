// The current user's Run entry that starts this program with Windows.
#pragma once
#include <string>

namespace plenvue {

inline constexpr const char* kRunSubkey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValue = "Plenvue";

// The running program's full path.
std::string ThisProgramPath();
// True when the entry exists and starts `exePath`.
bool StartsWithWindows(const std::string& exePath);
// Writes the entry for `exePath`, or removes it when it starts `exePath` (another copy's entry
// stays). False when the registry refused.
bool SetStartWithWindows(const std::string& exePath, bool on);

}  // namespace plenvue
