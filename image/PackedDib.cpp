// Packed DIB layout checks.
#include "image/PackedDib.h"

namespace plenvue {

namespace {
uint32_t U32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
}  // namespace

bool ParsePackedDib(const uint8_t* block, size_t size, PackedDibLayout& out) {
    constexpr uint32_t kPlainHeader = 40;
    constexpr uint32_t kBitFields = 3;
    if (!block || size < kPlainHeader) return false;
    PackedDibLayout l;
    l.HeaderSize = U32(block);
    const int32_t width = static_cast<int32_t>(U32(block + 4));
    const int32_t height = static_cast<int32_t>(U32(block + 8));
    const uint16_t planes = U16(block + 12);
    l.BitCount = U16(block + 14);
    l.Compression = U32(block + 16);
    const uint32_t used = U32(block + 32);
    if (l.HeaderSize < kPlainHeader || l.HeaderSize > size || planes != 1) return false;
    const int bpp = l.BitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (l.Compression != 0 && !(l.Compression == kBitFields && (bpp == 16 || bpp == 32))) return false;
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    l.Width = width;
    l.TopDown = height < 0;
    l.Height = height < 0 ? -height : height;
    if (static_cast<uint64_t>(l.Width) * static_cast<uint64_t>(l.Height) > kMaxPackedDibPixels) return false;
    if (bpp <= 8) {
        l.Colours = used ? used : (1u << bpp);
        if (l.Colours > (1u << bpp)) return false;
    } else if (used > 256) {
        return false;  // an optional table for deep pictures; more than 256 entries is no DIB
    }
    uint64_t at = l.HeaderSize;
    if (l.Compression == kBitFields) {
        // After a plain header the masks follow it; the longer headers hold them at offset 40.
        if (l.HeaderSize == kPlainHeader) {
            l.MasksOffset = kPlainHeader;
            at += 12;
        } else {
            if (l.HeaderSize < kPlainHeader + 12) return false;
            l.MasksOffset = kPlainHeader;
        }
    }
    l.ColoursOffset = static_cast<uint32_t>(at);
    at += (bpp <= 8 ? l.Colours : used) * 4ull;
    const uint64_t stride = (static_cast<uint64_t>(l.Width) * bpp + 31) / 32 * 4;
    l.PixelBytes = stride * static_cast<uint64_t>(l.Height);
    if (at + l.PixelBytes > size) return false;
    l.PixelsOffset = static_cast<uint32_t>(at);
    out = l;
    return true;
}

}  // namespace plenvue
