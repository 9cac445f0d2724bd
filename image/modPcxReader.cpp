// Portable PCX decoding. Every size from the header is checked before a buffer is allocated and
// every run against the room left, so a hostile file gives an error, never a read outside it.
#include "image/modPcxReader.h"

#include <fstream>
#include <iterator>
#include <new>

#include "base/FileNames.h"
#include "image/clsDIBSection.h"

namespace plenvue {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kPaletteBlock = 769;  // marker byte 12 and 256 RGB entries
constexpr uint8_t kPaletteMarker = 12;
constexpr int32_t kMaxRun = 63;

// Bounded little-endian reader over the header.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Has(size_t at, size_t n) const { return at <= size_ && n <= size_ - at; }
    uint8_t U8(size_t at) const { return data_[at]; }
    int16_t I16(size_t at) const { return static_cast<int16_t>(data_[at] | data_[at + 1] << 8); }

private:
    const uint8_t* data_;
    size_t size_;
};

PcxResult Fail(int32_t number, std::string reason) {
    PcxResult r;
    r.status = PcxStatus::Corrupt;
    r.errorNumber = number;
    r.reason = std::move(reason);
    return r;
}

PcxResult Refuse(PcxStatus status) {
    PcxResult r;
    r.status = status;
    return r;
}

// The header's sizes are 16-bit signed computations; a result outside 16 bits is an overflow.
bool Fits16(int32_t v) { return v >= -32768 && v <= 32767; }

struct Sizes {
    int32_t width, height, planes, bytesPerLine, lineLength;
};

bool AllocateZeroed(std::vector<uint8_t>& v, size_t n) {
    try {
        v.assign(n, 0);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

PcxResult Decode256(const uint8_t* data, size_t size, const Sizes& s) {
    if (size < kHeaderSize + kPaletteBlock) return Fail(kErrPcxPastEndOfFile, "file shorter than the palette");
    const size_t dataEnd = size - kPaletteBlock;
    if (data[dataEnd] != kPaletteMarker) return Refuse(PcxStatus::NoPalette);

    // Each input byte advances a line by at most 63, so a line needs at least this many bytes.
    const uint64_t minBytes = static_cast<uint64_t>(s.height) * ((s.width + kMaxRun - 1) / kMaxRun);
    if (minBytes > dataEnd - kHeaderSize) return Fail(kErrPcxPastEndOfFile, "image data truncated");

    PcxResult r;
    PcxImage& img = r.image;
    img.width = s.width;
    img.height = s.height;
    img.planes = 1;
    img.stride = (s.width + 3) & ~3;
    for (int i = 0; i < 768; ++i) img.palette[i] = data[dataEnd + 1 + i];
    if (!AllocateZeroed(img.pixels, static_cast<size_t>(img.stride) * s.height))
        return Fail(kErrPcxOutOfMemory, "image too large");

    size_t pos = kHeaderSize;
    for (int32_t row = 0; row < s.height; ++row) {
        uint8_t* line = img.pixels.data() + static_cast<size_t>(row) * img.stride;
        int32_t x = 0;
        while (x < s.lineLength) {
            if (pos >= dataEnd) return Fail(kErrPcxPastEndOfFile, "image data truncated");
            uint8_t b = data[pos++];
            if (b < 0xC0) {
                if (x < s.width) line[x] = b;
                ++x;
                continue;
            }
            int32_t count = b & 0x3F;
            if (pos >= dataEnd) return Fail(kErrPcxPastEndOfFile, "image data truncated");
            uint8_t value = data[pos++];
            if (x + count > s.lineLength) {
                count = s.width - x;
                // Cut at the width while already in the padding: it cannot advance, so the line ends.
                if (count <= 0) break;
            }
            for (int32_t k = 0; k < count && x + k < s.width; ++k) line[x + k] = value;
            x += count;
        }
    }
    r.status = PcxStatus::Ok;
    return r;
}

PcxResult Decode24(const uint8_t* data, size_t size, const Sizes& s) {
    const uint64_t bufSize = static_cast<uint64_t>(s.bytesPerLine) * 3 * s.height;
    if (bufSize > 0x7FFFFFFF) return Fail(kErrPcxOverflow, "image too large");
    if (bufSize > static_cast<uint64_t>(kMaxRun) * (size - kHeaderSize))
        return Fail(kErrPcxPastEndOfFile, "image data truncated");
    std::vector<uint8_t> planes;
    if (!AllocateZeroed(planes, bufSize)) return Fail(kErrPcxOutOfMemory, "image too large");

    // One stream for the whole image: runs may cross from one line or plane into the next.
    size_t pos = kHeaderSize;
    size_t out = 0;
    while (out < bufSize) {
        if (pos >= size) return Fail(kErrPcxPastEndOfFile, "image data truncated");
        uint8_t b = data[pos++];
        if (b < 0xC0) {
            planes[out++] = b;
            continue;
        }
        size_t count = b & 0x3F;
        if (pos >= size) return Fail(kErrPcxPastEndOfFile, "image data truncated");
        uint8_t value = data[pos++];
        if (count > bufSize - out) return Fail(kErrPcxSubscript, "run past the end of the image");
        for (size_t k = 0; k < count; ++k) planes[out++] = value;
    }

    PcxResult r;
    PcxImage& img = r.image;
    img.width = s.width;
    img.height = s.height;
    img.planes = 3;
    img.stride = 4 * s.width;
    if (!AllocateZeroed(img.pixels, static_cast<size_t>(img.stride) * s.height))
        return Fail(kErrPcxOutOfMemory, "image too large");
    const size_t bpl = static_cast<size_t>(s.bytesPerLine);
    for (int32_t j = 0; j < s.height; ++j) {
        uint8_t* dst = img.pixels.data() + static_cast<size_t>(j) * img.stride;
        for (int32_t k = 0; k < s.width; ++k) {
            size_t base = 3 * bpl * j + k;
            dst[4 * k + 0] = planes[base + 2 * bpl];
            dst[4 * k + 1] = planes[base + bpl];
            dst[4 * k + 2] = planes[base];
        }
    }
    r.status = PcxStatus::Ok;
    return r;
}

}  // namespace

PcxResult DecodePcx(const uint8_t* data, size_t size) {
    ByteReader h(data, size);
    if (!h.Has(0, kHeaderSize)) return Fail(kErrPcxPastEndOfFile, "file shorter than the header");
    if (h.U8(3) != 8) return Refuse(PcxStatus::NotEightBits);
    Sizes s{};
    s.planes = h.U8(65);
    if (s.planes != 1 && s.planes != 3) return Refuse(PcxStatus::UnsupportedPlanes);

    const int32_t xMin = h.I16(4), yMin = h.I16(6), xMax = h.I16(8), yMax = h.I16(10);
    s.bytesPerLine = h.I16(66);
    s.width = xMax - xMin + 1;
    s.height = yMax - yMin + 1;
    s.lineLength = s.planes * s.bytesPerLine;
    if (!Fits16(s.width) || !Fits16(s.height) || !Fits16(s.lineLength))
        return Fail(kErrPcxOverflow, "image size overflows");
    if (s.width <= 0) return Fail(kErrPcxSubscript, "x max is less than x min");
    if (s.height <= 0) return Fail(kErrPcxSubscript, "y max is less than y min");
    if (s.bytesPerLine < s.width) return Fail(kErrPcxSubscript, "bytes per line less than the width");
    return s.planes == 1 ? Decode256(data, size, s) : Decode24(data, size, s);
}

PcxResult ReadPcxFile(const std::string& path) {
    std::ifstream f(FsPath(path), std::ios::binary);
    if (!f) return Fail(53, "File not found");
    std::vector<uint8_t> bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    } catch (const std::bad_alloc&) {
        return Fail(kErrPcxOutOfMemory, "file too large");
    }
    if (f.bad()) return Fail(kErrPcxPastEndOfFile, "file could not be read");
    return DecodePcx(bytes.data(), bytes.size());
}

bool PcxToDib(const PcxImage& image, clsDIBSection& dib) {
    if (!dib.Create(image.width, image.height)) return false;
    for (int32_t row = 0; row < image.height; ++row) {
        const uint8_t* src = image.pixels.data() + static_cast<size_t>(row) * image.stride;
        for (int32_t x = 0; x < image.width; ++x) {
            uint8_t* p = dib.PixelPtr(x, image.height - 1 - row);
            if (image.planes == 1) {
                const uint8_t* rgb = &image.palette[3 * src[x]];
                p[0] = rgb[2];
                p[1] = rgb[1];
                p[2] = rgb[0];
            } else {
                p[0] = src[4 * x];
                p[1] = src[4 * x + 1];
                p[2] = src[4 * x + 2];
            }
        }
    }
    return true;
}

}  // namespace plenvue
