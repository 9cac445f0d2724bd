// Fast nearest-colour search that gives exactly clsPalette::ClosestIndex: the colour cube is cut
// into cells, each holding only the entries that can be nearest somewhere inside it; a cell with
// one such entry answers at once, the others search their short list eight entries at a time.
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
        return Search(cell, red, green, blue);
    }

private:
    static constexpr int kCoarseShift = 5;  // 8 cells a side, built from every entry
    static constexpr int kFineShift = 3;    // 32 cells a side, built from their coarse cell's list
    static constexpr int32_t kUnbuilt = -2;
    static constexpr int kGroup = 8;           // entries per search step
    static constexpr int16_t kNowhere = 1000;  // filler component: too far to ever qualify

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

    static int32_t CellOf(int red, int green, int blue, int shift) {
        const int bits = 8 - shift;
        return (red >> shift) << (2 * bits) | (green >> shift) << bits | (blue >> shift);
    }
    static void Build(Grid& grid, int32_t cell, int shift, const Candidate* from, size_t count);
    // The fine cell's list: groups of kGroup reds, greens, blues (16-bit, filled up with kNowhere)
    // and the matching indices.
    void BuildGroups(size_t cell);
    void Prune(size_t cell, int rLo, int gLo, int bLo);
    int32_t Search(size_t cell, uint8_t red, uint8_t green, uint8_t blue) const;
    // Returns the cell's state: its index when one answers for all of it, -1 when it must be
    // searched.
    int32_t BuildFine(int32_t cell);

    std::vector<Candidate> entries_;  // entries that are not repeats of an earlier one, in order
    Grid coarse_, fine_;
    std::vector<int16_t> fineState_;  // one small array, so the common case stays in cache
    std::vector<int32_t> groupStart_, groupCount_;  // per fine cell
    std::vector<int16_t> groups_;
    std::vector<int32_t> groupIndex_;
};

}  // namespace plenvue
