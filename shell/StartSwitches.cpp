// Plenvue.exe's start switches and the hand-over record.
#include "shell/StartSwitches.h"

#include "base/Utf.h"

namespace plenvue {

namespace {
std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}
}  // namespace

std::optional<int> StartCaptureIndex(std::string_view mode) {
    static const char* const kModes[] = {"screen", "region", "active", "client", "pick", "repeat"};
    const std::string m = Lower(mode);
    for (int i = 0; i < 6; ++i)
        if (m == kModes[i]) return i;
    return std::nullopt;
}

StartRequest ParseStartSwitches(const std::vector<std::string>& args) {
    StartRequest request;
    if (args.empty() || args[0].size() < 2 || (args[0][0] != '/' && args[0][0] != '-')) return request;
    const std::string name = Lower(std::string_view(args[0]).substr(1));
    if (name == "tray") {
        request.Action = StartAction::Tray;
    } else if (name == "capture" && args.size() >= 2) {
        if (std::optional<int> index = StartCaptureIndex(args[1])) {
            request.Action = StartAction::Capture;
            request.CaptureIndex = *index;
        }
    } else if (name == "edit" && args.size() >= 2 && !args[1].empty()) {
        request.Action = StartAction::Edit;
        request.File = args[1];
    }
    return request;
}

bool IsUninstallCleanup(const std::vector<std::string>& args) {
    return args.size() == 1 && args[0].size() > 1 && (args[0][0] == '/' || args[0][0] == '-') &&
           Lower(std::string_view(args[0]).substr(1)) == "uninstall";
}

std::string EncodeHandOver(const std::vector<std::string>& args) {
    std::string record;
    for (const std::string& a : args) record.append(a).push_back('\0');
    return record;
}

std::optional<std::vector<std::string>> DecodeHandOver(const void* data, size_t size) {
    if (size > kHandOverLimit || (size > 0 && !data)) return std::nullopt;
    std::vector<std::string> args;
    if (size == 0) return args;
    const std::string_view bytes(static_cast<const char*>(data), size);
    if (bytes.back() != '\0') return std::nullopt;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find('\0', start);
        const std::string_view arg = bytes.substr(start, end - start);
        if (!IsValidUtf8(arg)) return std::nullopt;
        args.emplace_back(arg);
        start = end + 1;
    }
    return args;
}

}  // namespace plenvue
