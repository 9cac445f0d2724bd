// Four 24-bit pixels of a 16-byte load spread one to a 32-bit lane, and back, for the SSE2 passes
// that work on whole pixels (HLS effects, grey scale).
#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>

namespace plenvue::sse2 {
// Internal linkage, as when these lived in the files that use them: the compiler then inlines a
// span used in one place into its caller's loop, which the hot passes rely on.
namespace {

// Pixel k of a 16-byte load (bytes 3k .. 3k+2) into the low three bytes of lane k.
inline __m128i SpreadPixels(__m128i v) {
    const __m128i m0 = _mm_setr_epi32(0xFFFFFF, 0, 0, 0), m1 = _mm_setr_epi32(0, 0xFFFFFF, 0, 0);
    const __m128i m2 = _mm_setr_epi32(0, 0, 0xFFFFFF, 0), m3 = _mm_setr_epi32(0, 0, 0, 0xFFFFFF);
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(v, m0), _mm_and_si128(_mm_slli_si128(v, 1), m1)),
                        _mm_or_si128(_mm_and_si128(_mm_slli_si128(v, 2), m2), _mm_and_si128(_mm_slli_si128(v, 3), m3)));
}

// Lanes back to 12 contiguous bytes; the top 4 are 0.
inline __m128i GatherPixels(__m128i q) {
    const __m128i m0 = _mm_setr_epi32(0xFFFFFF, 0, 0, 0), m1 = _mm_setr_epi32(0, 0xFFFFFF, 0, 0);
    const __m128i m2 = _mm_setr_epi32(0, 0, 0xFFFFFF, 0), m3 = _mm_setr_epi32(0, 0, 0, 0xFFFFFF);
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(q, m0), _mm_srli_si128(_mm_and_si128(q, m1), 1)),
                        _mm_or_si128(_mm_srli_si128(_mm_and_si128(q, m2), 2), _mm_srli_si128(_mm_and_si128(q, m3), 3)));
}

}  // namespace
}  // namespace plenvue::sse2

#endif
