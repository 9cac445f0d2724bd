// Candidate lists per cell: an entry is kept when its least possible distance to the cell is no
// more than the smallest greatest distance of any entry, so the true nearest (and every entry
// tying with it) survives; keeping them in index order preserves the lowest-index rule. A cell
// only needs the candidates of the larger cell around it, since whatever is nearest at a point
// of the small cell is nearest at a point of the large one. Then every candidate that the one
// nearest the cell's middle beats at every point of the cell (a tie counts for the lower index)
// is dropped: it is never the answer there.
#include "effects/PaletteLookup.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plenvue {
namespace {

void SizeLevel(std::vector<int32_t>& state, std::vector<int32_t>& start, std::vector<int32_t>& length, int shift) {
    const size_t side = size_t{256} >> shift, cells = side * side * side;
    state.assign(cells, -2);
    start.assign(cells, 0);
    length.assign(cells, 0);
}

// Largest value of |x - a| - |x - b| for x in [lo, hi]: the function is piecewise linear with
// corners at a and b, so the largest value is at an end or a corner.
int MostAhead(int a, int b, int lo, int hi) {
    auto f = [&](int x) { return std::abs(x - a) - std::abs(x - b); };
    return std::max({f(lo), f(hi), f(std::clamp(a, lo, hi)), f(std::clamp(b, lo, hi))});
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
    SizeLevel(coarse_.state, coarse_.start, coarse_.length, kCoarseShift);
    SizeLevel(fine_.state, fine_.start, fine_.length, kFineShift);
    const size_t subSide = size_t{256} >> kSubShift;
    sub_.state.assign(subSide * subSide * subSide, kUnbuilt);
    sub_.groupStart.assign(sub_.state.size(), 0);
    tables_.assign(64, 0);
    sub_.groupCount.assign(sub_.state.size(), 0);
}

int32_t PaletteLookup::Build(Level& level, size_t cell, int shift, const Candidate* from, size_t count) {
    const int bits = 8 - shift, side = 1 << shift, mask = (1 << bits) - 1;
    const int c = static_cast<int>(cell);
    const int rLo = (c >> (2 * bits)) << shift, gLo = ((c >> bits) & mask) << shift, bLo = (c & mask) << shift;
    auto nearest = [side](int v, int lo) { return v < lo ? lo - v : (v > lo + side - 1 ? v - (lo + side - 1) : 0); };
    auto farthest = [side](int v, int lo) { return std::max(std::abs(v - lo), std::abs(v - (lo + side - 1))); };
    int bound = 1 << 30;
    for (size_t k = 0; k < count; ++k)
        bound = std::min(bound, farthest(from[k].red, rLo) + farthest(from[k].green, gLo) + farthest(from[k].blue, bLo));
    const size_t first = level.candidates.size();
    for (size_t k = 0; k < count; ++k)
        if (nearest(from[k].red, rLo) + nearest(from[k].green, gLo) + nearest(from[k].blue, bLo) <= bound)
            level.candidates.push_back(from[k]);
    Candidate* list = level.candidates.data() + first;
    const int32_t length = static_cast<int32_t>(level.candidates.size() - first);
    int32_t kept = length;
    if (length > 1) {
        const int rm = rLo + side / 2, gm = gLo + side / 2, bm = bLo + side / 2;
        int32_t lead = 0;
        int leadDistance = 1 << 30;
        for (int32_t k = 0; k < length; ++k) {
            const int d = std::abs(rm - list[k].red) + std::abs(gm - list[k].green) + std::abs(bm - list[k].blue);
            if (d < leadDistance) lead = k, leadDistance = d;
        }
        const Candidate a = list[lead];
        kept = 0;
        for (int32_t k = 0; k < length; ++k) {
            if (k != lead) {
                const Candidate& b = list[k];
                // The distance difference splits into one term per component, so its largest
                // value over the cell is the sum of each term's largest.
                const int ahead = MostAhead(a.red, b.red, rLo, rLo + side - 1) +
                                  MostAhead(a.green, b.green, gLo, gLo + side - 1) +
                                  MostAhead(a.blue, b.blue, bLo, bLo + side - 1);
                if (ahead < 0 || (ahead == 0 && a.index < b.index)) continue;
            }
            list[kept++] = list[k];
        }
        level.candidates.resize(first + static_cast<size_t>(kept));
    }
    if (!level.start.empty()) {
        level.start[cell] = static_cast<int32_t>(first);
        level.length[cell] = kept;
    }
    int32_t state = -1;
    // One candidate answers for the whole cell, unless somewhere in it the candidate reaches
    // distance 765, where no entry qualifies.
    if (kept == 1) {
        const Candidate& only = level.candidates[first];
        if (farthest(only.red, rLo) + farthest(only.green, gLo) + farthest(only.blue, bLo) < 765) state = only.index;
    }
    level.state[cell] = state;
    return state;
}

int32_t PaletteLookup::BuildFine(size_t cell) {
    const int fineBits = 8 - kFineShift, down = kCoarseShift - kFineShift, coarseBits = 8 - kCoarseShift;
    const int c = static_cast<int>(cell), mask = (1 << fineBits) - 1;
    const int r = c >> (2 * fineBits), g = (c >> fineBits) & mask, b = c & mask;
    const size_t parent = static_cast<size_t>((r >> down) << (2 * coarseBits) | (g >> down) << coarseBits | (b >> down));
    if (coarse_.state[parent] == kUnbuilt) Build(coarse_, parent, kCoarseShift, entries_.data(), entries_.size());
    return Build(fine_, cell, kFineShift, coarse_.candidates.data() + coarse_.start[parent],
                 static_cast<size_t>(coarse_.length[parent]));
}

int32_t PaletteLookup::BuildSub(size_t cell) {
    const int subBits = 8 - kSubShift, down = kFineShift - kSubShift, fineBits = 8 - kFineShift;
    const int c = static_cast<int>(cell), mask = (1 << subBits) - 1;
    const int r = c >> (2 * subBits), g = (c >> subBits) & mask, b = c & mask;
    const size_t parent = static_cast<size_t>((r >> down) << (2 * fineBits) | (g >> down) << fineBits | (b >> down));
    int32_t state = fine_.state[parent];
    if (state == kUnbuilt) state = BuildFine(parent);
    if (state >= 0) return sub_.state[cell] = state;
    // The fine cell's list lives in another store, so it stays put while this one grows.
    state = Build(sub_, cell, kSubShift, fine_.candidates.data() + fine_.start[parent],
                  static_cast<size_t>(fine_.length[parent]));
    // The list is only needed for the table or as search groups.
    const Candidate* list = sub_.candidates.data();
    const int32_t length = static_cast<int32_t>(sub_.candidates.size());
    if (state < 0) {
        if (BuildTable(cell, list, length)) {
            state = sub_.state[cell];
        } else {
            BuildGroups(cell, list, length);
            sub_.state[cell] = kSearch;
        }
    }
    sub_.candidates.clear();
    return state;
}

bool PaletteLookup::BuildTable(size_t cell, const Candidate* c, int32_t length) {
    const size_t number = tables_.size() / 64;
    if (length > kGroup || number > kMaxTables) return false;
    const int bits = 8 - kSubShift, mask = (1 << bits) - 1, cl = static_cast<int>(cell);
    const int rLo = (cl >> (2 * bits)) << kSubShift, gLo = ((cl >> bits) & mask) << kSubShift, bLo = (cl & mask) << kSubShift;
    int32_t answers[64];
#if defined(__SSE2__)
    // Each lane one candidate (filler lanes far away); per component the four distances of the
    // cell's values, so a colour's distances are three additions. The least key (distance,
    // capped at 765, times 8 plus the lane) is the nearest candidate, the lowest index among equals.
    int16_t comp[3][kGroup];
    for (int32_t k = 0; k < kGroup; ++k) {
        comp[0][k] = k < length ? c[k].red : kNowhere;
        comp[1][k] = k < length ? c[k].green : kNowhere;
        comp[2][k] = k < length ? c[k].blue : kNowhere;
    }
    const __m128i zero = _mm_setzero_si128(), cap = _mm_set1_epi16(765), lanes = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    __m128i dist[3][4];
    const int lo[3] = {rLo, gLo, bLo};
    for (int ch = 0; ch < 3; ++ch) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(comp[ch]));
        for (int i = 0; i < 4; ++i) {
            const __m128i d = _mm_sub_epi16(v, _mm_set1_epi16(static_cast<int16_t>(lo[ch] + i)));
            dist[ch][i] = _mm_max_epi16(d, _mm_sub_epi16(zero, d));
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            const __m128i rg = _mm_add_epi16(dist[0][i], dist[1][j]);
            for (int k = 0; k < 4; ++k) {
                const __m128i d = _mm_min_epi16(_mm_add_epi16(rg, dist[2][k]), cap);
                __m128i key = _mm_or_si128(_mm_slli_epi16(d, 3), lanes);
                key = _mm_min_epi16(key, _mm_shuffle_epi32(key, _MM_SHUFFLE(1, 0, 3, 2)));
                key = _mm_min_epi16(key, _mm_shuffle_epi32(key, _MM_SHUFFLE(2, 3, 0, 1)));
                key = _mm_min_epi16(key, _mm_srli_epi32(key, 16));
                const int32_t best = _mm_cvtsi128_si32(key) & 0xFFFF;
                answers[i << 4 | j << 2 | k] = best >= 765 * 8 ? 0 : c[best & 7].index;
            }
        }
#else
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) {
                int32_t best = 0;
                int bestDistance = 765;
                for (int32_t n = 0; n < length; ++n) {
                    const int d = std::abs(rLo + i - c[n].red) + std::abs(gLo + j - c[n].green) + std::abs(bLo + k - c[n].blue);
                    if (d < bestDistance) best = c[n].index, bestDistance = d;
                }
                answers[i << 4 | j << 2 | k] = best;
            }
#endif
    tables_.insert(tables_.end(), answers, answers + 64);
    sub_.state[cell] = kFirstTable - static_cast<int32_t>(number);
    return true;
}

void PaletteLookup::BuildGroups(size_t cell, const Candidate* c, int32_t length) {
    const int32_t count = (length + kGroup - 1) / kGroup;
    sub_.groupStart[cell] = static_cast<int32_t>(groupIndex_.size()) / kGroup;
    sub_.groupCount[cell] = count;
    for (int32_t g = 0; g < count; ++g) {
        for (int ch = 0; ch < 3; ++ch)
            for (int32_t k = g * kGroup; k < (g + 1) * kGroup; ++k)
                groups_.push_back(k < length ? (ch == 0 ? c[k].red : ch == 1 ? c[k].green : c[k].blue) : kNowhere);
        for (int32_t k = g * kGroup; k < (g + 1) * kGroup; ++k) groupIndex_.push_back(k < length ? c[k].index : 0);
    }
}

// The first entry (lowest index) at the least distance, when that distance is below 765.
int32_t PaletteLookup::Search(size_t cell, uint8_t red, uint8_t green, uint8_t blue) const {
    const int16_t* g = groups_.data() + static_cast<size_t>(sub_.groupStart[cell]) * 3 * kGroup;
    const int32_t* index = groupIndex_.data() + static_cast<size_t>(sub_.groupStart[cell]) * kGroup;
    const int32_t count = sub_.groupCount[cell];
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
