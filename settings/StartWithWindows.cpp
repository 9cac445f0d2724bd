#include "settings/StartWithWindows.h"

#include "controls/modExPath.h"

namespace plenvue {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string RunEntryCommand(std::string_view exePath) {
    return "\"" + std::string(exePath) + "\" " + kTraySwitch;
}

bool HasTraySwitch(std::string_view arguments) {
    size_t i = 0;
    while (i < arguments.size()) {
        while (i < arguments.size() && IsBlank(arguments[i])) ++i;
        size_t start = i;
        while (i < arguments.size() && !IsBlank(arguments[i])) ++i;
        std::string word = LowerAscii(arguments.substr(start, i - start));
        if (word == "/tray" || word == "-tray") return true;
    }
    return false;
}

std::string RunEntryProgram(std::string_view entry) {
    size_t i = 0;
    while (i < entry.size() && IsBlank(entry[i])) ++i;
    entry.remove_prefix(i);
    if (!entry.empty() && entry.front() == '"') {
        size_t end = entry.find('"', 1);
        return std::string(entry.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1));
    }
    size_t end = 0;
    while (end < entry.size() && !IsBlank(entry[end])) ++end;
    return std::string(entry.substr(0, end));
}

bool RunEntryNamesProgram(std::string_view entry, std::string_view exePath) {
    return !exePath.empty() && LowerAscii(RunEntryProgram(entry)) == LowerAscii(exePath);
}

}  // namespace plenvue
