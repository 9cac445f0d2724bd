// Opens the help: the compiled help file in the system's help viewer, or a help page in the
// user's default browser.
#pragma once
#include <windows.h>

#include <string_view>

namespace plenvue {

// `topic` is a page name such as "index" or "options" (see HelpTopics.h).
void OpenHelpTopic(HWND owner, std::string_view topic);

}  // namespace plenvue
