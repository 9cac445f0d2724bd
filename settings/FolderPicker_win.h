// The platform's folder browser for the settings dialogs.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace plenvue {

// The chosen folder ending in "\", or "\" when the user cancelled.
std::string PickFolder(HWND owner, const std::string& prompt);

// How a dialog asks for a folder; tests put their own answer in.
using FolderPickerFn = std::function<std::string(HWND owner, const std::string& prompt)>;

}  // namespace plenvue
