// Candidate lists per cell: an entry is kept when its least possible distance to the cell is no
// more than the smallest greatest distance of any entry, so the true nearest (and every entry
// tying with it) survives; keeping them in index order preserves the lowest-index rule. A fine
// cell only needs the candidates of the coarse cell around it, since whatever is nearest at a
// point of the fine cell is nearest at a point of the coarse one.
#include "effects/PaletteLookup.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace plenvue {
namespace {

void SizeGrid(std::vector<int32_t>& v, int shift, int32_t fill) {
    const size_t side = size_t{256} >> shift;
    v.assign(side * side * side, fill);
}

}  // namespace

PaletteLookup::PaletteLookup(const clsPalette& palette) : cache_(size_t{1} << kCacheBits, CacheSlot{0, 0}) {
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
    SizeGrid(fineState_, kFineShift, kUnbuilt);
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
    return fineState_[static_cast<size_t>(cell)] = fine_.answer[static_cast<size_t>(cell)];
}

int32_t PaletteLookup::Search(const Grid& grid, size_t cell, uint8_t red, uint8_t green, uint8_t blue) {
    const Candidate* c = grid.candidates.data() + grid.start[cell];
    const int32_t length = grid.length[cell];
    int32_t best = 0;
    int bestDistance = 765;
    for (int32_t k = 0; k < length; ++k) {
        const int d = std::abs(red - c[k].red) + std::abs(green - c[k].green) + std::abs(blue - c[k].blue);
        // No early exit on an exact match: it is the strict minimum anyway, and the loop
        // without branches is faster on the short lists.
        best = d < bestDistance ? c[k].index : best;
        bestDistance = d < bestDistance ? d : bestDistance;
    }
    return best;
}

}  // namespace plenvue
