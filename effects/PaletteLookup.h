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
        const int32_t cell = CellOf(red, green, blue);
        if (cellStart_[static_cast<size_t>(cell)] < 0) BuildCell(cell);
        if (cellAnswer_[static_cast<size_t>(cell)] >= 0) return cellAnswer_[static_cast<size_t>(cell)];
        const uint32_t key = (uint32_t{red} << 16 | uint32_t{green} << 8 | blue) + 1;
        CacheSlot& slot = cache_[(key * 2654435761u) >> (32 - kCacheBits)];
        if (slot.key == key) return slot.index;
        const int32_t index = Search(cell, red, green, blue);
        slot = CacheSlot{key, index};
        return index;
    }

private:
    static constexpr int kCellShift = 3;  // 32 cells a side
    static constexpr int kCellsPerSide = 256 >> kCellShift;
    static constexpr int kCacheBits = 14;

    struct CacheSlot {
        uint32_t key;  // colour + 1; 0 is empty
        int32_t index;
    };

    static int32_t CellOf(uint8_t red, uint8_t green, uint8_t blue) {
        return (red >> kCellShift) << (2 * (8 - kCellShift)) | (green >> kCellShift) << (8 - kCellShift) |
               (blue >> kCellShift);
    }
    int32_t Search(int32_t cell, uint8_t red, uint8_t green, uint8_t blue);
    void BuildCell(int32_t cell);

    std::vector<uint8_t> red_, green_, blue_;  // entries that are not repeats of an earlier one
    std::vector<int32_t> index_;               // their palette indices, ascending
    std::vector<int32_t> cellStart_;           // -1 until the cell's candidates are built
    std::vector<int32_t> cellLength_;
    std::vector<int32_t> cellAnswer_;  // the index for the whole cell, or -1
    std::vector<int32_t> candidates_;          // positions into the arrays above
    std::vector<CacheSlot> cache_;
};

}  // namespace plenvue
