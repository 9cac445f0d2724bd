// Candidate lists per cell: an entry is kept when its least possible distance to the cell is no
// more than the smallest greatest distance of any entry, so the true nearest (and every entry
// tying with it) survives; keeping them in index order preserves the lowest-index rule. A fine
// cell only needs the candidates of the coarse cell around it, since whatever is nearest at a
// point of the fine cell is nearest at a point of the coarse one.
#include "effects/PaletteLookup.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plenvue {
namespace {

template <class T>
void SizeGrid(std::vector<T>& v, int shift, T fill) {
    const size_t side = size_t{256} >> shift;
    v.assign(side * side * side, fill);
}

}  // namespace

PaletteLookup::PaletteLookup(const clsPalette& palette) {
    std::unordered_set<uint32_t> seen;
    const PaletteEntry* e = palette.Entries();
    for (int32_t i = 0; i < palette.count(); ++i) {
        const uint32_t key = uint32_t{e[i].peRed} << 16 | uint32_t{e[i].peGreen} << 8 | e[i].peBlue;
        if (!seen.insert(key).second) continue;  // a repeat never beats its first occurrence
        entries_.push_back(Candidate{e[i].peRed, e[i].peGreen, e[i].peBlue, 0, i + 1});
    }
    for (Grid* g : {&coarse_, &fine_}) {
        const int shift = g == &coarse_ ? kCoarseShift : kFineShift;
        SizeGrid(g->start, shift, -1);
        SizeGrid(g->length, shift, 0);
        SizeGrid(g->answer, shift, -1);
    }
    SizeGrid(fineState_, kFineShift, static_cast<int16_t>(kUnbuilt));
    SizeGrid(groupStart_, kFineShift, 0);
    SizeGrid(groupCount_, kFineShift, 0);
}

void PaletteLookup::Build(Grid& grid, int32_t cell, int shift, const Candidate* from, size_t count) {
    const int bits = 8 - shift, side = 1 << shift;
    const int rLo = (cell >> (2 * bits)) << shift;
    const int gLo = ((cell >> bits) & ((1 << bits) - 1)) << shift;
    const int bLo = (cell & ((1 << bits) - 1)) << shift;
    auto nearest = [side](int v, int lo) { return v < lo ? lo - v : (v > lo + side - 1 ? v - (lo + side - 1) : 0); };
    auto farthest = [side](int v, int lo) { return std::max(std::abs(v - lo), std::abs(v - (lo + side - 1))); };
    int bound = 1 << 30;
    for (size_t k = 0; k < count; ++k)
        bound = std::min(bound, farthest(from[k].red, rLo) + farthest(from[k].green, gLo) + farthest(from[k].blue, bLo));
    const size_t c = static_cast<size_t>(cell);
    grid.start[c] = static_cast<int32_t>(grid.candidates.size());
    for (size_t k = 0; k < count; ++k)
        if (nearest(from[k].red, rLo) + nearest(from[k].green, gLo) + nearest(from[k].blue, bLo) <= bound)
            grid.candidates.push_back(from[k]);
    grid.length[c] = static_cast<int32_t>(grid.candidates.size()) - grid.start[c];
    // One candidate answers for the whole cell, unless somewhere in it the candidate reaches
    // distance 765, where no entry qualifies.
    if (grid.length[c] == 1) {
        const Candidate& only = grid.candidates.back();
        if (farthest(only.red, rLo) + farthest(only.green, gLo) + farthest(only.blue, bLo) < 765)
            grid.answer[c] = only.index;
    }
}

int32_t PaletteLookup::BuildFine(int32_t cell) {
    const int fineBits = 8 - kFineShift, down = kCoarseShift - kFineShift;
    const int r = cell >> (2 * fineBits), g = (cell >> fineBits) & ((1 << fineBits) - 1),
              b = cell & ((1 << fineBits) - 1);
    const int coarseBits = 8 - kCoarseShift;
    const int32_t parent = (r >> down) << (2 * coarseBits) | (g >> down) << coarseBits | (b >> down);
    const size_t p = static_cast<size_t>(parent);
    if (coarse_.start[p] < 0) Build(coarse_, parent, kCoarseShift, entries_.data(), entries_.size());
    // Copy the parent's list out first: building the fine cell may grow the candidate store.
    std::vector<Candidate> list(coarse_.candidates.begin() + coarse_.start[p],
                                coarse_.candidates.begin() + coarse_.start[p] + coarse_.length[p]);
    Build(fine_, cell, kFineShift, list.data(), list.size());
    const size_t c = static_cast<size_t>(cell);
    if (fine_.length[c] > 1) Prune(c, r << kFineShift, g << kFineShift, b << kFineShift);
    const int32_t answer = fine_.answer[c];
    if (answer < 0) BuildGroups(c);
    fineState_[c] = static_cast<int16_t>(answer);
    return answer;
}

namespace {

// Largest value of |x - a| - |x - b| for x in [lo, hi]: the function is piecewise linear with
// corners at a and b, so the largest value is at an end or a corner.
int MostAhead(int a, int b, int lo, int hi) {
    auto f = [&](int x) { return std::abs(x - a) - std::abs(x - b); };
    return std::max({f(lo), f(hi), f(std::clamp(a, lo, hi)), f(std::clamp(b, lo, hi))});
}

}  // namespace

// Drops every candidate that the one nearest the cell's middle beats at every point of the cell
// (a tie counts for the lower index): the distance difference splits into one term per
// component, so its largest value over the cell is the sum of each term's largest. Such a
// candidate is never the answer there. When nothing else is left, the cell has one answer.
void PaletteLookup::Prune(size_t cell, int rLo, int gLo, int bLo) {
    const int side = 1 << kFineShift;
    Candidate* c = fine_.candidates.data() + fine_.start[cell];
    const int32_t length = fine_.length[cell];
    const int rm = rLo + side / 2, gm = gLo + side / 2, bm = bLo + side / 2;
    int32_t lead = 0;
    int leadDistance = 1 << 30;
    for (int32_t k = 0; k < length; ++k) {
        const int d = std::abs(rm - c[k].red) + std::abs(gm - c[k].green) + std::abs(bm - c[k].blue);
        if (d < leadDistance) lead = k, leadDistance = d;
    }
    const Candidate a = c[lead];
    int32_t kept = 0;
    for (int32_t k = 0; k < length; ++k) {
        if (k != lead) {
            const Candidate& b = c[k];
            const int ahead = MostAhead(a.red, b.red, rLo, rLo + side - 1) +
                              MostAhead(a.green, b.green, gLo, gLo + side - 1) +
                              MostAhead(a.blue, b.blue, bLo, bLo + side - 1);
            if (ahead < 0 || (ahead == 0 && a.index < b.index)) continue;
        }
        c[kept++] = c[k];
    }
    fine_.length[cell] = kept;
    fine_.candidates.resize(static_cast<size_t>(fine_.start[cell] + kept));
    if (kept == 1) {
        // As in Build: one answer unless the candidate reaches distance 765 somewhere in the cell.
        auto farthest = [side](int v, int lo) { return std::max(std::abs(v - lo), std::abs(v - (lo + side - 1))); };
        if (farthest(a.red, rLo) + farthest(a.green, gLo) + farthest(a.blue, bLo) < 765) fine_.answer[cell] = a.index;
    }
}

void PaletteLookup::BuildGroups(size_t cell) {
    const Candidate* c = fine_.candidates.data() + fine_.start[cell];
    const int32_t length = fine_.length[cell];
    const int32_t count = (length + kGroup - 1) / kGroup;
    groupStart_[cell] = static_cast<int32_t>(groupIndex_.size()) / kGroup;
    groupCount_[cell] = count;
    for (int32_t g = 0; g < count; ++g) {
        for (int ch = 0; ch < 3; ++ch)
            for (int32_t k = g * kGroup; k < (g + 1) * kGroup; ++k)
                groups_.push_back(k < length ? (ch == 0 ? c[k].red : ch == 1 ? c[k].green : c[k].blue) : kNowhere);
        for (int32_t k = g * kGroup; k < (g + 1) * kGroup; ++k) groupIndex_.push_back(k < length ? c[k].index : 0);
    }
}

// The first entry (lowest index) at the least distance, when that distance is below 765.
int32_t PaletteLookup::Search(size_t cell, uint8_t red, uint8_t green, uint8_t blue) const {
    const int16_t* g = groups_.data() + static_cast<size_t>(groupStart_[cell]) * 3 * kGroup;
    const int32_t* index = groupIndex_.data() + static_cast<size_t>(groupStart_[cell]) * kGroup;
    const int32_t count = groupCount_[cell];
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i qr = _mm_set1_epi16(red), qg = _mm_set1_epi16(green), qb = _mm_set1_epi16(blue);
    auto distance = [&](const int16_t* p) {
        const __m128i* v = reinterpret_cast<const __m128i*>(p);
        const __m128i dr = _mm_sub_epi16(_mm_loadu_si128(v), qr);
        const __m128i dg = _mm_sub_epi16(_mm_loadu_si128(v + 1), qg);
        const __m128i db = _mm_sub_epi16(_mm_loadu_si128(v + 2), qb);
        return _mm_add_epi16(_mm_add_epi16(_mm_max_epi16(dr, _mm_sub_epi16(zero, dr)), _mm_max_epi16(dg, _mm_sub_epi16(zero, dg))),
                             _mm_max_epi16(db, _mm_sub_epi16(zero, db)));
    };
    __m128i m = _mm_set1_epi16(765);
    for (int32_t k = 0; k < count; ++k) m = _mm_min_epi16(m, distance(g + 3 * kGroup * k));
    m = _mm_min_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
    m = _mm_min_epi16(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
    m = _mm_min_epi16(m, _mm_srli_epi32(m, 16));
    const int32_t best = _mm_cvtsi128_si32(m) & 0xFFFF;
    if (best >= 765) return 0;
    const __m128i bestv = _mm_set1_epi16(static_cast<int16_t>(best));
    for (int32_t k = 0;; ++k) {
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(distance(g + 3 * kGroup * k), bestv));
        if (mask) return index[kGroup * k + __builtin_ctz(static_cast<unsigned>(mask)) / 2];
    }
#else
    int32_t best = 0;
    int bestDistance = 765;
    for (int32_t k = 0; k < count * kGroup; ++k) {
        const int16_t* p = g + (k / kGroup) * 3 * kGroup + k % kGroup;
        const int d = std::abs(red - p[0]) + std::abs(green - p[kGroup]) + std::abs(blue - p[2 * kGroup]);
        best = d < bestDistance ? index[k] : best;
        bestDistance = d < bestDistance ? d : bestDistance;
    }
    return best;
#endif
}

}  // namespace plenvue
