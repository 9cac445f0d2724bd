// Path parts.
#include "controls/modExPath.h"

#include "base/ErrorObject.h"

namespace plenvue {

namespace {
ErrorObject InvalidArgument() {
    return ErrorObject(kErrInvalidArgument, kExeName, "Invalid procedure call or argument");
}
}  // namespace

std::string LowerAscii(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string FolderOfPath(std::string_view path) {
    size_t slash = path.rfind('\\');
    // A backslash in the first two characters is part of "\\server" and never ends a folder.
    if (slash == std::string_view::npos || slash < 2) return {};
    return std::string(path.substr(0, slash + 1));
}

std::string FileNameOfPath(std::string_view path) {
    if (path.empty()) return {};
    size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) throw InvalidArgument();
    return std::string(path.substr(slash + 1));
}

std::string ExtensionOfPath(std::string_view path) {
    if (path.empty()) return {};
    size_t hit = path.find_last_of(".\\");
    if (hit == std::string_view::npos) throw InvalidArgument();
    if (path[hit] == '\\') return {};
    return LowerAscii(path.substr(hit + 1));
}

}  // namespace plenvue
