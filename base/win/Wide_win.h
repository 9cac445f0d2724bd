// The platform's wide text (wchar_t is one UTF-16 unit here) from and to the program's UTF-8.
// Names go through the checked forms or WidePath; display texts may use Widen/Narrow.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "base/Utf.h"

namespace plenvue {

// Lossy: ill-formed parts become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Checked: nothing for ill-formed or over-long input.
std::optional<std::wstring> WidenChecked(std::string_view utf8);
std::optional<std::string> NarrowChecked(std::wstring_view wide);

// A full path for the wide file functions (PlatformPathUtf16): the extended-length prefix past
// `limit` units (folder creation passes kMaxPlainFolderPath); nothing when the text is ill-formed
// or holds a NUL.
std::optional<std::wstring> WidePath(std::string_view utf8, std::size_t limit = kMaxPlainPath);

// WidePath for calls that report a failure themselves: an unusable name becomes the empty text,
// which names no file, so the call fails instead of reaching another one.
std::wstring WideName(std::string_view utf8, std::size_t limit = kMaxPlainPath);

}  // namespace plenvue
