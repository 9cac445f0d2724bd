// Automatic save names.
#include "shell/AutoSaveName.h"

#include <limits>

#include "base/MessageText.h"

namespace plenvue {

std::string AutoSavePatternName(std::string_view folder, std::string_view prefix, std::string_view suffix,
                                int32_t counter, std::string_view extension) {
    std::string pattern;
    pattern.append(folder).append(prefix).append("%n").append(suffix).append(".").append(extension);
    return ReplaceAll(pattern, "%n", std::to_string(counter));
}

AutoSaveName FindFreeAutoSaveName(std::string_view folder, std::string_view prefix, std::string_view suffix,
                                  int32_t& counter, const std::function<bool(const std::string&)>& exists,
                                  std::string_view extension) {
    AutoSaveName result;
    result.Folder = std::string(folder);
    std::string name = AutoSavePatternName(folder, prefix, suffix, counter, extension);
    while (exists(name)) {
        if (counter == std::numeric_limits<int32_t>::max()) {
            result.Overflow = true;
            return result;
        }
        ++counter;
        name = AutoSavePatternName(folder, prefix, suffix, counter, extension);
    }
    result.Path = std::move(name);
    return result;
}

AutoSaveName AutoSaveNamer::Next(std::string_view folder, std::string_view prefix, std::string_view suffix,
                                 const FileExists& exists, std::string_view extension) {
    AutoSaveName result;
    result.Folder = std::string(folder);
    if (result.Folder.empty() || result.Folder.back() != '\\') result.Folder += '\\';
    // Compared with the backslash added, so storing the completed folder back is not a change.
    if (result.Folder != lastFolder_) {
        lastFolder_ = result.Folder;
        counter_ = 0;
    }
    if (prefix != lastPrefix_ || suffix != lastSuffix_) {
        lastPrefix_ = std::string(prefix);
        lastSuffix_ = std::string(suffix);
        counter_ = 0;
    }
    if (extension != lastExtension_) {
        lastExtension_ = std::string(extension);
        counter_ = 0;
    }
    AutoSaveName found = FindFreeAutoSaveName(result.Folder, prefix, suffix, counter_, exists, extension);
    result.Overflow = found.Overflow;
    result.Path = std::move(found.Path);
    return result;
}

}  // namespace plenvue
