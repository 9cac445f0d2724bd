// The platform's wide calls that hand back or show text, in the program's UTF-8.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace plenvue {

// The module's full path (null: the program); "" when it cannot be read or is no valid text.
std::string ModulePath(HMODULE module);

// The system's folder for temporary files, ending in "\"; "" when unreadable.
std::string TempFolderPath();

// The system's text for an error code (FormatMessage, default language) as the platform reports
// it, line break included; empty when there is none. SystemErrorLine: without the line break.
std::string SystemErrorText(uint32_t code);
std::string SystemErrorLine(uint32_t code);

// MessageBoxW with UTF-8 text and caption.
int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);

// The window's text and SetWindowTextW, in UTF-8 (lossy: display text).
std::string WindowTextOf(HWND window);
BOOL SetWindowTextUtf8(HWND window, std::string_view text);

}  // namespace plenvue
