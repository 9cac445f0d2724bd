// The PNG encoder: rows converted to RGB top-down, flat rows left unfiltered and the others given
// the filter with the least sum of absolute differences, all rows through one zlib stream whose
// encoder follows the kind of rows, IDAT chunks of a fixed size.
#include "image/PngWriter.h"

#include <zlib.h>

#include <cstdlib>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "image/ResidualDeflate.h"
#include "image/SafeFile.h"
#include "image/clsDIBSection.h"
#include "image/modIntelJPEGLibrary.h"
#include "base/ErrorObject.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plenvue {
namespace {

// Compressed bytes per IDAT chunk, and filtered bytes handed to deflate at once: few calls and
// few chunk headers without holding the whole picture.
constexpr size_t kChunkBytes = size_t(1) << 18;
constexpr size_t kBatchBytes = size_t(1) << 17;
constexpr size_t kPixelBytes = 3;
constexpr uint32_t kNoColour = 0xFFFFFFFFu;  // no pixel's key: keys have 24 bits
const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The largest hash table and symbol buffer: fewer false chain entries, longer blocks.
constexpr int kZlibMemLevel = 9;

void PutBE32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

class ChunkWriter {
public:
    explicit ChunkWriter(PngSink& sink) : sink_(sink) {}
    bool Put(const uint8_t* data, size_t count) { return sink_.Put(data, count); }
    bool Chunk(const char* type, const uint8_t* data, uint32_t length) {
        uint8_t head[8];
        PutBE32(head, length);
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0L, head + 4, 4);
        // A null buffer would make crc32 return its initial value instead.
        if (length) crc = crc32(crc, data, length);
        uint8_t tail[4];
        PutBE32(tail, static_cast<uint32_t>(crc));
        return sink_.Put(head, 8) && (length == 0 || sink_.Put(data, length)) && sink_.Put(tail, 4);
    }

private:
    PngSink& sink_;
};

// Compressed bytes gathered into IDAT chunks of kChunkBytes.
class IdatWriter {
public:
    IdatWriter(ChunkWriter& out, std::vector<uint8_t>& chunk) : out_(out), chunk_(chunk) {}
    bool Put(const uint8_t* data, size_t count) {
        while (count) {
            const size_t part = std::min(count, chunk_.size() - used_);
            std::memcpy(chunk_.data() + used_, data, part);
            used_ += part;
            data += part;
            count -= part;
            if (used_ == chunk_.size() && !Flush()) return false;
        }
        return true;
    }
    bool Flush() {
        const uint32_t used = static_cast<uint32_t>(used_);
        used_ = 0;
        return used == 0 || out_.Chunk("IDAT", chunk_.data(), used);
    }

private:
    ChunkWriter& out_;
    std::vector<uint8_t>& chunk_;
    size_t used_ = 0;
};

// Each filter reads the row and the one above it, both preceded by kPixelBytes zero bytes, so the
// left neighbours of the first pixel need no special case.
void FilterRow(PngFilter f, const uint8_t* cur, const uint8_t* prior, uint8_t* out, size_t n) {
    const uint8_t* left = cur - kPixelBytes;
    const uint8_t* upLeft = prior - kPixelBytes;
    switch (f) {
        case PngFilter::None:
            std::memcpy(out, cur, n);
            break;
        case PngFilter::Sub:
            for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - left[i]);
            break;
        case PngFilter::Up:
            for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - prior[i]);
            break;
        case PngFilter::Average:
            for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - ((left[i] + prior[i]) >> 1));
            break;
        default:
            for (size_t i = 0; i < n; ++i) {
                const int a = left[i], b = prior[i], c = upLeft[i];
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                const int pred = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                out[i] = static_cast<uint8_t>(cur[i] - pred);
            }
            break;
    }
}

// The bytes read as signed differences, summed by magnitude.
uint64_t Cost(const uint8_t* p, size_t n) {
    uint64_t sum = 0;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i mag = _mm_min_epu8(v, _mm_sub_epi8(zero, v));
        acc = _mm_add_epi64(acc, _mm_sad_epu8(mag, zero));
    }
    alignas(16) uint64_t lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), acc);
    sum = lanes[0] + lanes[1];
#endif
    for (; i < n; ++i) sum += p[i] < 128 ? p[i] : 256u - p[i];
    return sum;
}

class VectorSink : public PngSink {
public:
    explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
    bool Put(const uint8_t* data, size_t count) override {
        out_.insert(out_.end(), data, data + count);
        return true;
    }

private:
    std::vector<uint8_t>& out_;
};

class FileSink : public PngSink {
public:
    explicit FileSink(ReplacementFile& file) : file_(file) {}
    bool Put(const uint8_t* data, size_t count) override {
        while (count) {
            const uint32_t part = count > 0x40000000u ? 0x40000000u : static_cast<uint32_t>(count);
            uint32_t written = 0;
            if (!file_.Write(data, part, written) || written != part) return false;
            data += part;
            count -= part;
        }
        return true;
    }

private:
    ReplacementFile& file_;
};

struct DeflateStream {
    z_stream zs{};
    bool open = false;
    ~DeflateStream() {
        if (open) deflateEnd(&zs);
    }
};

// Compresses `count` bytes from `data` into IDAT chunks through the bounce buffer `zout`.
// Z_SYNC_FLUSH ends the run on a byte boundary, Z_FINISH ends the stream. 0 or an error code.
int32_t DeflateInto(DeflateStream& z, IdatWriter& idat, std::vector<uint8_t>& zout, const uint8_t* data,
                    size_t count, int flush, std::string& reason) {
    z.zs.next_in = const_cast<Bytef*>(data);
    z.zs.avail_in = static_cast<uInt>(count);
    for (;;) {
        z.zs.next_out = zout.data();
        z.zs.avail_out = static_cast<uInt>(zout.size());
        const int rc = deflate(&z.zs, flush);
        if (rc == Z_STREAM_ERROR) {
            reason = "the compressor failed";
            return kPngCodeEncodeFailed;
        }
        const size_t made = zout.size() - z.zs.avail_out;
        if (made && !idat.Put(zout.data(), made)) {
            reason = "writing the file failed";
            return kPngCodeWriteFailed;
        }
        if (flush == Z_FINISH ? rc == Z_STREAM_END : z.zs.avail_in == 0 && z.zs.avail_out != 0) return 0;
    }
}

// Two kinds of rows, each with the encoder that suits it. Flat rows (screens: areas of one
// colour, text, lines) keep their bytes unfiltered, so that a glyph or an edge repeats byte for
// byte wherever it appears, and go to zlib with greedy matching and moderate chains. Rows of
// continuous tone (photos, gradients) get the filter with the least sum of absolute differences;
// their residuals are mostly noise, which the residual encoder handles (see ResidualDeflate.h).
struct DeflateMode {
    int level, strategy, good, lazy, nice, chain;
};
const DeflateMode kFlatMode = {3, Z_DEFAULT_STRATEGY, 8, 16, 64, 64};

// A row is flat when at least half its pixels repeat their left neighbour.
bool IsFlatRow(const uint8_t* row, size_t n) {
    size_t same = 0;
    for (size_t i = kPixelBytes; i < n; i += kPixelBytes)
        same += row[i] == row[i - 3] && row[i + 1] == row[i - 2] && row[i + 2] == row[i - 1];
    return 2 * same >= n / kPixelBytes;
}

// The distinct colours of a picture, when there are at most 256: open addressing over a table
// four times that size, so probes stay short; runs of one colour cost one comparison a pixel.
class ColourTable {
public:
    static constexpr size_t kSlots = 1024;
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    ColourTable() : keys_(kSlots, kEmpty), values_(kSlots, 0) {}

    // The slot of a colour, inserting it when new; false when a 257th colour would be needed.
    bool Insert(uint32_t colour, size_t& count) {
        size_t i = Hash(colour);
        while (keys_[i] != kEmpty) {
            if (keys_[i] == colour) return true;
            i = (i + 1) & (kSlots - 1);
        }
        if (count == 256) return false;
        keys_[i] = colour;
        ++count;
        return true;
    }
    uint8_t Index(uint32_t colour) const {
        size_t i = Hash(colour);
        while (keys_[i] != colour) i = (i + 1) & (kSlots - 1);
        return values_[i];
    }
    void SetIndex(uint32_t colour, uint8_t index) {
        size_t i = Hash(colour);
        while (keys_[i] != colour) i = (i + 1) & (kSlots - 1);
        values_[i] = index;
    }

private:
    static size_t Hash(uint32_t c) { return (c * 0x9E3779B1u) >> 22; }
    std::vector<uint32_t> keys_;
    std::vector<uint8_t> values_;
};

uint32_t PixelKey(const uint8_t* p) {  // red in the high byte, as the palette is sorted
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

// Fills `palette` (sorted, red-green-blue) and `table` when the picture has at most 256 colours.
bool FindPalette(const uint8_t* bits, int32_t width, int32_t height, size_t stride, ColourTable& table,
                 std::vector<uint32_t>& palette) {
    size_t count = 0;
    std::vector<uint32_t> seen;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = bits + static_cast<size_t>(y) * stride;
        uint32_t last = kNoColour;
        for (int32_t x = 0; x < width; ++x, p += 3) {
            const uint32_t c = PixelKey(p);
            if (c == last) continue;
            last = c;
            const size_t before = count;
            if (!table.Insert(c, count)) return false;
            if (count != before) seen.push_back(c);
        }
    }
    std::sort(seen.begin(), seen.end());
    for (size_t i = 0; i < seen.size(); ++i) table.SetIndex(seen[i], static_cast<uint8_t>(i));
    palette.swap(seen);
    return true;
}

// Packs a row's palette indices at `depth` bits, the first pixel in the most significant bits.
void PackIndices(const uint8_t* src, int32_t width, const ColourTable& table, int32_t depth, uint8_t* out) {
    uint32_t last = kNoColour;
    uint8_t index = 0;
    if (depth == 8) {
        for (int32_t x = 0; x < width; ++x, src += 3) {
            const uint32_t c = PixelKey(src);
            if (c != last) {
                last = c;
                index = table.Index(c);
            }
            out[x] = index;
        }
        return;
    }
    const int32_t perByte = 8 / depth;
    uint32_t acc = 0;
    int32_t inByte = 0;
    for (int32_t x = 0; x < width; ++x, src += 3) {
        const uint32_t c = PixelKey(src);
        if (c != last) {
            last = c;
            index = table.Index(c);
        }
        acc = (acc << depth) | index;
        if (++inByte == perByte) {
            *out++ = static_cast<uint8_t>(acc);
            acc = 0;
            inByte = 0;
        }
    }
    if (inByte) *out = static_cast<uint8_t>(acc << (depth * (perByte - inByte)));
}

int32_t PaletteDepth(size_t colours) { return colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8; }

// Palette pictures: rows of packed indices, unfiltered (neighbouring indices say nothing about
// each other's values), one zlib stream with lazy matching and long chains: the rows are a third
// of the truecolour bytes or fewer, so the picture affords more effort per byte than RGB rows.
int32_t EncodeIndexed(const uint8_t* bits, int32_t width, int32_t height, size_t stride, const PngLayout& layout,
                      const ColourTable& table, ChunkWriter& out, std::string& reason) {
    std::vector<uint8_t> batch(layout.batchBytes);
    std::vector<uint8_t> zout(kBatchBytes);
    std::vector<uint8_t> chunk(kChunkBytes);
    IdatWriter idat(out, chunk);
    DeflateStream z;
    if (deflateInit2(&z.zs, 9, Z_DEFLATED, 15, kZlibMemLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
        reason = "out of memory";
        return kPngCodeEncodeFailed;
    }
    z.open = true;
    // Level 9's chains of 4096 cost twice the time of 1024 on text and UI for under 3 % in size;
    // packed rows of 1, 2 or 4 bits repeat so often that 256 candidates find nearly every match.
    deflateTune(&z.zs, 32, 258, 258, layout.bitDepth == 8 ? 1024 : 256);
    const size_t rowBytes = layout.rowBytes;
    size_t filled = 0;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* src = bits + static_cast<size_t>(height - 1 - row) * stride;
        batch[filled] = 0;
        PackIndices(src, width, table, layout.bitDepth, batch.data() + filled + 1);
        filled += rowBytes + 1;
        const bool last = row + 1 == height;
        if (filled + rowBytes + 1 > batch.size() || last) {
            if (const int32_t code = DeflateInto(z, idat, zout, batch.data(), filled, last ? Z_FINISH : Z_NO_FLUSH, reason))
                return code;
            filled = 0;
        }
    }
    if (!idat.Flush()) {
        reason = "writing the file failed";
        return kPngCodeWriteFailed;
    }
    return 0;
}

int32_t Encode(const uint8_t* bits, int32_t width, int32_t height, size_t stride, PngSink& sink,
               std::string& reason, PngFilter filter) {
    if (!bits || width <= 0 || height <= 0) {
        reason = "there is no picture";
        return kPngCodeNoImage;
    }
    PngLayout layout;
    if (!PngLayoutFor(width, 24, layout)) {
        reason = "the picture is too wide";
        return kPngCodeTooLarge;
    }
    const size_t n = layout.rowBytes;
    if (stride < static_cast<uint64_t>(width) * kPixelBytes ||
        (height > 1 && static_cast<size_t>(height - 1) > (SIZE_MAX - n) / stride)) {
        reason = "the rows do not fit in memory";
        return kPngCodeTooLarge;
    }

    // A picture of at most 256 colours is written with a palette, its colours exact.
    ColourTable table;
    std::vector<uint32_t> palette;
    if (filter == PngFilter::Adaptive && FindPalette(bits, width, height, stride, table, palette)) {
        const int32_t depth = PaletteDepth(palette.size());
        if (!PngLayoutFor(width, depth, layout)) {
            reason = "the picture is too wide";
            return kPngCodeTooLarge;
        }
        ChunkWriter out(sink);
        uint8_t ihdr[13];
        PutBE32(ihdr, static_cast<uint32_t>(width));
        PutBE32(ihdr + 4, static_cast<uint32_t>(height));
        ihdr[8] = static_cast<uint8_t>(depth);
        ihdr[9] = 3;  // colour type: palette
        ihdr[10] = ihdr[11] = ihdr[12] = 0;
        uint8_t plte[768];
        for (size_t i = 0; i < palette.size(); ++i) {
            plte[3 * i] = static_cast<uint8_t>(palette[i] >> 16);
            plte[3 * i + 1] = static_cast<uint8_t>(palette[i] >> 8);
            plte[3 * i + 2] = static_cast<uint8_t>(palette[i]);
        }
        if (!out.Put(kSignature, 8) || !out.Chunk("IHDR", ihdr, 13) ||
            !out.Chunk("PLTE", plte, static_cast<uint32_t>(3 * palette.size()))) {
            reason = "writing the file failed";
            return kPngCodeWriteFailed;
        }
        if (int32_t code = EncodeIndexed(bits, width, height, stride, layout, table, out, reason)) return code;
        if (!out.Chunk("IEND", nullptr, 0)) {
            reason = "writing the file failed";
            return kPngCodeWriteFailed;
        }
        return 0;
    }

    std::vector<uint8_t> prior(n + kPixelBytes), cur(n + kPixelBytes);
    std::vector<uint8_t> candidates;
    if (filter == PngFilter::Adaptive) candidates.resize(layout.scratchBytes);
    const size_t rowsPerBatch = layout.batchBytes / (n + 1);
    std::vector<uint8_t> batch(layout.batchBytes);
    std::vector<uint8_t> chunk(kChunkBytes);

    ChunkWriter out(sink);
    uint8_t ihdr[13];
    PutBE32(ihdr, static_cast<uint32_t>(width));
    PutBE32(ihdr + 4, static_cast<uint32_t>(height));
    ihdr[8] = 8;   // bits per sample
    ihdr[9] = 2;   // colour type: RGB
    ihdr[10] = 0;  // deflate
    ihdr[11] = 0;  // adaptive filtering, one filter byte per row
    ihdr[12] = 0;  // not interlaced
    if (!out.Put(kSignature, 8) || !out.Chunk("IHDR", ihdr, 13)) {
        reason = "writing the file failed";
        return kPngCodeWriteFailed;
    }

    // One zlib stream over all rows, made of runs of raw deflate blocks: zlib's for flat rows, the
    // residual encoder's for rows of continuous tone. Every run ends on a byte boundary, so the
    // next encoder simply goes on; both see the whole history, so matches reach across runs.
    IdatWriter idat(out, chunk);
    static const uint8_t kZlibHeader[2] = {0x78, 0x9C};  // deflate, 32 KiB window, default level
    if (!idat.Put(kZlibHeader, 2)) {
        reason = "writing the file failed";
        return kPngCodeWriteFailed;
    }
    uLong adler = adler32(0L, nullptr, 0);

    DeflateStream z;
    if (deflateInit2(&z.zs, kFlatMode.level, Z_DEFLATED, -15, kZlibMemLevel, kFlatMode.strategy) != Z_OK) {
        reason = "out of memory";
        return kPngCodeEncodeFailed;
    }
    z.open = true;
    deflateTune(&z.zs, kFlatMode.good, kFlatMode.lazy, kFlatMode.nice, kFlatMode.chain);
    std::vector<uint8_t> zout(kBatchBytes);
    ResidualDeflater residual;
    bool toneRun = false, zlibUsed = false;

    auto takeResidual = [&]() {
        std::vector<uint8_t>& bytes = residual.Output();
        const bool ok = bytes.empty() || idat.Put(bytes.data(), bytes.size());
        bytes.clear();
        return ok;
    };
    auto feed = [&](size_t count, int flush) { return DeflateInto(z, idat, zout, batch.data(), count, flush, reason); };

    size_t filled = 0, flatRows = 0, rowsInBatch = 0;
    uint64_t streamBytes = 0;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* src = bits + static_cast<size_t>(height - 1 - row) * stride;
        uint8_t* dst = cur.data() + kPixelBytes;
        for (size_t i = 0; i < n; i += kPixelBytes) {
            dst[i] = src[i + 2];
            dst[i + 1] = src[i + 1];
            dst[i + 2] = src[i];
        }
        uint8_t* target = batch.data() + filled;
        const uint8_t* c = cur.data() + kPixelBytes;
        const uint8_t* p = prior.data() + kPixelBytes;
        PngFilter chosen = filter;
        if (filter == PngFilter::Adaptive) {
            if (IsFlatRow(c, n)) {
                chosen = PngFilter::None;
                ++flatRows;
            } else {
                uint64_t bestCost = UINT64_MAX;
                for (int f = 0; f < 5; ++f) {
                    uint8_t* cand = candidates.data() + static_cast<size_t>(f) * n;
                    FilterRow(static_cast<PngFilter>(f), c, p, cand, n);
                    const uint64_t cost = Cost(cand, n);
                    if (cost < bestCost) {
                        bestCost = cost;
                        chosen = static_cast<PngFilter>(f);
                    }
                }
            }
        }
        target[0] = static_cast<uint8_t>(chosen);
        if (filter == PngFilter::Adaptive && chosen != PngFilter::None)
            std::memcpy(target + 1, candidates.data() + static_cast<size_t>(chosen) * n, n);
        else
            FilterRow(chosen, c, p, target + 1, n);
        filled += n + 1;
        ++rowsInBatch;
        prior.swap(cur);

        const bool last = row + 1 == height;
        if (rowsInBatch == rowsPerBatch || last) {
            // The batch's kind decides its encoder; a fixed filter keeps to zlib.
            const bool tone = filter == PngFilter::Adaptive && 2 * flatRows < rowsInBatch;
            if (tone != toneRun) {
                if (toneRun) {
                    residual.Finish(false);
                    if (!takeResidual()) {
                        reason = "writing the file failed";
                        return kPngCodeWriteFailed;
                    }
                } else if (zlibUsed) {
                    if (int32_t code = feed(0, Z_SYNC_FLUSH)) return code;
                }
                if (!tone && streamBytes > 0) {
                    // zlib starts afresh with the window the stream has so far.
                    const size_t have =
                        static_cast<size_t>(std::min<uint64_t>(streamBytes, ResidualDeflater::kWindow));
                    if (deflateReset(&z.zs) != Z_OK ||
                        deflateSetDictionary(&z.zs, residual.Recent(have), static_cast<uInt>(have)) != Z_OK) {
                        reason = "the compressor failed";
                        return kPngCodeEncodeFailed;
                    }
                    deflateTune(&z.zs, kFlatMode.good, kFlatMode.lazy, kFlatMode.nice, kFlatMode.chain);
                }
                toneRun = tone;
            }
            adler = adler32(adler, batch.data(), static_cast<uInt>(filled));
            residual.Add(batch.data(), filled, tone);
            streamBytes += filled;
            if (tone) {
                if (last) residual.Finish(true);
                if (!takeResidual()) {
                    reason = "writing the file failed";
                    return kPngCodeWriteFailed;
                }
            } else {
                zlibUsed = true;
                if (int32_t code = feed(filled, last ? Z_FINISH : Z_NO_FLUSH)) return code;
            }
            filled = flatRows = rowsInBatch = 0;
        }
    }
    uint8_t trailer[4];
    PutBE32(trailer, static_cast<uint32_t>(adler));
    if (!idat.Put(trailer, 4) || !idat.Flush()) {
        reason = "writing the file failed";
        return kPngCodeWriteFailed;
    }

    if (!out.Chunk("IEND", nullptr, 0)) {
        reason = "writing the file failed";
        return kPngCodeWriteFailed;
    }
    return 0;
}

[[noreturn]] void Fail(int32_t code, const std::string& detail) {
    std::string text = "Failed to save to PNG " + std::to_string(code);
    if (!detail.empty()) text += ": " + detail;
    throw ErrorObject(kErrPng, PngErrorSource(), text);
}

}  // namespace

std::string PngErrorSource() { return std::string(kExeName) + ".PngWriter"; }

bool PngLayoutFor(int32_t width, int32_t bitsPerPixel, PngLayout& layout) {
    if (width <= 0 || (bitsPerPixel != 1 && bitsPerPixel != 2 && bitsPerPixel != 4 && bitsPerPixel != 8 &&
                       bitsPerPixel != 24))
        return false;
    // 64-bit arithmetic throughout: a width below 2^31 at 24 bits makes at most 2^36 here.
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 7) / 8;
    const uint64_t scratch = bitsPerPixel == 24 ? 5 * rowBytes : 0;  // one filtered row per filter
    const uint64_t batch = rowBytes + 1 > kBatchBytes ? rowBytes + 1 : kBatchBytes;
    // A row and its filter byte go to zlib in one call, whose counts have 32 bits; every buffer,
    // with the row's kPixelBytes of left padding, must be addressable.
    const uint64_t limit = std::min<uint64_t>(SIZE_MAX / 2, 0xFFFFFFFFu);
    if (rowBytes + 1 > 0xFFFFFFFFu || scratch > SIZE_MAX / 2 || batch > limit || rowBytes + kPixelBytes > limit)
        return false;
    layout.bitDepth = bitsPerPixel == 24 ? 8 : bitsPerPixel;
    layout.rowBytes = static_cast<size_t>(rowBytes);
    layout.scratchBytes = static_cast<size_t>(scratch);
    layout.batchBytes = static_cast<size_t>(batch);
    return true;
}

int32_t EncodePng(const uint8_t* bits, int32_t width, int32_t height, size_t stride, PngSink& sink,
                  std::string& reason, PngFilter filter) {
    try {
        return Encode(bits, width, height, stride, sink, reason, filter);
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
        return kPngCodeEncodeFailed;
    } catch (const std::length_error&) {
        reason = "out of memory";
        return kPngCodeEncodeFailed;
    }
}

bool EncodePngToMemory(const clsDIBSection& cDib, std::vector<uint8_t>& out, std::string& reason) {
    out.clear();
    VectorSink sink(out);
    const int32_t code = EncodePng(cDib.DIBSectionBitsPtr(), cDib.Width(), cDib.Height(),
                                   static_cast<size_t>(cDib.BytesPerScanLine()), sink, reason);
    if (code) out.clear();
    return code == 0;
}

bool SavePNG(clsDIBSection& cDib, const std::string& sFileName) {
    if (cDib.IsEmpty()) Fail(kPngCodeNoImage, "there is no picture");
    FileFailure failure;
    if (!FileSystem().CheckReplaceable(sFileName, failure))
        throw ErrorObject(kErrPathFileAccess, kExeName, "Path/File access error");
    std::unique_ptr<ReplacementFile> file = FileSystem().CreateBeside(sFileName, failure);
    if (!file) Fail(kPngCodeCreateFailed, failure.text);
    FileSink sink(*file);
    std::string reason;
    const int32_t code = EncodePng(cDib.DIBSectionBitsPtr(), cDib.Width(), cDib.Height(),
                                   static_cast<size_t>(cDib.BytesPerScanLine()), sink, reason);
    if (code) Fail(code, reason);
    if (!file->Commit(true, failure)) Fail(kPngCodeReplaceFailed, failure.text);
    return true;
}

}  // namespace plenvue
