// Save As rules.
#include "shell/SaveAsChoice.h"

#include <vector>

#include "controls/modExPath.h"
#include "settings/CurrentSettings.h"

namespace plenvue {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// The patterns ("*.bmp;*.dib") of each entry, in order.
std::vector<std::string_view> FilterPatterns(std::string_view filter) {
    std::vector<std::string_view> parts = Split(filter, '|');
    std::vector<std::string_view> patterns;
    for (size_t i = 1; i < parts.size(); i += 2) patterns.push_back(parts[i]);
    return patterns;
}

std::string FormatOfExtension(std::string_view extension) {
    const std::string e = LowerAscii(extension);
    if (e == "png") return "PNG";
    if (e == "jpg" || e == "jpeg") return "JPEG";
    if (e == "bmp") return "BMP";
    return {};
}

}  // namespace

std::string SaveAsStartFolder(std::string_view lastFolder, std::string_view autoSaveFolder,
                              std::string_view picturesFolder, const std::function<bool(const std::string&)>& isFolder) {
    for (std::string_view candidate : {lastFolder, autoSaveFolder, picturesFolder}) {
        std::string folder = TrimBlanks(candidate);
        while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        if (!folder.empty() && isFolder(folder)) return folder;
    }
    return {};
}

std::string NormaliseSaveAsFormat(std::string_view text) { return NormaliseAutoSaveFormat(text); }

int32_t FilterIndexFor(std::string_view filter, std::string_view extension) {
    const std::string wanted = "*." + LowerAscii(extension);
    const std::vector<std::string_view> entries = FilterPatterns(filter);
    for (size_t i = 0; i < entries.size(); ++i)
        for (std::string_view pattern : Split(entries[i], ';'))
            if (LowerAscii(TrimBlanks(pattern)) == wanted) return static_cast<int32_t>(i + 1);
    return 1;
}

std::string FilterExtension(std::string_view filter, int32_t index) {
    const std::vector<std::string_view> entries = FilterPatterns(filter);
    if (index < 1 || static_cast<size_t>(index) > entries.size()) return {};
    const std::string first = TrimBlanks(Split(entries[index - 1], ';').front());
    if (first.size() < 3 || first.compare(0, 2, "*.") != 0) return {};
    const std::string extension = LowerAscii(first.substr(2));
    return extension.find_first_of("*?.") == std::string::npos ? extension : std::string();
}

SaveAsTarget SaveAsTargetFor(std::string_view chosen, std::string_view filter, int32_t filterIndex) {
    SaveAsTarget target;
    target.Path = std::string(chosen);
    const size_t slash = target.Path.find_last_of("\\/");
    const size_t dot = target.Path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    target.Format = hasExtension ? FormatOfExtension(std::string_view(target.Path).substr(dot + 1)) : std::string();
    if (target.Format.empty()) {
        std::string extension = FilterExtension(filter, filterIndex);
        target.Format = FormatOfExtension(extension);
        if (target.Format.empty()) {
            target.Format = "PNG";
            extension = "png";
        }
        if (!target.Path.empty() && target.Path.back() == '.') target.Path.pop_back();
        target.Path += "." + extension;
    }
    target.Folder = slash == std::string::npos ? std::string() : target.Path.substr(0, slash == 2 ? 3 : slash);
    return target;
}

}  // namespace plenvue
