// SSE2 forms of the colour-reduction row passes: grey scale sixteen pixels at a time, and the
// palette error diffusion's pixel step with one pixel's three channels side by side. Both give the
// bytes of the scalar steps in clsColourReduceDIB.cpp.
#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "effects/PixelLanesSse2.h"
#include "effects/clsPalette.h"

namespace plenvue::sse2 {
// Internal linkage, as when these lived in the file that uses them: the compiler then inlines the
// steps into its caller's loop, which the hot passes rely on.
namespace {

// Four pixels in 12 bytes to their grey triples in 12 bytes, each pixel in a 32-bit lane: the
// weighted sum is exact there, and its single-precision quotient by 1000 is exact at every half,
// so converting with the default rounding (to nearest, ties to even) gives the same value as the
// scalar rule.
inline __m128i GreyFour(__m128i v) {
    const __m128i px = SpreadPixels(v);
    const __m128i br = _mm_and_si128(px, _mm_set1_epi32(0x00FF00FF));  // blue, red as 16-bit
    const __m128i g = _mm_and_si128(_mm_srli_epi32(px, 8), _mm_set1_epi32(0xFF));
    const __m128i sum = _mm_add_epi32(_mm_madd_epi16(br, _mm_set1_epi32(222 << 16 | 71)),
                                      _mm_madd_epi16(g, _mm_set1_epi32(707)));
    const __m128i grey = _mm_cvtps_epi32(_mm_div_ps(_mm_cvtepi32_ps(sum), _mm_set1_ps(1000.0f)));
    return GatherPixels(_mm_or_si128(_mm_or_si128(grey, _mm_slli_epi32(grey, 8)), _mm_slli_epi32(grey, 16)));
}

// Grey values of a row's pixels, sixteen (48 bytes) at a time while sixteen remain; returns the
// first pixel not done.
inline int32_t GreyRowSpan(uint8_t* p, int32_t width) {
    int32_t c = 0;
    for (; c + 16 <= width; c += 16) {
        __m128i* q = reinterpret_cast<__m128i*>(p + 3 * static_cast<ptrdiff_t>(c));
        const __m128i in0 = _mm_loadu_si128(q), in1 = _mm_loadu_si128(q + 1), in2 = _mm_loadu_si128(q + 2);
        const __m128i g0 = GreyFour(in0);
        const __m128i g1 = GreyFour(_mm_or_si128(_mm_srli_si128(in0, 12), _mm_slli_si128(in1, 4)));
        const __m128i g2 = GreyFour(_mm_or_si128(_mm_srli_si128(in1, 8), _mm_slli_si128(in2, 8)));
        const __m128i g3 = GreyFour(_mm_srli_si128(in2, 4));
        _mm_storeu_si128(q, _mm_or_si128(g0, _mm_slli_si128(g1, 12)));
        _mm_storeu_si128(q + 1, _mm_or_si128(_mm_srli_si128(g1, 4), _mm_slli_si128(g2, 8)));
        _mm_storeu_si128(q + 2, _mm_or_si128(_mm_srli_si128(g2, 8), _mm_slli_si128(g3, 4)));
    }
    return c;
}

// The pixel step of the palette error diffusion. One pixel's three channels sit side by side in
// 16-bit lanes (blue, green, red, 0); the shares are truncating divisions by 16, done as an
// arithmetic shift after adding 15 to negative values. entries holds count + 1 entries, indexed
// as the lookup answers.
template <class Lookup>
class PaletteDiffusion {
public:
    struct Lane {
        const uint8_t* src;
        uint8_t* dst;
        __m128i e;  // error of the pixel to the left
    };

    PaletteDiffusion(const PaletteEntry* entries, int32_t count, int32_t width, Lookup& lookup)
        : packed_(static_cast<size_t>(count) + 1), below_(static_cast<size_t>(width) * 4, 0), width_(width),
          lookup_(lookup) {
        for (size_t i = 0; i < packed_.size(); ++i)
            packed_[i] = uint32_t{entries[i].peBlue} | uint32_t{entries[i].peGreen} << 8 | uint32_t{entries[i].peRed} << 16;
    }

    Lane Start(const uint8_t* src, uint8_t* dst) const { return Lane{src, dst, _mm_setzero_si128()}; }

    void Pixel(Lane& l, int32_t c) {
        const __m128i zero = _mm_setzero_si128(), top = _mm_set1_epi16(255), fifteen = _mm_set1_epi16(15);
        const __m128i seven = _mm_set1_epi16(7), channels = _mm_setr_epi16(-1, -1, -1, 0, 0, 0, 0, 0);
        auto sixteenth = [&](__m128i t) { return _mm_srai_epi16(_mm_add_epi16(t, _mm_and_si128(_mm_srai_epi16(t, 15), fifteen)), 4); };
        auto clamp = [&](__m128i v) { return _mm_min_epi16(_mm_max_epi16(v, zero), top); };
        int16_t* share = below_.data();
        const size_t k = 3 * static_cast<size_t>(c);
        __m128i v;
        if (c > 0 && c < width_ - 1) {
            uint32_t u;  // this pixel and the next one's first byte, which lane 3 ignores
            std::memcpy(&u, l.src + k, 4);
            v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(u)), zero);
            v = clamp(_mm_add_epi16(v, sixteenth(_mm_mullo_epi16(l.e, seven))));
            v = clamp(_mm_add_epi16(v, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(share + 4 * c))));
        } else {
            v = _mm_setr_epi16(l.src[k], l.src[k + 1], l.src[k + 2], 0, 0, 0, 0, 0);
        }
        const uint32_t colour = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
        const uint32_t entry = packed_[static_cast<size_t>(lookup_.Closest(
            static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)))];
        std::memcpy(l.dst + k, &entry, 3);
        __m128i err = _mm_and_si128(_mm_sub_epi16(v, _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(entry)), zero)), channels);
        const __m128i size = _mm_max_epi16(err, _mm_sub_epi16(zero, err));
        if (_mm_cvtsi128_si32(_mm_sad_epu8(_mm_packus_epi16(size, zero), zero)) <= 3) err = zero;
        l.e = err;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(share + 4 * c), sixteenth(_mm_slli_epi16(err, 2)));
    }

private:
    std::vector<uint32_t> packed_;  // blue | green << 8 | red << 16 of each entry
    std::vector<int16_t> below_;    // 4/16 shares for the next row, 4 lanes a pixel
    int32_t width_;
    Lookup& lookup_;
};

}  // namespace
}  // namespace plenvue::sse2

#endif
