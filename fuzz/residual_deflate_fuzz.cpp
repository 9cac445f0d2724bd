// The residual encoder on arbitrary bytes: whatever the history, the split into pieces and the
// data, zlib's inflate gives back exactly the bytes encoded.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/ResidualDeflate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first byte says how much is history, the second how large the pieces are; the rest
    // repeats a few times so that matches, long ones too, occur.
    const size_t historyPart = data[0], piece = 1 + data[1] * 97u;
    std::vector<uint8_t> all;
    for (int k = 0; k < 1 + data[0] % 4; ++k) all.insert(all.end(), data + 2, data + size);
    const size_t history = std::min(all.size(), all.size() * historyPart / 255);

    plenvue::ResidualDeflater d;
    if (history) d.Add(all.data(), history, false);
    for (size_t i = history; i < all.size(); i += piece)
        d.Add(all.data() + i, std::min(piece, all.size() - i), true);
    d.Finish(true);
    const std::vector<uint8_t>& packed = d.Output();

    z_stream zs{};
    if (inflateInit2(&zs, -15) != Z_OK) std::abort();
    if (history && inflateSetDictionary(&zs, all.data(), static_cast<uInt>(history)) != Z_OK) std::abort();
    std::vector<uint8_t> out(all.size() - history + 1);
    zs.next_in = const_cast<Bytef*>(packed.data());
    zs.avail_in = static_cast<uInt>(packed.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&zs, Z_FINISH);
    const size_t made = out.size() - zs.avail_out;
    inflateEnd(&zs);
    if (rc != Z_STREAM_END || zs.avail_in != 0 || made != all.size() - history) std::abort();
    for (size_t i = 0; i < made; ++i)
        if (out[i] != all[history + i]) std::abort();
    return 0;
}
