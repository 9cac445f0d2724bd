// The layout of a packed DIB as other programs leave it on the clipboard: header, masks or colour
// table, pixels. Decided without GDI, so that a hostile block is refused before GDI reads it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace plenvue {

struct PackedDibLayout {
    int32_t Width = 0;
    int32_t Height = 0;        // rows, always positive
    bool TopDown = false;      // a negative height in the header
    uint16_t BitCount = 0;     // 1, 4, 8, 16, 24 or 32
    uint32_t Compression = 0;  // 0 plain, 3 bit fields
    uint32_t HeaderSize = 0;   // 40 or one of the longer headers
    uint32_t MasksOffset = 0;  // where the three colour masks are, for bit fields
    uint32_t Colours = 0;      // colour table entries
    uint32_t ColoursOffset = 0;
    uint32_t PixelsOffset = 0;
    uint64_t PixelBytes = 0;
};

// Larger pictures (in pixels) are refused.
constexpr uint64_t kMaxPackedDibPixels = 64ull * 1024 * 1024;

// True when the `size` bytes hold a whole, well-formed DIB: header sizes, planes, depth,
// compression, colour count and every pixel row inside the block.
bool ParsePackedDib(const uint8_t* block, size_t size, PackedDibLayout& layout);

}  // namespace plenvue
