// Opens the help: the compiled help file in the system's help viewer, or a help page in the
// user's default browser. Where nothing opens it, a message names the pages' folder.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace plenvue {

// Opens `file` (with `parameters` for a program) as the shell does; true when something opened it.
using HelpOpener = std::function<bool(HWND owner, const std::string& file, const std::string& parameters)>;
// The shell's way: ShellExecute's "open".
bool ShellOpenHelp(HWND owner, const std::string& file, const std::string& parameters);

// `topic` is a page name such as "index" or "options" (see HelpTopics.h). False when there is no
// help or nothing could open it (the user has been told).
bool OpenHelpTopic(HWND owner, std::string_view topic, const HelpOpener& open = ShellOpenHelp);

}  // namespace plenvue
