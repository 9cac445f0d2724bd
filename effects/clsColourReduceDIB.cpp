// The passes are described column by column; they run row by row here, which gives the same
// bytes: every share that can still change a decision comes from a pixel that precedes its
// target in both orders, and the shares a pixel receives are applied (each clamped) in the
// order the column-wise pass would apply them.
#include "effects/clsColourReduceDIB.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effects/PaletteLookup.h"
#include "effects/PixelLanesSse2.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "base/ErrorObject.h"

namespace plenvue {
namespace {

ErrorObject SubscriptError() {
    return ErrorObject(clsColourReduceDIB::kErrSubscriptOutOfRange, kExeName, "Subscript out of range");
}

// Column progress for a pass that runs row by row: each column offset is reported once, in
// order, spread over the rows as the work advances.
class ColumnProgress {
public:
    ColumnProgress(IProgressListener* listener, int32_t width, int32_t height)
        : pass_(listener, 3 * (width - 1)), width_(width), height_(height) {}
    void RowDone(int32_t row) {
        if (pass_.Listening()) Emit(static_cast<int32_t>(int64_t{width_} * (row + 1) / height_));
    }
    void Finish() {
        if (pass_.Listening()) Emit(width_);
        pass_.Done();
    }

private:
    void Emit(int32_t upTo) {
        for (; done_ < upTo; ++done_) pass_.Step(3 * done_);
    }
    ProgressPass pass_;
    int32_t width_, height_, done_ = 0;
};

// One row of grey values. Sixteen pixels (48 bytes) at a time, four to a vector with each pixel in
// a 32-bit lane: the weighted sum is exact there, and its single-precision quotient by 1000 is
// exact at every half, so converting with the default rounding (to nearest, ties to even) gives
// the same value as the scalar rule.
#if defined(__SSE2__)
// Four pixels in 12 bytes to their grey triples in 12 bytes.
inline __m128i GreyFour(__m128i v) {
    const __m128i px = sse2::SpreadPixels(v);
    const __m128i br = _mm_and_si128(px, _mm_set1_epi32(0x00FF00FF));  // blue, red as 16-bit
    const __m128i g = _mm_and_si128(_mm_srli_epi32(px, 8), _mm_set1_epi32(0xFF));
    const __m128i sum = _mm_add_epi32(_mm_madd_epi16(br, _mm_set1_epi32(222 << 16 | 71)),
                                      _mm_madd_epi16(g, _mm_set1_epi32(707)));
    const __m128i grey = _mm_cvtps_epi32(_mm_div_ps(_mm_cvtepi32_ps(sum), _mm_set1_ps(1000.0f)));
    return sse2::GatherPixels(_mm_or_si128(_mm_or_si128(grey, _mm_slli_epi32(grey, 8)), _mm_slli_epi32(grey, 16)));
}
#endif

void GrayRow(uint8_t* p, int32_t width) {
    int32_t c = 0;
#if defined(__SSE2__)
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
#endif
    for (uint8_t* q = p + 3 * static_cast<ptrdiff_t>(c); c < width; ++c, q += 3) {
        const uint8_t g = GreyValue(q[2], q[1], q[0]);
        q[0] = q[1] = q[2] = g;
    }
}

inline int Clamp(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The overlap of cTo over cFrom, row by row: the copy-back of the passes.
void CopyBack(const clsDIBSection& cTo, clsDIBSection& cFrom) {
    const int32_t w = std::min(cTo.Width(), cFrom.Width()), h = std::min(cTo.Height(), cFrom.Height());
    if (w <= 0 || h <= 0) return;
    const int32_t toStride = cTo.BytesPerScanLine(), fromStride = cFrom.BytesPerScanLine();
    for (int32_t row = 0; row < h; ++row)
        std::memcpy(cFrom.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * fromStride,
                    cTo.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * toStride, static_cast<size_t>(w) * 3);
}

void CheckPair(const clsDIBSection& cFrom, const clsDIBSection& cTo) {
    if (&cFrom == &cTo) throw ErrorObject(kErrInvalidArgument, kExeName, "Invalid procedure call or argument");
    if (cTo.Width() > 0 && cTo.Height() > 0 && (cFrom.Width() < cTo.Width() || cFrom.Height() < cTo.Height()))
        throw SubscriptError();
}

}  // namespace

void clsColourReduceDIB::GrayScale(clsDIBSection& cDIB) {
    const int32_t width = cDIB.Width(), height = cDIB.Height();
    ColumnProgress progress(ProgressListener(), width, height);
    if (width > 0 && height > 0) {
        const int32_t stride = cDIB.BytesPerScanLine();
        for (int32_t row = 0; row < height; ++row) {
            GrayRow(cDIB.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * stride, width);
            progress.RowDone(row);
        }
    }
    progress.Finish();
}

void clsColourReduceDIB::BlackAndWhite(clsDIBSection& cFrom, clsDIBSection& cTo) {
    CheckPair(cFrom, cTo);
    GrayScale(cFrom);
    const int32_t width = cTo.Width(), height = cTo.Height();
    ColumnProgress progress(ProgressListener(), width, height);
    if (width > 0 && height > 0) {
        const int32_t fromStride = cFrom.BytesPerScanLine(), toStride = cTo.BytesPerScanLine();
        // Errors of the previous and the current row. A pixel (c, row) takes, in this order,
        // 1/16 of (c-1, row-1), 7/16 of (c-1, row) and 5/16 of (c, row-1); the 3/16 share
        // sent down-left lands on a pixel already decided and is dropped. The first and last
        // columns receive nothing.
        std::vector<int> prev(static_cast<size_t>(width), 0), cur(static_cast<size_t>(width), 0);
        for (int32_t row = 0; row < height; ++row) {
            const uint8_t* src = cFrom.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * fromStride;
            uint8_t* dst = cTo.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * toStride;
            for (int32_t c = 0; c < width; ++c) {
                int v = src[3 * c];
                if (c > 0 && c < width - 1) {
                    if (row > 0) v = Clamp(v + prev[static_cast<size_t>(c - 1)] / 16);
                    v = Clamp(v + cur[static_cast<size_t>(c - 1)] * 7 / 16);
                    if (row > 0) v = Clamp(v + prev[static_cast<size_t>(c)] * 5 / 16);
                }
                int e;
                uint8_t out;
                if (v <= 128) {
                    out = 0;
                    e = v <= 16 ? 0 : v;
                } else {
                    out = 255;
                    e = 127 - v;
                }
                dst[3 * c] = dst[3 * c + 1] = dst[3 * c + 2] = out;
                cur[static_cast<size_t>(c)] = e;
            }
            std::swap(prev, cur);
            progress.RowDone(row);
        }
    }
    CopyBack(cTo, cFrom);
    progress.Finish();
}

void clsColourReduceDIB::ApplyPalette(clsDIBSection& cFrom, clsDIBSection& cTo, const clsPalette& cPal,
                                      bool bDiffuseError) {
    CheckPair(cFrom, cTo);
    const int32_t width = cTo.Width(), height = cTo.Height();
    ColumnProgress progress(ProgressListener(), width, height);
    if (width > 0 && height > 0) {
        if (cPal.count() == 0) throw SubscriptError();
        PaletteLookup lookup(cPal);
        // Entry of each index. Index 0 only comes back when every entry is the opposite corner
        // of the cube from the colour; all of them then tie, and the lowest index is taken.
        std::vector<PaletteEntry> byIndex(static_cast<size_t>(cPal.count()) + 1);
        std::copy(cPal.Entries(), cPal.Entries() + cPal.count(), byIndex.begin() + 1);
        byIndex[0] = byIndex[1];
        const PaletteEntry* entries = byIndex.data();
        auto nearest = [&](int r, int g, int b) -> const PaletteEntry& {
            return entries[lookup.Closest(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b))];
        };
        const int32_t fromStride = cFrom.BytesPerScanLine(), toStride = cTo.BytesPerScanLine();
        if (!bDiffuseError) {
            for (int32_t row = 0; row < height; ++row) {
                const uint8_t* src = cFrom.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * fromStride;
                uint8_t* dst = cTo.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * toStride;
                for (int32_t c = 0; c < width; ++c, src += 3, dst += 3) {
                    const PaletteEntry& e = nearest(src[2], src[1], src[0]);
                    dst[0] = e.peBlue;
                    dst[1] = e.peGreen;
                    dst[2] = e.peRed;
                }
                progress.RowDone(row);
            }
        } else {
            // A pixel (c, row) takes 7/16 of the error of (c-1, row) and then 4/16 of that of
            // (c, row-1); the diagonal shares weigh nothing, and errors too small to spread count
            // as 0. `below` holds, per channel (blue, green, red), the 4/16 share each pixel hands
            // to the next row, read and then overwritten as a row advances (row 0 adds zeros,
            // which changes nothing). Each pixel waits on its left neighbour's decision, so
            // kBand rows run together, each one pixel behind the row above: their chains are
            // independent and overlap in the processor.
            constexpr int32_t kBand = 4;
#if defined(__SSE2__)
            // One pixel's three channels side by side in 16-bit lanes (blue, green, red, 0); the
            // shares are truncating divisions by 16, done as an arithmetic shift after adding 15
            // to negative values.
            std::vector<uint32_t> packed(static_cast<size_t>(cPal.count()) + 1);  // blue | green << 8 | red << 16
            for (size_t i = 0; i < packed.size(); ++i)
                packed[i] = uint32_t{entries[i].peBlue} | uint32_t{entries[i].peGreen} << 8 | uint32_t{entries[i].peRed} << 16;
            std::vector<int16_t> below(static_cast<size_t>(width) * 4, 0);  // 4/16 shares, 4 lanes a pixel
            int16_t* share = below.data();
            const __m128i zero = _mm_setzero_si128(), top = _mm_set1_epi16(255), fifteen = _mm_set1_epi16(15);
            const __m128i seven = _mm_set1_epi16(7), channels = _mm_setr_epi16(-1, -1, -1, 0, 0, 0, 0, 0);
            auto sixteenth = [&](__m128i t) { return _mm_srai_epi16(_mm_add_epi16(t, _mm_and_si128(_mm_srai_epi16(t, 15), fifteen)), 4); };
            auto clamp = [&](__m128i v) { return _mm_min_epi16(_mm_max_epi16(v, zero), top); };
            struct Lane {
                const uint8_t* src;
                uint8_t* dst;
                __m128i e;  // error of the pixel to the left
            };
            auto pixel = [&](Lane& l, int32_t c) {
                const size_t k = 3 * static_cast<size_t>(c);
                __m128i v;
                if (c > 0 && c < width - 1) {
                    uint32_t u;  // this pixel and the next one's first byte, which lane 3 ignores
                    std::memcpy(&u, l.src + k, 4);
                    v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(u)), zero);
                    v = clamp(_mm_add_epi16(v, sixteenth(_mm_mullo_epi16(l.e, seven))));
                    v = clamp(_mm_add_epi16(v, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(share + 4 * c))));
                } else {
                    v = _mm_setr_epi16(l.src[k], l.src[k + 1], l.src[k + 2], 0, 0, 0, 0, 0);
                }
                const uint32_t colour = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
                const uint32_t entry = packed[static_cast<size_t>(lookup.Closest(
                    static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)))];
                std::memcpy(l.dst + k, &entry, 3);
                __m128i err = _mm_and_si128(_mm_sub_epi16(v, _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(entry)), zero)), channels);
                const __m128i size = _mm_max_epi16(err, _mm_sub_epi16(zero, err));
                if (_mm_cvtsi128_si32(_mm_sad_epu8(_mm_packus_epi16(size, zero), zero)) <= 3) err = zero;
                l.e = err;
                _mm_storel_epi64(reinterpret_cast<__m128i*>(share + 4 * c), sixteenth(_mm_slli_epi16(err, 2)));
            };
            auto start = [&](int32_t row) {
                return Lane{cFrom.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * fromStride,
                            cTo.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * toStride, zero};
            };
#else
            std::vector<int> below(static_cast<size_t>(width) * 3, 0);
            int* share = below.data();
            struct Lane {
                const uint8_t* src;
                uint8_t* dst;
                int eb, eg, er;  // error of the pixel to the left
            };
            auto pixel = [&](Lane& l, int32_t c) {
                const size_t k = 3 * static_cast<size_t>(c);
                int vb = l.src[k], vg = l.src[k + 1], vr = l.src[k + 2];
                if (c > 0 && c < width - 1) {
                    vb = Clamp(Clamp(vb + l.eb * 7 / 16) + share[k]);
                    vg = Clamp(Clamp(vg + l.eg * 7 / 16) + share[k + 1]);
                    vr = Clamp(Clamp(vr + l.er * 7 / 16) + share[k + 2]);
                }
                const PaletteEntry& e = nearest(vr, vg, vb);
                l.dst[k] = e.peBlue;
                l.dst[k + 1] = e.peGreen;
                l.dst[k + 2] = e.peRed;
                int eb = vb - e.peBlue, eg = vg - e.peGreen, er = vr - e.peRed;
                if (std::abs(eb) + std::abs(eg) + std::abs(er) <= 3) eb = eg = er = 0;
                l.eb = eb, l.eg = eg, l.er = er;
                share[k] = eb * 4 / 16;
                share[k + 1] = eg * 4 / 16;
                share[k + 2] = er * 4 / 16;
            };
            auto start = [&](int32_t row) {
                return Lane{cFrom.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * fromStride,
                            cTo.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * toStride, 0, 0, 0};
            };
#endif
            for (int32_t row0 = 0; row0 < height; row0 += kBand) {
                const int32_t rows = std::min(kBand, height - row0);
                Lane lanes[kBand];
                for (int32_t j = 0; j < rows; ++j) lanes[j] = start(row0 + j);
                int32_t step = 0;
                for (; step < rows - 1; ++step)  // the band's rows start one after another
                    for (int32_t j = 0; j <= step; ++j)
                        if (step - j < width) pixel(lanes[j], step - j);
                if (rows == kBand) {
                    for (; step < width; ++step) {
                        pixel(lanes[0], step);
                        pixel(lanes[1], step - 1);
                        pixel(lanes[2], step - 2);
                        pixel(lanes[3], step - 3);
                    }
                }
                for (; step < width + rows - 1; ++step)  // and finish one after another
                    for (int32_t j = 0; j < rows; ++j)
                        if (step - j >= 0 && step - j < width) pixel(lanes[j], step - j);
                for (int32_t j = 0; j < rows; ++j) progress.RowDone(row0 + j);
            }
        }
    }
    CopyBack(cTo, cFrom);
    progress.Finish();
}

}  // namespace plenvue
