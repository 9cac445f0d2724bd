// Decisions of the file commands that depend only on paths: which loader opens a file, which
// dropped files are taken, where and how a picture is saved.
#pragma once
#include <string>
#include <string_view>

namespace plenvue {

// True when `ext` is one of the "|"-separated items of `list` (exact match; "" never matches).
bool IsExtensionInList(std::string_view ext, std::string_view list);

// A dropped file is opened when its extension (any case) is bmp, jpg, pcx, gif or png.
bool IsDroppablePicture(std::string_view path);

// The Save command writes to the current file itself when it is a bmp, jpg or png file; otherwise Save As.
bool SavesInPlace(std::string_view currentFile);

enum class SaveFormat { None, Bmp, Jpeg, Png };
struct SaveTarget {
    SaveFormat Format = SaveFormat::None;  // None: blank path, nothing is written
    std::string Path;                      // the path written, which becomes the current file
};
// "jpg" saves as JPEG, "png" as PNG, "bmp" as BMP; any other extension or none gets ".bmp"
// appended (shot.tif becomes shot.tif.bmp).
SaveTarget SaveTargetFor(std::string_view path);

enum class PictureLoader { None, Platform, Pcx, Png };
// By the last four characters in lower case: ".bmp", ".jpg", ".gif" the platform's loader, ".pcx" ours,
// ".png" the imaging component.
PictureLoader PictureLoaderFor(std::string_view path);

// Copy To / Move To destination: the chosen folder (a "\" added when missing) and the file name part.
std::string FileOperationDestination(std::string_view folder, std::string_view currentFile);

}  // namespace plenvue
