// Loading and saving picture files, and the saving sound.
#include "shell/FileCommands_win.h"

#include <mmsystem.h>
#include <ole2.h>
#include <olectl.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "image/PngWriter.h"
#include "image/SafeFile.h"
#include "image/WicPicture_win.h"
#include "image/SafeFile_win.h"
#include "image/clsDIBSection.h"
#include "image/modIntelJPEGLibrary.h"
#include "image/modPcxReader_win.h"
#include "markup/EditablePng.h"
#include "markup/MarkupFile.h"
#include "base/ErrorObject.h"
#include "shell/FileRules.h"
#include "base/win/Handles_win.h"
#include "base/win/SystemDll_win.h"
#include "shell/PictureFileCheck.h"
#include "settings/CurrentSettings.h"
#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"

namespace plenvue {
namespace {

// Larger picture files are not read into memory at all.
constexpr LONGLONG kMaxPictureFileSize = 512LL * 1024 * 1024;

FileError Error(int32_t number, std::string description) { return FileError{number, std::move(description)}; }

// Remembers why the last write failed: the JPEG writer keeps only that it failed.
class RecordingFile : public ReplacementFile {
public:
    RecordingFile(std::unique_ptr<ReplacementFile> inner, uint32_t& lastError)
        : inner_(std::move(inner)), lastError_(lastError) {}
    bool Write(const void* data, uint32_t count, uint32_t& written) override {
        bool ok = inner_->Write(data, count, written);
        if (!ok) {
            DWORD code = GetLastError();
            lastError_ = code ? code : ERROR_WRITE_FAULT;
        } else if (written != count) {
            lastError_ = ERROR_DISK_FULL;  // a short write without an error: the disk is full
        }
        return ok;
    }
    bool Commit(bool keepOldStamp, FileFailure& failure) override { return inner_->Commit(keepOldStamp, failure); }

private:
    std::unique_ptr<ReplacementFile> inner_;
    uint32_t& lastError_;
};

class RecordingOps : public FileSystemOps {
public:
    RecordingOps() : inner_(FileSystem()) { SetFileSystem(this); }
    ~RecordingOps() override { SetFileSystem(&inner_); }
    RecordingOps(const RecordingOps&) = delete;
    RecordingOps& operator=(const RecordingOps&) = delete;

    bool CheckReplaceable(const std::string& target, FileFailure& failure) override {
        return inner_.CheckReplaceable(target, failure);
    }
    std::unique_ptr<ReplacementFile> CreateBeside(const std::string& target, FileFailure& failure) override {
        std::unique_ptr<ReplacementFile> file = inner_.CreateBeside(target, failure);
        if (!file) return nullptr;
        return std::make_unique<RecordingFile>(std::move(file), lastWriteError);
    }

    uint32_t lastWriteError = 0;

private:
    FileSystemOps& inner_;
};

FileError LoadPlatformPicture(const std::string& path, Picture& picture) {
    UniqueKernel file(CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return Error(kErrFileNotFound, "File not found");
        return FileErrorFromSystem(code);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return FileErrorFromSystem(GetLastError());
    if (size.QuadPart == 0) return Error(kErrInvalidPicture, "Invalid picture");
    if (size.QuadPart > kMaxPictureFileSize) return Error(kErrOutOfMemory, "Out of memory");
    const DWORD bytes = static_cast<DWORD>(size.QuadPart);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return Error(kErrOutOfMemory, "Out of memory");
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
        GlobalFree(memory);
        return Error(kErrOutOfMemory, "Out of memory");
    }
    auto* data = static_cast<uint8_t*>(GlobalLock(memory));
    DWORD read = 0;
    BOOL ok = ReadFile(file.get(), data, bytes, &read, nullptr);
    DWORD readError = GetLastError();
    BitmapFileState state = ok && read == bytes ? CheckBitmapFile(data, bytes) : BitmapFileState::NotBitmap;
    GlobalUnlock(memory);
    if (!ok) return FileErrorFromSystem(readError);
    if (read != bytes) return Error(kErrFileAccess, "Path/File access error");
    if (state == BitmapFileState::Truncated) return Error(kErrInvalidPicture, "Invalid picture");

    ComPtr<IPicture> loaded;
    HRESULT hr = OleLoadPicture(stream.get(), static_cast<LONG>(bytes), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(loaded.put()));
    if (hr == E_OUTOFMEMORY) return Error(kErrOutOfMemory, "Out of memory");
    if (FAILED(hr) || !loaded) return Error(kErrInvalidPicture, "Invalid picture");
    // The canvas shows bitmaps only; an icon or metafile under a picture name is no picture here.
    SHORT type = PICTYPE_NONE;
    if (FAILED(loaded->get_Type(&type)) || type != PICTYPE_BITMAP) return Error(kErrInvalidPicture, "Invalid picture");
    Picture result = Picture::Adopt(loaded.get());
    loaded.get()->AddRef();  // Adopt takes over one reference; `loaded` releases its own
    if (result.Empty()) return Error(kErrInvalidPicture, "Invalid picture");
    picture = result;
    return {};
}

FileError LoadPcxPicture(const std::string& path, Picture& picture) {
    try {
        IPictureDisp* disp = LoadPCX(path);
        if (!disp) return Error(kErrRefusedQuietly, "");
        IPicture* pic = nullptr;
        HRESULT hr = disp->QueryInterface(IID_IPicture, reinterpret_cast<void**>(&pic));
        disp->Release();
        if (FAILED(hr) || !pic) return Error(kErrInvalidPicture, "Invalid picture");
        picture = Picture::Adopt(pic);
        return {};
    } catch (const ErrorObject& e) {
        return Error(e.Number, e.Number == kErrFileNotFound ? "File not found" : e.Description);
    } catch (const std::bad_alloc&) {
        return Error(kErrOutOfMemory, "Out of memory");
    }
}

FileError LoadPngPicture(const std::string& path, Picture& picture, COLORREF background) {
    if (GetFileAttributesW(WideName(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return Error(kErrFileNotFound, "File not found");
        return FileErrorFromSystem(code);
    }
    switch (LoadPngFile(path, background, picture)) {
        case WicResult::Ok: return {};
        case WicResult::OutOfMemory: return Error(kErrOutOfMemory, "Out of memory");
        case WicResult::NotPicture:
        case WicResult::NoDecoder: break;
    }
    return Error(kErrInvalidPicture, "Invalid picture");
}

// Writes the picture through one of the portable encoders, mapping its failure to a file error.
// Runs a writer that raises its failures, as a file error: a refused target as 75, a failed write
// as the system's error for it.
template <class Write>
FileError RunWriter(Write&& write) {
    RecordingOps recording;
    try {
        write();
        return {};
    } catch (const ErrorObject& e) {
        if (e.Number == kErrPathFileAccess) return Error(kErrFileAccess, SystemErrorText(ERROR_ACCESS_DENIED));
        if (recording.lastWriteError) return FileErrorFromSystem(recording.lastWriteError);
        return Error(e.Number, e.Description);
    }
}

// The picture's pixels in a DIB, drawn there and flushed so its bytes can be read directly.
FileError PictureDib(const Picture& picture, clsDIBSection& dib) {
    ComPtr<IPictureDisp> disp;
    if (picture.Empty() || FAILED(picture.get()->QueryInterface(IID_IPictureDisp, reinterpret_cast<void**>(disp.put()))))
        return Error(kErrInvalidPicture, "Invalid picture");
    dib.CreateFromPicture(disp.get());
    if (dib.IsEmpty()) return Error(kErrOutOfMemory, "Out of memory");
    GdiFlush();
    return {};
}

template <class Encode>
FileError WriteEncodedFile(const Picture& picture, const std::string& path, Encode&& encode) {
    clsDIBSection dib;
    if (FileError e = PictureDib(picture, dib)) return e;
    return RunWriter([&] { encode(dib, path); });
}

}  // namespace

FileError FileErrorFromSystem(uint32_t code) {
    int32_t number;
    switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            number = kErrDiskFull;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            number = kErrPermissionDenied;
            break;
        case ERROR_FILE_NOT_FOUND:
            number = kErrFileNotFound;
            break;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
        case ERROR_INVALID_DRIVE:
            number = kErrPathNotFound;
            break;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            number = kErrOutOfMemory;
            break;
        default:
            number = kErrFileAccess;
            break;
    }
    std::string text = SystemErrorLine(code);
    if (text.empty()) text = "System error " + std::to_string(code);
    return FileError{number, text};
}

std::string SaveFailureText(const std::string& path, const FileError& error) {
    return path + "\r\n\r\n" + std::to_string(error.Number) + " - " + error.Description;
}

FileError LoadPictureFile(const std::string& path, Picture& picture, COLORREF background) {
    switch (PictureLoaderFor(path)) {
        case PictureLoader::Platform: return LoadPlatformPicture(path, picture);
        case PictureLoader::Pcx: return LoadPcxPicture(path, picture);
        case PictureLoader::Png: return LoadPngPicture(path, picture, background);
        case PictureLoader::None: break;
    }
    return Error(kErrInvalidPicture, "Invalid picture");
}

FileError LoadPictureFile(const std::string& path, Picture& picture) {
    return LoadPictureFile(path, picture, static_cast<COLORREF>(CanvasColorValue(Settings().CanvasColor)));
}

FileError WriteBitmapFile(HBITMAP bitmap, HPALETTE palette, const std::string& path) {
    BITMAP bm{};
    if (!bitmap || GetObject(bitmap, sizeof bm, &bm) != sizeof bm || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return Error(kErrInvalidPicture, "Invalid picture");
    const int depthHeld = bm.bmBitsPixel * bm.bmPlanes;
    const int depth = depthHeld == 1 || depthHeld == 4 || depthHeld == 8 ? depthHeld : 24;
    const uint32_t colours = depth <= 8 ? 1u << depth : 0;
    const uint64_t stride = (static_cast<uint64_t>(bm.bmWidth) * depth + 31) / 32 * 4;
    const uint64_t imageSize = stride * static_cast<uint64_t>(bm.bmHeight);
    const uint32_t headerBytes = 14 + 40 + 4 * colours;
    if (imageSize + headerBytes > 0x7FFFFFFFu) return Error(kErrOutOfMemory, "Out of memory");

    std::vector<uint8_t> file;
    try {
        file.resize(headerBytes + static_cast<size_t>(imageSize));
    } catch (const std::bad_alloc&) {
        return Error(kErrOutOfMemory, "Out of memory");
    }
    std::vector<uint8_t> infoBytes(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = bm.bmWidth;
    info->bmiHeader.biHeight = bm.bmHeight;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(depth);
    info->bmiHeader.biCompression = BI_RGB;
    {
        WindowDC screen = WindowDC::Client(nullptr);
        HPALETTE old = palette ? SelectPalette(screen.get(), palette, TRUE) : nullptr;
        if (palette) RealizePalette(screen.get());
        int lines = GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), file.data() + headerBytes, info,
                              DIB_RGB_COLORS);
        if (palette) SelectPalette(screen.get(), old, TRUE);
        if (lines != bm.bmHeight) return Error(kErrOutOfMemory, "Out of memory");
    }
    const std::array<uint8_t, 14> fileHeader = BitmapFileHeaderBytes(static_cast<uint32_t>(file.size()), headerBytes);
    DibHeader header;
    header.biSize = 40;
    header.biWidth = bm.bmWidth;
    header.biHeight = bm.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<uint16_t>(depth);
    header.biSizeImage = static_cast<uint32_t>(imageSize);
    const std::array<uint8_t, 40> infoHeader = DibHeaderBytes(header);
    uint8_t* p = std::copy(fileHeader.begin(), fileHeader.end(), file.data());
    p = std::copy(infoHeader.begin(), infoHeader.end(), p);
    for (uint32_t i = 0; i < colours; ++i) {
        const RGBQUAD& q = info->bmiColors[i];
        *p++ = q.rgbBlue;
        *p++ = q.rgbGreen;
        *p++ = q.rgbRed;
        *p++ = 0;
    }

    FileFailure failure;
    if (!FileSystem().CheckReplaceable(path, failure)) return Error(kErrFileAccess, TrimLineEnd(failure.text));
    std::unique_ptr<ReplacementFile> out = FileSystem().CreateBeside(path, failure);
    if (!out) return FileErrorFromSystem(static_cast<uint32_t>(failure.code));
    // Written in pieces, so that a disk that fills up part-way is met part-way.
    constexpr size_t kChunk = 1 << 20;
    for (size_t at = 0; at < file.size(); at += kChunk) {
        uint32_t count = static_cast<uint32_t>(std::min(kChunk, file.size() - at));
        uint32_t written = 0;
        if (!out->Write(file.data() + at, count, written)) {
            DWORD code = GetLastError();
            return FileErrorFromSystem(code ? code : ERROR_WRITE_FAULT);
        }
        if (written != count) return FileErrorFromSystem(ERROR_DISK_FULL);  // a short write: the disk is full
    }
    if (!out->Commit(false, failure)) return FileErrorFromSystem(static_cast<uint32_t>(failure.code));
    return {};
}

FileError SavePictureFile(const Picture& picture, const std::string& path, std::string& written) {
    SaveTarget target = SaveTargetFor(path);
    written = target.Path;
    if (target.Format == SaveFormat::None) return {};
    return SavePictureInFormat(picture, target.Path, target.Format, 90);
}

FileError SavePictureInFormat(const Picture& picture, const std::string& path, SaveFormat format,
                              int32_t jpegQuality) {
    if (picture.Empty()) return Error(kErrInvalidPicture, "Invalid picture");
    if (format == SaveFormat::Jpeg)
        return WriteEncodedFile(picture, path, [jpegQuality](clsDIBSection& dib, const std::string& p) {
            SaveJPEG(dib, p, jpegQuality);
        });
    if (format == SaveFormat::Png)
        return WriteEncodedFile(picture, path, [](clsDIBSection& dib, const std::string& p) { SavePNG(dib, p); });
    return WriteBitmapFile(picture.Bitmap(), picture.Palette(), path);
}

FileError OpenMarkup(const std::string& path, const Picture& loaded, markup::MarkupDocument& doc, int& notice) {
    notice = 0;
    doc.Clear();
    std::vector<uint8_t> bytes;
    std::string reason;
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!markup::ReadFileBytes(path, bytes, reason) || bytes.size() < 8 || !std::equal(kSignature, kSignature + 8, bytes.begin()))
        return {};
    markup::PngStructure structure;
    if (!markup::ReadPngStructure(bytes.data(), bytes.size(), structure, reason))
        return Error(kErrInvalidPicture, "Invalid picture");
    clsDIBSection pixels;
    if (FileError e = PictureDib(loaded, pixels)) return e;
    markup::OpenOutcome outcome;
    if (!markup::OpenEditablePng(bytes.data(), bytes.size(), pixels, doc, outcome, reason)) {
        doc.Clear();
        return Error(kErrInvalidPicture, "Invalid picture");
    }
    if (outcome.kind == markup::OpenKind::Stale) notice = kMsgMarkupStale;
    if (outcome.kind == markup::OpenKind::BadChunk) notice = kMsgMarkupDamaged;
    if (outcome.kind != markup::OpenKind::Editable) doc.Clear();
    return {};
}

FileError SaveMarkupFile(const markup::MarkupDocument& doc, const std::string& path) {
    if (doc.Empty()) return Error(kErrInvalidPicture, "Invalid picture");
    return RunWriter([&] { markup::SaveEditablePng(doc, path); });
}

bool CopyPictureFile(const std::string& from, const std::string& to) {
    return CopyFileW(WideName(from).c_str(), WideName(to).c_str(), FALSE) != FALSE;
}

bool MovePictureFile(const std::string& from, const std::string& to) {
    return MoveFileW(WideName(from).c_str(), WideName(to).c_str()) != FALSE;
}

bool DeletePictureFile(const std::string& path) { return DeleteFileW(WideName(path).c_str()) != FALSE; }

bool RecyclePictureFile(const std::string& path, std::string& reason) {
    std::optional<std::wstring> wide = WidenChecked(path);
    if (!wide || wide->empty() || GetFileAttributesW(WideName(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        reason = SystemErrorText(ERROR_FILE_NOT_FOUND);
        return false;
    }
    // The shell takes a list of names, each ended by a nul, the list by another; it knows no
    // extended-length prefix.
    std::wstring names = *wide;
    names.push_back(L'\0');
    names.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = names.c_str();
    // Asked already; but a file the bin cannot take (another drive, too large) is never destroyed
    // without the shell's own warning.
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_NOERRORUI | FOF_SILENT;
    const int result = SHFileOperationW(&op);
    if (result != 0 || op.fAnyOperationsAborted || GetFileAttributesW(WideName(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
        reason = SystemErrorText(result ? static_cast<uint32_t>(result) : ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

void PlayWave(const std::string& path) {
    if (sysdll::waveOutGetNumDevs() == 0) {
        MessageBeep(0xFFFFFFFF);
        return;
    }
    sysdll::PlaySoundW(WideName(path).c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
}

}  // namespace plenvue
