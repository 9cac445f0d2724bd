// Common dialog texts.
#include "controls/modCommonDialog.h"

namespace plenvue {

std::string DialogFilterText(std::string_view filter) {
    std::string s(filter);
    if (s.empty() || s.back() != '|') s += '|';
    for (char& c : s)
        if (c == '|') c = '\0';
    return s;
}

std::string SaveDialogInitialFolder(std::string_view given, std::string_view programFolder) {
    if (given.find_first_not_of(' ') == std::string_view::npos) return std::string(programFolder);
    return std::string(given);
}

std::string WithTrailingBackslash(std::string_view folder) {
    std::string s(folder);
    if (s.empty() || s.back() != '\\') s += '\\';
    return s;
}

std::string TextBeforeNul(std::string_view buffer) {
    return std::string(buffer.substr(0, buffer.find('\0')));
}

}  // namespace plenvue
