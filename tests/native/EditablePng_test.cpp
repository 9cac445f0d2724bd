#include "markup/EditablePng.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/PngWriter.h"
#include "image/clsDIBSection.h"
#include "markup/Sha256.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

Bytes Chunk(const char* type, const Bytes& data) {
    Bytes out;
    PutU32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, static_cast<uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(data.size() + 4))));
    return out;
}

Bytes BadCrc(Bytes chunk) {
    chunk.back() ^= 1;
    return chunk;
}

Bytes Ihdr(uint32_t w, uint32_t h, uint8_t depth = 8, uint8_t colour = 2, uint8_t compression = 0, uint8_t filter = 0,
           uint8_t interlace = 0) {
    Bytes d;
    PutU32(d, w);
    PutU32(d, h);
    d.insert(d.end(), {depth, colour, compression, filter, interlace});
    return Chunk("IHDR", d);
}

const Bytes kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

Bytes Png(const std::vector<Bytes>& chunks) {
    Bytes out = kSignature;
    for (const Bytes& c : chunks) out.insert(out.end(), c.begin(), c.end());
    return out;
}

const Bytes kIdat = Chunk("IDAT", {1, 2, 3});
const Bytes kIend = Chunk("IEND", {});

void Paint(clsDIBSection& dib, int w, int h) {
    ASSERT_TRUE(dib.Create(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) dib.PixelPtr(x, y)[c] = static_cast<uint8_t>(x * 37 + y * 11 + c * 90);
}

Bytes WriterPng(const clsDIBSection& dib) {
    Bytes png;
    std::string reason;
    EXPECT_TRUE(EncodePngToMemory(dib, png, reason)) << reason;
    return png;
}

std::string Structure(const Bytes& png, PngStructure& s) {
    std::string reason;
    return ReadPngStructure(png.data(), png.size(), s, reason) ? "" : reason;
}

std::vector<std::string> Types(const PngStructure& s) {
    std::vector<std::string> out;
    for (const PngChunkInfo& c : s.chunks) out.emplace_back(c.type.data(), 4);
    return out;
}

void ExpectDecodesTo(const Bytes& png, const clsDIBSection& dib) {
    int w = 0, h = 0, channels = 0;
    stbi_uc* rgb = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 3);
    ASSERT_NE(rgb, nullptr) << stbi_failure_reason();
    ASSERT_EQ(w, dib.Width());
    ASSERT_EQ(h, dib.Height());
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* want = dib.PixelPtr(x, h - 1 - y);
            const stbi_uc* got = rgb + (static_cast<size_t>(y) * w + x) * 3;
            wrong += got[0] != want[2] || got[1] != want[1] || got[2] != want[0];
        }
    stbi_image_free(rgb);
    EXPECT_EQ(wrong, 0);
}

Bytes Zlib(const Bytes& raw) {
    uLongf n = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(n);
    EXPECT_EQ(compress2(out.data(), &n, raw.data(), static_cast<uLong>(raw.size()), 9), Z_OK);
    out.resize(n);
    return out;
}

// A chunk's data built field by field, to break one thing at a time.
struct ChunkBuilder {
    Bytes out;
    ChunkBuilder& U8(uint8_t v) {
        out.push_back(v);
        return *this;
    }
    ChunkBuilder& U32(uint32_t v) {
        PutU32(out, v);
        return *this;
    }
    ChunkBuilder& Raw(const Bytes& b) {
        out.insert(out.end(), b.begin(), b.end());
        return *this;
    }
    // Version, digest and a short JSON text.
    ChunkBuilder& Head(uint32_t patches) {
        U8(1).Raw(Bytes(32, 0xAA)).U32(2).Raw({'{', '}'});
        return U32(patches);
    }
    // A patch holding every pixel (no mask) unless `held` says fewer.
    ChunkBuilder& Patch(int32_t left, int32_t top, uint32_t w, uint32_t h, const Bytes& stream, int64_t held = -1) {
        U32(static_cast<uint32_t>(left)).U32(static_cast<uint32_t>(top)).U32(w).U32(h);
        U32(held < 0 ? w * h : static_cast<uint32_t>(held));
        return U32(static_cast<uint32_t>(stream.size())).Raw(stream);
    }
};

std::string DecodeFails(const Bytes& data, int32_t w, int32_t h) {
    MarkupChunk chunk;
    std::string reason;
    if (DecodeMarkupChunk(data.data(), data.size(), w, h, chunk, reason)) return "accepted";
    EXPECT_TRUE(chunk.patches.empty() && chunk.objectsJson.empty());
    return reason;
}

}  // namespace

TEST(EditablePng, WriterFilesHaveASoundStructure) {
    clsDIBSection dib;
    Paint(dib, 7, 5);
    const Bytes png = WriterPng(dib);
    PngStructure s;
    ASSERT_EQ(Structure(png, s), "");
    EXPECT_EQ(s.width, 7);
    EXPECT_EQ(s.height, 5);
    // 35 colours: the writer makes a palette picture of them.
    EXPECT_EQ(s.bitDepth, 8);
    EXPECT_EQ(s.colourType, 3);
    ASSERT_GE(s.chunks.size(), 4u);
    EXPECT_EQ(Types(s).front(), "IHDR");
    EXPECT_EQ(Types(s).back(), "IEND");
    EXPECT_EQ(s.chunks[0].dataOffset, 16u);
    EXPECT_EQ(s.chunks[0].length, 13u);
    for (const PngChunkInfo& c : s.chunks) {
        EXPECT_TRUE(c.crcOk);
        EXPECT_EQ(std::memcmp(png.data() + c.dataOffset - 4, c.type.data(), 4), 0);
    }
    // Every valid pair of bit depth and colour type.
    const std::pair<uint8_t, uint8_t> pairs[] = {{1, 0}, {2, 0}, {4, 0}, {8, 0}, {16, 0}, {8, 2}, {16, 2}, {1, 3},
                                                 {2, 3}, {4, 3}, {8, 3},  {8, 4}, {16, 4}, {8, 6}, {16, 6}};
    for (auto [depth, colour] : pairs)
        EXPECT_EQ(Structure(Png({Ihdr(1, 1, depth, colour), kIdat, kIend}), s), "") << int(depth) << " " << int(colour);
    EXPECT_EQ(Structure(Png({Ihdr(0x7FFFFFFF, 0x7FFFFFFF, 8, 2, 0, 0, 1), kIdat, kIend}), s), "");
}

TEST(EditablePng, BrokenStructuresAreRefusedWithTheirReason) {
    Bytes badSignature = Png({Ihdr(1, 1), kIdat, kIend});
    badSignature[1] = 'p';
    Bytes longIhdr = Chunk("IHDR", Bytes(14, 1));
    Bytes pastEnd = Png({Ihdr(1, 1), kIdat});
    PutU32(pastEnd, 100);
    pastEnd.insert(pastEnd.end(), {'t', 'E', 'X', 't', 0, 0, 0, 0});
    const struct {
        Bytes png;
        const char* reason;
    } cases[] = {
        {badSignature, "no PNG signature"},
        {Bytes(kSignature.begin(), kSignature.begin() + 5), "no PNG signature"},
        {Png({kIdat, Ihdr(1, 1), kIend}), "not IHDR"},
        {Png({longIhdr, kIdat, kIend}), "14 bytes long"},
        {Png({BadCrc(Ihdr(1, 1)), kIdat, kIend}), "bad CRC in IHDR"},
        {Png({Ihdr(0, 1), kIdat, kIend}), "size of 0 x 1"},
        {Png({Ihdr(1, 0), kIdat, kIend}), "size of 1 x 0"},
        {Png({Ihdr(0x80000000, 1), kIdat, kIend}), "size of"},
        {Png({Ihdr(1, 1, 16, 3), kIdat, kIend}), "bit depth 16 with colour type 3"},
        {Png({Ihdr(1, 1, 4, 2), kIdat, kIend}), "bit depth 4"},
        {Png({Ihdr(1, 1, 8, 5), kIdat, kIend}), "colour type 5"},
        {Png({Ihdr(1, 1, 8, 2, 1), kIdat, kIend}), "unknown compression"},
        {Png({Ihdr(1, 1, 8, 2, 0, 1), kIdat, kIend}), "filter"},
        {Png({Ihdr(1, 1, 8, 2, 0, 0, 2), kIdat, kIend}), "interlace"},
        {Png({Ihdr(1, 1), BadCrc(kIdat), kIend}), "bad CRC in IDAT"},
        {Png({Ihdr(1, 1), Chunk("PLTE", {0, 0, 0}), BadCrc(Chunk("ZZZZ", {1})), kIdat, kIend}), "bad CRC in ZZZZ"},
        {Png({Ihdr(1, 1), kIdat, BadCrc(kIend)}), "bad CRC in IEND"},
        {Png({Ihdr(1, 1), kIend}), "no IDAT"},
        {Png({Ihdr(1, 1), kIdat}), "no IEND"},
        {Png({Ihdr(1, 1), kIdat, Chunk("tEXt", {'a'}), kIdat, kIend}), "not consecutive"},
        {pastEnd, "runs past the end"},
        {Png({Ihdr(1, 1), kIdat, Chunk("tE1t", {}), kIend}), "invalid type"},
    };
    for (const auto& c : cases) {
        PngStructure s;
        const std::string reason = Structure(c.png, s);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.reason << " / " << reason;
    }
}

TEST(EditablePng, EveryTruncationOfAFileIsRefused) {
    clsDIBSection dib;
    Paint(dib, 4, 3);
    const Bytes png = Png({Ihdr(4, 3), Chunk("tEXt", {'k', 0, 'v'}), kIdat, kIdat, kIend});
    for (size_t n = 0; n < png.size(); ++n) {
        PngStructure s;
        std::string reason;
        EXPECT_FALSE(ReadPngStructure(png.data(), n, s, reason)) << n;
        EXPECT_FALSE(reason.empty());
    }
}

TEST(EditablePng, AncillaryBadCrcIsListedAndBytesAfterIendAreIgnored) {
    Bytes png = Png({Ihdr(2, 2), BadCrc(Chunk("tEXt", {'a', 0, 'b'})), kIdat, kIdat, kIend});
    png.insert(png.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0x00});
    PngStructure s;
    ASSERT_EQ(Structure(png, s), "");
    EXPECT_EQ(Types(s), (std::vector<std::string>{"IHDR", "tEXt", "IDAT", "IDAT", "IEND"}));
    EXPECT_FALSE(s.chunks[1].crcOk);
    EXPECT_EQ(s.chunks[1].length, 3u);
    EXPECT_TRUE(s.chunks[2].crcOk);
}

TEST(EditablePng, ReplaceChunkInsertsReplacesAndRemoves) {
    clsDIBSection dib;
    Paint(dib, 9, 6);
    const Bytes written = WriterPng(dib);
    PngStructure before;
    ASSERT_EQ(Structure(written, before), "");
    // An ancillary chunk of another kind, which must stay where it is.
    Bytes png(written.begin(), written.begin() + 33);
    const Bytes text = Chunk("tEXt", {'k', 0, 'v'});
    png.insert(png.end(), text.begin(), text.end());
    png.insert(png.end(), written.begin() + 33, written.end());

    const Bytes first(300, 7), second = {1, 2, 3};
    const Bytes inserted = ReplaceChunk(png.data(), png.size(), kMarkupChunkType, &first);
    PngStructure s;
    ASSERT_EQ(Structure(inserted, s), "");
    std::vector<std::string> want = Types(before);
    want.insert(want.begin() + 1, "tEXt");
    want.insert(want.end() - 1, "pvMK");
    EXPECT_EQ(Types(s), want);
    const PngChunkInfo& mk = s.chunks[s.chunks.size() - 2];
    EXPECT_TRUE(mk.crcOk);
    ASSERT_EQ(mk.length, first.size());
    EXPECT_EQ(Bytes(inserted.begin() + mk.dataOffset, inserted.begin() + mk.dataOffset + mk.length), first);
    ExpectDecodesTo(inserted, dib);

    // A second call replaces it, and trailing bytes of the source do not survive.
    Bytes withTail = inserted;
    withTail.insert(withTail.end(), {9, 9, 9});
    const Bytes replaced = ReplaceChunk(withTail.data(), withTail.size(), kMarkupChunkType, &second);
    ASSERT_EQ(Structure(replaced, s), "");
    EXPECT_EQ(Types(s), want);
    EXPECT_EQ(s.chunks[s.chunks.size() - 2].length, 3u);
    EXPECT_EQ(Bytes(replaced.end() - 12, replaced.end()), kIend);
    ExpectDecodesTo(replaced, dib);

    // Removing takes out every copy, wherever it was.
    const Bytes twice = Png({Ihdr(9, 6), Chunk("pvMK", {1}), Chunk("tEXt", {'k', 0, 'v'}), kIdat, Chunk("pvMK", {2}), kIend});
    const Bytes removed = ReplaceChunk(twice.data(), twice.size(), kMarkupChunkType, nullptr);
    EXPECT_EQ(removed, Png({Ihdr(9, 6), Chunk("tEXt", {'k', 0, 'v'}), kIdat, kIend}));
    EXPECT_EQ(ReplaceChunk(replaced.data(), replaced.size(), kMarkupChunkType, nullptr), png);

    // Nothing to walk, nothing made.
    EXPECT_TRUE(ReplaceChunk(png.data(), png.size() - 1, kMarkupChunkType, &second).empty());
    EXPECT_TRUE(ReplaceChunk(png.data(), 5, kMarkupChunkType, &second).empty());
}

TEST(EditablePng, MarkupChunkRoundTrips) {
    MarkupChunk chunk;
    for (size_t i = 0; i < 32; ++i) chunk.digest[i] = static_cast<uint8_t>(i * 7 + 1);
    chunk.objectsJson = "{\"version\": 1, \"objects\": []}\n\xC3\xBC";
    MarkupPatch a{{0, 0, 20, 10}, Bytes(20 * 10 * 3), {}};
    for (size_t i = 0; i < a.bytes.size(); ++i) a.bytes[i] = static_cast<uint8_t>(i * 13);
    MarkupPatch b{{19, 3, 20, 5}, Bytes(1 * 2 * 3, 0x55), {}};
    MarkupPatch masked{{2, 2, 9, 5}, Bytes(3 * 3, 0x21), {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}};
    chunk.patches = {a, b, a, masked};
    const Bytes data = EncodeMarkupChunk(chunk);
    MarkupChunk back;
    std::string reason;
    ASSERT_TRUE(DecodeMarkupChunk(data.data(), data.size(), 20, 10, back, reason)) << reason;
    EXPECT_EQ(back.digest, chunk.digest);
    EXPECT_EQ(back.objectsJson, chunk.objectsJson);
    ASSERT_EQ(back.patches.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(back.patches[i].rect, chunk.patches[i].rect);
        EXPECT_EQ(back.patches[i].bytes, chunk.patches[i].bytes);
        EXPECT_EQ(back.patches[i].mask, chunk.patches[i].mask);
    }
    EXPECT_EQ(back.patches[3].Count(), 3u);
    MarkupChunk empty;
    const Bytes none = EncodeMarkupChunk(empty);
    EXPECT_EQ(none.size(), 1u + 32 + 4 + 4);
    ASSERT_TRUE(DecodeMarkupChunk(none.data(), none.size(), 1, 1, back, reason)) << reason;
    EXPECT_TRUE(back.objectsJson.empty() && back.patches.empty());

    // Every cut of a valid chunk is refused.
    for (size_t n = 0; n < data.size(); ++n)
        EXPECT_FALSE(DecodeMarkupChunk(data.data(), n, 20, 10, back, reason)) << n;
}

TEST(EditablePng, MalformedMarkupChunksAreRefusedWithTheirReason) {
    const Bytes pixels(2 * 2 * 3, 9), stream = Zlib(pixels);
    Bytes trailing = stream;
    trailing.push_back(0);
    Bytes corrupt = stream;
    corrupt[0] ^= 0xFF;
    Bytes digestCut = ChunkBuilder().U8(1).Raw(Bytes(31, 0)).out;
    const struct {
        Bytes data;
        const char* reason;
    } cases[] = {
        {{}, "empty"},
        {ChunkBuilder().U8(2).Raw(Bytes(40, 0)).out, "unknown version 2"},
        {digestCut, "inside the digest"},
        {ChunkBuilder().U8(1).Raw(Bytes(32, 0)).U32(3).Raw({'{', '}'}).out, "objects run past the end"},
        {ChunkBuilder().U8(1).Raw(Bytes(32, 0)).U32(0).out, "before the patch count"},
        {ChunkBuilder().Head(2).Patch(0, 0, 2, 2, stream).out, "2 patches cannot fit"},
        {ChunkBuilder().Head(1).Raw(Bytes(24, 0)).out, "patch 1 is empty"},
        {ChunkBuilder().Head(1).Patch(-1, 0, 2, 2, stream).out, "patch 1 lies outside the picture"},
        {ChunkBuilder().Head(2).Patch(0, 0, 2, 2, stream).Patch(3, 0, 2, 2, stream).out, "patch 2 lies outside the picture"},
        {ChunkBuilder().Head(1).Patch(0, 3, 2, 2, stream).out, "patch 1 lies outside"},
        {ChunkBuilder().Head(1).Patch(0x7FFFFFFF, 0, 0xFFFFFFFF, 1, stream).out, "patch 1 lies outside"},
        {ChunkBuilder().Head(1).Patch(0, 0, 2, 1, stream).out, "patch 1 inflates to more than its size"},
        {ChunkBuilder().Head(1).Patch(0, 0, 3, 3, stream).out, "patch 1 inflates to less than its size"},
        {ChunkBuilder().Head(1).Patch(0, 0, 2, 2, trailing).out, "patch 1 has bytes after its zlib stream"},
        {ChunkBuilder().Head(1).Patch(0, 0, 2, 2, corrupt).out, "patch 1 is not a valid zlib stream"},
        {ChunkBuilder().Head(1).Patch(0, 0, 2, 2, Bytes(stream.begin(), stream.end() - 3)).out, "patch 1 ends before"},
        {ChunkBuilder().Head(1).U32(0).U32(0).U32(2).U32(2).U32(4).U32(1000).Raw(stream).out, "patch 1 runs past the end"},
        {ChunkBuilder().Head(1).Patch(0, 0, 2, 2, stream, 5).out, "holds more pixels than it has"},
        {ChunkBuilder().Head(1).Patch(0, 0, 2, 2, Zlib({0xE0, 1, 2, 3, 4, 5, 6}), 2).out, "does not name the pixels"},
        {ChunkBuilder().Head(1).Patch(0, 0, 2, 2, Zlib({0xC8, 1, 2, 3, 4, 5, 6}), 2).out, "bits past its end"},
        {ChunkBuilder().Head(1).Patch(0, 0, 2, 2, stream).U8(0).out, "1 bytes after the last patch"},
        {ChunkBuilder().Head(5).Patch(0, 0, 3, 3, Zlib(Bytes(27))).Patch(0, 0, 3, 3, Zlib(Bytes(27)))
             .Patch(0, 0, 3, 3, Zlib(Bytes(27))).Patch(0, 0, 3, 3, Zlib(Bytes(27))).Patch(0, 0, 1, 1, Zlib(Bytes(3))).out,
         "more than four times the picture"},
    };
    for (const auto& c : cases) {
        const std::string reason = DecodeFails(c.data, 3, 3);
        EXPECT_EQ(reason.rfind("markup chunk: ", 0), 0u) << reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.reason << " / " << reason;
    }
    // Four pictures' worth is still allowed.
    EXPECT_EQ(DecodeFails(ChunkBuilder().Head(4).Patch(0, 0, 3, 3, Zlib(Bytes(27))).Patch(0, 0, 3, 3, Zlib(Bytes(27)))
                              .Patch(0, 0, 3, 3, Zlib(Bytes(27))).Patch(0, 0, 3, 3, Zlib(Bytes(27))).out, 3, 3),
              "accepted");
}

TEST(EditablePng, DeflateBombIsRefusedAtItsDeclaredSize) {
    // 256 MiB of zeros in well under a megabyte, claimed to be one pixel.
    z_stream z{};
    ASSERT_EQ(deflateInit(&z, 9), Z_OK);
    const Bytes zeros(1 << 20, 0);
    Bytes bomb(1 << 20);
    z.next_out = bomb.data();
    z.avail_out = static_cast<uInt>(bomb.size());
    for (int i = 0; i < 256; ++i) {
        z.next_in = const_cast<Bytef*>(zeros.data());
        z.avail_in = static_cast<uInt>(zeros.size());
        ASSERT_EQ(deflate(&z, i == 255 ? Z_FINISH : Z_NO_FLUSH), i == 255 ? Z_STREAM_END : Z_OK);
    }
    bomb.resize(z.total_out);
    deflateEnd(&z);
    EXPECT_NE(DecodeFails(ChunkBuilder().Head(1).Patch(0, 0, 1, 1, bomb).out, 1, 1).find("patch 1 inflates to more than its size"),
              std::string::npos);
}

TEST(EditablePng, PixelDigestCoversSizeAndEveryPixelButNoPadding) {
    clsDIBSection dib;
    Paint(dib, 5, 3);  // rows padded to 16 bytes
    const PixelView view = ViewOf(dib);
    const auto digest = PixelDigest(view);

    // The layout written out by hand.
    Bytes plain = {0, 0, 0, 5, 0, 0, 0, 3};
    for (int y = 0; y < 3; ++y) plain.insert(plain.end(), view.Row(y), view.Row(y) + 15);
    EXPECT_EQ(digest, Sha256(plain.data(), plain.size()));

    // The same pixels top-down, with other padding: the same digest.
    Bytes topDown(3 * 20, 0xEE);
    for (int y = 0; y < 3; ++y) std::memcpy(&topDown[y * 20], view.Row(y), 15);
    EXPECT_EQ(PixelDigest(PixelView{topDown.data(), 20, 5, 3}), digest);

    // One byte, or only the shape, changed: another digest.
    dib.PixelPtr(4, 0)[2] ^= 1;
    EXPECT_NE(PixelDigest(view), digest);
    dib.PixelPtr(4, 0)[2] ^= 1;
    EXPECT_EQ(PixelDigest(view), digest);
    Bytes flat(plain.begin() + 8, plain.end());
    EXPECT_NE(PixelDigest(PixelView{flat.data(), 15, 5, 3}), PixelDigest(PixelView{flat.data(), 45, 15, 1}));
}
