// PCX reader: the portable decoder (header checks, run-length decoding into rows and a palette).
// The Windows part that turns a decoded image into a picture is modPcxReader_win.h.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plenvue {

class clsDIBSection;

constexpr const char* kPcxCantLoadMessage = "Sorry, can't load that pcx file!";
constexpr const char* kPcxNoPaletteMessage =
    "The PCX that was passed didn't have a 256 colour palette! Can't read it!";

enum class PcxStatus {
    Ok,
    NotEightBits,     // refused with kPcxCantLoadMessage
    UnsupportedPlanes,  // 8 bits but neither 1 nor 3 planes: refused without a message
    NoPalette,        // 256-colour file without the marker: refused with kPcxNoPaletteMessage
    Corrupt,          // bad sizes or data: an error for the caller, with a reason
};

// Run-time error numbers carried by a corrupt file's error.
constexpr int32_t kErrPcxOverflow = 6;         // a size that does not fit 16 bits
constexpr int32_t kErrPcxOutOfMemory = 7;      // buffers too large
constexpr int32_t kErrPcxSubscript = 9;        // decoded data do not fit the buffer / bad sizes
constexpr int32_t kErrPcxPastEndOfFile = 62;   // truncated header, data or palette

struct PcxImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t planes = 0;  // 1: 256 colours, 3: true colour
    // Planes 1: one palette index a pixel, rows of `stride` bytes (width rounded up to 4), top row
    // first. Planes 3: four bytes a pixel (blue, green, red, 0), `stride` = 4 x width, top first.
    int32_t stride = 0;
    std::vector<uint8_t> pixels;
    // Planes 1: 256 entries of red, green, blue.
    std::array<uint8_t, 768> palette{};
};

struct PcxResult {
    PcxStatus status = PcxStatus::Corrupt;
    int32_t errorNumber = 0;  // for Corrupt
    std::string reason;       // for Corrupt
    PcxImage image;
};

// Decodes a whole PCX file held in memory. Never reads outside data[0, size).
PcxResult DecodePcx(const uint8_t* data, size_t size);
// Reads and decodes a file; a file that cannot be read is Corrupt with error 53 or 62.
PcxResult ReadPcxFile(const std::string& path);

// Copies a decoded image into a 24-bit DIB (bottom-up rows, palette indices looked up).
bool PcxToDib(const PcxImage& image, clsDIBSection& dib);

}  // namespace plenvue
