// Creating a nested folder path on the real file system.
#pragma once
#include <string>
#include <string_view>

namespace plenvue {

// True when the folder exists afterwards. Missing folders are made from the root down; a network
// path's server and share are never created. False at the first folder that cannot be made
// (a file of that name included).
bool CreatePath(std::string_view path);

// True when a folder of that name exists.
bool IsExistingFolder(const std::string& path);
// True when a file (not a folder) of that name exists.
bool IsExistingFile(const std::string& path);
// True when any file-system object of that name exists.
bool PathExists(const std::string& path);

}  // namespace plenvue
