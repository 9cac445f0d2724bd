// Compositing over the canvas colour.
#include "image/AlphaComposite.h"

namespace plenvue {

bool HasPngSignature(const uint8_t* data, size_t size) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!data || size < sizeof kSignature) return false;
    for (size_t i = 0; i < sizeof kSignature; ++i)
        if (data[i] != kSignature[i]) return false;
    return true;
}

namespace {
// (c * a + b * (255 - a)) / 255, rounded to nearest; exact at a = 0 and a = 255.
inline uint8_t Blend(uint32_t c, uint32_t b, uint32_t a) {
    uint32_t v = c * a + b * (255 - a) + 128;
    return static_cast<uint8_t>((v + (v >> 8)) >> 8);
}
}  // namespace

void CompositeBgraOver(const uint8_t* src, size_t srcStride, int32_t width, int32_t height, uint32_t background,
                       uint8_t* dst, size_t dstStride) {
    const uint32_t bgRed = background & 0xFF, bgGreen = (background >> 8) & 0xFF, bgBlue = (background >> 16) & 0xFF;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* s = src + static_cast<size_t>(y) * srcStride;
        uint8_t* d = dst + static_cast<size_t>(height - 1 - y) * dstStride;
        for (int32_t x = 0; x < width; ++x, s += 4, d += 3) {
            const uint32_t a = s[3];
            d[0] = Blend(s[0], bgBlue, a);
            d[1] = Blend(s[1], bgGreen, a);
            d[2] = Blend(s[2], bgRed, a);
        }
    }
}

}  // namespace plenvue
