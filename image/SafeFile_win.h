// Win32 file operations behind SafeFile: system message texts, and a replaced file keeps its
// creation, access and write times and its attributes.
#pragma once
#include <cstdint>
#include <string>

#include "image/SafeFile.h"

namespace plenvue {

// The system's text for an error code (FormatMessage, default language), as the platform
// reports it; empty when there is none.
std::string SystemErrorText(uint32_t code);

FileSystemOps& Win32FileSystem();

}  // namespace plenvue
