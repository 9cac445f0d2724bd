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
#include "effects/ColourReduceSse2.h"
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

// One row of grey values.
void GrayRow(uint8_t* p, int32_t width) {
    int32_t c = 0;
#if defined(__SSE2__)
    c = sse2::GreyRowSpan(p, width);
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
            sse2::PaletteDiffusion<PaletteLookup> diffusion(entries, cPal.count(), width, lookup);
            using Lane = decltype(diffusion)::Lane;
            auto pixel = [&](Lane& l, int32_t c) { diffusion.Pixel(l, c); };
            auto start = [&](int32_t row) {
                return diffusion.Start(cFrom.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * fromStride,
                                       cTo.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * toStride);
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
