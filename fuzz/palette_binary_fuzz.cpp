// libFuzzer target: the binary palette reader on arbitrary file bytes at a position the input
// picks. A successful read has 1 to 4097 entries equal to the bytes at the position and moves the
// position just past them; any outcome leaves the palette at a size the reader could have read.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "effects/clsPalette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const std::string path = "/tmp/plenvue_palette_binary_fuzz_" + std::to_string(::getpid());
    const uint8_t* bytes = data + 1;
    const size_t length = size - 1;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes, 1, length, f);
        std::fclose(f);
    } else {
        return 0;
    }
    int32_t pos = static_cast<int8_t>(data[0]);  // negative positions count as 0
    const size_t start = pos >= 1 ? static_cast<size_t>(pos) : 0;
    plenvue::clsPalette pal;
    const bool ok = pal.Load(path, pos);
    if (pal.count() > plenvue::clsPalette::kMaxBinaryCount) std::abort();
    if (!ok) return 0;
    const size_t n = static_cast<size_t>(pal.count());
    if (n < 1 || start + 4 + 4 * n > length || static_cast<size_t>(pos) != start + 4 + 4 * n) std::abort();
    const uint8_t* e = bytes + start + 4;
    for (size_t k = 0; k < n; ++k)
        if (pal.Red(static_cast<int32_t>(k + 1)) != e[4 * k] || pal.Green(static_cast<int32_t>(k + 1)) != e[4 * k + 1] ||
            pal.Blue(static_cast<int32_t>(k + 1)) != e[4 * k + 2])
            std::abort();
    return 0;
}
