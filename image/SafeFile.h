// Saving without risk to the file being replaced: the new file is written beside the target and
// moved over it only when complete, so a failed write never destroys what was there. The portable
// build uses the C library; the Windows layer installs Win32 operations (system message texts,
// creation and access times, file attributes).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace plenvue {

// A platform failure: the system's error code and its message text.
struct FileFailure {
    int32_t code = 0;
    std::string text;
};

// A new file beside its target; discarded on destruction unless committed.
class ReplacementFile {
public:
    virtual ~ReplacementFile() = default;
    // Appends bytes; reports the platform's result and the count actually written.
    virtual bool Write(const void* data, uint32_t count, uint32_t& written) = 0;
    // Closes the file and moves it over the target. With keepOldStamp, a replaced target's
    // times (and, where the platform has them, attributes) carry over to the new file.
    virtual bool Commit(bool keepOldStamp, FileFailure& failure) = 0;
};

class FileSystemOps {
public:
    virtual ~FileSystemOps() = default;
    // Fails (with the platform's reason) when an existing target may not be overwritten,
    // e.g. a read-only file or a folder.
    virtual bool CheckReplaceable(const std::string& target, FileFailure& failure) = 0;
    // Creates an empty file in the target's folder; null with the reason when that fails.
    virtual std::unique_ptr<ReplacementFile> CreateBeside(const std::string& target, FileFailure& failure) = 0;
};

// The operations in use: the portable ones unless a platform layer installed its own.
FileSystemOps& FileSystem();
// Installs platform operations (not owned; must outlive every save). Null restores the default.
void SetFileSystem(FileSystemOps* ops);

// Opens a replacement for target after checking that target may be replaced.
std::unique_ptr<ReplacementFile> OpenReplacement(const std::string& target, FileFailure& failure);

}  // namespace plenvue
