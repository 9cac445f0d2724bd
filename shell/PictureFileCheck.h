// Checks on picture files before the platform's loader sees them. The loader shows a bitmap whose
// pixel data were cut short as if it were whole (the missing rows undefined), so such a file is
// refused here instead.
#pragma once
#include <cstddef>
#include <cstdint>

namespace plenvue {

enum class BitmapFileState { NotBitmap, Complete, Truncated };

// Looks at a whole file in memory: NotBitmap unless it starts with "BM"; Truncated when the
// headers, colour table or uncompressed pixel rows they describe run past the end of the file.
BitmapFileState CheckBitmapFile(const uint8_t* data, size_t size);

}  // namespace plenvue
