// Save As: where its dialog opens, the name it proposes, the type it shows first, and what a chosen
// name turns into. The folder and type of the last Save As are remembered between runs.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace plenvue {

// REG_SZ values under the program's key; no Options entry: Save As itself sets them.
inline constexpr const char* kValSaveAsFolder = "Save As Folder";
inline constexpr const char* kValSaveAsFormat = "Save As Format";

// The first of the last Save As folder, the auto-save folder and the Pictures folder that `isFolder`
// confirms, without a trailing "\" (a drive root keeps its "\"); "" when none is.
std::string SaveAsStartFolder(std::string_view lastFolder, std::string_view autoSaveFolder,
                              std::string_view picturesFolder, const std::function<bool(const std::string&)>& isFolder);

// The remembered type as stored, read by the auto-save format's rule: "PNG", "JPEG" or "BMP" in any
// case between blanks ("JPG" is JPEG); anything else, missing included, is PNG.
std::string NormaliseSaveAsFormat(std::string_view text);

// The 1-based entry of a "name|patterns|..." filter whose patterns hold "*.extension" (any case);
// 1 when no entry does.
int32_t FilterIndexFor(std::string_view filter, std::string_view extension);
// The extension (no dot, lower case) of the first pattern of the 1-based entry; "" when there is no
// such entry or its pattern names no single extension.
std::string FilterExtension(std::string_view filter, int32_t index);

struct SaveAsTarget {
    std::string Path;    // what to save to: the chosen name, with the type's extension when it had none of ours
    std::string Format;  // "PNG", "JPEG" or "BMP": what is remembered for the next Save As
    std::string Folder;  // the folder of Path, without its trailing "\"
};
// A name the dialog gave back with the 1-based type chosen in its list. A picture extension typed
// (bmp, jpg, jpeg, png; any case) decides the type; any other name gets the chosen type's extension.
SaveAsTarget SaveAsTargetFor(std::string_view chosen, std::string_view filter, int32_t filterIndex);

}  // namespace plenvue
