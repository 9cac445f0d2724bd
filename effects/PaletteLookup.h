// Fast nearest-colour search that gives exactly clsPalette::ClosestIndex: the colour cube is cut
// into cells, each holding only the entries that can be nearest somewhere inside it. A cell with
// one such entry answers at once; a fine cell with more is cut again into eight, and a small
// cell that is still ambiguous gets a table of its 64 answers (or, with a long list, is searched
// eight entries at a time).
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
        // One table on the common path: a small cell inside a fine cell with one answer takes
        // that answer when it is built, and a small cell with several holds a table of the
        // answers for its 64 colours. Both are read and one is chosen without a branch.
        const size_t cell = static_cast<size_t>(CellOf(red, green, blue, kSubShift));
        int32_t state = sub_.state[cell];
        if (state == kUnbuilt) state = BuildSub(cell);
        if (state == kSearch) return Search(cell, red, green, blue);
        const int32_t many = state >> 31;  // all ones when the cell has a table
        const size_t table = static_cast<size_t>((kFirstTable - state) & many);
        const int32_t local = (red & 3) << 4 | (green & 3) << 2 | (blue & 3);
        const int32_t fromTable = tables_[table * 64 + static_cast<size_t>(local)];
        return (state & ~many) | (fromTable & many);
    }

private:
    static constexpr int kCoarseShift = 5;  // 8 cells a side, built from every entry
    static constexpr int kFineShift = 3;    // 32 cells a side, built from their coarse cell's list
    static constexpr int kSubShift = 2;     // 64 a side, built from their fine cell's list
    static constexpr int32_t kUnbuilt = -2;
    static constexpr int32_t kSearch = -1;      // a small cell whose list is searched
    static constexpr int32_t kFirstTable = -3;  // kFirstTable - n: the small cell's answers are table n
    static constexpr size_t kMaxTables = 32765;  // bounds the tables' memory (8 MB)
    static constexpr int kGroup = 8;           // entries per search step
    static constexpr int16_t kNowhere = 1000;  // filler component: too far to ever qualify

    struct Candidate {
        uint8_t red, green, blue, unused;
        int32_t index;
    };
    // Cells of one level: the index answering for the whole cell, -1 (look further) or kUnbuilt,
    // and where each cell's candidate list lies in `candidates`.
    struct Level {
        std::vector<int32_t> state;  // 32-bit: a palette may hold more entries than 16 bits name
        std::vector<int32_t> start, length;           // not kept on the last level
        std::vector<Candidate> candidates;
        std::vector<int32_t> groupStart, groupCount;  // search groups, on the last level only
    };

    static int32_t CellOf(int red, int green, int blue, int shift) {
        const int bits = 8 - shift;
        return (red >> shift) << (2 * bits) | (green >> shift) << bits | (blue >> shift);
    }
    // Lists for `cell` of `level` the candidates of `from` that can be nearest in it, in order;
    // returns the state of the cell.
    static int32_t Build(Level& level, size_t cell, int shift, const Candidate* from, size_t count);
    int32_t BuildFine(size_t cell);
    int32_t BuildSub(size_t cell);
    // A sub-cell's list as groups of kGroup reds, greens, blues (16-bit, filled up with
    // kNowhere) and the matching indices.
    void BuildGroups(size_t cell, const Candidate* c, int32_t length);
    int32_t Search(size_t cell, uint8_t red, uint8_t green, uint8_t blue) const;
    // Answers for the 64 colours of a small cell with list c (at most kGroup entries), into a new
    // table; false when there is no room for one.
    bool BuildTable(size_t cell, const Candidate* c, int32_t length);

    std::vector<Candidate> entries_;  // entries that are not repeats of an earlier one, in order
    Level coarse_, fine_, sub_;
    std::vector<int16_t> groups_;
    std::vector<int32_t> groupIndex_;
    std::vector<int32_t> tables_;  // 64 answers each; table 0 is a blank read for other cells
};

}  // namespace plenvue
