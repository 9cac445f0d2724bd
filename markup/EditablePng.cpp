#include "markup/EditablePng.h"

#include <zlib.h>

#include <cstring>
#include <limits>
#include <new>

#include "markup/Sha256.h"

namespace plenvue::markup {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// CRC-32 of a chunk's type and data, which lie next to each other.
uint32_t ChunkCrc(const uint8_t* typeAndData, uint32_t length) {
    return static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), typeAndData, static_cast<uInt>(length) + 4));
}

bool ValidDepth(uint8_t colourType, uint8_t depth) {
    switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

std::string TypeText(const uint8_t* type) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += IsLetter(type[i]) ? static_cast<char>(type[i]) : '?';
    return s;
}

// Reads big-endian fields from a byte range; every read is checked against the bytes left.
class Reader {
public:
    Reader(const uint8_t* p, size_t size) : p_(p), left_(size) {}
    size_t Left() const { return left_; }
    bool U8(uint8_t& v) {
        if (left_ < 1) return false;
        v = *p_;
        Skip(1);
        return true;
    }
    bool U32(uint32_t& v) {
        if (left_ < 4) return false;
        v = ReadU32(p_);
        Skip(4);
        return true;
    }
    bool I32(int32_t& v) {
        uint32_t u = 0;
        if (!U32(u)) return false;
        v = static_cast<int32_t>(u);  // two's complement, defined since C++20
        return true;
    }
    const uint8_t* Take(size_t n) {
        if (left_ < n) return nullptr;
        const uint8_t* at = p_;
        Skip(n);
        return at;
    }

private:
    void Skip(size_t n) {
        p_ += n;
        left_ -= n;
    }
    const uint8_t* p_;
    size_t left_;
};

// Inflates exactly out.size() bytes from a zlib stream that must end there, with nothing after
// it. Once the buffer is full the stream gets one spare byte: if it fills that too it holds more
// than the patch (a deflate bomb stops here), so no more than one byte past the size is inflated.
const char* InflateExactly(const uint8_t* in, size_t inSize, std::vector<uint8_t>& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return "cannot be inflated (out of memory)";
    z.next_in = const_cast<Bytef*>(in);
    constexpr size_t kStep = size_t{1} << 30;  // the stream counts in uInt
    size_t inLeft = inSize, outDone = 0;
    uint8_t spare = 0;
    bool probing = false;
    const char* problem = nullptr;
    for (;;) {
        if (z.avail_in == 0 && inLeft > 0) {
            z.avail_in = static_cast<uInt>(inLeft < kStep ? inLeft : kStep);
            inLeft -= z.avail_in;
        }
        if (z.avail_out == 0) {
            if (probing) {
                problem = "inflates to more than its size";
                break;
            }
            if (outDone < out.size()) {
                const size_t n = out.size() - outDone < kStep ? out.size() - outDone : kStep;
                z.next_out = out.data() + outDone;
                z.avail_out = static_cast<uInt>(n);
                outDone += n;
            } else {
                probing = true;
                z.next_out = &spare;
                z.avail_out = 1;
            }
        }
        const int rc = inflate(&z, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            const bool full = probing || (z.avail_out == 0 && outDone == out.size());
            if (probing && z.avail_out == 0) problem = "inflates to more than its size";
            else if (!full) problem = "inflates to less than its size";
            else if (z.avail_in != 0 || inLeft != 0) problem = "has bytes after its zlib stream";
            break;
        }
        if (rc == Z_BUF_ERROR) {  // no progress although there is room: the input is used up
            problem = "ends before its zlib stream does";
            break;
        }
        if (rc == Z_MEM_ERROR) {
            problem = "cannot be inflated (out of memory)";
            break;
        }
        if (rc != Z_OK) {
            problem = "is not a valid zlib stream";
            break;
        }
    }
    inflateEnd(&z);
    return problem;
}

}  // namespace

bool ReadPngStructure(const uint8_t* data, size_t size, PngStructure& out, std::string& reason) {
    out = PngStructure{};
    reason.clear();
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0) {
        reason = "no PNG signature";
        return false;
    }
    size_t at = 8;
    bool seenIdat = false, idatEnded = false;
    for (;;) {
        if (size - at < 12) {
            reason = at == size ? "no IEND chunk" : "a chunk runs past the end of the file";
            return false;
        }
        const uint32_t length = ReadU32(data + at);
        const uint8_t* type = data + at + 4;
        if (length > kMaxChunkLength || length > size - at - 12) {
            reason = "chunk " + TypeText(type) + " runs past the end of the file";
            return false;
        }
        if (!IsLetter(type[0]) || !IsLetter(type[1]) || !IsLetter(type[2]) || !IsLetter(type[3])) {
            reason = "a chunk has an invalid type";
            return false;
        }
        const bool crcOk = ChunkCrc(type, length) == ReadU32(type + 4 + length);
        const bool critical = type[0] >= 'A' && type[0] <= 'Z';
        const std::string name = TypeText(type);
        PngChunkInfo info{{static_cast<char>(type[0]), static_cast<char>(type[1]), static_cast<char>(type[2]),
                           static_cast<char>(type[3])},
                          at + 8, length, crcOk};
        if (out.chunks.empty()) {
            if (name != "IHDR") {
                reason = "the first chunk is " + name + ", not IHDR";
                return false;
            }
            if (length != 13) {
                reason = "IHDR is " + std::to_string(length) + " bytes long, not 13";
                return false;
            }
            if (!crcOk) {
                reason = "bad CRC in IHDR";
                return false;
            }
            const uint8_t* d = data + at + 8;
            const uint32_t w = ReadU32(d), h = ReadU32(d + 4);
            if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) {
                reason = "IHDR gives a size of " + std::to_string(w) + " x " + std::to_string(h);
                return false;
            }
            if (!ValidDepth(d[9], d[8])) {
                reason = "IHDR gives bit depth " + std::to_string(d[8]) + " with colour type " + std::to_string(d[9]);
                return false;
            }
            if (d[10] != 0 || d[11] != 0 || d[12] > 1) {
                reason = "IHDR names an unknown compression, filter or interlace method";
                return false;
            }
            out.width = static_cast<int32_t>(w);
            out.height = static_cast<int32_t>(h);
            out.bitDepth = d[8];
            out.colourType = d[9];
        } else if (critical && !crcOk) {
            reason = "bad CRC in " + name;
            return false;
        }
        out.chunks.push_back(info);
        at += 12 + size_t{length};
        if (name == "IDAT") {
            if (idatEnded) {
                reason = "IDAT chunks are not consecutive";
                return false;
            }
            seenIdat = true;
        } else if (seenIdat) {
            idatEnded = true;
        }
        if (name == "IEND") {
            if (!seenIdat) {
                reason = "no IDAT chunk";
                return false;
            }
            return true;
        }
    }
}

std::vector<uint8_t> ReplaceChunk(const uint8_t* png, size_t size, const char* type,
                                  const std::vector<uint8_t>* chunkData) {
    std::vector<uint8_t> out;
    if (size < 8 || std::memcmp(png, kSignature, 8) != 0) return out;
    if (chunkData && chunkData->size() > kMaxChunkLength) return out;
    out.assign(png, png + 8);
    size_t at = 8;
    while (size - at >= 12) {
        const uint32_t length = ReadU32(png + at);
        if (length > size - at - 12) break;
        const uint8_t* chunkType = png + at + 4;
        const size_t whole = 12 + size_t{length};
        if (std::memcmp(chunkType, "IEND", 4) == 0) {
            if (chunkData) {
                const size_t start = out.size();
                PutU32(out, static_cast<uint32_t>(chunkData->size()));
                out.insert(out.end(), type, type + 4);
                out.insert(out.end(), chunkData->begin(), chunkData->end());
                PutU32(out, ChunkCrc(out.data() + start + 4, static_cast<uint32_t>(chunkData->size())));
            }
            out.insert(out.end(), png + at, png + at + whole);
            return out;
        }
        if (std::memcmp(chunkType, type, 4) != 0) out.insert(out.end(), png + at, png + at + whole);
        at += whole;
    }
    return {};
}

std::array<uint8_t, 32> PixelDigest(const PixelView& view) {
    Sha256Hasher h;
    uint8_t size[8];
    const auto w = static_cast<uint32_t>(view.width), ht = static_cast<uint32_t>(view.height);
    for (int i = 0; i < 4; ++i) {
        size[i] = static_cast<uint8_t>(w >> (24 - 8 * i));
        size[4 + i] = static_cast<uint8_t>(ht >> (24 - 8 * i));
    }
    h.Update(size, sizeof size);
    if (view.bits && view.width > 0)
        for (int32_t y = 0; y < view.height; ++y) h.Update(view.Row(y), 3 * static_cast<size_t>(view.width));
    return h.Final();
}

size_t MarkupPatch::Count() const {
    if (mask.empty()) return bytes.size() / 3;
    size_t n = 0;
    for (uint8_t m : mask) n += m ? 1 : 0;
    return n;
}

std::vector<uint8_t> EncodeMarkupChunk(const MarkupChunk& chunk) {
    std::vector<uint8_t> out;
    out.push_back(kMarkupChunkVersion);
    out.insert(out.end(), chunk.digest.begin(), chunk.digest.end());
    PutU32(out, static_cast<uint32_t>(chunk.objectsJson.size()));
    out.insert(out.end(), chunk.objectsJson.begin(), chunk.objectsJson.end());
    PutU32(out, static_cast<uint32_t>(chunk.patches.size()));
    for (const MarkupPatch& p : chunk.patches) {
        PutU32(out, static_cast<uint32_t>(p.rect.left));
        PutU32(out, static_cast<uint32_t>(p.rect.top));
        PutU32(out, static_cast<uint32_t>(p.rect.Width()));
        PutU32(out, static_cast<uint32_t>(p.rect.Height()));
        PutU32(out, static_cast<uint32_t>(p.Count()));
        std::vector<uint8_t> raw;
        if (!p.mask.empty()) {
            raw.assign((p.mask.size() + 7) / 8, 0);
            for (size_t i = 0; i < p.mask.size(); ++i)
                if (p.mask[i]) raw[i / 8] |= static_cast<uint8_t>(0x80u >> (i % 8));
        }
        raw.insert(raw.end(), p.bytes.begin(), p.bytes.end());
        uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
        std::vector<uint8_t> packed(packedSize);
        if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
            throw std::bad_alloc();  // the only way it fails with a buffer of compressBound
        PutU32(out, static_cast<uint32_t>(packedSize));
        out.insert(out.end(), packed.begin(), packed.begin() + static_cast<ptrdiff_t>(packedSize));
    }
    return out;
}

bool DecodeMarkupChunk(const uint8_t* data, size_t size, int32_t width, int32_t height, MarkupChunk& out,
                       std::string& reason) {
    out = MarkupChunk{};
    reason.clear();
    const auto fail = [&](const std::string& why) {
        out = MarkupChunk{};
        reason = "markup chunk: " + why;
        return false;
    };
    Reader r(data, size);
    uint8_t version = 0;
    if (!r.U8(version)) return fail("it is empty");
    if (version != kMarkupChunkVersion) return fail("unknown version " + std::to_string(version));
    const uint8_t* digest = r.Take(32);
    if (!digest) return fail("it ends inside the digest");
    std::memcpy(out.digest.data(), digest, 32);
    uint32_t jsonLength = 0;
    if (!r.U32(jsonLength)) return fail("it ends before the length of the objects");
    const uint8_t* json = r.Take(jsonLength);
    if (!json) return fail("the objects run past the end of the chunk");
    out.objectsJson.assign(reinterpret_cast<const char*>(json), jsonLength);
    uint32_t count = 0;
    if (!r.U32(count)) return fail("it ends before the patch count");
    constexpr size_t kPatchHeader = 24;
    if (count > r.Left() / kPatchHeader) return fail(std::to_string(count) + " patches cannot fit in the chunk");

    const uint64_t pictureBytes = width > 0 && height > 0 ? uint64_t(width) * uint64_t(height) * 3 : 0;
    const uint64_t budget = pictureBytes > std::numeric_limits<uint64_t>::max() / 4 ? std::numeric_limits<uint64_t>::max()
                                                                                     : pictureBytes * 4;
    uint64_t total = 0;
    for (uint32_t i = 1; i <= count; ++i) {
        const std::string name = "patch " + std::to_string(i);
        int32_t left = 0, top = 0;
        uint32_t w = 0, h = 0, held = 0, packedLength = 0;
        if (!r.I32(left) || !r.I32(top) || !r.U32(w) || !r.U32(h) || !r.U32(held) || !r.U32(packedLength))
            return fail(name + " ends inside its header");
        if (w == 0 || h == 0) return fail(name + " is empty");
        if (left < 0 || top < 0 || int64_t{left} + w > int64_t{width} || int64_t{top} + h > int64_t{height})
            return fail(name + " lies outside the picture");
        const uint64_t area = uint64_t{w} * h;
        if (held > area) return fail(name + " holds more pixels than it has");
        const uint64_t maskBytes = held == area ? 0 : (area + 7) / 8;
        const uint64_t bytes = uint64_t{held} * 3;  // at most the picture's bytes
        if (bytes + maskBytes > budget - total) return fail("the patches add up to more than four times the picture");
        total += bytes + maskBytes;
        if (bytes + maskBytes > std::numeric_limits<size_t>::max()) return fail(name + " is too large for this program");
        const uint8_t* packed = r.Take(packedLength);
        if (!packed) return fail(name + " runs past the end of the chunk");
        MarkupPatch patch;
        patch.rect = {left, top, static_cast<int32_t>(left + static_cast<int64_t>(w)),
                      static_cast<int32_t>(top + static_cast<int64_t>(h))};
        std::vector<uint8_t> raw;
        try {
            raw.resize(static_cast<size_t>(bytes + maskBytes));
        } catch (const std::bad_alloc&) {
            return fail("not enough memory for " + name);
        }
        if (const char* problem = InflateExactly(packed, packedLength, raw)) return fail(name + " " + problem);
        if (maskBytes) {
            patch.mask.resize(static_cast<size_t>(area));
            uint64_t set = 0;
            for (size_t k = 0; k < patch.mask.size(); ++k) {
                patch.mask[k] = (raw[k / 8] >> (7 - k % 8)) & 1;
                set += patch.mask[k];
            }
            if (set != held) return fail(name + "'s mask does not name the pixels it holds");
            if (area % 8 && (raw[static_cast<size_t>(maskBytes) - 1] & (0xFFu >> (area % 8))))
                return fail(name + "'s mask has bits past its end");
        }
        patch.bytes.assign(raw.begin() + static_cast<ptrdiff_t>(maskBytes), raw.end());
        out.patches.push_back(std::move(patch));
    }
    if (r.Left() != 0) return fail(std::to_string(r.Left()) + " bytes after the last patch");
    return true;
}

}  // namespace plenvue::markup
