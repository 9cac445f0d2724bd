// The JPEG codec is stb_image_write; this module adapts the DIB to it and keeps the save safe.
#include "image/modIntelJPEGLibrary.h"

#include <memory>
#include <new>
#include <vector>

#include "image/SafeFile.h"
#include "image/clsDIBSection.h"
#include "base/ErrorObject.h"

// The library is third-party code: its own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace plenvue {
namespace {

[[noreturn]] void Fail(int32_t code, const std::string& detail) {
    std::string text = "Failed to save to JPG " + std::to_string(code);
    if (!detail.empty()) text += ": " + detail;
    throw ErrorObject(kErrJpeg, JpegErrorSource(), text);
}

struct Sink {
    ReplacementFile* file;
    bool ok = true;
};

void WriteChunk(void* context, void* data, int size) {
    Sink* sink = static_cast<Sink*>(context);
    if (!sink->ok || size <= 0) return;
    uint32_t written = 0;
    bool result = sink->file->Write(data, static_cast<uint32_t>(size), written);
    sink->ok = result && written == static_cast<uint32_t>(size);
}

}  // namespace

std::string JpegErrorSource() { return std::string(kExeName) + ".mIntelJPEGLibrary"; }

bool SaveJPEG(clsDIBSection& cDib, const std::string& sFileName, int32_t lQuality) {
    const int32_t w = cDib.Width(), h = cDib.Height();
    if (!cDib.DIBSectionBitsPtr() || w <= 0 || h <= 0)
        throw ErrorObject(kErrJpeg, JpegErrorSource(),
                          "Failed to initialise the IJL library: " + std::to_string(kJpegCodeNoImage));
    if (w > kJpegMaxDimension || h > kJpegMaxDimension)
        Fail(kJpegCodeTooLarge, "the picture is wider or taller than 65500 pixels");

    FileFailure failure;
    if (!FileSystem().CheckReplaceable(sFileName, failure))
        throw ErrorObject(kErrPathFileAccess, kExeName, "Path/File access error");

    // The encoder takes top-down RGB rows; the DIB holds bottom-up BGR rows with pad bytes.
    std::vector<uint8_t> rgb;
    try {
        rgb.resize(static_cast<size_t>(w) * h * 3);
    } catch (const std::bad_alloc&) {
        Fail(kJpegCodeEncodeFailed, "out of memory");
    }
    for (int32_t row = 0; row < h; ++row) {
        const uint8_t* src = cDib.PixelPtr(0, h - 1 - row);
        uint8_t* dst = rgb.data() + static_cast<size_t>(row) * w * 3;
        for (int32_t x = 0; x < w; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }

    std::unique_ptr<ReplacementFile> file = FileSystem().CreateBeside(sFileName, failure);
    if (!file) Fail(kJpegCodeCreateFailed, failure.text);
    Sink sink{file.get()};
    if (!stbi_write_jpg_to_func(WriteChunk, &sink, w, h, 3, rgb.data(), lQuality))
        Fail(kJpegCodeEncodeFailed, "");
    if (!sink.ok) Fail(kJpegCodeWriteFailed, "");
    if (!file->Commit(true, failure)) Fail(kJpegCodeReplaceFailed, failure.text);
    return true;
}

}  // namespace plenvue
