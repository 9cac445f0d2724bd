// The 24-bit bottom-up pixel buffer every image operation works on. The portable surface lives
// here; the Windows layer (clsDIBSection_win.cpp) backs the pixels with a real DIB section in a
// memory DC by installing a storage provider, and adds the members that need GDI.
#pragma once
#include <cstddef>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#ifdef _WIN32
struct HDC__;
struct HBITMAP__;
struct IPictureDisp;
#endif

namespace plenvue {

// BITMAPINFOHEADER, kept as fields; written little-endian field by field, never as a struct.
struct DibHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

// Header of a 24-bit bottom-up DIB of the given size; an image size beyond 32 bits raises the
// overflow error.
DibHeader MakeDib24Header(int32_t lWidth, int32_t lheight);

// Where the pixels of a DIB live.
class DibStorage {
public:
    virtual ~DibStorage() = default;
    uint8_t* Bits() const { return bits_; }
    // Completes pending drawing so the bytes can be read or written directly.
    virtual void Sync() {}

protected:
    uint8_t* bits_ = nullptr;
};

// Makes zero-filled storage for a header made by MakeDib24Header; null when none can be had.
using DibStorageProvider = std::unique_ptr<DibStorage> (*)(const DibHeader& header);
// Ordinary memory; the default.
std::unique_ptr<DibStorage> MemoryDibStorage(const DibHeader& header);
// Installs the provider for every later Create; null restores MemoryDibStorage.
void SetDibStorageProvider(DibStorageProvider provider);

// Error 17 of SavePicture and the bitmap writer, source ".clsDIBSection256".
constexpr int32_t kErrDibCantCreateFile = 17;
std::string DibErrorSource();

// The 40 header bytes as written into BMP files, little-endian field by field.
std::array<uint8_t, 40> DibHeaderBytes(const DibHeader& h);
// The 14-byte file header of a BMP: "BM", the file size, two reserved words, the pixel offset.
std::array<uint8_t, 14> BitmapFileHeaderBytes(uint32_t fileSize, uint32_t pixelOffset);

class clsDIBSection {
public:
    clsDIBSection();
    ~clsDIBSection();
    clsDIBSection(const clsDIBSection&) = delete;
    clsDIBSection& operator=(const clsDIBSection&) = delete;

    // Releases any old DIB, then makes a zero-filled lWidth x lheight one. False when either size
    // is not positive or no storage can be had; an image size beyond 32 bits raises overflow.
    bool Create(int32_t lWidth, int32_t lheight);
    void ClearUp();

    int32_t BytesPerScanLine() const { return stride_; }
    int32_t Width() const { return header_.biWidth; }
    int32_t Height() const { return header_.biHeight; }
    uint8_t* DIBSectionBitsPtr() const { return bits_; }
    const DibHeader& Header() const { return header_; }
    bool IsEmpty() const { return bits_ == nullptr; }

    // Fills the DIB with noise from the program-wide generator, seeded from the time of day.
    void RandomiseBits(bool bGray);
    // A new DIB of lNewWidth x lNewHeight: an exact copy at the same size, otherwise bilinear.
    // Null when the new DIB cannot be created or this one is empty.
    std::unique_ptr<clsDIBSection> Resample(int32_t lNewHeight, int32_t lNewWidth);
    // Copies the whole image of a DIB of the same size; false when the sizes differ.
    bool CopyFrom(const clsDIBSection& cSource);

    // Writes a 24-bit BMP. Raises error 17 when the file cannot be created (or an existing one
    // may not be replaced); write failures give false and leave an existing file untouched.
    bool SavePicture(const std::string& sFileName);

    // The pixel at (x, memory row y): blue, green, red.
    uint8_t* PixelPtr(int32_t x, int32_t y) const {
        return bits_ + static_cast<ptrdiff_t>(y) * stride_ + 3 * static_cast<ptrdiff_t>(x);
    }

#ifdef _WIN32
    // Members over GDI, in clsDIBSection_win.cpp. Handles are 0 in an empty DIB.
    bool CopyToClipboard(bool bAsDIB);
    // Creates a 24-bit bottom-up DIB section on lHDC; the caller owns hDib. Does not change this
    // object. Overflow in the image size raises the overflow error.
    bool CreateDIB(HDC__* lHDC, int32_t lWidth, int32_t lheight, HBITMAP__*& hDib);
    void CreateFromPicture(IPictureDisp* picThis);
    // Negative sizes stand for this DIB's own; single BitBlt calls, no stretching.
    void LoadPictureBlt(HDC__* lHDC, int32_t lSrcLeft = 0, int32_t lSrcTop = 0, int32_t lSrcWidth = -1,
                        int32_t lSrcHeight = -1, uint32_t eRop = 0xCC0020);
    void PaintPicture(HDC__* lHDC, int32_t lDestLeft = 0, int32_t lDestTop = 0, int32_t lDestWidth = -1,
                      int32_t lDestHeight = -1, int32_t lSrcLeft = 0, int32_t lSrcTop = 0,
                      uint32_t eRop = 0xCC0020);
    HDC__* hdc() const;
    HBITMAP__* hDib() const;
    static std::string ApiError(int32_t lLastDllError);
#endif

private:
    static bool WriteSucceeded(bool bResult, uint32_t lBytesToWrite, uint32_t lBytesWritten);
    void ResampleInto(clsDIBSection& cTarget) const;

    DibHeader header_;
    uint8_t* bits_ = nullptr;
    int32_t stride_ = 0;
    std::unique_ptr<DibStorage> storage_;
};

}  // namespace plenvue
