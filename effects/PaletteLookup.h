// Fast nearest-colour search that gives exactly clsPalette::ClosestIndex: the colour cube is cut
// into cells, each holding only the entries that can be nearest somewhere inside it, and
// recent answers are remembered.
#pragma once
#include <cstdint>
#include <vector>

#include "effects/clsPalette.h"

namespace plenvue {

class PaletteLookup {
public:
    explicit PaletteLookup(const clsPalette& palette);

    // Same result as palette.ClosestIndex(red, green, blue) for components 0 … 255.
    int32_t Closest(uint8_t red, uint8_t green, uint8_t blue) {
        const size_t cell = static_cast<size_t>(CellOf(red, green, blue, kFineShift));
        int32_t state = fineState_[cell];
        if (state == kUnbuilt) state = BuildFine(static_cast<int32_t>(cell));
        if (state >= 0) return state;
        const uint32_t key = (uint32_t{red} << 16 | uint32_t{green} << 8 | blue) + 1;
        CacheSlot& slot = cache_[(key * 2654435761u) >> (32 - kCacheBits)];
        if (slot.key == key) return slot.index;
        const int32_t index = Search(fine_, cell, red, green, blue);
        slot = CacheSlot{key, index};
        return index;
    }

private:
    static constexpr int kCoarseShift = 5;  // 8 cells a side, built from every entry
    static constexpr int kFineShift = 3;    // 32 cells a side, built from their coarse cell's list
    static constexpr int32_t kUnbuilt = -2;
    static constexpr int kCacheBits = 14;

    struct Candidate {
        uint8_t red, green, blue, unused;
        int32_t index;
    };
    struct Grid {
        std::vector<int32_t> start;   // -1 until built
        std::vector<int32_t> length;
        std::vector<int32_t> answer;  // the index for the whole cell, or -1
        std::vector<Candidate> candidates;
    };
    struct CacheSlot {
        uint32_t key;  // colour + 1; 0 is empty
        int32_t index;
    };

    static int32_t CellOf(int red, int green, int blue, int shift) {
        const int bits = 8 - shift;
        return (red >> shift) << (2 * bits) | (green >> shift) << bits | (blue >> shift);
    }
    static void Build(Grid& grid, int32_t cell, int shift, const Candidate* from, size_t count);
    static int32_t Search(const Grid& grid, size_t cell, uint8_t red, uint8_t green, uint8_t blue);
    // Returns the cell's state: its index when one answers for all of it, -1 when it must be
    // searched.
    int32_t BuildFine(int32_t cell);

    std::vector<Candidate> entries_;  // entries that are not repeats of an earlier one, in order
    Grid coarse_, fine_;
    std::vector<int32_t> fineState_;  // one small array, so the common case stays in cache
    std::vector<CacheSlot> cache_;
};

}  // namespace plenvue
