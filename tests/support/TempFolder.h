// A fresh folder under the system's temporary folder for one test, removed with everything in
// it (read-only files too). Portable: the native and the Windows tests both use it.
#pragma once
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define PLENVUE_TEST_PID _getpid
#else
#include <unistd.h>
#define PLENVUE_TEST_PID getpid
#endif

namespace plenvue::test {

class TempFolder {
public:
    // `tag` names the folder so a left-over one can be traced to its test.
    explicit TempFolder(const std::string& tag = "test") {
        static std::atomic<int> serial{0};
        root_ = std::filesystem::temp_directory_path() /
                ("plenvue-" + tag + "-" + std::to_string(PLENVUE_TEST_PID()) + "-" + std::to_string(++serial));
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
        std::filesystem::create_directories(root_);
    }
    ~TempFolder() {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    // The folder's path, without a closing separator.
    std::string Path() const { return root_.string(); }
    // A path inside the folder.
    std::string operator/(const std::string& name) const { return (root_ / name).string(); }
    bool Has(const std::string& name) const { return std::filesystem::exists(root_ / name); }
    // Names of the entries in the folder.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(root_)) names.push_back(e.path().filename().string());
        return names;
    }
    size_t Count() const { return Files().size(); }
    // Writes a file of the given bytes; returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string path = *this / name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

private:
    std::filesystem::path root_;
};

}  // namespace plenvue::test

#undef PLENVUE_TEST_PID
