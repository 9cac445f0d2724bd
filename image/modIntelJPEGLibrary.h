// JPEG writer: a 24-bit DIB to a baseline JPEG file through libjpeg-turbo.
#pragma once
#include <cstdint>
#include <string>

namespace plenvue {

class clsDIBSection;

constexpr int32_t kErrJpeg = 26001;
constexpr int32_t kErrPathFileAccess = 75;  // an existing target that may not be replaced
// The format's limit, which the encoder does not check itself.
constexpr int32_t kJpegMaxDimension = 65500;

// Codes that follow the two descriptions of error 26001.
constexpr int32_t kJpegCodeNoImage = 1;       // "Failed to initialise the IJL library: 1"
constexpr int32_t kJpegCodeTooLarge = 2;
constexpr int32_t kJpegCodeCreateFailed = 3;
constexpr int32_t kJpegCodeEncodeFailed = 4;
constexpr int32_t kJpegCodeWriteFailed = 5;
constexpr int32_t kJpegCodeReplaceFailed = 6;

std::string JpegErrorSource();

// Writes cDib (bottom-up rows with pad bytes) as a JPEG of the given quality (1..100; the program
// passes 90). The new file is written beside the target and replaces it only when complete; a
// replaced file keeps its times and attributes. Raises error 26001 on failure and error 75 when
// an existing target is read-only, before anything is written. Returns true when written.
bool SaveJPEG(clsDIBSection& cDib, const std::string& sFileName, int32_t lQuality);

}  // namespace plenvue
