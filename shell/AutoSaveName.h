// Generated names for automatic saving: folder, prefix, running number, suffix, then the extension
// of the chosen format (".bmp" unless told otherwise). The counter lives for the run and restarts
// whenever the folder, prefix, suffix or extension changes; names of files that already exist are
// skipped.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace plenvue {

struct AutoSaveName {
    bool Overflow = false;  // the counter would pass 2,147,483,647: message 10008, nothing saved
    std::string Path;       // the name to save under (empty on overflow)
    std::string Folder;     // the folder setting with its trailing "\", to keep in memory
};

// The pattern folder + prefix + "%n" + suffix + "." + extension with every "%n" replaced by
// `counter`; `folder` must already end in "\".
std::string AutoSavePatternName(std::string_view folder, std::string_view prefix, std::string_view suffix,
                                int32_t counter, std::string_view extension = "bmp");

// From `counter` on, the first name whose file does not exist; `counter` is left at that number.
// Sets Overflow instead when the counter would pass 2,147,483,647. `folder` must end in "\".
AutoSaveName FindFreeAutoSaveName(std::string_view folder, std::string_view prefix, std::string_view suffix,
                                  int32_t& counter, const std::function<bool(const std::string&)>& exists,
                                  std::string_view extension = "bmp");

class AutoSaveNamer {
public:
    using FileExists = std::function<bool(const std::string& path)>;

    // The next free name. The counter is not advanced past the returned name: the next call finds
    // that file written and moves on.
    AutoSaveName Next(std::string_view folder, std::string_view prefix, std::string_view suffix,
                      const FileExists& exists, std::string_view extension = "bmp");

    int32_t Counter() const { return counter_; }

private:
    std::string lastFolder_, lastPrefix_, lastSuffix_, lastExtension_ = "bmp";
    int32_t counter_ = 0;
};

}  // namespace plenvue
