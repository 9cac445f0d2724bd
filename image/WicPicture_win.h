// PNG pictures decoded by the platform's imaging component (WIC) into the program's picture: a
// 24-bit DIB section, with any transparency composited over a given colour.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/Picture_win.h"

namespace plenvue {

enum class WicResult {
    Ok,
    NotPicture,   // no PNG signature, or data the decoder refuses or cannot finish
    OutOfMemory,  // too large to hold, or no memory for it
    NoDecoder,    // the imaging component is not available
};

// Larger pictures (in pixels) are refused before any pixel memory is asked for.
constexpr uint64_t kMaxWicPixels = 64ull * 1024 * 1024;

// Decodes PNG data; `background` (0x00BBGGRR) shows through transparent pixels. `picture` is
// changed only on success.
WicResult DecodePngPicture(const uint8_t* data, size_t size, COLORREF background, Picture& picture);

// The same for a whole file read into memory; a missing file is NotPicture here, callers that
// need to tell it apart check the file first.
WicResult LoadPngFile(const std::string& path, COLORREF background, Picture& picture);

}  // namespace plenvue
