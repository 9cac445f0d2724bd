// The PNG writer's buffer arithmetic against exact 64-bit sums, for the native and the Windows
// tests (whose 32-bit build has the smaller address space): widths dense at the small end, around
// every power of two and where a row just fits and just does not.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "image/PngWriter.h"

namespace plenvue::test {

// How many widths PngLayoutFor answers wrongly for `bits` per pixel; `first` is the first of them.
inline int64_t PngLayoutFaults(int32_t bits, int64_t& first) {
    const uint64_t limit = std::min<uint64_t>(SIZE_MAX / 2, 0xFFFFFFFFu);
    auto check = [&](int64_t width) {
        PngLayout layout;
        const bool ok = PngLayoutFor(static_cast<int32_t>(width), bits, layout);
        const uint64_t row = (static_cast<uint64_t>(width) * bits + 7) / 8;
        const uint64_t scratch = bits == 24 ? 5 * row : 0;
        const bool fits = row + 1 <= 0xFFFFFFFFu && scratch <= SIZE_MAX / 2 && row + 3 <= limit &&
                          std::max<uint64_t>(row + 1, 1u << 17) <= limit;
        if (ok != fits) return false;
        if (!ok) return true;
        return layout.rowBytes == row && layout.scratchBytes == scratch && layout.batchBytes >= row + 1 &&
               layout.bitDepth == (bits == 24 ? 8 : bits);
    };
    std::vector<int64_t> widths;
    for (int64_t w = 1; w <= 70000; ++w) widths.push_back(w);
    for (int shift = 17; shift <= 31; ++shift)
        for (int64_t d = -3000; d <= 3000; ++d) {
            const int64_t w = (int64_t(1) << shift) + d;
            if (w >= 1 && w <= INT32_MAX) widths.push_back(w);
        }
    const int64_t edge = static_cast<int64_t>((limit - 3) * 8 / static_cast<uint64_t>(bits));
    for (int64_t d = -3000; d <= 3000; ++d)
        if (edge + d >= 1 && edge + d <= INT32_MAX) widths.push_back(edge + d);
    int64_t wrong = 0;
    first = 0;
    for (int64_t w : widths)
        if (!check(w) && wrong++ == 0) first = w;
    return wrong;
}

}  // namespace plenvue::test
