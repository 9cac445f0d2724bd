// Bitmap file completeness.
#include "shell/PictureFileCheck.h"

#include <cstdint>

namespace plenvue {
namespace {

uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

BitmapFileState CheckBitmapFile(const uint8_t* data, size_t size) {
    if (size < 2 || data[0] != 'B' || data[1] != 'M') return BitmapFileState::NotBitmap;
    if (size < 18) return BitmapFileState::Truncated;
    const uint64_t offBits = U32(data + 10);
    const uint32_t infoSize = U32(data + 14);
    if (size - 14 < infoSize) return BitmapFileState::Truncated;
    uint64_t width, height, bitCount, compression = 0;
    if (infoSize == 12) {  // the old core header
        width = U16(data + 18);
        height = U16(data + 20);
        bitCount = U16(data + 24);
    } else if (infoSize >= 40) {
        int32_t w = static_cast<int32_t>(U32(data + 18));
        int32_t h = static_cast<int32_t>(U32(data + 22));
        width = w < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(w)) : static_cast<uint64_t>(w);
        height = h < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(h)) : static_cast<uint64_t>(h);
        bitCount = U16(data + 28);
        compression = U32(data + 30);
    } else {
        return BitmapFileState::Complete;  // a header the loader judges itself
    }
    // Only uncompressed rows (and bit-field masks) have a size known from the header.
    if (compression != 0 && compression != 3) return BitmapFileState::Complete;
    const uint64_t stride = (width * bitCount + 31) / 32 * 4;  // both below 2^32: no overflow
    if (height != 0 && stride > size / height) return BitmapFileState::Truncated;
    const uint64_t needed = offBits + stride * height;
    return needed > size ? BitmapFileState::Truncated : BitmapFileState::Complete;
}

}  // namespace plenvue
