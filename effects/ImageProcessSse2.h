// SSE2 forms of the filter spans and the byte-wise point effects. Each takes the same source bytes
// as the scalar step in clsImageProcessDIB.cpp and writes the same result bytes; the caller picks
// them only for arguments that cannot fail and spans long enough (at least 16 bytes where said).
// Kernels are summed in 16-bit lanes only when no sum can leave 16 bits; wrapped intermediate
// sums are then harmless, since the true total fits.
#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

#include "effects/ImageView.h"

namespace plenvue::sse2 {
// Internal linkage, as when these lived in the files that use them: the compiler then inlines a
// span used in one place into its caller's loop, which the hot passes rely on.
namespace {

using imageprocess::View;

// Bytes [b0, b1) of a row, at least 16 of them, through the prepared kernel into out; tp[t] is
// the source of tap t for byte 0.
template <class K>
void KernelSpan(const K& fk, const uint8_t* const* tp, uint8_t* out, int32_t b0, int32_t b1) {
    const int32_t d = fk.divisor;
    const __m128i zero = _mm_setzero_si128();
    const __m128i magic = _mm_set1_epi16(static_cast<int16_t>(fk.magic));
    const __m128i shift = _mm_cvtsi32_si128(fk.shift);
    auto chunk = [&](int32_t at) {
        __m128i lo = zero, hi = zero;
        for (int32_t t = 0; t < fk.taps; ++t) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tp[t] + at));
            const __m128i vl = _mm_unpacklo_epi8(v, zero), vh = _mm_unpackhi_epi8(v, zero);
            const int16_t k = fk.k[t];
            if (k == 1) {
                lo = _mm_add_epi16(lo, vl);
                hi = _mm_add_epi16(hi, vh);
            } else if (k == -1) {
                lo = _mm_sub_epi16(lo, vl);
                hi = _mm_sub_epi16(hi, vh);
            } else {
                const __m128i kv = _mm_set1_epi16(k);
                lo = _mm_add_epi16(lo, _mm_mullo_epi16(vl, kv));
                hi = _mm_add_epi16(hi, _mm_mullo_epi16(vh, kv));
            }
        }
        // Negative sums give 0 after truncation and clamping, so cut them before dividing.
        lo = _mm_max_epi16(lo, zero);
        hi = _mm_max_epi16(hi, zero);
        if (d > 1) {
            lo = _mm_srl_epi16(_mm_mulhi_epu16(lo, magic), shift);
            hi = _mm_srl_epi16(_mm_mulhi_epu16(hi, magic), shift);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_packus_epi16(lo, hi));
    };
    int32_t b = b0;
    for (; b + 16 <= b1; b += 16) chunk(b);
    if (b < b1) chunk(b1 - 16);  // overlapping tail: same inputs, same bytes
}

// Row y of a ring kernel (ringHalf 1 or 2) over bytes [b0, b1), at least 16 of them.
// Column sums of 3 and 5 rows go to v3 and v5 (bytes b0 - 3 * half up to b1 + 3 * half), then the
// horizontal sums of those give the boxes.
template <int32_t kHalf, class K>
void RingSpan(const K& fk, const View& src, const View& dst, int32_t y,
              int32_t b0, int32_t b1, int16_t* v3, int16_t* v5) {
    const __m128i zero = _mm_setzero_si128();
    const int32_t v0 = b0 - 3 * kHalf, n = b1 + 3 * kHalf - v0;
    const uint8_t* rows[5];
    for (int32_t j = -kHalf; j <= kHalf; ++j) rows[j + kHalf] = src.Row(y + j) + v0;
    auto columns = [&](int32_t i) {
        __m128i s3l = zero, s3h = zero;
        for (int32_t j = kHalf - 1; j <= kHalf + 1; ++j) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[j] + i));
            s3l = _mm_add_epi16(s3l, _mm_unpacklo_epi8(v, zero));
            s3h = _mm_add_epi16(s3h, _mm_unpackhi_epi8(v, zero));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v3 + i), s3l);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v3 + i + 8), s3h);
        if (kHalf == 2) {
            for (int32_t j : {0, 4}) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[j] + i));
                s3l = _mm_add_epi16(s3l, _mm_unpacklo_epi8(v, zero));
                s3h = _mm_add_epi16(s3h, _mm_unpackhi_epi8(v, zero));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(v5 + i), s3l);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(v5 + i + 8), s3h);
        }
    };
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) columns(i);
    if (i < n) columns(n - 16);

    const __m128i k0 = _mm_set1_epi16(fk.ring[0]), k1 = _mm_set1_epi16(fk.ring[1]), k2 = _mm_set1_epi16(fk.ring[2]);
    const bool centre = fk.ring[0] != 0, unit1 = fk.ring[1] == 1;
    const __m128i magic = _mm_set1_epi16(static_cast<int16_t>(fk.magic));
    const __m128i shift = _mm_cvtsi32_si128(fk.shift);
    const bool divide = fk.divisor > 1;
    const uint8_t* mid = src.Row(y);
    uint8_t* out = dst.Row(y);
    auto load = [](const int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    auto eight = [&](int32_t b, __m128i c) {
        const int32_t j = b - v0;
        const __m128i box3 = _mm_add_epi16(_mm_add_epi16(load(v3 + j - 3), load(v3 + j)), load(v3 + j + 3));
        __m128i s = unit1 ? box3 : _mm_mullo_epi16(box3, k1);
        if (kHalf == 2) {
            const __m128i box5 = _mm_add_epi16(
                _mm_add_epi16(_mm_add_epi16(load(v5 + j - 6), load(v5 + j - 3)), _mm_add_epi16(load(v5 + j), load(v5 + j + 3))),
                load(v5 + j + 6));
            s = _mm_add_epi16(s, _mm_mullo_epi16(box5, k2));
        }
        if (centre) s = _mm_add_epi16(s, _mm_mullo_epi16(c, k0));
        // Negative sums give 0 after truncation and clamping, so cut them before dividing.
        s = _mm_max_epi16(s, zero);
        if (divide) s = _mm_srl_epi16(_mm_mulhi_epu16(s, magic), shift);
        return s;
    };
    auto chunk = [&](int32_t b) {
        const __m128i c = centre ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(mid + b)) : zero;
        const __m128i lo = eight(b, _mm_unpacklo_epi8(c, zero));
        const __m128i hi = eight(b + 8, _mm_unpackhi_epi8(c, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(lo, hi));
    };
    int32_t b = b0;
    for (; b + 16 <= b1; b += 16) chunk(b);
    if (b < b1) chunk(b1 - 16);  // overlapping tail: same inputs, same bytes
}

// 3x3 minimum (kMin) or maximum over bytes [b0, b1) of a row, at least 16 of them, into out;
// r holds the rows above, at and below it.
template <bool kMin>
void RankSpan(const uint8_t* const* r, uint8_t* out, int32_t b0, int32_t b1) {
    auto chunk = [&](int32_t at) {
        __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r[0] + at - 3));
        for (int32_t j = 0; j < 3; ++j) {
            for (int32_t dx = -3; dx <= 3; dx += 3) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r[j] + at + dx));
                m = kMin ? _mm_min_epu8(m, v) : _mm_max_epu8(m, v);
            }
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), m);
    };
    int32_t b = b0;
    for (; b + 16 <= b1; b += 16) chunk(b);
    if (b < b1) chunk(b1 - 16);
}

// AddImages over whole 16-byte chunks of a row, for multipliers and offsets that keep every
// intermediate within 16 bits: there each one is exact, and packing clamps to 0..255.
class AddImagesRows {
public:
    AddImagesRows(const int32_t (&fromOffset)[3], const int32_t (&toOffset)[3], int32_t fromMultiplier,
                  int32_t toMultiplier)
        : fmv_(_mm_set1_epi16(static_cast<int16_t>(fromMultiplier))),
          tmv_(_mm_set1_epi16(static_cast<int16_t>(toMultiplier))) {
        for (int p = 0; p < 3; ++p)
            for (int e = 0; e < 16; ++e) {
                offs_[p][0][e] = static_cast<int16_t>(fromOffset[(p + e) % 3]);
                offs_[p][1][e] = static_cast<int16_t>(toOffset[(p + e) % 3]);
            }
    }

    // Bytes from the start of the row while 16 remain of n; returns the first byte not done.
    int32_t Row(const uint8_t* f, uint8_t* t, int32_t n) const {
        const __m128i zero = _mm_setzero_si128();
        int32_t b = 0;
        for (int phase = 0; b + 16 <= n; b += 16, phase = (phase + 1) % 3) {
            const __m128i fv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + b));
            const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + b));
            const __m128i* o = reinterpret_cast<const __m128i*>(offs_[phase]);
            const __m128i lo = _mm_add_epi16(
                _mm_mullo_epi16(_mm_add_epi16(_mm_unpacklo_epi8(fv, zero), o[0]), fmv_),
                _mm_mullo_epi16(_mm_add_epi16(_mm_unpacklo_epi8(tv, zero), o[2]), tmv_));
            const __m128i hi = _mm_add_epi16(
                _mm_mullo_epi16(_mm_add_epi16(_mm_unpackhi_epi8(fv, zero), o[1]), fmv_),
                _mm_mullo_epi16(_mm_add_epi16(_mm_unpackhi_epi8(tv, zero), o[3]), tmv_));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(t + b), _mm_packus_epi16(lo, hi));
        }
        return b;
    }

private:
    __m128i fmv_, tmv_;
    // Offsets for a 16-byte chunk that starts at channel phase 0, 1 or 2.
    alignas(16) int16_t offs_[3][2][16];
};

// Fade of bytes [b, b1) of a row by amount 0..255 while 16 remain; returns the first byte not done.
inline int32_t FadeSpan(uint8_t* row, int32_t b, int32_t b1, int32_t amount) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi16(1);
    const __m128i k = _mm_set1_epi16(static_cast<int16_t>(amount));
    // p / 255 == (p + (p >> 8) + 1) >> 8 for every product p = byte * amount <= 65025.
    auto div255 = [&](__m128i p) {
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(p, _mm_srli_epi16(p, 8)), one), 8);
    };
    for (; b + 16 <= b1; b += 16) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + b));
        const __m128i lo = div255(_mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), k));
        const __m128i hi = div255(_mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + b), _mm_packus_epi16(lo, hi));
    }
    return b;
}

}  // namespace
}  // namespace plenvue::sse2

#endif
