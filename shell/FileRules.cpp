// Path rules of the file commands.
#include "shell/FileRules.h"

#include "controls/modCommonDialog.h"
#include "controls/modExPath.h"
#include "base/ErrorObject.h"

namespace plenvue {

namespace {
// Extension of a full path; a bare name without "." or "\" has none here.
std::string ExtensionOrNone(std::string_view path) {
    try {
        return ExtensionOfPath(path);
    } catch (const ErrorObject&) {
        return {};
    }
}
}  // namespace

bool IsExtensionInList(std::string_view ext, std::string_view list) {
    if (ext.empty()) return false;
    size_t start = 0;
    for (;;) {
        size_t bar = list.find('|', start);
        std::string_view item = list.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
        if (item == ext) return true;
        if (bar == std::string_view::npos) return false;
        start = bar + 1;
    }
}

bool IsDroppablePicture(std::string_view path) {
    return IsExtensionInList(ExtensionOrNone(path), "bmp|jpg|pcx|gif|png");
}

bool SavesInPlace(std::string_view currentFile) {
    return !currentFile.empty() && IsExtensionInList(ExtensionOrNone(currentFile), "bmp|jpg|png");
}

SaveTarget SaveTargetFor(std::string_view path) {
    SaveTarget t;
    if (path.find_first_not_of(' ') == std::string_view::npos) return t;
    std::string ext = ExtensionOrNone(path);
    t.Path = std::string(path);
    if (ext == "jpg") {
        t.Format = SaveFormat::Jpeg;
    } else if (ext == "png") {
        t.Format = SaveFormat::Png;
    } else {
        t.Format = SaveFormat::Bmp;
        if (ext != "bmp") t.Path += ".bmp";
    }
    return t;
}

PictureLoader PictureLoaderFor(std::string_view path) {
    if (path.size() < 4) return PictureLoader::None;
    std::string tail = LowerAscii(path.substr(path.size() - 4));
    if (tail == ".bmp" || tail == ".jpg" || tail == ".gif") return PictureLoader::Platform;
    if (tail == ".pcx") return PictureLoader::Pcx;
    if (tail == ".png") return PictureLoader::Png;
    return PictureLoader::None;
}

std::string FileOperationDestination(std::string_view folder, std::string_view currentFile) {
    return WithTrailingBackslash(folder) + FileNameOfPath(currentFile);
}

}  // namespace plenvue
