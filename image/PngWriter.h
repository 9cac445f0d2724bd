// PNG writer: a 24-bit DIB to a PNG over zlib: a palette of 1, 2, 4 or 8 bits when the picture has
// at most 256 colours, else 8-bit RGB with each row given the filter that suits it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plenvue {

class clsDIBSection;

constexpr int32_t kErrPng = 26002;

// Codes that follow "Failed to save to PNG " in the description of error 26002.
constexpr int32_t kPngCodeNoImage = 1;
constexpr int32_t kPngCodeTooLarge = 2;
constexpr int32_t kPngCodeCreateFailed = 3;
constexpr int32_t kPngCodeEncodeFailed = 4;
constexpr int32_t kPngCodeWriteFailed = 5;
constexpr int32_t kPngCodeReplaceFailed = 6;

std::string PngErrorSource();

// The row filters of the format, by their numbers; Adaptive picks one per row.
enum class PngFilter : int32_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4, Adaptive = 5 };

// The buffer sizes of one encoding. PngLayoutFor computes them for a width and a pixel size (1, 2,
// 4 or 8 bits of palette index, or 24 of RGB) and is false when they do not fit this build's
// address space or zlib's 32-bit counts; the height only ever counts rows.
struct PngLayout {
    int32_t bitDepth = 8;     // bits per sample in IHDR
    size_t rowBytes = 0;      // packed bytes of one row, without its filter byte
    size_t scratchBytes = 0;  // the adaptive filter's candidate rows (RGB only)
    size_t batchBytes = 0;    // rows with their filter bytes handed to deflate at once
};
bool PngLayoutFor(int32_t width, int32_t bitsPerPixel, PngLayout& layout);

// Where the encoded bytes go, in order; false stops the encoding.
class PngSink {
public:
    virtual ~PngSink() = default;
    virtual bool Put(const uint8_t* data, size_t count) = 0;
};

// Encodes width x height pixels held as bottom-up blue-green-red rows, stride bytes apart, from
// the row at the lowest address (the picture's bottom). Returns 0, or one of the codes above with
// a short reason (kPngCodeWriteFailed when the sink refused bytes). With the adaptive filter a
// picture of at most 256 colours becomes a palette PNG; a fixed filter always writes RGB.
int32_t EncodePng(const uint8_t* bits, int32_t width, int32_t height, size_t stride, PngSink& sink,
                  std::string& reason, PngFilter filter = PngFilter::Adaptive);

// The whole PNG file of a DIB in memory (for the clipboard). False with a short reason.
bool EncodePngToMemory(const clsDIBSection& cDib, std::vector<uint8_t>& out, std::string& reason);

// Writes cDib as a PNG file. The new file is written beside the target and replaces it only when
// complete; a replaced file keeps its times and attributes. Raises error 26002 on failure and
// error 75 when an existing target is read-only, before anything is written. True when written.
bool SavePNG(clsDIBSection& cDib, const std::string& sFileName);

}  // namespace plenvue
