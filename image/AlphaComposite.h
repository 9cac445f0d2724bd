// Pictures with transparency shown over a solid colour, and the signature test that lets only
// PNG data reach the platform's decoder.
#pragma once
#include <cstddef>
#include <cstdint>

namespace plenvue {

// The eight bytes every PNG file starts with.
bool HasPngSignature(const uint8_t* data, size_t size);

// Composites `width` x `height` straight (not premultiplied) blue-green-red-alpha pixels, rows
// `srcStride` bytes apart from the top, over the colour `background` (0x00BBGGRR) into a bottom-up
// 24-bit blue-green-red picture whose rows are `dstStride` bytes apart, from its lowest address.
void CompositeBgraOver(const uint8_t* src, size_t srcStride, int32_t width, int32_t height, uint32_t background,
                       uint8_t* dst, size_t dstStride);

}  // namespace plenvue
