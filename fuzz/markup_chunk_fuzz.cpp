// libFuzzer target: the PNG structure check and the mark-up chunk decoder on arbitrary bytes.
// Input: two big-endian 16-bit numbers give the picture's width and height (1..4096), the rest is
// both a PNG file and a chunk's data. A decoded chunk must encode and decode to the same contents;
// a PNG that passes the check must still pass it with the chunk spliced in.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "markup/EditablePng.h"

using namespace plenvue::markup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const int32_t width = 1 + (data[0] << 8 | data[1]) % 4096;
    const int32_t height = 1 + (data[2] << 8 | data[3]) % 4096;
    // Exact copies, so that any read beyond them is caught.
    const std::vector<uint8_t> rest(data + 4, data + size);
    std::string reason;

    PngStructure png;
    if (ReadPngStructure(rest.data(), rest.size(), png, reason)) {
        if (png.chunks.size() < 3 || png.width < 1 || png.height < 1) std::abort();
        const std::vector<uint8_t> payload(rest.begin(), rest.begin() + static_cast<ptrdiff_t>(rest.size() < 64 ? rest.size() : 64));
        const std::vector<uint8_t> spliced = ReplaceChunk(rest.data(), rest.size(), kMarkupChunkType, &payload);
        PngStructure after;
        if (!ReadPngStructure(spliced.data(), spliced.size(), after, reason)) std::abort();
        const PngChunkInfo& mk = after.chunks[after.chunks.size() - 2];
        if (std::string(mk.type.data(), 4) != kMarkupChunkType || mk.length != payload.size() || !mk.crcOk) std::abort();
    } else if (reason.empty()) {
        std::abort();
    }

    MarkupChunk chunk;
    if (!DecodeMarkupChunk(rest.data(), rest.size(), width, height, chunk, reason)) {
        if (reason.empty()) std::abort();
        return 0;
    }
    const std::vector<uint8_t> encoded = EncodeMarkupChunk(chunk);
    MarkupChunk back;
    if (!DecodeMarkupChunk(encoded.data(), encoded.size(), width, height, back, reason)) std::abort();
    if (back.digest != chunk.digest || back.objectsJson != chunk.objectsJson || back.patches.size() != chunk.patches.size())
        std::abort();
    for (size_t i = 0; i < chunk.patches.size(); ++i)
        if (!(back.patches[i].rect == chunk.patches[i].rect) || back.patches[i].bytes != chunk.patches[i].bytes ||
            back.patches[i].mask != chunk.patches[i].mask) std::abort();
    return 0;
}
