// Files named by the program's UTF-8 paths through the C library. On Windows the narrow C
// functions would read the name in the ANSI code page, so there the wide forms are called with the
// extended-length prefix where the path's length needs it.
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace plenvue {

// fopen for a UTF-8 path; null (errno ENOENT) for a name that is ill-formed or holds a NUL, so no
// other file is ever reached.
std::FILE* OpenFileUtf8(std::string_view path, const char* mode);

// remove for a UTF-8 path; non-zero when it fails or the name is unusable.
int RemoveFileUtf8(std::string_view path);

// The std::filesystem path naming the same file; empty for an unusable name.
std::filesystem::path FsPath(std::string_view path);

}  // namespace plenvue
