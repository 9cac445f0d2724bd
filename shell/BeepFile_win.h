// The saving sound as a file of its own: written from the program's wave resource at load and
// deleted when the owner goes.
#pragma once
#include <windows.h>

#include <string>

namespace plenvue {

class BeepFile {
public:
    BeepFile() = default;
    ~BeepFile();
    BeepFile(const BeepFile&) = delete;
    BeepFile& operator=(const BeepFile&) = delete;

    // Nothing happens for an empty path; the file is deleted at the end even if writing failed.
    void Write(const std::string& path, HINSTANCE module);

private:
    std::string path_;
};

}  // namespace plenvue
