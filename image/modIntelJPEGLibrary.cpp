// The JPEG codec is libjpeg-turbo (linked statically, with its SIMD code); this module feeds it the
// DIB's rows in place and keeps the save safe. The quality scaling of the standard tables and the
// chroma subsampling (4:2:0 up to quality 90, none above) are those the writer always had.
#include "image/modIntelJPEGLibrary.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include <jpeglib.h>

#include "image/SafeFile.h"
#include "image/clsDIBSection.h"
#include "base/ErrorObject.h"

namespace plenvue {
namespace {

[[noreturn]] void Fail(int32_t code, const std::string& detail) {
    std::string text = "Failed to save to JPG " + std::to_string(code);
    if (!detail.empty()) text += ": " + detail;
    throw ErrorObject(kErrJpeg, JpegErrorSource(), text);
}

constexpr size_t kOutBytes = size_t(1) << 16;

// The library reports errors through error_exit, which must not return: it jumps back to the
// setjmp in Compress. Only trivially destructible objects live in the frames it jumps over.
struct ErrorJump {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
    ErrorJump* err = reinterpret_cast<ErrorJump*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr) {}

struct FileDestination {
    jpeg_destination_mgr mgr;
    ReplacementFile* file;
    uint8_t* buffer;
    bool ok;
};

bool WriteOut(FileDestination* d, size_t count) {
    if (!d->ok || count == 0) return d->ok;
    uint32_t written = 0;
    d->ok = d->file->Write(d->buffer, static_cast<uint32_t>(count), written) && written == count;
    return d->ok;
}

void InitDestination(j_compress_ptr cinfo) {
    FileDestination* d = reinterpret_cast<FileDestination*>(cinfo->dest);
    d->mgr.next_output_byte = d->buffer;
    d->mgr.free_in_buffer = kOutBytes;
}

boolean EmptyBuffer(j_compress_ptr cinfo) {
    FileDestination* d = reinterpret_cast<FileDestination*>(cinfo->dest);
    WriteOut(d, kOutBytes);  // a failed write is remembered; the rest is discarded
    d->mgr.next_output_byte = d->buffer;
    d->mgr.free_in_buffer = kOutBytes;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    FileDestination* d = reinterpret_cast<FileDestination*>(cinfo->dest);
    WriteOut(d, kOutBytes - d->mgr.free_in_buffer);
}

// 0 when compressed, else a code with the library's message in `err.message`.
int32_t Compress(jpeg_compress_struct& cinfo, ErrorJump& err, FileDestination& dest, const clsDIBSection& dib,
                 int32_t quality, JSAMPROW* rows) {
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnError;
    err.mgr.output_message = OnMessage;
    err.message[0] = 0;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return kJpegCodeEncodeFailed;
    }
    jpeg_create_compress(&cinfo);
    cinfo.dest = &dest.mgr;
    dest.mgr.init_destination = InitDestination;
    dest.mgr.empty_output_buffer = EmptyBuffer;
    dest.mgr.term_destination = TermDestination;

    const int32_t w = dib.Width(), h = dib.Height();
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;  // the DIB's own byte order: no conversion pass
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.dct_method = JDCT_ISLOW;  // integer arithmetic: the same bytes on every build
    const int factor = quality <= 90 ? 2 : 1;
    cinfo.comp_info[0].h_samp_factor = factor;
    cinfo.comp_info[0].v_samp_factor = factor;
    for (int c = 1; c < 3; ++c) cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;

    // The DIB is bottom-up: the first scan line is the last row in memory.
    for (int32_t row = 0; row < h; ++row) rows[row] = dib.PixelPtr(0, h - 1 - row);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
        jpeg_write_scanlines(&cinfo, rows + cinfo.next_scanline, cinfo.image_height - cinfo.next_scanline);
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return dest.ok ? 0 : kJpegCodeWriteFailed;
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
    const int32_t quality = lQuality < 1 ? 1 : lQuality > 100 ? 100 : lQuality;

    FileFailure failure;
    if (!FileSystem().CheckReplaceable(sFileName, failure))
        throw ErrorObject(kErrPathFileAccess, kExeName, "Path/File access error");

    std::vector<JSAMPROW> rows;
    std::vector<uint8_t> buffer;
    try {
        rows.resize(static_cast<size_t>(h));
        buffer.resize(kOutBytes);
    } catch (const std::bad_alloc&) {
        Fail(kJpegCodeEncodeFailed, "out of memory");
    }

    std::unique_ptr<ReplacementFile> file = FileSystem().CreateBeside(sFileName, failure);
    if (!file) Fail(kJpegCodeCreateFailed, failure.text);
    jpeg_compress_struct cinfo{};
    ErrorJump err{};
    FileDestination dest{};
    dest.file = file.get();
    dest.buffer = buffer.data();
    dest.ok = true;
    const int32_t code = Compress(cinfo, err, dest, cDib, quality, rows.data());
    if (code == kJpegCodeEncodeFailed) Fail(code, err.message);
    if (code) Fail(code, "");
    if (!file->Commit(true, failure)) Fail(kJpegCodeReplaceFailed, failure.text);
    return true;
}

}  // namespace plenvue
