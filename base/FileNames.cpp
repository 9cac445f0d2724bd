#include "base/FileNames.h"

#include <cerrno>

#include "base/Utf.h"

#ifdef _WIN32
#include <wchar.h>
#endif

namespace plenvue {

#ifdef _WIN32
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on this platform");

bool WideName(std::string_view path, std::wstring& wide) {
    auto u = PlatformPathUtf16(path);
    if (!u) return false;
    wide.assign(u->begin(), u->end());
    return true;
}

}  // namespace

std::FILE* OpenFileUtf8(std::string_view path, const char* mode) {
    std::wstring name;
    auto wideMode = Utf8ToUtf16(mode);
    if (!WideName(path, name) || !wideMode) {
        errno = ENOENT;
        return nullptr;
    }
    return _wfopen(name.c_str(), std::wstring(wideMode->begin(), wideMode->end()).c_str());
}

int RemoveFileUtf8(std::string_view path) {
    std::wstring name;
    if (!WideName(path, name)) {
        errno = ENOENT;
        return -1;
    }
    return _wremove(name.c_str());
}

std::filesystem::path FsPath(std::string_view path) {
    std::wstring name;
    return WideName(path, name) ? std::filesystem::path(name) : std::filesystem::path();
}

#else

std::FILE* OpenFileUtf8(std::string_view path, const char* mode) {
    if (path.find('\0') != std::string_view::npos) {
        errno = ENOENT;
        return nullptr;
    }
    return std::fopen(std::string(path).c_str(), mode);
}

int RemoveFileUtf8(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) {
        errno = ENOENT;
        return -1;
    }
    return std::remove(std::string(path).c_str());
}

std::filesystem::path FsPath(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) return {};
    return std::filesystem::path(std::string(path));
}

#endif

}  // namespace plenvue
