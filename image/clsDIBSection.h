// The 24-bit bottom-up pixel buffer every image operation works on. The portable surface lives
// here; the Windows layer backs the pixels with a real DIB section in a memory DC.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

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

class clsDIBSection {
public:
    clsDIBSection();
    ~clsDIBSection();
    clsDIBSection(const clsDIBSection&) = delete;
    clsDIBSection& operator=(const clsDIBSection&) = delete;

    bool Create(int32_t lWidth, int32_t lheight);
    void ClearUp();

    int32_t BytesPerScanLine() const;
    int32_t Width() const { return header_.biWidth; }
    int32_t Height() const { return header_.biHeight; }
    uint8_t* DIBSectionBitsPtr() const { return bits_; }
    const DibHeader& Header() const { return header_; }

private:
    DibHeader header_;
    uint8_t* bits_ = nullptr;
    std::unique_ptr<uint8_t[]> memory_;
};

}  // namespace plenvue
