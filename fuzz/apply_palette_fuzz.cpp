// libFuzzer target: ApplyPalette with hostile palettes (long runs of repeats, indices past 16 bits,
// opposite corners, one entry) on small pictures. Without diffusion every pixel must come out as
// the entry the linear nearest-colour search picks; with it the pass must only stay in bounds.
//
// Input: flags (bit 0 diffuse, bits 1-3 width - 1), a 16-bit count of leading repeats of the
// first colour, the first colour, a count - 1 of further entries and their colours, then pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "effects/clsColourReduceDIB.h"
#include "effects/clsPalette.h"
#include "image/clsDIBSection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 7) return 0;
    const bool diffuse = data[0] & 1;
    const int32_t width = ((data[0] >> 1) & 7) + 1;
    const int32_t repeats = data[1] << 8 | data[2];
    plenvue::clsPalette pal;
    for (int32_t i = 0; i <= repeats; ++i) pal.Add(data[3], data[4], data[5]);
    size_t at = 7;
    for (int32_t k = 0; k <= data[6] && at + 3 <= size; ++k, at += 3) pal.Add(data[at], data[at + 1], data[at + 2]);
    const int32_t height = static_cast<int32_t>((size - at) / (3 * static_cast<size_t>(width)));
    if (height < 1) return 0;
    plenvue::clsDIBSection from, to;
    if (!from.Create(width, height > 16 ? 16 : height) || !to.Create(from.Width(), from.Height())) return 0;
    for (int32_t y = 0; y < from.Height(); ++y)
        for (int32_t x = 0; x < width; ++x, at += 3)
            for (int c = 0; c < 3; ++c) from.PixelPtr(x, y)[c] = data[at + c];
    plenvue::clsColourReduceDIB().ApplyPalette(from, to, pal, diffuse);
    if (diffuse) return 0;
    for (int32_t y = 0; y < from.Height(); ++y)
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* s = from.PixelPtr(x, y);
            const uint8_t* d = to.PixelPtr(x, y);
            int32_t i = pal.ClosestIndex(s[2], s[1], s[0]);
            if (i == 0) i = 1;  // every entry the opposite corner: the first is taken
            if (d[0] != pal.Blue(i) || d[1] != pal.Green(i) || d[2] != pal.Red(i)) std::abort();
        }
    return 0;
}
