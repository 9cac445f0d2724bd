// The portable parts of the common dialogs: filter lists and the folder texts they start in or return.
#pragma once
#include <string>
#include <string_view>

namespace plenvue {

// "Bitmap Files(*.BMP)|*.bmp" -> "Bitmap Files(*.BMP)\0*.bmp\0": a "|" is appended unless the
// filter ends with one, then every "|" becomes a zero. The string's own terminator supplies the
// second zero of the platform's double-zero-terminated list (pass .c_str() / .data()).
std::string DialogFilterText(std::string_view filter);

// Save dialog: the given initial folder unless it is blank after trimming; then the program folder
// (as the system reports it, without a trailing "\").
std::string SaveDialogInitialFolder(std::string_view given, std::string_view programFolder);

// Folder dialog result: "\" appended unless the text ends with one. A cancelled dialog's "" gives
// "\", which callers take as cancel.
std::string WithTrailingBackslash(std::string_view folder);

// Text of a fixed buffer up to, not including, its first zero (the whole text if it has none).
std::string TextBeforeNul(std::string_view buffer);

}  // namespace plenvue
