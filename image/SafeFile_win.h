// Win32 file operations behind SafeFile: failures carry the system's message text, and a replaced
// file keeps its creation, access and write times and its attributes.
#pragma once
#include <cstdint>
#include <string>

#include "image/SafeFile.h"

namespace plenvue {

FileSystemOps& Win32FileSystem();

}  // namespace plenvue
