// Four pixels at a time through the same single-precision steps as RGBToHLS and HLSToRGB, for the
// per-pixel HLS effects: every lane performs the IEEE operations of the scalar code in the same
// order (divisions stay divisions, x / 2 is x * 0.5 exactly), and each branch becomes a select, so
// the bits agree.
#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "effects/PixelLanesSse2.h"

namespace plenvue::sse2 {
// Internal linkage, as when these lived in the files that use them: the compiler then inlines a
// span used in one place into its caller's loop, which the hot passes rely on.
namespace {

struct Hls4 {
    __m128 h, s, l;
};

inline __m128 Select(__m128 mask, __m128 a, __m128 b) {
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

inline Hls4 RGBToHLS4(__m128i r, __m128i g, __m128i b) {
    const __m128 k255 = _mm_set1_ps(255.0f);
    const __m128 rp = _mm_div_ps(_mm_cvtepi32_ps(r), k255);
    const __m128 gp = _mm_div_ps(_mm_cvtepi32_ps(g), k255);
    const __m128 bp = _mm_div_ps(_mm_cvtepi32_ps(b), k255);
    const __m128 mx = _mm_max_ps(_mm_max_ps(rp, gp), bp);
    const __m128 mn = _mm_min_ps(_mm_min_ps(rp, gp), bp);
    const __m128 sum = _mm_add_ps(mx, mn);
    Hls4 o;
    o.l = _mm_mul_ps(sum, _mm_set1_ps(0.5f));
    const __m128 grey = _mm_cmpeq_ps(mx, mn);
    const __m128 d = _mm_sub_ps(mx, mn);
    const __m128 low = _mm_cmple_ps(o.l, _mm_set1_ps(0.5f));
    const __m128 den = Select(low, sum, _mm_sub_ps(_mm_sub_ps(_mm_set1_ps(2.0f), mx), mn));
    o.s = _mm_andnot_ps(grey, _mm_div_ps(d, den));
    const __m128 redMax = _mm_cmpeq_ps(rp, mx);
    const __m128 greenMax = _mm_cmpeq_ps(gp, mx);
    const __m128 num = Select(redMax, _mm_sub_ps(gp, bp), Select(greenMax, _mm_sub_ps(bp, rp), _mm_sub_ps(rp, gp)));
    const __m128 q = _mm_div_ps(num, d);
    const __m128 h = Select(redMax, q, _mm_add_ps(Select(greenMax, _mm_set1_ps(2.0f), _mm_set1_ps(4.0f)), q));
    o.h = _mm_andnot_ps(grey, h);
    return o;
}

// Channels times 255, converted with the default rounding (nearest, ties to even) as RoundChannel
// does; a value it would reject comes out as 0x80000000.
inline void HLSToRGB4(const Hls4& in, __m128i& r, __m128i& g, __m128i& b) {
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 h = in.h, s = in.s, l = in.l;
    const __m128 low = _mm_cmple_ps(l, _mm_set1_ps(0.5f));
    const __m128 mn = Select(low, _mm_mul_ps(l, _mm_sub_ps(one, s)), _mm_sub_ps(l, _mm_mul_ps(s, _mm_sub_ps(one, l))));
    const __m128 mx = _mm_sub_ps(_mm_mul_ps(_mm_set1_ps(2.0f), l), mn);
    const __m128 d = _mm_sub_ps(mx, mn);
    // Sixth pairs: k = 0 below 1, 2 below 3, 4 otherwise; the third channel is mn -/+ (h - k) d.
    const __m128 first = _mm_cmplt_ps(h, one);
    const __m128 second = _mm_andnot_ps(first, _mm_cmplt_ps(h, _mm_set1_ps(3.0f)));
    const __m128 k = Select(first, _mm_setzero_ps(), Select(second, _mm_set1_ps(2.0f), _mm_set1_ps(4.0f)));
    const __m128 p = _mm_mul_ps(_mm_sub_ps(h, k), d);
    const __m128 below = _mm_cmplt_ps(h, k);
    const __m128 other = Select(below, _mm_sub_ps(mn, p), _mm_add_ps(mn, p));
    __m128 rp = Select(first, mx, Select(second, Select(below, other, mn), Select(below, mn, other)));
    __m128 gp = Select(first, Select(below, mn, other), Select(second, mx, Select(below, other, mn)));
    __m128 bp = Select(first, Select(below, other, mn), Select(second, Select(below, mn, other), mx));
    const __m128 flat = _mm_cmpeq_ps(s, _mm_setzero_ps());
    rp = Select(flat, l, rp);
    gp = Select(flat, l, gp);
    bp = Select(flat, l, bp);
    const __m128 k255 = _mm_set1_ps(255.0f);
    r = _mm_cvtps_epi32(_mm_mul_ps(rp, k255));
    g = _mm_cvtps_epi32(_mm_mul_ps(gp, k255));
    b = _mm_cvtps_epi32(_mm_mul_ps(bp, k255));
}

// Lightness times a double factor, the product rounded once to single, capped at 1.
inline void LightenFour(Hls4& v, double factor) {
    const __m128d f = _mm_set1_pd(factor);
    const __m128 lo = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(v.l), f));
    const __m128 hi = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(v.l, v.l)), f));
    const __m128 l = _mm_movelh_ps(lo, hi);
    const __m128 one = _mm_set1_ps(1.0f);
    v.l = Select(_mm_cmpgt_ps(l, one), one, l);
}

// One hue for all; a pixel whose hue was 0 takes the given saturation.
inline void ColouriseFour(Hls4& v, float hue, float saturation) {
    v.s = Select(_mm_cmpeq_ps(v.h, _mm_setzero_ps()), _mm_set1_ps(saturation), v.s);
    v.h = _mm_set1_ps(hue);
}

// Pixels of bytes [x, end) of a row, four at a time while a 16-byte load stays within rowBytes;
// returns the first byte not done. op.Four(hls) changes four pixels' hue, lightness and
// saturation; pixel(p) is the scalar step, used where a channel leaves 0..255 so that it raises
// the error.
template <class Op, class Pixel>
int32_t HlsSpan(uint8_t* row, int32_t x, int32_t end, int32_t rowBytes, const Op& op, const Pixel& pixel) {
    // Runs of equal pixels (common in screen pictures) reuse the last four results.
    const __m128i low12 = _mm_setr_epi32(-1, -1, -1, 0);
    __m128i lastIn = _mm_set1_epi32(-1), lastOut = _mm_setzero_si128();
    for (; x + 12 <= end && x + 16 <= rowBytes; x += 12) {
        uint8_t* p = row + x;
        const __m128i v16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i in = _mm_and_si128(v16, low12);
        __m128i out;
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(in, lastIn)) == 0xFFFF) {
            out = lastOut;
        } else {
            const __m128i px = SpreadPixels(v16);
            const __m128i byte = _mm_set1_epi32(0xFF);
            Hls4 hls = RGBToHLS4(_mm_and_si128(_mm_srli_epi32(px, 16), byte),
                                 _mm_and_si128(_mm_srli_epi32(px, 8), byte), _mm_and_si128(px, byte));
            op.Four(hls);
            __m128i r, g, b;
            HLSToRGB4(hls, r, g, b);
            const __m128i any = _mm_or_si128(_mm_or_si128(r, g), b);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_andnot_si128(byte, any), _mm_setzero_si128())) != 0xFFFF) {
                // A channel outside 0..255: the scalar steps raise the error.
                for (int k = 0; k < 4; ++k) pixel(p + 3 * k);
                lastIn = _mm_set1_epi32(-1);
                continue;
            }
            out = GatherPixels(_mm_or_si128(_mm_or_si128(b, _mm_slli_epi32(g, 8)), _mm_slli_epi32(r, 16)));
            lastIn = in;
            lastOut = out;
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), out);
        const uint32_t tail = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(out, 8)));
        std::memcpy(p + 8, &tail, 4);
    }
    return x;
}

}  // namespace
}  // namespace plenvue::sse2

#endif
