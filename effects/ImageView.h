// The rows of a 24-bit picture as the image-process passes address them: a raw view, so that the
// exact passes and their SIMD forms read and write the same bytes the same way.
#pragma once
#include <cstddef>
#include <cstdint>

namespace plenvue::imageprocess {

struct View {
    uint8_t* bits = nullptr;
    int32_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* Row(int32_t y) const { return bits + static_cast<ptrdiff_t>(y) * stride; }
};

}  // namespace plenvue::imageprocess
