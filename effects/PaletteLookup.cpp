// Candidate lists per cell: an entry is kept when its least possible distance to the cell is no
// more than the smallest greatest distance of any entry, so the true nearest (and every entry
// tying with it) survives; keeping them in index order preserves the lowest-index rule.
#include "effects/PaletteLookup.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace plenvue {

PaletteLookup::PaletteLookup(const clsPalette& palette)
    : cellStart_(kCellsPerSide * kCellsPerSide * kCellsPerSide, -1),
      cellLength_(kCellsPerSide * kCellsPerSide * kCellsPerSide, 0),
      cellAnswer_(kCellsPerSide * kCellsPerSide * kCellsPerSide, -1),
      cache_(size_t{1} << kCacheBits, CacheSlot{0, 0}) {
    std::unordered_set<uint32_t> seen;
    const PaletteEntry* e = palette.Entries();
    for (int32_t i = 0; i < palette.count(); ++i) {
        const uint32_t key = uint32_t{e[i].peRed} << 16 | uint32_t{e[i].peGreen} << 8 | e[i].peBlue;
        if (!seen.insert(key).second) continue;  // a repeat never beats its first occurrence
        red_.push_back(e[i].peRed);
        green_.push_back(e[i].peGreen);
        blue_.push_back(e[i].peBlue);
        index_.push_back(i + 1);
    }
}

void PaletteLookup::BuildCell(int32_t cell) {
    constexpr int side = 1 << kCellShift;
    const int rLo = (cell >> (2 * (8 - kCellShift))) << kCellShift;
    const int gLo = ((cell >> (8 - kCellShift)) & (kCellsPerSide - 1)) << kCellShift;
    const int bLo = (cell & (kCellsPerSide - 1)) << kCellShift;
    auto nearest = [](int v, int lo) { return v < lo ? lo - v : (v > lo + side - 1 ? v - (lo + side - 1) : 0); };
    auto farthest = [](int v, int lo) { return std::max(std::abs(v - lo), std::abs(v - (lo + side - 1))); };
    const size_t n = red_.size();
    int bound = 1 << 30;
    for (size_t k = 0; k < n; ++k)
        bound = std::min(bound, farthest(red_[k], rLo) + farthest(green_[k], gLo) + farthest(blue_[k], bLo));
    cellStart_[static_cast<size_t>(cell)] = static_cast<int32_t>(candidates_.size());
    for (size_t k = 0; k < n; ++k)
        if (nearest(red_[k], rLo) + nearest(green_[k], gLo) + nearest(blue_[k], bLo) <= bound)
            candidates_.push_back(static_cast<int32_t>(k));
    cellLength_[static_cast<size_t>(cell)] =
        static_cast<int32_t>(candidates_.size()) - cellStart_[static_cast<size_t>(cell)];
    // One candidate answers for the whole cell, unless somewhere in it the candidate reaches
    // distance 765, where no entry qualifies.
    if (cellLength_[static_cast<size_t>(cell)] == 1) {
        const size_t k = static_cast<size_t>(candidates_.back());
        if (farthest(red_[k], rLo) + farthest(green_[k], gLo) + farthest(blue_[k], bLo) < 765)
            cellAnswer_[static_cast<size_t>(cell)] = index_[k];
    }
}

int32_t PaletteLookup::Search(int32_t cell, uint8_t red, uint8_t green, uint8_t blue) {
    const int32_t* c = candidates_.data() + cellStart_[static_cast<size_t>(cell)];
    const int32_t length = cellLength_[static_cast<size_t>(cell)];
    int32_t best = 0;
    int bestDistance = 765;
    for (int32_t k = 0; k < length; ++k) {
        const size_t p = static_cast<size_t>(c[k]);
        const int d = std::abs(red - red_[p]) + std::abs(green - green_[p]) + std::abs(blue - blue_[p]);
        if (d < bestDistance) {
            bestDistance = d;
            best = index_[p];
            if (d == 0) break;
        }
    }
    return best;
}

}  // namespace plenvue
