// Message texts with placeholders: "%s" is replaced as plain text, and the two characters
// backslash and "n" written in a message stand for a line break.
#pragma once
#include <string>
#include <string_view>

namespace plenvue {

// The text without the line break and blanks it ends with (system messages end in "\r\n").
std::string TrimLineEnd(std::string text);

// Every occurrence of `from` replaced by `to`, scanning left to right; the inserted text is not rescanned.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Every "%s" replaced by `value`.
std::string ReplacePlaceholder(std::string_view text, std::string_view value);

// Every two-character sequence backslash-"n" replaced by a carriage return and line feed.
std::string ExpandLineBreaks(std::string_view text);

// A message ready to show: line breaks expanded in the message first, then every "%s" replaced.
// The value is inserted last so that a path such as C:\new\x.bmp is never broken at "\n".
std::string FormatMessageText(std::string_view message, std::string_view value);

}  // namespace plenvue
