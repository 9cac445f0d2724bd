// Portable file operations over the C library and std::filesystem.
#include "image/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/FileNames.h"

namespace plenvue {
namespace fs = std::filesystem;

namespace {

FileFailure FromErrno(int err) {
    return FileFailure{err, std::strerror(err)};
}
FileFailure FromErrorCode(const std::error_code& ec) {
    return FileFailure{ec.value(), ec.message()};
}

class StdioReplacement : public ReplacementFile {
public:
    StdioReplacement(std::FILE* f, std::string temp, std::string target)
        : file_(f), temp_(std::move(temp)), target_(std::move(target)) {}
    ~StdioReplacement() override {
        if (file_) std::fclose(file_);
        if (!committed_) RemoveFileUtf8(temp_);
    }
    bool Write(const void* data, uint32_t count, uint32_t& written) override {
        written = 0;
        if (!file_) return false;
        written = static_cast<uint32_t>(std::fwrite(data, 1, count, file_));
        return !std::ferror(file_);
    }
    bool Commit(bool keepOldStamp, FileFailure& failure) override {
        if (!file_) return false;
        int closed = std::fclose(file_);
        file_ = nullptr;
        if (closed != 0) {
            failure = FromErrno(errno);
            return false;
        }
        std::error_code ec;
        bool hadOld = keepOldStamp && fs::is_regular_file(FsPath(target_), ec);
        fs::file_time_type oldTime;
        fs::perms oldPerms = fs::perms::unknown;
        if (hadOld) {
            oldTime = fs::last_write_time(FsPath(target_), ec);
            if (!ec) oldPerms = fs::status(FsPath(target_), ec).permissions();
            if (ec) hadOld = false;
        }
        fs::rename(FsPath(temp_), FsPath(target_), ec);
        if (ec) {
            failure = FromErrorCode(ec);
            return false;
        }
        committed_ = true;
        if (hadOld) {
            fs::last_write_time(FsPath(target_), oldTime, ec);
            fs::permissions(FsPath(target_), oldPerms, ec);
        }
        return true;
    }

private:
    std::FILE* file_;
    std::string temp_;
    std::string target_;
    bool committed_ = false;
};

class StdioFileSystem : public FileSystemOps {
public:
    bool CheckReplaceable(const std::string& target, FileFailure& failure) override {
        std::error_code ec;
        fs::file_status st = fs::status(FsPath(target), ec);
        if (ec || !fs::exists(st)) return true;
        if (fs::is_directory(st)) {
            failure = FromErrno(EISDIR);
            return false;
        }
        if ((st.permissions() & fs::perms::owner_write) == fs::perms::none) {
            failure = FromErrno(EACCES);
            return false;
        }
        return true;
    }

    std::unique_ptr<ReplacementFile> CreateBeside(const std::string& target, FileFailure& failure) override {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string temp = target + ".~" + std::to_string(attempt) + ".tmp";
            std::error_code ec;
            if (fs::exists(FsPath(temp), ec)) continue;
            errno = 0;
            std::FILE* f = OpenFileUtf8(temp, "wb");
            if (!f) {
                failure = FromErrno(errno ? errno : EIO);
                return nullptr;
            }
            return std::make_unique<StdioReplacement>(f, temp, target);
        }
        failure = FromErrno(EEXIST);
        return nullptr;
    }
};

FileSystemOps*& Installed() {
    static FileSystemOps* ops = nullptr;
    return ops;
}

}  // namespace

FileSystemOps& FileSystem() {
    static StdioFileSystem portable;
    FileSystemOps* ops = Installed();
    return ops ? *ops : portable;
}

void SetFileSystem(FileSystemOps* ops) { Installed() = ops; }

std::unique_ptr<ReplacementFile> OpenReplacement(const std::string& target, FileFailure& failure) {
    FileSystemOps& ops = FileSystem();
    if (!ops.CheckReplaceable(target, failure)) return nullptr;
    return ops.CreateBeside(target, failure);
}

}  // namespace plenvue
