// Picture files on disk: loading for the canvas, saving by extension, the saving sound. The main
// window's file commands (frmMain members in FileCommands_win.cpp) build on these.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "image/Picture_win.h"
#include "markup/MarkupDocument.h"
#include "shell/FileRules.h"

namespace plenvue {

// Run-time error numbers of the file commands.
constexpr int32_t kErrOutOfMemory = 7;
constexpr int32_t kErrFileNotFound = 53;
constexpr int32_t kErrDiskFull = 61;
constexpr int32_t kErrPermissionDenied = 70;
constexpr int32_t kErrFileAccess = 75;
constexpr int32_t kErrPathNotFound = 76;
constexpr int32_t kErrInvalidPicture = 481;
// A file the PCX reader refused after showing its own message: nothing more is said.
constexpr int32_t kErrRefusedQuietly = -1;

struct FileError {
    int32_t Number = 0;  // 0: success
    std::string Description;
    explicit operator bool() const { return Number != 0; }
};

// ".bmp", ".jpg", ".gif" through the platform's picture loader, ".pcx" through the PCX reader,
// ".png" through the imaging component with transparency shown over `background` (0x00BBGGRR).
// A missing file gives 53, a file that is no picture of its kind (an unknown extension, bytes the
// loader refuses, a bitmap cut short) 481. `picture` is changed only on success.
FileError LoadPictureFile(const std::string& path, Picture& picture, COLORREF background);
// The same over the canvas colour of the current settings.
FileError LoadPictureFile(const std::string& path, Picture& picture);

// Writes the picture by the extension of path: "jpg" as JPEG at quality 90, "png" as PNG, anything
// else as BMP ("bmp" appended unless the extension is bmp). A replaced file is only ever swapped for a
// completely written one. `written` receives the path actually used.
FileError SavePictureFile(const Picture& picture, const std::string& path, std::string& written);
// Writes the picture to exactly `path` in the format given (BMP for None), JPEG at `jpegQuality`,
// by the same replace-when-complete rule.
FileError SavePictureInFormat(const Picture& picture, const std::string& path, SaveFormat format,
                              int32_t jpegQuality);

// The mark-up of a picture just loaded from path: an editable PNG whose mark-up matches its pixels
// gives the document its base and objects (the loaded picture is the flattened one); any other
// picture leaves the document empty, for the next command to start it. A PNG whose structure is
// broken is refused with 481. `notice` is the message item to show for a mark-up that cannot be
// used (changed pixels, a damaged chunk), else 0.
FileError OpenMarkup(const std::string& path, const Picture& loaded, markup::MarkupDocument& doc, int& notice);
// The editable PNG of a document with objects, by the same replace-when-complete rule.
FileError SaveMarkupFile(const markup::MarkupDocument& doc, const std::string& path);

// BMP of the bitmap at its own depth (1, 4 or 8 bits with its colour table; deeper bitmaps as
// 24 bits), written beside path and then moved over it.
// The File menu's copy (replacing a file of the destination's name), move and delete; false when
// the platform refuses or a name is no usable path.
bool CopyPictureFile(const std::string& from, const std::string& to);
bool MovePictureFile(const std::string& from, const std::string& to);
bool DeletePictureFile(const std::string& path);
// File > Delete: the file goes to the Recycle Bin, where it can be restored. False with the
// system's reason when it could not be moved there (it is then left where it is).
bool RecyclePictureFile(const std::string& path, std::string& reason);

FileError WriteBitmapFile(HBITMAP bitmap, HPALETTE palette, const std::string& path);

// A Win32 error code as a run-time error number and the system's text for it.
FileError FileErrorFromSystem(uint32_t code);

// The message box text of a failed save: the path, then the number and the system's reason.
std::string SaveFailureText(const std::string& path, const FileError& error);

// Plays a wave file once without waiting; the plain system beep when there is no wave device.
void PlayWave(const std::string& path);

}  // namespace plenvue
