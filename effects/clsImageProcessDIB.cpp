// Filters and point effects. Each pass has two forms:
//  - an exact form that visits columns outer, rows inner with checked 32-bit arithmetic; it runs
//    whenever an argument makes an error reachable, so that the bytes written before the error are
//    the ones the visiting order dictates;
//  - a fast form (row-major, SSE2 where it pays) for arguments that cannot fail. Every output byte
//    depends only on source bytes, and a source row is overwritten (by the copy-back into the
//    picture) only after the last row that reads it, so the order does not change results.
// Kernels are summed in 16-bit lanes only when no sum can leave 16 bits; wrapped intermediate
// sums are then harmless, since the true total fits.
// With a progress listener the fast forms run in strips of columns and report each column of a
// strip after the strip; without one they run over the whole width.
#include "effects/clsImageProcessDIB.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "effects/modHLSRGB.h"
#include "base/Arith.h"
#include "image/Rnd.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define PLENVUE_SSE2 1
#endif

namespace plenvue {

ErrorObject SubscriptOutOfRangeError() {
    return ErrorObject(kErrSubscriptOutOfRange, kExeName, "Subscript out of range");
}

namespace {

constexpr int32_t kErrBadSize = kObjectErrorBase + 1305;
constexpr int32_t kErrBadType = kObjectErrorBase + 1306;
constexpr int32_t kStripColumns = 64;

struct View {
    uint8_t* bits = nullptr;
    int32_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* Row(int32_t y) const { return bits + static_cast<ptrdiff_t>(y) * stride; }
};

View ViewOf(clsDIBSection& d) {
    View v;
    v.bits = d.DIBSectionBitsPtr();
    if (!v.bits) return v;
    v.stride = d.BytesPerScanLine();
    v.width = d.Width();
    v.height = d.Height();
    return v;
}

inline uint8_t ClampByte(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// A result byte outside 0..255 is an overflow, as storing it into a byte would be.
inline uint8_t CheckedByte(int32_t v) {
    if (v < 0 || v > 255) throw OverflowError();
    return static_cast<uint8_t>(v);
}

// Runs f(c0, c1) over columns [first, last] — whole width without a listener, strips with one.
template <class F>
void ForColumns(const ProgressPass& pass, int32_t first, int32_t last, F&& f) {
    if (last < first) return;
    if (!pass.Listening()) {
        f(first, last + 1);
        return;
    }
    for (int32_t c = first; c <= last; c += kStripColumns) {
        const int32_t end = std::min(last + 1, c + kStripColumns);
        f(c, end);
        for (int32_t col = c; col < end; ++col) pass.Step(3 * col);
    }
}

// Copies pixel bytes (not row padding) of rows [y0, y1), bytes [b0, b1), as a blit would.
void CopyBytes(const View& from, const View& to, int32_t y0, int32_t y1, int32_t b0, int32_t b1) {
    if (b1 <= b0) return;
    for (int32_t y = y0; y < y1; ++y) std::memcpy(to.Row(y) + b0, from.Row(y) + b0, b1 - b0);
}

// The border that a pass with half size h leaves alone, copied from `from` into `to`.
void CopyBorder(const View& from, const View& to, int32_t h) {
    const int32_t W = from.width, H = from.height;
    if (W <= 2 * h || H <= 2 * h) {
        CopyBytes(from, to, 0, H, 0, 3 * W);
        return;
    }
    CopyBytes(from, to, 0, h, 0, 3 * W);
    CopyBytes(from, to, H - h, H, 0, 3 * W);
    CopyBytes(from, to, h, H - h, 0, 3 * h);
    CopyBytes(from, to, h, H - h, 3 * (W - h), 3 * W);
}

void CopyInterior(const View& from, const View& to, int32_t h) {
    const int32_t W = from.width, H = from.height;
    if (W <= 2 * h || H <= 2 * h) return;
    CopyBytes(from, to, h, H - h, 3 * h, 3 * (W - h));
}

void CheckCovers(const View& big, const View& small) {
    if (big.height < small.height || big.stride < 3 * small.width) throw SubscriptOutOfRangeError();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Kernel state

void clsImageProcessDIB::FilterType(int32_t eType) {
    if (eType < 1 || eType > 13) throw ErrorObject(kErrBadType, kImageProcessSource, "Invalid filter types.");
    type_ = eType;
    if (eType != eCustom) BuildFilter();
}

void clsImageProcessDIB::FilterArraySize(int32_t lSize) {
    if (lSize % 2 == 0) throw ErrorObject(kErrBadSize, kImageProcessSource, "Size must be an odd number");
    if (lSize < 3 || lSize > 9)
        throw ErrorObject(kErrBadType, kImageProcessSource,
                          "Invalid size.  Size should be an odd number from 3 to 9");
    size_ = lSize;
    half_ = lSize / 2;
    kernel_.assign(static_cast<size_t>(lSize * lSize), 0);
    fastValid_ = false;
}

int32_t clsImageProcessDIB::Cell(int32_t iX, int32_t iY) const {
    if (kernel_.empty() || iX < -half_ || iX > half_ || iY < -half_ || iY > half_)
        throw SubscriptOutOfRangeError();
    return (iY + half_) * size_ + (iX + half_);
}

int32_t clsImageProcessDIB::FilterValue(int32_t iX, int32_t iY) const { return kernel_[Cell(iX, iY)]; }

void clsImageProcessDIB::FilterValue(int32_t iX, int32_t iY, int32_t lValue) {
    kernel_[Cell(iX, iY)] = lValue;
    fastValid_ = false;
}

void clsImageProcessDIB::BuildFilter() {
    weight_ = 0;
    fastValid_ = false;
    switch (type_) {
        case eBlur: case eSoften: case eSharpen: case eSharpenMore: case eEmboss:
            FilterArraySize(3);
            break;
        case eBlurMore: case eSoftenMore:
            FilterArraySize(5);
            break;
        default:
            return;  // kernel and size stay as they were, weight 0
    }
    for (int32_t i = -half_; i <= half_; ++i) {
        for (int32_t j = -half_; j <= half_; ++j) {
            int32_t v = 0;
            const int32_t d = std::max(std::abs(i), std::abs(j));
            switch (type_) {
                case eBlur: case eBlurMore:
                    v = 1;
                    break;
                case eSoften: case eSoftenMore:
                    v = d > 0 ? half_ - d + 1 : RoundHalfEven(size_ * size_ / 2.0);
                    break;
                case eSharpen:
                    v = d == 0 ? 15 : -1;
                    break;
                case eSharpenMore:
                    v = d == 0 ? 5 : ((i == 0 || j == 0) ? -1 : 0);
                    break;
                case eEmboss:
                    v = (i == -1 && j == -1) ? -1 : ((i == 1 && j == 1) ? 1 : 0);
                    break;
            }
            kernel_[Cell(i, j)] = v;
            if (type_ != eEmboss) weight_ = CheckedAdd(weight_, v);
        }
    }
    if (type_ == eEmboss) weight_ = 1;
}

clsImageProcessDIB::FastKernel clsImageProcessDIB::MakeFast(const std::vector<int32_t>& kernel,
                                                             int32_t half, int32_t weight) {
    FastKernel fk;
    fk.half = half;
    const int32_t size = 2 * half + 1;
    if (kernel.empty() || weight == 0 || weight == INT32_MIN) return fk;
    const bool negate = weight < 0;
    int64_t positive = 0, absolute = 0;
    for (int32_t j = -half; j <= half; ++j) {
        for (int32_t i = -half; i <= half; ++i) {
            int64_t v = kernel[(j + half) * size + (i + half)];
            if (v == 0) continue;
            if (negate) v = -v;
            absolute += (v < 0 ? -v : v) * 255;
            if (v > 0) positive += v * 255;
            if (absolute > 32767) return fk;
            const int32_t t = fk.taps++;
            fk.dy[t] = j;
            fk.dx[t] = 3 * i;
            fk.k[t] = static_cast<int16_t>(v);
        }
    }
    if (half == 1 || half == 2) {
        // Value of each distance, read along the row through the centre; every cell must match.
        int32_t at[3] = {};
        for (int32_t r = 0; r <= half; ++r) at[r] = kernel[half * size + (r + half)];
        bool ring = true;
        for (int32_t j = -half; j <= half && ring; ++j)
            for (int32_t i = -half; i <= half && ring; ++i)
                ring = kernel[(j + half) * size + (i + half)] == at[std::max(std::abs(i), std::abs(j))];
        if (ring) {
            // Sums are taken modulo 2^16; the true sum fits in 16 bits (checked above), so the
            // wrapped one is the same.
            const int32_t sign = negate ? -1 : 1;
            fk.ringHalf = half;
            fk.ring[0] = static_cast<int16_t>(sign * (at[0] - at[1]));
            if (half == 1) {
                fk.ring[1] = static_cast<int16_t>(sign * at[1]);
            } else {
                fk.ring[1] = static_cast<int16_t>(sign * (at[1] - at[2]));
                fk.ring[2] = static_cast<int16_t>(sign * at[2]);
            }
        }
    }
    const int32_t d = negate ? -weight : weight;
    fk.divisor = d;
    if (d > 1) {
        bool found = false;
        for (int32_t sh = 0; sh < 16 && !found; ++sh) {
            const int64_t m = ((int64_t{1} << (16 + sh)) + d - 1) / d;
            if (m > 65535) continue;
            bool ok = true;
            for (int64_t s = 0; s <= positive && ok; ++s) ok = ((s * m) >> (16 + sh)) == s / d;
            if (ok) {
                fk.magic = static_cast<uint16_t>(m);
                fk.shift = sh;
                found = true;
            }
        }
        if (!found) return fk;
    }
    fk.usable = true;
    return fk;
}

const clsImageProcessDIB::FastKernel& clsImageProcessDIB::Prepared() {
    if (!fastValid_) {
        fast_ = MakeFast(kernel_, half_, weight_);
        fastValid_ = true;
    }
    return fast_;
}

// ---------------------------------------------------------------------------------------------
// Kernel and neighbourhood passes

namespace {

// Source bytes [b0, b1) of row y through the prepared kernel into dest.
template <class K>
void KernelSpan(const K& fk, const View& src, const View& dst, int32_t y, int32_t b0, int32_t b1) {
    const uint8_t* tp[81];
    for (int32_t t = 0; t < fk.taps; ++t) tp[t] = src.Row(y + fk.dy[t]) + fk.dx[t];
    uint8_t* out = dst.Row(y);
    const int32_t d = fk.divisor;
    int32_t b = b0;
#if PLENVUE_SSE2
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
    if (b1 - b0 >= 16) {
        for (; b + 16 <= b1; b += 16) chunk(b);
        if (b < b1) chunk(b1 - 16);  // overlapping tail: same inputs, same bytes
        return;
    }
#endif
    for (; b < b1; ++b) {
        int32_t s = 0;
        for (int32_t t = 0; t < fk.taps; ++t) s += fk.k[t] * tp[t][b];
        out[b] = ClampByte(std::max(s, 0) / d);
    }
}

#if PLENVUE_SSE2
// Row y of a ring kernel (FastKernel::ringHalf 1 or 2) over bytes [b0, b1), at least 16 of them.
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
#endif

// 3x3 minimum (kMin) or maximum over bytes [b0, b1) of row y.
template <bool kMin>
void RankSpan(const View& src, const View& dst, int32_t y, int32_t b0, int32_t b1) {
    const uint8_t* r[3] = {src.Row(y - 1), src.Row(y), src.Row(y + 1)};
    uint8_t* out = dst.Row(y);
    int32_t b = b0;
#if PLENVUE_SSE2
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
    if (b1 - b0 >= 16) {
        for (; b + 16 <= b1; b += 16) chunk(b);
        if (b < b1) chunk(b1 - 16);
        return;
    }
#endif
    for (; b < b1; ++b) {
        uint8_t m = kMin ? 255 : 0;
        for (int32_t j = 0; j < 3; ++j)
            for (int32_t dx = -3; dx <= 3; dx += 3) m = kMin ? std::min(m, r[j][b + dx]) : std::max(m, r[j][b + dx]);
        out[b] = m;
    }
}

// Exact kernel pass: the visiting order and checked arithmetic decide which pixels are written
// before an overflow or a zero weight stops it.
void KernelExact(const std::vector<int32_t>& kernel, int32_t half, int32_t weight, const View& src,
                 const View& dst, const ProgressPass& pass) {
    const int32_t size = 2 * half + 1;
    for (int32_t x = 3 * half; x <= 3 * (src.width - 1 - half); x += 3) {
        for (int32_t y = half; y <= src.height - 1 - half; ++y) {
            int32_t sum[3] = {0, 0, 0};
            if (kernel.empty()) throw SubscriptOutOfRangeError();  // custom type before any size
            for (int32_t i = -half; i <= half; ++i) {
                for (int32_t j = -half; j <= half; ++j) {
                    const int32_t k = kernel[(j + half) * size + (i + half)];
                    const uint8_t* p = src.Row(y + j) + x + 3 * i;
                    for (int32_t c = 0; c < 3; ++c) sum[c] = CheckedAdd(sum[c], CheckedMul(k, p[c]));
                }
            }
            uint8_t* q = dst.Row(y) + x;
            for (int32_t c = 0; c < 3; ++c) q[c] = ClampByte(CheckedDiv(sum[c], weight));
        }
        pass.Step(x);
    }
}

// row(y) for every row a pass with half size h writes, over bytes [b0, b1). With `back`, each
// finished row of dst is also copied into back as soon as no later row reads its source row, while
// it is still in cache; back may be the source itself.
template <class F>
void PassRows(const View& src, const View& dst, const View* back, int32_t h, int32_t b0, int32_t b1, F&& row) {
    const int32_t last = src.height - 1 - h;
    auto copy = [&](int32_t y) { std::memcpy(back->Row(y) + b0, dst.Row(y) + b0, static_cast<size_t>(b1 - b0)); };
    for (int32_t y = h; y <= last; ++y) {
        row(y);
        if (back && y - h >= h) copy(y - h);
    }
    if (back)
        for (int32_t y = std::max(h, last - h + 1); y <= last; ++y) copy(y);
}

// Every row a kernel pass writes, over bytes [b0, b1); sums is scratch space.
template <class K>
void KernelColumns(const K& fk, const View& src, const View& dst, const View* back, int32_t b0, int32_t b1,
                   std::vector<int16_t>& sums) {
    const int32_t h = fk.half;
#if PLENVUE_SSE2
    if (fk.ringHalf && b1 - b0 >= 16) {
        const size_t n = static_cast<size_t>(b1 - b0 + 6 * fk.ringHalf);
        sums.resize(2 * n);
        PassRows(src, dst, back, h, b0, b1, [&](int32_t y) {
            if (fk.ringHalf == 1) RingSpan<1>(fk, src, dst, y, b0, b1, sums.data(), sums.data() + n);
            else RingSpan<2>(fk, src, dst, y, b0, b1, sums.data(), sums.data() + n);
        });
        return;
    }
#endif
    PassRows(src, dst, back, h, b0, b1, [&](int32_t y) { KernelSpan(fk, src, dst, y, b0, b1); });
}

}  // namespace

bool clsImageProcessDIB::ApplyKernel(clsDIBSection& cSource, clsDIBSection& cDest, bool bCopyBack) {
    const View src = ViewOf(cSource), dst = ViewOf(cDest);
    const int32_t h = half_;
    ProgressPass pass(ProgressListener(), 3 * (src.width - 1 - h));
    const FastKernel& fk = Prepared();
    // Copying back row by row needs the whole width at once: a strip's neighbour still reads the
    // source columns next to it.
    const bool back = bCopyBack && fk.usable && !pass.Listening();
    if (!fk.usable) {
        KernelExact(kernel_, h, weight_, src, dst, pass);
    } else {
        std::vector<int16_t> sums;
        ForColumns(pass, h, src.width - 1 - h, [&](int32_t c0, int32_t c1) {
            KernelColumns(fk, src, dst, back ? &src : nullptr, 3 * c0, 3 * c1, sums);
        });
    }
    pass.Done();
    return back;
}

bool clsImageProcessDIB::ApplyNeighbourhood(clsDIBSection& cSource, clsDIBSection& cDest, bool bCopyBack) {
    const View src = ViewOf(cSource), dst = ViewOf(cDest);
    ProgressPass pass(ProgressListener(), 3 * src.width - 6);
    static const FastKernel mean = MakeFast(std::vector<int32_t>(9, 1), 1, 9);
    const int32_t type = type_;
    const bool back = bCopyBack && !pass.Listening();
    const View* to = back ? &src : nullptr;
    std::vector<int16_t> sums;
    ForColumns(pass, 1, src.width - 2, [&](int32_t c0, int32_t c1) {
        const int32_t b0 = 3 * c0, b1 = 3 * c1;
        if (type == eAverage) KernelColumns(mean, src, dst, to, b0, b1, sums);
        else if (type == eMinimum) PassRows(src, dst, to, 1, b0, b1, [&](int32_t y) { RankSpan<true>(src, dst, y, b0, b1); });
        else PassRows(src, dst, to, 1, b0, b1, [&](int32_t y) { RankSpan<false>(src, dst, y, b0, b1); });
    });
    pass.Done();
    return back;
}

bool clsImageProcessDIB::ProcessImage(clsDIBSection& cImage, clsDIBSection& cBuffer) {
    if (type_ == 0 || type_ == 12) return false;
    if (&cImage == &cBuffer) {
        // One bitmap as both would feed results back into the sums; work on a separate buffer.
        clsDIBSection scratch;
        if (!scratch.Create(cImage.Width(), cImage.Height())) throw SubscriptOutOfRangeError();
        return ProcessImage(cImage, scratch);
    }
    const View img = ViewOf(cImage), buf = ViewOf(cBuffer);
    // A smaller buffer cannot hold the result; refuse before anything is touched.
    if (buf.width < img.width || buf.height < img.height) throw SubscriptOutOfRangeError();

    // The buffer starts as a copy of the image. Only the exact pass can stop part way, so the fast
    // passes copy just the border they leave alone (the interior is overwritten anyway).
    auto fillBuffer = [&](int32_t h, bool exact) {
        if (exact) CopyBytes(img, buf, 0, img.height, 0, 3 * img.width);
        else CopyBorder(img, buf, h);
    };
    switch (type_) {
        case eUnsharpen:
            FilterType(eBlur);
            fillBuffer(half_, false);
            ApplyKernel(cImage, cBuffer, false);
            AddImages(cBuffer, cImage, -1, 0, 0, 0, 2, 0, 0, 0);
            FilterType(eUnsharpen);
            return false;
        case eEmboss:
            fillBuffer(half_, !Prepared().usable);
            ApplyKernel(cImage, cBuffer, false);
            AddImages(cBuffer, cImage, 1, 127, 127, 127, 0, 0, 0, 0);
            return true;
        case eAverage: case eMinimum: case eMaximum:
            fillBuffer(1, false);
            if (!ApplyNeighbourhood(cImage, cBuffer, true)) CopyInterior(buf, img, 1);
            return true;
        default:
            fillBuffer(half_, !Prepared().usable);
            if (!ApplyKernel(cImage, cBuffer, true)) CopyInterior(buf, img, half_);
            return true;
    }
}

// ---------------------------------------------------------------------------------------------
// Two-image operations

void clsImageProcessDIB::AddImages(clsDIBSection& cFrom, clsDIBSection& cTo, int32_t lFromMultiplier,
                                   int32_t lFromOffsetR, int32_t lFromOffsetG, int32_t lFromOffsetB,
                                   int32_t lToMultiplier, int32_t lToOffsetR, int32_t lToOffsetG,
                                   int32_t lToOffsetB) {
    const View from = ViewOf(cFrom), to = ViewOf(cTo);
    CheckCovers(from, to);
    // The first byte of a pixel takes the "R" offsets, the second "G", the third "B".
    const int32_t fo[3] = {lFromOffsetR, lFromOffsetG, lFromOffsetB};
    const int32_t too[3] = {lToOffsetR, lToOffsetG, lToOffsetB};
    const int32_t fm = lFromMultiplier, tm = lToMultiplier;

    // Largest magnitude any intermediate can reach; past 32 bits only the checked form is right.
    int64_t bound = 0;
    for (int c = 0; c < 3; ++c) {
        const int64_t af = std::max(std::llabs(fo[c]), std::llabs(int64_t{255} + fo[c]));
        const int64_t at = std::max(std::llabs(too[c]), std::llabs(int64_t{255} + too[c]));
        const int64_t f = af * std::llabs(fm), t = at * std::llabs(tm);
        bound = std::max({bound, af, at, f + t});
    }
    const int32_t W = to.width, H = to.height;
    if (bound > INT32_MAX) {
        for (int32_t x = 0; x <= 3 * (W - 1); x += 3) {
            for (int32_t y = 0; y < H; ++y) {
                const uint8_t* f = from.Row(y) + x;
                uint8_t* t = to.Row(y) + x;
                for (int c = 0; c < 3; ++c) {
                    const int32_t v = CheckedAdd(CheckedMul(CheckedAdd(f[c], fo[c]), fm),
                                                 CheckedMul(CheckedAdd(t[c], too[c]), tm));
                    t[c] = ClampByte(v);
                }
            }
        }
        return;
    }
    const int32_t n = 3 * W;
#if PLENVUE_SSE2
    // Within 16 bits every intermediate is exact; packing clamps to 0..255. Offsets for a 16-byte
    // chunk that starts at channel phase 0, 1 or 2.
    const __m128i zero = _mm_setzero_si128();
    const __m128i fmv = _mm_set1_epi16(static_cast<int16_t>(fm));
    const __m128i tmv = _mm_set1_epi16(static_cast<int16_t>(tm));
    alignas(16) int16_t offs[3][2][16];
    for (int p = 0; p < 3; ++p)
        for (int e = 0; e < 16; ++e) {
            offs[p][0][e] = static_cast<int16_t>(fo[(p + e) % 3]);
            offs[p][1][e] = static_cast<int16_t>(too[(p + e) % 3]);
        }
#endif
    for (int32_t y = 0; y < H; ++y) {
        const uint8_t* f = from.Row(y);
        uint8_t* t = to.Row(y);
        int32_t b = 0;
#if PLENVUE_SSE2
        if (bound <= 32767) {
            for (int phase = 0; b + 16 <= n; b += 16, phase = (phase + 1) % 3) {
                const __m128i fv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f + b));
                const __m128i tv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + b));
                const __m128i* o = reinterpret_cast<const __m128i*>(offs[phase]);
                const __m128i lo = _mm_add_epi16(
                    _mm_mullo_epi16(_mm_add_epi16(_mm_unpacklo_epi8(fv, zero), o[0]), fmv),
                    _mm_mullo_epi16(_mm_add_epi16(_mm_unpacklo_epi8(tv, zero), o[2]), tmv));
                const __m128i hi = _mm_add_epi16(
                    _mm_mullo_epi16(_mm_add_epi16(_mm_unpackhi_epi8(fv, zero), o[1]), fmv),
                    _mm_mullo_epi16(_mm_add_epi16(_mm_unpackhi_epi8(tv, zero), o[3]), tmv));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(t + b), _mm_packus_epi16(lo, hi));
            }
        }
#endif
        for (; b < n; ++b) {
            const int c = b % 3;
            t[b] = ClampByte((f[b] + fo[c]) * fm + (t[b] + too[c]) * tm);
        }
    }
}

namespace {

inline int32_t Luminance(const uint8_t* p) { return 222 * p[2] + 707 * p[1] + 71 * p[0]; }

// kFromDarker: copy where the "from" pixel is darker (AddLightest's rule); otherwise where lighter.
template <bool kFromDarker>
void Select(const View& from, const View& to) {
    CheckCovers(from, to);
    for (int32_t y = 0; y < to.height; ++y) {
        const uint8_t* f = from.Row(y);
        uint8_t* t = to.Row(y);
        for (int32_t x = 0; x < 3 * to.width; x += 3) {
            const int32_t lt = Luminance(t + x), lf = Luminance(f + x);
            if (kFromDarker ? lf < lt : lf > lt) {
                t[x] = f[x];
                t[x + 1] = f[x + 1];
                t[x + 2] = f[x + 2];
            }
        }
    }
}

}  // namespace

void clsImageProcessDIB::AddLightest(clsDIBSection& cFrom, clsDIBSection& cTo) {
    Select<true>(ViewOf(cFrom), ViewOf(cTo));
}

void clsImageProcessDIB::AddDarkest(clsDIBSection& cFrom, clsDIBSection& cTo) {
    Select<false>(ViewOf(cFrom), ViewOf(cTo));
}

// ---------------------------------------------------------------------------------------------
// One-image effects

void clsImageProcessDIB::AddNoise(clsDIBSection& cImage, int32_t lPercent, bool bRandom) {
    const View v = ViewOf(cImage);
    const int32_t range = CheckedDiv(CheckedMul(lPercent, 128), 100);
    const int32_t halfRange = range / 2;
    ProgressPass pass(ProgressListener(), 3 * (v.width - 1));
    // The draws follow the visiting order, so this pass keeps it: columns outer, rows inner.
    for (int32_t x = 0; x <= 3 * (v.width - 1); x += 3) {
        for (int32_t y = 0; y < v.height; ++y) {
            if (bRandom && !(Rnd() * 100.0 > lPercent)) continue;
            uint8_t* p = v.Row(y) + x;
            for (int c = 0; c < 3; ++c) {
                const double u = Rnd();
                const int32_t n = RoundHalfEven(u * range + static_cast<double>(p[c] - halfRange));
                p[c] = ClampByte(n);
            }
        }
        pass.Step(x);
    }
    pass.Done();
}

void clsImageProcessDIB::Fade(clsDIBSection& cImage, int32_t lAmount) {
    const View v = ViewOf(cImage);
    ProgressPass pass(ProgressListener(), 3 * (v.width - 1));
    if (lAmount < 0 || lAmount > 255) {
        // Some bytes leave 0..255: an overflow error at the first of them in visiting order.
        for (int32_t x = 0; x <= 3 * (v.width - 1); x += 3) {
            for (int32_t y = 0; y < v.height; ++y) {
                uint8_t* p = v.Row(y) + x;
                for (int c = 0; c < 3; ++c) p[c] = CheckedByte(CheckedMul(p[c], lAmount) / 255);
            }
            pass.Step(x);
        }
        pass.Done();
        return;
    }
    ForColumns(pass, 0, v.width - 1, [&](int32_t c0, int32_t c1) {
        const int32_t b0 = 3 * c0, b1 = 3 * c1;
        for (int32_t y = 0; y < v.height; ++y) {
            uint8_t* row = v.Row(y);
            int32_t b = b0;
#if PLENVUE_SSE2
            const __m128i zero = _mm_setzero_si128();
            const __m128i one = _mm_set1_epi16(1);
            const __m128i amount = _mm_set1_epi16(static_cast<int16_t>(lAmount));
            // p / 255 == (p + (p >> 8) + 1) >> 8 for every product p = byte * amount <= 65025.
            auto div255 = [&](__m128i p) {
                return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(p, _mm_srli_epi16(p, 8)), one), 8);
            };
            for (; b + 16 <= b1; b += 16) {
                const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + b));
                const __m128i lo = div255(_mm_mullo_epi16(_mm_unpacklo_epi8(px, zero), amount));
                const __m128i hi = div255(_mm_mullo_epi16(_mm_unpackhi_epi8(px, zero), amount));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row + b), _mm_packus_epi16(lo, hi));
            }
#endif
            for (; b < b1; ++b) row[b] = static_cast<uint8_t>(row[b] * lAmount / 255);
        }
    });
    pass.Done();
}

namespace {

#if PLENVUE_SSE2
// Four pixels at a time through the same single-precision steps as RGBToHLS and HLSToRGB: every
// lane performs the IEEE operations of the scalar code in the same order (divisions stay
// divisions, x / 2 is x * 0.5 exactly), and each branch becomes a select, so the bits agree.
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

// Pixel k of a 16-byte load (bytes 3k .. 3k+2) into the low three bytes of lane k, and back.
inline __m128i SpreadPixels(__m128i v) {
    const __m128i m0 = _mm_setr_epi32(0xFFFFFF, 0, 0, 0), m1 = _mm_setr_epi32(0, 0xFFFFFF, 0, 0);
    const __m128i m2 = _mm_setr_epi32(0, 0, 0xFFFFFF, 0), m3 = _mm_setr_epi32(0, 0, 0, 0xFFFFFF);
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(v, m0), _mm_and_si128(_mm_slli_si128(v, 1), m1)),
                        _mm_or_si128(_mm_and_si128(_mm_slli_si128(v, 2), m2), _mm_and_si128(_mm_slli_si128(v, 3), m3)));
}

inline __m128i GatherPixels(__m128i q) {
    const __m128i m0 = _mm_setr_epi32(0xFFFFFF, 0, 0, 0), m1 = _mm_setr_epi32(0, 0xFFFFFF, 0, 0);
    const __m128i m2 = _mm_setr_epi32(0, 0, 0xFFFFFF, 0), m3 = _mm_setr_epi32(0, 0, 0, 0xFFFFFF);
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(q, m0), _mm_srli_si128(_mm_and_si128(q, m1), 1)),
                        _mm_or_si128(_mm_srli_si128(_mm_and_si128(q, m2), 2), _mm_srli_si128(_mm_and_si128(q, m3), 3)));
}
#endif

// Per-pixel HLS effect: exact visiting order when an argument can push a channel out of 0..255,
// row-major otherwise. op.Pixel(r, g, b, outR, outG, outB) for one pixel; op.Four(hls) changes
// four pixels' hue, lightness and saturation in the same steps.
template <class Op>
void HlsPass(const View& v, const ProgressPass& pass, bool exact, const Op& op) {
    auto pixel = [&](uint8_t* p) {
        int32_t r, g, b;
        op.Pixel(p[2], p[1], p[0], r, g, b);
        p[2] = CheckedByte(r);
        p[1] = CheckedByte(g);
        p[0] = CheckedByte(b);
    };
    if (exact) {
        for (int32_t x = 0; x <= 3 * (v.width - 1); x += 3) {
            for (int32_t y = 0; y < v.height; ++y) pixel(v.Row(y) + x);
            pass.Step(x);
        }
        pass.Done();
        return;
    }
    const int32_t rowBytes = 3 * v.width;
    ForColumns(pass, 0, v.width - 1, [&](int32_t c0, int32_t c1) {
        for (int32_t y = 0; y < v.height; ++y) {
            uint8_t* row = v.Row(y);
            int32_t x = 3 * c0;
            const int32_t end = 3 * c1;
#if PLENVUE_SSE2
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
#endif
            for (; x < end; x += 3) pixel(row + x);
        }
    });
    pass.Done();
}

struct LightenOp {
    double factor;
    void Adjust(float& l) const {
        // The factor is a double and the product is rounded once to single.
        l = static_cast<float>(l * factor);
        if (l > 1.0f) l = 1.0f;
    }
    void Pixel(int32_t r, int32_t g, int32_t b, int32_t& ro, int32_t& go, int32_t& bo) const {
        float h, s, l;
        RGBToHLS(r, g, b, h, s, l);
        Adjust(l);
        HLSToRGB(h, s, l, ro, go, bo);
    }
#if PLENVUE_SSE2
    void Four(Hls4& v) const {
        const __m128d f = _mm_set1_pd(factor);
        const __m128 lo = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(v.l), f));
        const __m128 hi = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(v.l, v.l)), f));
        const __m128 l = _mm_movelh_ps(lo, hi);
        const __m128 one = _mm_set1_ps(1.0f);
        v.l = Select(_mm_cmpgt_ps(l, one), one, l);
    }
#endif
};

struct ColouriseOp {
    float hue, saturation;
    void Pixel(int32_t r, int32_t g, int32_t b, int32_t& ro, int32_t& go, int32_t& bo) const {
        float h, s, l;
        RGBToHLS(r, g, b, h, s, l);
        if (h == 0.0f) s = saturation;
        HLSToRGB(hue, s, l, ro, go, bo);
    }
#if PLENVUE_SSE2
    void Four(Hls4& v) const {
        v.s = Select(_mm_cmpeq_ps(v.h, _mm_setzero_ps()), _mm_set1_ps(saturation), v.s);
        v.h = _mm_set1_ps(hue);
    }
#endif
};

}  // namespace

void clsImageProcessDIB::Lighten(clsDIBSection& cImage, int32_t lAmount) {
    const View v = ViewOf(cImage);
    ProgressPass pass(ProgressListener(), 3 * (v.width - 1));
    HlsPass(v, pass, lAmount < -100, LightenOp{1.0 + lAmount / 100.0});
}

void clsImageProcessDIB::Colourise(clsDIBSection& cImage, float fHue, float fSaturation) {
    const View v = ViewOf(cImage);
    ProgressPass pass(ProgressListener(), 3 * (v.width - 1));
    const bool safe = fHue >= -1.0f && fHue < 5.0f && fSaturation >= 0.0f && fSaturation <= 1.0f;
    HlsPass(v, pass, !safe, ColouriseOp{fHue, fSaturation});
}

}  // namespace plenvue
