// JSON string literals for the program's machine-readable output (object lists, capture results).
#pragma once
#include <string>
#include <string_view>

namespace plenvue {

// Appends `text` as a quoted JSON string: quotes, backslashes and control characters escaped,
// other UTF-8 as it is. Ill-formed UTF-8 becomes U+FFFD, so the output always parses.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace plenvue
