// libFuzzer target: ParsePackedDib on arbitrary blocks. Whatever it accepts must lie inside the
// block: every offset and the pixel rows it names are read here to the last byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/PackedDib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plenvue::PackedDibLayout l;
    if (!plenvue::ParsePackedDib(data, size, l)) return 0;
    if (l.PixelsOffset + l.PixelBytes > size || l.ColoursOffset > l.PixelsOffset) std::abort();
    if (l.Width <= 0 || l.Height <= 0) std::abort();
    volatile uint8_t sink = 0;
    for (uint64_t i = 0; i < l.PixelBytes; ++i) sink = sink ^ data[l.PixelsOffset + i];
    for (uint32_t i = 0; i < l.Colours * 4; ++i) sink = sink ^ data[l.ColoursOffset + i];
    if (l.MasksOffset) for (uint32_t i = 0; i < 12; ++i) sink = sink ^ data[l.MasksOffset + i];
    return 0;
}
