// Input files for tools and tests: 24-bit BMP read straight into the DIB's rows, JPEG decoded by
// libjpeg-turbo into them, every other format through stb_image (RGB rows top-down into the DIB's
// bottom-up BGR rows).
#include "image/ImageFileReader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "base/FileNames.h"
#include "image/clsDIBSection.h"

// The library is third-party code: its own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace plenvue {
namespace {

// A picture claiming more pixels than this is refused before anything is allocated: a few bytes
// of a hostile header must not ask for gigabytes.
constexpr uint64_t kMaxPixels = uint64_t(1) << 28;

struct FileCloser {
    std::FILE* f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

bool MakeDib(clsDIBSection& dib, int64_t w, int64_t h, std::string& error) {
    bool ok = false;
    if (w > 0 && h > 0 && static_cast<uint64_t>(w) * static_cast<uint64_t>(h) <= kMaxPixels) {
        try {
            ok = dib.Create(static_cast<int32_t>(w), static_cast<int32_t>(h));
        } catch (...) {
            ok = false;
        }
    }
    if (!ok) error = "cannot make a " + std::to_string(w) + " x " + std::to_string(h) + " picture";
    return ok;
}

uint32_t Le32(const uint8_t* p) {
    return p[0] | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

enum class Fast { Done, Failed, NotMine };

// A PNG's chunks must each fit in the file: the decoder would otherwise size its buffer from a
// hostile length (gigabytes for a file of a few hundred bytes) before finding the file short.
bool PngChunksFit(std::FILE* f, std::string& why) {
    if (std::fseek(f, 0, SEEK_END) != 0) return false;
    const long end = std::ftell(f);
    if (end < 8 || std::fseek(f, 8, SEEK_SET) != 0) {
        why = "the file is too short";
        return false;
    }
    uint64_t at = 8;
    for (;;) {
        uint8_t head[8];
        if (at + 12 > static_cast<uint64_t>(end) || std::fread(head, 1, 8, f) != 8) {
            why = "the file ends before its IEND chunk";
            return false;
        }
        const uint32_t length = (uint32_t{head[0]} << 24) | (uint32_t{head[1]} << 16) | (uint32_t{head[2]} << 8) | head[3];
        if (length > static_cast<uint64_t>(end) - at - 12) {
            why = "a chunk runs past the end of the file";
            return false;
        }
        if (std::memcmp(head + 4, "IEND", 4) == 0) return true;
        at += 12 + uint64_t{length};
        if (std::fseek(f, static_cast<long>(at), SEEK_SET) != 0) return false;
    }
}

// An uncompressed 24-bit BMP has the DIB's own row layout: its rows are read in place. Every other
// BMP is left to stb.
Fast ReadBmp24(std::FILE* f, const std::string& path, clsDIBSection& dib, std::string& error) {
    uint8_t head[54];
    if (std::fread(head, 1, sizeof head, f) != sizeof head || head[0] != 'B' || head[1] != 'M') return Fast::NotMine;
    const uint32_t offset = Le32(head + 10), infoSize = Le32(head + 14);
    const int32_t w = static_cast<int32_t>(Le32(head + 18)), rawH = static_cast<int32_t>(Le32(head + 22));
    if (infoSize < 40 || Le16(head + 26) != 1 || Le16(head + 28) != 24 || Le32(head + 30) != 0) return Fast::NotMine;
    if (w <= 0 || rawH == 0 || rawH == INT32_MIN || offset < 14u + infoSize) return Fast::NotMine;
    const bool topDown = rawH < 0;
    const int64_t h = topDown ? -static_cast<int64_t>(rawH) : rawH;
    if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMaxPixels) return Fast::NotMine;
    const uint64_t stride = (static_cast<uint64_t>(w) * 3 + 3) & ~uint64_t(3);
    if (std::fseek(f, 0, SEEK_END) != 0) return Fast::NotMine;
    const long size = std::ftell(f);
    if (size < 0) return Fast::NotMine;
    if (static_cast<uint64_t>(size) < offset + stride * static_cast<uint64_t>(h)) {
        error = "cannot read " + path + ": the file ends early";
        return Fast::Failed;
    }
    if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return Fast::NotMine;
    if (!MakeDib(dib, w, h, error)) return Fast::Failed;
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(h);
    bool ok;
    if (!topDown) {
        ok = std::fread(dib.DIBSectionBitsPtr(), 1, bytes, f) == bytes;
    } else {
        ok = true;
        for (int64_t row = h - 1; ok && row >= 0; --row)
            ok = std::fread(dib.PixelPtr(0, static_cast<int32_t>(row)), 1, stride, f) == stride;
    }
    if (!ok) {
        dib.ClearUp();
        error = "cannot read " + path + ": the file ends early";
        return Fast::Failed;
    }
    return Fast::Done;
}

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr cinfo) {
    JpegError* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}
void OnJpegMessage(j_common_ptr) {}

// Decodes straight into the DIB, last memory row first. Only trivially destructible objects live
// between the setjmp and the library's calls; `rows` is owned by the caller.
bool DecodeJpeg(jpeg_decompress_struct& cinfo, JpegError& err, std::FILE* f, clsDIBSection& dib,
                std::vector<JSAMPROW>& rows, std::string& error) {
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.output_message = OnJpegMessage;
    err.message[0] = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        dib.ClearUp();
        error = err.message;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&cinfo);
    const int64_t w = cinfo.output_width, h = cinfo.output_height;
    if (cinfo.output_components != 3 || !MakeDib(dib, w, h, error)) {
        if (cinfo.output_components != 3) error = "unsupported colour layout";
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    bool sized = true;
    try {
        rows.resize(static_cast<size_t>(h));
    } catch (...) {
        sized = false;
    }
    if (!sized) {
        jpeg_destroy_decompress(&cinfo);
        dib.ClearUp();
        error = "out of memory";
        return false;
    }
    for (int64_t row = 0; row < h; ++row) rows[static_cast<size_t>(row)] = dib.PixelPtr(0, static_cast<int32_t>(h - 1 - row));
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, rows.data() + cinfo.output_scanline, cinfo.output_height - cinfo.output_scanline);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool ReadWithStb(std::FILE* file, const std::string& path, clsDIBSection& dib, std::string& error) {
    int w = 0, h = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_file(file, &w, &h, &channels, 3);
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        error = std::string("cannot read ") + path + ": " + (reason ? reason : "unknown format");
        return false;
    }
    if (!MakeDib(dib, w, h, error)) {
        stbi_image_free(pixels);
        return false;
    }
    for (int row = 0; row < h; ++row) {
        const stbi_uc* src = pixels + static_cast<size_t>(row) * w * 3;
        uint8_t* p = dib.PixelPtr(0, h - 1 - row);
        for (int x = 0; x < w; ++x, src += 3, p += 3) {
            p[0] = src[2];
            p[1] = src[1];
            p[2] = src[0];
        }
    }
    stbi_image_free(pixels);
    return true;
}

}  // namespace

bool ReadImageWithStb(const std::string& path, clsDIBSection& dib, std::string& error) {
    FileCloser file{OpenFileUtf8(path, "rb")};
    if (!file.f) {
        error = "cannot read " + path + ": can't fopen";
        return false;
    }
    return ReadImageFromFile(file.f, path, dib, error);
}

bool ReadImageFromFile(std::FILE* f, const std::string& path, clsDIBSection& dib, std::string& error) {
    uint8_t magic[3] = {0, 0, 0};
    const size_t got = std::fread(magic, 1, 3, f);
    std::rewind(f);
    if (got == 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF) {
        jpeg_decompress_struct cinfo{};
        JpegError err{};
        std::vector<JSAMPROW> rows;
        if (DecodeJpeg(cinfo, err, f, dib, rows, error)) return true;
        error = "cannot read " + path + ": " + error;
        return false;
    }
    if (got == 3 && magic[0] == 0x89 && magic[1] == 'P' && magic[2] == 'N') {
        std::string why = "it cannot be read";
        const bool fits = PngChunksFit(f, why);
        std::rewind(f);
        if (!fits) {
            error = "cannot read " + path + ": " + why;
            return false;
        }
    }
    if (got >= 2 && magic[0] == 'B' && magic[1] == 'M') {
        const Fast r = ReadBmp24(f, path, dib, error);
        if (r == Fast::Done) return true;
        if (r == Fast::Failed) return false;
        std::rewind(f);
    }
    return ReadWithStb(f, path, dib, error);
}

}  // namespace plenvue
