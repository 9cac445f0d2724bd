// Win32 implementation of the file operations used when saving pictures.
#include "image/SafeFile_win.h"

#include <windows.h>

#include <memory>

#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {
namespace {

FileFailure LastFailure() {
    DWORD code = GetLastError();
    return FileFailure{static_cast<int32_t>(code), SystemErrorText(code)};
}

class Win32Replacement : public ReplacementFile {
public:
    Win32Replacement(HANDLE h, std::string temp, std::string target)
        : handle_(h), temp_(std::move(temp)), target_(std::move(target)) {}
    ~Win32Replacement() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        if (!committed_) DeleteFileW(WideName(temp_).c_str());
    }
    bool Write(const void* data, uint32_t count, uint32_t& written) override {
        DWORD n = 0;
        BOOL ok = handle_ != INVALID_HANDLE_VALUE && WriteFile(handle_, data, count, &n, nullptr);
        written = n;
        return ok != FALSE;
    }
    bool Commit(bool keepOldStamp, FileFailure& failure) override {
        if (handle_ == INVALID_HANDLE_VALUE) return false;
        BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        if (!closed) {
            failure = LastFailure();
            return false;
        }
        WIN32_FIND_DATAW old{};
        bool hadOld = false;
        if (keepOldStamp) {
            HANDLE find = FindFirstFileW(WideName(target_).c_str(), &old);
            if (find != INVALID_HANDLE_VALUE) {
                FindClose(find);
                hadOld = (old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
            }
        }
        if (!MoveFileExW(WideName(temp_).c_str(), WideName(target_).c_str(), MOVEFILE_REPLACE_EXISTING)) {
            failure = LastFailure();
            return false;
        }
        committed_ = true;
        if (hadOld) {
            HANDLE h = CreateFileW(WideName(target_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                SetFileTime(h, &old.ftCreationTime, &old.ftLastAccessTime, &old.ftLastWriteTime);
                CloseHandle(h);
            }
            SetFileAttributesW(WideName(target_).c_str(), old.dwFileAttributes);
        }
        return true;
    }

private:
    HANDLE handle_;
    std::string temp_;
    std::string target_;
    bool committed_ = false;
};

class Win32Ops : public FileSystemOps {
public:
    bool CheckReplaceable(const std::string& target, FileFailure& failure) override {
        DWORD attrs = GetFileAttributesW(WideName(target).c_str());
        if (attrs == INVALID_FILE_ATTRIBUTES) return true;  // absent; creating beside it will tell
        if (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
            failure = FileFailure{ERROR_ACCESS_DENIED, SystemErrorText(ERROR_ACCESS_DENIED)};
            return false;
        }
        return true;
    }

    std::unique_ptr<ReplacementFile> CreateBeside(const std::string& target, FileFailure& failure) override {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string temp = target + ".~" + std::to_string(attempt) + ".tmp";
            auto name = WidePath(temp);
            if (!name) {
                failure = FileFailure{ERROR_INVALID_NAME, SystemErrorText(ERROR_INVALID_NAME)};
                return nullptr;
            }
            HANDLE h = CreateFileW(name->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) return std::make_unique<Win32Replacement>(h, temp, target);
            if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
                failure = LastFailure();
                return nullptr;
            }
        }
        failure = FileFailure{ERROR_FILE_EXISTS, SystemErrorText(ERROR_FILE_EXISTS)};
        return nullptr;
    }
};

}  // namespace

FileSystemOps& Win32FileSystem() {
    static Win32Ops ops;
    return ops;
}

}  // namespace plenvue
