// Fast nearest-colour search that gives exactly clsPalette::ClosestIndex: the colour cube is cut
// into cells, each holding only the entries that can be nearest somewhere inside it. A cell with
// one such entry answers at once; a fine cell with more is cut again into eight, and what is
// still ambiguous there is searched in a short list, eight entries at a time.
#pragma once
#include <cstdint>
#include <vector>

#include "effects/clsPalette.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plenvue {

class PaletteLookup {
public:
    explicit PaletteLookup(const clsPalette& palette);

    // Same result as palette.ClosestIndex(red, green, blue) for components 0 … 255.
    int32_t Closest(uint8_t red, uint8_t green, uint8_t blue) {
        // One table on the common path: a small cell inside a fine cell with one answer takes
        // that answer when it is built.
        const size_t cell = static_cast<size_t>(CellOf(red, green, blue, kSubShift));
        int32_t state = sub_.state[cell];
        if (state == kUnbuilt) state = BuildSub(cell);
        if (state >= 0) return state;
#if defined(__SSE2__)
        if (sub_.groupCount[cell] == 1) return SearchOne(cell, red, green, blue);
#endif
        return Search(cell, red, green, blue);
    }

private:
    static constexpr int kCoarseShift = 5;  // 8 cells a side, built from every entry
    static constexpr int kFineShift = 3;    // 32 cells a side, built from their coarse cell's list
    static constexpr int kSubShift = 2;     // 64 a side, built from their fine cell's list
    static constexpr int32_t kUnbuilt = -2;
    static constexpr int kGroup = 8;           // entries per search step
    static constexpr int16_t kNowhere = 1000;  // filler component: too far to ever qualify

    struct Candidate {
        uint8_t red, green, blue, unused;
        int32_t index;
    };
    // Cells of one level: the index answering for the whole cell, -1 (look further) or kUnbuilt,
    // and where each cell's candidate list lies in `candidates`.
    struct Level {
        std::vector<int16_t> state;
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
#if defined(__SSE2__)
    // A list of one group: each lane's key is its distance (capped at 765) times 8 plus the lane,
    // so the least key is the nearest entry, the lowest index among equals.
    int32_t SearchOne(size_t cell, uint8_t red, uint8_t green, uint8_t blue) const {
        const size_t start = static_cast<size_t>(sub_.groupStart[cell]);
        const __m128i* v = reinterpret_cast<const __m128i*>(groups_.data() + start * 3 * kGroup);
        const __m128i zero = _mm_setzero_si128();
        const __m128i dr = _mm_sub_epi16(_mm_loadu_si128(v), _mm_set1_epi16(red));
        const __m128i dg = _mm_sub_epi16(_mm_loadu_si128(v + 1), _mm_set1_epi16(green));
        const __m128i db = _mm_sub_epi16(_mm_loadu_si128(v + 2), _mm_set1_epi16(blue));
        const __m128i d = _mm_add_epi16(_mm_add_epi16(_mm_max_epi16(dr, _mm_sub_epi16(zero, dr)), _mm_max_epi16(dg, _mm_sub_epi16(zero, dg))),
                                        _mm_max_epi16(db, _mm_sub_epi16(zero, db)));
        __m128i key = _mm_or_si128(_mm_slli_epi16(_mm_min_epi16(d, _mm_set1_epi16(765)), 3), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
        key = _mm_min_epi16(key, _mm_shuffle_epi32(key, _MM_SHUFFLE(1, 0, 3, 2)));
        key = _mm_min_epi16(key, _mm_shuffle_epi32(key, _MM_SHUFFLE(2, 3, 0, 1)));
        key = _mm_min_epi16(key, _mm_srli_epi32(key, 16));
        const int32_t k = _mm_cvtsi128_si32(key) & 0xFFFF;
        return k >= 765 * 8 ? 0 : groupIndex_[start * kGroup + static_cast<size_t>(k & 7)];
    }
#endif

    std::vector<Candidate> entries_;  // entries that are not repeats of an earlier one, in order
    Level coarse_, fine_, sub_;
    std::vector<int16_t> groups_;
    std::vector<int32_t> groupIndex_;
};

}  // namespace plenvue
