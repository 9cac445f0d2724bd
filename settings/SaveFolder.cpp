#include "settings/SaveFolder.h"

#include "controls/modExPath.h"

namespace plenvue {

namespace {

std::string WithoutTrailingBackslash(std::string_view s) {
    while (!s.empty() && (s.back() == '\\' || s.back() == '/')) s.remove_suffix(1);
    return std::string(s);
}

}  // namespace

std::string FallbackSaveFolder(std::string_view programFolder, bool programFolderWritable, bool installedCopy,
                               std::string_view picturesFolder) {
    if ((programFolderWritable && !installedCopy) || picturesFolder.empty()) return std::string(programFolder);
    return WithoutTrailingBackslash(picturesFolder) + "\\" + kPicturesSubfolder;
}

bool IsInstalledFolder(std::string_view programFolder, std::string_view recordedInstallFolder) {
    std::string recorded = WithoutTrailingBackslash(recordedInstallFolder);
    if (recorded.empty()) return false;
    return LowerAscii(recorded) == LowerAscii(WithoutTrailingBackslash(programFolder));
}

}  // namespace plenvue
