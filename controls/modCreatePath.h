// Creating a nested folder path: which folders must be made, in order. The file system is reached
// only through the two callbacks, so the plan is computed and tested without it.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvue {

using FolderExists = std::function<bool(const std::string& path)>;
using MakeFolder = std::function<bool(const std::string& path)>;

struct CreatePathPlan {
    bool Ok = false;                   // false: the path cannot be made; nothing is to be created
    std::vector<std::string> ToCreate; // folders to create in this order, each without a trailing "\"
};

// The plan for `path` ("C:\a\b", "\\server\share\a", trailing "\" allowed). Existing folders are
// tested from the root down until the first missing one; from there on every folder is created.
// Empty and relative paths fail; a network path never creates its server or share, which must exist.
// `folderExists` must answer for folders only: a file of the same name counts as missing.
CreatePathPlan PlanCreatePath(std::string_view path, const FolderExists& folderExists);

// Carries out the plan; false as soon as a creation fails. True when the path exists afterwards.
bool CreatePath(std::string_view path, const FolderExists& folderExists, const MakeFolder& makeFolder);

}  // namespace plenvue
