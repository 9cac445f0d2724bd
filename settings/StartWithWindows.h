// Starting with Windows: the command the current user's Run entry holds, and the switch in it
// that starts the program in the notification area without showing the main window.
#pragma once
#include <string>
#include <string_view>

namespace plenvue {

inline constexpr const char* kTraySwitch = "/tray";

// "\"<exePath>\" /tray".
std::string RunEntryCommand(std::string_view exePath);
// True when one blank-separated word of the program's arguments is "/tray" or "-tray" (any case).
bool HasTraySwitch(std::string_view arguments);
// The program a Run entry starts: the quoted first part, or the text up to the first blank.
std::string RunEntryProgram(std::string_view entry);
// True when the entry starts `exePath` (ASCII case aside): another copy's entry is not ours.
bool RunEntryNamesProgram(std::string_view entry, std::string_view exePath);

}  // namespace plenvue
