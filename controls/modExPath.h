// Splitting a Windows path into folder, file name and extension. All scan from the end of the text.
#pragma once
#include <string>
#include <string_view>

namespace plenvue {

// Up to and including the last "\" that stands at the third character or later; "" when there is none.
// C:\Language\English.dll -> C:\Language\ ; C:\a.dll -> C:\ .
std::string FolderOfPath(std::string_view path);

// The text after the last "\"; "" for "". Raises ErrorObject 5 (invalid argument) for a non-empty
// text without any "\".
std::string FileNameOfPath(std::string_view path);

// The text after the last ".", lower case, without the dot; "" when a "\" comes first from the end,
// and for "". Raises ErrorObject 5 for a non-empty text with neither "." nor "\".
std::string ExtensionOfPath(std::string_view path);

// ASCII lower case; other bytes unchanged.
std::string LowerAscii(std::string_view text);

}  // namespace plenvue
