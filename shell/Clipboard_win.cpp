// Pictures on and from the clipboard.
#include "shell/Clipboard_win.h"

#include <cstring>
#include <string>
#include <vector>

#include "image/PackedDib.h"
#include "image/PngWriter.h"
#include "image/WicPicture_win.h"
#include "image/clsDIBSection.h"
#include "shell/ClipboardChange.h"

namespace plenvue {
namespace {

// Moveable global memory, freed unless handed to the clipboard.
class GlobalBlock {
public:
    explicit GlobalBlock(size_t size) : h_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalBlock() {
        if (h_) GlobalFree(h_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL get() const { return h_; }
    HGLOBAL release() {
        HGLOBAL h = h_;
        h_ = nullptr;
        return h;
    }
    bool Fill(const void* a, size_t aSize, const void* b = nullptr, size_t bSize = 0) {
        if (!h_) return false;
        auto* p = static_cast<uint8_t*>(GlobalLock(h_));
        if (!p) return false;
        std::memcpy(p, a, aSize);
        if (b) std::memcpy(p + aSize, b, bSize);
        GlobalUnlock(h_);
        return true;
    }

private:
    HGLOBAL h_;
};

// A locked clipboard block; the clipboard keeps the memory.
class LockedBlock {
public:
    explicit LockedBlock(HANDLE h) : h_(h), p_(h ? GlobalLock(h) : nullptr), size_(h ? GlobalSize(h) : 0) {}
    ~LockedBlock() {
        if (p_) GlobalUnlock(h_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    const uint8_t* data() const { return static_cast<const uint8_t*>(p_); }
    size_t size() const { return p_ ? size_ : 0; }

private:
    HANDLE h_;
    void* p_;
    size_t size_;
};

bool SetData(UINT format, GlobalBlock& block) {
    if (!SetClipboardData(format, block.get())) return false;
    block.release();  // the clipboard owns it now
    return true;
}

Picture PictureFromBitmapCopy(HBITMAP shared) {
    // The clipboard keeps its own bitmap; the picture gets a copy it may delete.
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(shared, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return Picture::FromBitmap(copy, nullptr);
}

}  // namespace

UINT PngClipboardFormat() {
    static const UINT format = RegisterClipboardFormatA("PNG");
    return format;
}

UINT OwnPictureClipboardFormat() {
    static const UINT format = RegisterClipboardFormatA("Plenvue.OwnPicture");
    return format;
}

OpenedClipboard::OpenedClipboard(HWND owner, const ClipboardRetry& retry) : closed_(retry.Closed) {
    for (int i = 0; i < retry.Attempts; ++i) {
        if (i > 0 && retry.Pause) retry.Pause(retry.PauseMs);
        if (OpenClipboard(owner)) {
            open_ = true;
            return;
        }
    }
}

OpenedClipboard::~OpenedClipboard() {
    if (!open_) return;
    CloseClipboard();
    if (closed_) closed_();
}

ClipboardResult PutPictureOnClipboard(HWND owner, const Picture& picture, uint32_t& sequence,
                                      const ClipboardRetry& retry, bool markOwn) {
    if (picture.Empty()) return ClipboardResult::NoPicture;
    clsDIBSection dib;
    ComPtr<IPictureDisp> disp;
    if (FAILED(picture.get()->QueryInterface(IID_IPictureDisp, reinterpret_cast<void**>(disp.put()))))
        return ClipboardResult::Failed;
    dib.CreateFromPicture(disp.get());
    if (dib.IsEmpty()) return ClipboardResult::Failed;
    GdiFlush();  // the picture was just drawn into the DIB

    // Both forms are made before the clipboard is opened, so it is held only for the handing over.
    uint32_t whileOpen = 0;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = dib.Width();
    header.biHeight = dib.Height();
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const size_t pixelBytes = static_cast<size_t>(dib.BytesPerScanLine()) * static_cast<size_t>(dib.Height());
    header.biSizeImage = static_cast<DWORD>(pixelBytes);
    GlobalBlock dibBlock(sizeof header + pixelBytes);
    if (!dibBlock.Fill(&header, sizeof header, dib.DIBSectionBitsPtr(), pixelBytes)) return ClipboardResult::Failed;
    std::vector<uint8_t> png;
    std::string reason;
    if (!EncodePngToMemory(dib, png, reason)) return ClipboardResult::Failed;
    GlobalBlock pngBlock(png.size());
    if (!pngBlock.Fill(png.data(), png.size())) return ClipboardResult::Failed;

    {
        OpenedClipboard clipboard(owner, retry);
        if (!clipboard) return ClipboardResult::Busy;
        if (!EmptyClipboard()) return ClipboardResult::Failed;
        const bool dibSet = SetData(CF_DIB, dibBlock);
        const bool pngSet = SetData(PngClipboardFormat(), pngBlock);
        if (!dibSet && !pngSet) return ClipboardResult::Failed;
        if (markOwn) {
            GlobalBlock mark(1);
            const uint8_t one = 1;
            if (!mark.Fill(&one, 1) || !SetData(OwnPictureClipboardFormat(), mark)) return ClipboardResult::Failed;
        }
        whileOpen = ClipboardSequence();
    }
    sequence = SequenceOfOwnChange(whileOpen, ClipboardSequence());
    return ClipboardResult::Ok;
}

namespace {

// The clipboard's picture, with `sequence` read at the end while the clipboard is still open.
ClipboardResult ReadPicture(HWND owner, COLORREF background, Picture& picture, const ClipboardRetry& retry,
                            uint32_t& sequence) {
    OpenedClipboard clipboard(owner, retry);
    if (!clipboard) return ClipboardResult::Busy;
    struct ReadSequence {
        uint32_t& to;
        ~ReadSequence() { to = ClipboardSequence(); }
    } readSequence{sequence};
    // The forms a program writes itself come first, each checked before anything reads it: a
    // bitmap is often one the system made from the DIB, and making it would have read that DIB
    // unchecked. So a bitmap is taken only when neither PNG nor DIB is there.
    const bool png = IsClipboardFormatAvailable(PngClipboardFormat()) != FALSE;
    const bool dib = IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_DIBV5);
    Picture result;
    if (png) {
        LockedBlock block(GetClipboardData(PngClipboardFormat()));
        if (block.data()) DecodePngPicture(block.data(), block.size(), background, result);
    }
    if (result.Empty() && dib) {
        LockedBlock block(GetClipboardData(CF_DIB));
        if (block.data()) result = Picture::FromBitmap(DibSectionFromPackedDib(block.data(), block.size()), nullptr);
    }
    if (result.Empty() && !png && !dib && IsClipboardFormatAvailable(CF_BITMAP)) {
        if (HANDLE shared = GetClipboardData(CF_BITMAP)) result = PictureFromBitmapCopy(static_cast<HBITMAP>(shared));
    }
    if (result.Empty()) return png || dib ? ClipboardResult::Unreadable : ClipboardResult::NoPicture;
    picture = result;
    return ClipboardResult::Ok;
}

}  // namespace

ClipboardResult TakePictureFromClipboard(HWND owner, COLORREF background, Picture& picture,
                                         const ClipboardRetry& retry, uint32_t* sequence) {
    // Asking which formats are there can already bring in another program's data.
    const bool offered = ClipboardHasPicture();
    uint32_t whileOpen = ClipboardSequence();
    if (!offered) {
        if (sequence) *sequence = whileOpen;
        return ClipboardResult::NoPicture;
    }
    const ClipboardResult result = ReadPicture(owner, background, picture, retry, whileOpen);
    if (sequence)
        *sequence = result == ClipboardResult::Busy ? whileOpen : SequenceOfOwnChange(whileOpen, ClipboardSequence());
    return result;
}

bool ClipboardHasPicture() {
    return IsClipboardFormatAvailable(PngClipboardFormat()) || IsClipboardFormatAvailable(CF_DIB) ||
           IsClipboardFormatAvailable(CF_DIBV5) || IsClipboardFormatAvailable(CF_BITMAP);
}

bool ClipboardOwnedBy(HWND window) { return window && GetClipboardOwner() == window; }

bool ClipboardMarkedOwn() { return IsClipboardFormatAvailable(OwnPictureClipboardFormat()) != FALSE; }

uint32_t ClipboardSequence() { return GetClipboardSequenceNumber(); }

HBITMAP DibSectionFromPackedDib(const void* block, size_t size) {
    const auto* src = static_cast<const uint8_t*>(block);
    PackedDibLayout l;
    if (!ParsePackedDib(src, size, l)) return nullptr;
    // The header and colours as GDI reads them: a plain 40-byte header, then masks or colours.
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + 12);
    BITMAPINFOHEADER plain;
    std::memcpy(&plain, src, sizeof plain);
    plain.biSize = sizeof plain;
    plain.biClrUsed = l.Colours;
    std::memcpy(info.data(), &plain, sizeof plain);
    if (l.MasksOffset) std::memcpy(info.data() + sizeof plain, src + l.MasksOffset, 12);
    if (l.Colours) std::memcpy(info.data() + sizeof plain, src + l.ColoursOffset, l.Colours * 4);

    BITMAPINFO out{};
    out.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    out.bmiHeader.biWidth = l.Width;
    out.bmiHeader.biHeight = l.Height;
    out.bmiHeader.biPlanes = 1;
    out.bmiHeader.biBitCount = 24;
    out.bmiHeader.biCompression = BI_RGB;
    void* outBits = nullptr;
    UniqueBitmap dib(CreateDIBSection(nullptr, &out, DIB_RGB_COLORS, &outBits, nullptr, 0));
    if (!dib) return nullptr;
    WindowDC screen = WindowDC::Client(nullptr);
    int lines = SetDIBits(screen.get(), dib.get(), 0, static_cast<UINT>(l.Height), src + l.PixelsOffset,
                          reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    if (lines != l.Height) return nullptr;
    return dib.release();
}

}  // namespace plenvue
