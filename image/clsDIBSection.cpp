// Portable part of the DIB: header, layout, storage, noise, resampling and the BMP file.
#include "image/clsDIBSection.h"

#include <cmath>
#include <cstring>
#include <new>

#include "base/Arith.h"
#include "image/Rnd.h"
#include "image/SafeFile.h"
#include "base/ErrorObject.h"

namespace plenvue {
namespace {

class MemoryStorage : public DibStorage {
public:
    explicit MemoryStorage(std::unique_ptr<uint8_t[]> memory) : memory_(std::move(memory)) { bits_ = memory_.get(); }

private:
    std::unique_ptr<uint8_t[]> memory_;
};

DibStorageProvider& Provider() {
    static DibStorageProvider provider = nullptr;
    return provider;
}

void PutU16(uint8_t*& p, uint16_t v) {
    *p++ = static_cast<uint8_t>(v);
    *p++ = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t*& p, uint32_t v) {
    for (int i = 0; i < 4; ++i) *p++ = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

DibHeader MakeDib24Header(int32_t lWidth, int32_t lheight) {
    DibHeader h;
    h.biSize = 40;
    h.biWidth = lWidth;
    h.biHeight = lheight;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = 0;
    int32_t stride = CheckedAdd(CheckedMul(lWidth, 3), 3) & ~3;
    h.biSizeImage = static_cast<uint32_t>(CheckedMul(stride, lheight));
    return h;
}

std::unique_ptr<DibStorage> MemoryDibStorage(const DibHeader& header) {
    std::unique_ptr<uint8_t[]> mem(new (std::nothrow) uint8_t[header.biSizeImage]);
    if (!mem) return nullptr;
    std::memset(mem.get(), 0, header.biSizeImage);
    return std::make_unique<MemoryStorage>(std::move(mem));
}

void SetDibStorageProvider(DibStorageProvider provider) { Provider() = provider; }

std::string DibErrorSource() { return std::string(kExeName) + ".clsDIBSection256"; }

clsDIBSection::clsDIBSection() = default;
clsDIBSection::~clsDIBSection() { ClearUp(); }

bool clsDIBSection::Create(int32_t lWidth, int32_t lheight) {
    ClearUp();
    if (lWidth <= 0 || lheight <= 0) return false;
    DibHeader h = MakeDib24Header(lWidth, lheight);
    DibStorageProvider provider = Provider();
    std::unique_ptr<DibStorage> storage = provider ? provider(h) : MemoryDibStorage(h);
    if (!storage || !storage->Bits()) return false;
    header_ = h;
    stride_ = static_cast<int32_t>(h.biSizeImage / static_cast<uint32_t>(lheight));
    storage_ = std::move(storage);
    bits_ = storage_->Bits();
    return true;
}

void clsDIBSection::ClearUp() {
    storage_.reset();
    bits_ = nullptr;
    stride_ = 0;
    header_ = DibHeader{};
}

void clsDIBSection::RandomiseBits(bool bGray) {
    if (!bits_) return;
    storage_->Sync();
    RandomizeFromClock();
    const int32_t w = Width(), h = Height();
    if (bGray) {
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                uint8_t v = RoundHalfEvenByte(Rnd() * 255.0);
                uint8_t* p = PixelPtr(x, y);
                p[0] = p[1] = p[2] = v;
            }
        }
    } else {
        for (int32_t x = 0; x < w; ++x) {
            for (int32_t y = 0; y < h; ++y) {
                uint8_t* p = PixelPtr(x, y);
                p[0] = 0;
                p[1] = RoundHalfEvenByte(Rnd() * 255.0);
                p[2] = RoundHalfEvenByte(Rnd() * 255.0);
            }
        }
    }
}

bool clsDIBSection::CopyFrom(const clsDIBSection& cSource) {
    if (!bits_ || !cSource.bits_ || Width() != cSource.Width() || Height() != cSource.Height()) return false;
    cSource.storage_->Sync();
    storage_->Sync();
    std::memcpy(bits_, cSource.bits_, header_.biSizeImage);
    return true;
}

std::unique_ptr<clsDIBSection> clsDIBSection::Resample(int32_t lNewHeight, int32_t lNewWidth) {
    if (!bits_) return nullptr;
    auto target = std::make_unique<clsDIBSection>();
    if (!target->Create(lNewWidth, lNewHeight)) return nullptr;
    if (lNewWidth == Width() && lNewHeight == Height())
        target->CopyFrom(*this);
    else
        ResampleInto(*target);
    return target;
}

void clsDIBSection::ResampleInto(clsDIBSection& cTarget) const {
    storage_->Sync();
    cTarget.storage_->Sync();
    const int32_t sw = Width(), sh = Height();
    const int32_t tw = cTarget.Width(), th = cTarget.Height();
    // The divisor is the target size, so the right and lower neighbours exist whenever the source
    // is at least 2 x 2; a 1-pixel source reuses its last pixel, whose weight is then 0.
    const double sx = static_cast<double>(sw - 1) / tw;
    const double sy = static_cast<double>(sh - 1) / th;
    for (int32_t i = 0; i < th; ++i) {
        const double y = sy * i;
        const int32_t y0 = static_cast<int32_t>(std::floor(y));
        const double fy = y - y0;
        const int32_t y1 = y0 + 1 < sh ? y0 + 1 : sh - 1;
        for (int32_t j = 0; j < tw; ++j) {
            const double x = sx * j;
            const int32_t x0 = static_cast<int32_t>(std::floor(x));
            const double fx = x - x0;
            const int32_t x1 = x0 + 1 < sw ? x0 + 1 : sw - 1;
            const uint8_t* tl = PixelPtr(x0, y0);
            const uint8_t* tr = PixelPtr(x1, y0);
            const uint8_t* bl = PixelPtr(x0, y1);
            const uint8_t* br = PixelPtr(x1, y1);
            uint8_t* out = cTarget.PixelPtr(j, i);
            for (int c = 0; c < 3; ++c) {
                int32_t left = RoundHalfEven((1.0 - fy) * tl[c] + fy * bl[c]);
                int32_t right = RoundHalfEven((1.0 - fy) * tr[c] + fy * br[c]);
                out[c] = static_cast<uint8_t>(RoundHalfEven((1.0 - fx) * left + fx * right));
            }
        }
    }
}

std::array<uint8_t, 40> DibHeaderBytes(const DibHeader& h) {
    std::array<uint8_t, 40> out{};
    uint8_t* p = out.data();
    PutU32(p, h.biSize);
    PutU32(p, static_cast<uint32_t>(h.biWidth));
    PutU32(p, static_cast<uint32_t>(h.biHeight));
    PutU16(p, h.biPlanes);
    PutU16(p, h.biBitCount);
    PutU32(p, h.biCompression);
    PutU32(p, h.biSizeImage);
    PutU32(p, static_cast<uint32_t>(h.biXPelsPerMeter));
    PutU32(p, static_cast<uint32_t>(h.biYPelsPerMeter));
    PutU32(p, h.biClrUsed);
    PutU32(p, h.biClrImportant);
    return out;
}

std::array<uint8_t, 14> BitmapFileHeaderBytes(uint32_t fileSize, uint32_t pixelOffset) {
    std::array<uint8_t, 14> out{};
    uint8_t* p = out.data();
    *p++ = 0x42;
    *p++ = 0x4D;
    PutU32(p, fileSize);
    PutU32(p, 0);
    PutU32(p, pixelOffset);
    return out;
}

bool clsDIBSection::WriteSucceeded(bool bResult, uint32_t lBytesToWrite, uint32_t lBytesWritten) {
    return bResult && lBytesToWrite == lBytesWritten;
}

bool clsDIBSection::SavePicture(const std::string& sFileName) {
    FileFailure failure;
    std::unique_ptr<ReplacementFile> file = OpenReplacement(sFileName, failure);
    if (!file) throw ErrorObject(kErrDibCantCreateFile, DibErrorSource(), failure.text);

    const std::array<uint8_t, 14> fileHeader = BitmapFileHeaderBytes(54u + header_.biSizeImage, 54);
    const std::array<uint8_t, 40> info = DibHeaderBytes(header_);

    if (storage_) storage_->Sync();
    // One write after another; the first failure ends the sequence.
    auto write = [&file](const void* data, uint32_t count) {
        uint32_t written = 0;
        bool result = file->Write(data, count, written);
        return WriteSucceeded(result, count, written);
    };
    bool ok = write(fileHeader.data(), 14) && write(info.data(), 40) &&
              (header_.biSizeImage == 0 || write(bits_, header_.biSizeImage));
    if (!ok) return false;
    return file->Commit(false, failure);
}

}  // namespace plenvue
