// Filters and point effects. Each pass has two forms:
//  - an exact form that visits columns outer, rows inner with checked 32-bit arithmetic; it runs
//    whenever an argument makes an error reachable, so that the bytes written before the error are
//    the ones the visiting order dictates;
//  - a fast form (row-major, SSE2 where it pays) for arguments that cannot fail. Every output byte
//    depends only on source bytes, and a source row is overwritten (by the copy-back into the
//    picture) only after the last row that reads it, so the order does not change results.
// The SSE2 spans are in ImageProcessSse2.h and HlsSse2.h; this file picks them.
// With a progress listener the fast forms run in strips of columns and report each column of a
// strip after the strip; without one they run over the whole width.
#include "effects/clsImageProcessDIB.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "effects/HlsSse2.h"
#include "effects/ImageProcessSse2.h"
#include "effects/ImageView.h"
#include "effects/modHLSRGB.h"
#include "base/Arith.h"
#include "image/Rnd.h"

#if defined(__SSE2__)
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

using imageprocess::View;

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
    if (b1 - b0 >= 16) {
        sse2::KernelSpan(fk, tp, out, b0, b1);
        return;
    }
#endif
    for (; b < b1; ++b) {
        int32_t s = 0;
        for (int32_t t = 0; t < fk.taps; ++t) s += fk.k[t] * tp[t][b];
        out[b] = ClampByte(std::max(s, 0) / d);
    }
}

// 3x3 minimum (kMin) or maximum over bytes [b0, b1) of row y.
template <bool kMin>
void RankSpan(const View& src, const View& dst, int32_t y, int32_t b0, int32_t b1) {
    const uint8_t* r[3] = {src.Row(y - 1), src.Row(y), src.Row(y + 1)};
    uint8_t* out = dst.Row(y);
    int32_t b = b0;
#if PLENVUE_SSE2
    if (b1 - b0 >= 16) {
        sse2::RankSpan<kMin>(r, out, b0, b1);
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
            if (fk.ringHalf == 1) sse2::RingSpan<1>(fk, src, dst, y, b0, b1, sums.data(), sums.data() + n);
            else sse2::RingSpan<2>(fk, src, dst, y, b0, b1, sums.data(), sums.data() + n);
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
    const sse2::AddImagesRows fast(fo, too, fm, tm);
#endif
    for (int32_t y = 0; y < H; ++y) {
        const uint8_t* f = from.Row(y);
        uint8_t* t = to.Row(y);
        int32_t b = 0;
#if PLENVUE_SSE2
        // Within 16 bits every intermediate is exact.
        if (bound <= 32767) b = fast.Row(f, t, n);
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
            b = sse2::FadeSpan(row, b, b1, lAmount);
#endif
            for (; b < b1; ++b) row[b] = static_cast<uint8_t>(row[b] * lAmount / 255);
        }
    });
    pass.Done();
}

namespace {

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
            x = sse2::HlsSpan(row, x, end, rowBytes, op, pixel);
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
    void Four(sse2::Hls4& v) const { sse2::LightenFour(v, factor); }
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
    void Four(sse2::Hls4& v) const { sse2::ColouriseFour(v, hue, saturation); }
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
