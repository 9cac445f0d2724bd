// An editable picture is a plain PNG with one private chunk that keeps the mark-up: the objects
// as JSON, the original pixels under them, and the digest of the pixels they were saved on (so a
// picture edited elsewhere is recognised). Here: the PNG structure check, chunk splicing, the
// pixel digest and that chunk's coding.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "markup/MarkupObject.h"

namespace plenvue::markup {

inline constexpr char kMarkupChunkType[] = "pvMK";  // ancillary, private, unsafe to copy
inline constexpr uint8_t kMarkupChunkVersion = 1;

struct PngChunkInfo {
    std::array<char, 4> type;
    size_t dataOffset;  // from the start of the file
    uint32_t length;
    bool crcOk;
};

struct PngStructure {
    int32_t width = 0, height = 0;
    uint8_t bitDepth = 0, colourType = 0;
    std::vector<PngChunkInfo> chunks;  // IHDR to IEND, in file order
};

// Walks a PNG file in memory. False with a short reason when the structure is broken: no PNG
// signature, a first chunk that is no valid IHDR, a critical chunk with a bad CRC, a chunk running
// past the end, no IDAT or IDAT chunks apart, no IEND. An ancillary chunk with a bad CRC is only
// listed with crcOk false. Bytes after IEND are ignored.
bool ReadPngStructure(const uint8_t* data, size_t size, PngStructure& out, std::string& reason);

// A copy of a PNG with every chunk of `type` removed and, when chunkData is not null, one such
// chunk with that data inserted just before IEND; nothing after IEND. Empty when the PNG cannot be
// walked to its IEND or the data is too long for a chunk.
std::vector<uint8_t> ReplaceChunk(const uint8_t* png, size_t size, const char* type,
                                  const std::vector<uint8_t>* chunkData);

// SHA-256 of the picture's pixels: width and height as 4 big-endian bytes each, then the rows from
// the top, each pixel blue, green, red (no padding).
std::array<uint8_t, 32> PixelDigest(const PixelView& view);

// Original pixels under the mark-up, over a rectangle of the picture. `mask` has one entry per
// pixel of the rectangle (rows from the top), 1 where the original differs from the flattened
// picture; empty means every pixel. `bytes` holds blue, green, red for each pixel the mask names,
// in that order, so pixels no object changed cost one bit.
struct MarkupPatch {
    PixelRect rect;
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> mask;
    size_t Count() const;  // pixels held
};

struct MarkupChunk {
    std::array<uint8_t, 32> digest{};
    std::string objectsJson;
    std::vector<MarkupPatch> patches;
};

// The chunk's data (what goes between type and CRC). Big-endian: u8 version; the digest; u32 JSON
// length and the JSON; u32 patch count; per patch i32 left, i32 top, u32 width, u32 height, u32
// pixels held, u32 deflated length and the zlib stream of the mask's bits (most significant first,
// rows one after another; left out when every pixel is held) followed by the pixels' bytes.
std::vector<uint8_t> EncodeMarkupChunk(const MarkupChunk& chunk);

// Reads the chunk's data for a width x height picture. False with a reason for anything
// malformed: lengths past the bytes left, a patch empty or outside the picture (patches counted
// from 1), more pixels held than it has, a stream that does not inflate to exactly its patch's
// size, a mask whose count differs or whose padding bits are set, patches adding up to more
// than four times the picture's bytes, trailing bytes. Never allocates or inflates more than the
// sizes declared.
bool DecodeMarkupChunk(const uint8_t* data, size_t size, int32_t width, int32_t height, MarkupChunk& out,
                       std::string& reason);

}  // namespace plenvue::markup
