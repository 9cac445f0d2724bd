// Portable part of the DIB: header, layout and memory-backed pixels.
#include "image/clsDIBSection.h"

#include <cstring>

#include "image/Arith.h"

namespace plenvue {

clsDIBSection::clsDIBSection() = default;
clsDIBSection::~clsDIBSection() { ClearUp(); }

int32_t clsDIBSection::BytesPerScanLine() const {
    return CheckedAdd(CheckedMul(header_.biWidth, 3), 3) & ~3;
}

bool clsDIBSection::Create(int32_t lWidth, int32_t lheight) {
    ClearUp();
    if (lWidth <= 0 || lheight <= 0) return false;
    DibHeader h;
    h.biSize = 40;
    h.biWidth = lWidth;
    h.biHeight = lheight;
    h.biPlanes = 1;
    h.biBitCount = 24;
    int32_t stride = CheckedAdd(CheckedMul(lWidth, 3), 3) & ~3;
    h.biSizeImage = static_cast<uint32_t>(CheckedMul(stride, lheight));
    std::unique_ptr<uint8_t[]> mem(new (std::nothrow) uint8_t[h.biSizeImage]);
    if (!mem) return false;
    std::memset(mem.get(), 0, h.biSizeImage);
    header_ = h;
    memory_ = std::move(mem);
    bits_ = memory_.get();
    return true;
}

void clsDIBSection::ClearUp() {
    memory_.reset();
    bits_ = nullptr;
    header_ = DibHeader{};
}

}  // namespace plenvue
