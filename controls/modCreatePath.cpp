// Folder path creation plan.
#include "controls/modCreatePath.h"

namespace plenvue {

namespace {

std::vector<std::string> SplitAtBackslash(std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t slash = path.find('\\', start);
        parts.emplace_back(path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

bool IsDrive(const std::string& s) {
    return s.size() == 2 && s[1] == ':' && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

}  // namespace

CreatePathPlan PlanCreatePath(std::string_view path, const FolderExists& folderExists) {
    CreatePathPlan plan;
    if (path.empty()) return plan;
    if (folderExists(std::string(path))) {
        plan.Ok = true;
        return plan;
    }
    std::vector<std::string> parts = SplitAtBackslash(path);
    std::string current;
    size_t next;
    if (path.substr(0, 2) == "\\\\") {
        // \\server\share: neither can be made with a folder creation; the share must already be there.
        size_t i = 3;
        while (i < parts.size() && parts[i].empty()) ++i;
        if (parts.size() < 3 || parts[2].empty() || i >= parts.size()) return plan;
        current = "\\\\" + parts[2] + "\\" + parts[i];
        if (!folderExists(current)) return plan;
        next = i + 1;
    } else {
        // "C:" or "" (a path from the root of the current drive); anything else is relative.
        if (!parts[0].empty() && !IsDrive(parts[0])) return plan;
        current = parts[0];
        next = 1;
    }
    bool allExisted = true;
    bool anyPart = false;
    for (size_t i = next; i < parts.size(); ++i) {
        if (parts[i].empty()) continue;
        anyPart = true;
        current += "\\" + parts[i];
        if (allExisted && folderExists(current)) continue;
        allExisted = false;
        plan.ToCreate.push_back(current);
    }
    // A bare root that does not exist cannot be made.
    if (!anyPart && next == 1) return plan;
    plan.Ok = true;
    return plan;
}

bool CreatePath(std::string_view path, const FolderExists& folderExists, const MakeFolder& makeFolder) {
    CreatePathPlan plan = PlanCreatePath(path, folderExists);
    if (!plan.Ok) return false;
    for (const std::string& folder : plan.ToCreate)
        if (!makeFolder(folder)) return false;
    return true;
}

}  // namespace plenvue
