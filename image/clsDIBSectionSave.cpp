// Bitmap writer: colour tables, pixel mapping and packing, and the file layout.
#include "image/clsDIBSectionSave.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "effects/clsColourReduceDIB.h"
#include "base/Arith.h"
#include "image/SafeFile.h"
#include "base/ErrorObject.h"

namespace plenvue {
namespace {

// File header, information header with colour table, then the pixel bytes; the first failed
// write ends the file. The file is written beside the target and moved over it only when
// complete, so a failed write leaves an existing file as it was; creating it failing is error 17
// with the platform's own message text.
bool WriteBitmapFile(const std::string& sFileName, const DibHeader& header, const std::vector<uint8_t>& colourTable,
                     const uint8_t* bits) {
    const int32_t offset = CheckedAdd(54, static_cast<int32_t>(colourTable.size()));
    const int32_t fileSize = CheckedAdd(offset, static_cast<int32_t>(header.biSizeImage));
    FileFailure failure;
    std::unique_ptr<ReplacementFile> file = OpenReplacement(sFileName, failure);
    if (!file)
        throw ErrorObject(clsDIBSectionSave::kErrCreateFile, std::string(kExeName) + ".clsDIBSection256",
                          failure.text);
    const std::array<uint8_t, 14> fileHeader =
        BitmapFileHeaderBytes(static_cast<uint32_t>(fileSize), static_cast<uint32_t>(offset));
    const std::array<uint8_t, 40> headerBytes = DibHeaderBytes(header);
    std::vector<uint8_t> info(headerBytes.begin(), headerBytes.end());
    info.insert(info.end(), colourTable.begin(), colourTable.end());
    auto write = [&file](const void* data, uint32_t count) {
        uint32_t written = 0;
        return file->Write(data, count, written) && written == count;
    };
    const bool ok = write(fileHeader.data(), static_cast<uint32_t>(fileHeader.size())) &&
                    write(info.data(), static_cast<uint32_t>(info.size())) &&
                    (header.biSizeImage == 0 || write(bits, header.biSizeImage));
    return ok && file->Commit(false, failure);
}

}  // namespace

int32_t clsDIBSectionSave::ColourTableIndex(const std::vector<uint8_t>& colourTable, int32_t bitsPerPixel,
                                            uint8_t red, uint8_t green, uint8_t blue) {
    const bool cut = bitsPerPixel == 8;
    const int r = cut ? (red & ~7) + 4 : red, g = cut ? (green & ~7) + 4 : green, b = cut ? (blue & ~7) + 4 : blue;
    const size_t n = colourTable.size() / 4;
    int32_t best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* e = &colourTable[4 * i];
        const int d = (b - e[0]) * (b - e[0]) + (g - e[1]) * (g - e[1]) + (r - e[2]) * (r - e[2]);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int32_t>(i);
        }
    }
    return best;
}

bool clsDIBSectionSave::CreateLowDepthDIB(int32_t bitsPerPixel, int32_t width, int32_t height, const clsPalette* cPal,
                                          LowDepthDIB& out) {
    if (width <= 0 || height <= 0) return false;
    out.rowSize = CheckedMul(CheckedAdd(CheckedMul(width, bitsPerPixel), 31) / 32, 4);
    DibHeader& h = out.header;
    h = DibHeader{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<uint16_t>(bitsPerPixel);
    h.biSizeImage = static_cast<uint32_t>(CheckedMul(out.rowSize, height));
    out.colourTable.assign(size_t{4} << bitsPerPixel, 0);
    uint8_t* t = out.colourTable.data();
    if (bitsPerPixel == 1) {
        t[4] = t[5] = t[6] = 255;
    } else if (bitsPerPixel == 4) {
        clsPalette p;
        p.Create16Colour();
        for (int32_t i = 0; i < 16; ++i) {  // red and blue exchanged, as the table has always been
            t[4 * i] = p.Red(i + 1);
            t[4 * i + 1] = p.Green(i + 1);
            t[4 * i + 2] = p.Blue(i + 1);
        }
    } else if (cPal) {
        const int32_t n = std::min(cPal->count(), 256);
        for (int32_t i = 0; i < n; ++i) {
            t[4 * i] = cPal->Blue(i + 1);
            t[4 * i + 1] = cPal->Green(i + 1);
            t[4 * i + 2] = cPal->Red(i + 1);
        }
    }
    try {
        out.bits.assign(h.biSizeImage, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void clsDIBSectionSave::MapPixels(const clsDIBSection& cDIB, LowDepthDIB& section) {
    const int32_t width = section.header.biWidth, height = section.header.biHeight;
    const int bpp = section.header.biBitCount;
    // At 8 bits the mapping looks at 5 bits a component only: one table of 32768 answers.
    // Otherwise recent colours are remembered in a small direct-mapped cache.
    std::vector<int16_t> answer(32768, -1);
    struct CacheSlot {
        uint32_t key;  // colour + 1; 0 is empty
        uint8_t index;
    };
    constexpr int kCacheBits = 14;
    std::vector<CacheSlot> cache(bpp == 8 ? 0 : size_t{1} << kCacheBits, CacheSlot{0, 0});
    const int32_t stride = cDIB.BytesPerScanLine();
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* p = cDIB.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * stride;
        uint8_t* out = section.bits.data() + static_cast<ptrdiff_t>(row) * section.rowSize;
        for (int32_t c = 0; c < width; ++c, p += 3) {
            if (bpp == 8) {
                const int key = (p[2] >> 3) << 10 | (p[1] >> 3) << 5 | (p[0] >> 3);
                int16_t& a = answer[static_cast<size_t>(key)];
                if (a < 0) a = static_cast<int16_t>(ColourTableIndex(section.colourTable, 8, p[2], p[1], p[0]));
                out[c] = static_cast<uint8_t>(a);
                continue;
            }
            const uint32_t key = (uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]) + 1;
            CacheSlot& slot = cache[(key * 2654435761u) >> (32 - kCacheBits)];
            if (slot.key != key)
                slot = CacheSlot{key, static_cast<uint8_t>(ColourTableIndex(section.colourTable, bpp, p[2], p[1], p[0]))};
            const uint8_t index = slot.index;
            if (bpp == 4)
                out[c >> 1] |= static_cast<uint8_t>(index << ((c & 1) ? 0 : 4));
            else
                out[c >> 3] |= static_cast<uint8_t>(index << (7 - (c & 7)));
        }
    }
}

void clsDIBSectionSave::CopyBack(const LowDepthDIB& section, clsDIBSection& cDIB) {
    const int32_t width = std::min(section.header.biWidth, cDIB.Width());
    const int32_t height = std::min(section.header.biHeight, cDIB.Height());
    const int bpp = section.header.biBitCount;
    const int32_t stride = cDIB.BytesPerScanLine();
    for (int32_t row = 0; row < height; ++row) {
        uint8_t* p = cDIB.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * stride;
        const uint8_t* in = section.bits.data() + static_cast<ptrdiff_t>(row) * section.rowSize;
        for (int32_t c = 0; c < width; ++c, p += 3) {
            int index;
            if (bpp == 8)
                index = in[c];
            else if (bpp == 4)
                index = (in[c >> 1] >> ((c & 1) ? 0 : 4)) & 15;
            else
                index = (in[c >> 3] >> (7 - (c & 7))) & 1;
            std::memcpy(p, &section.colourTable[4 * static_cast<size_t>(index)], 3);
        }
    }
}

bool clsDIBSectionSave::Save(const std::string& sFileName, clsDIBSection& cDIB, std::unique_ptr<clsPalette>& cPal,
                             eOutputColourDepth eDepth, eColourReductionMethod eMethod) {
    if (cDIB.Width() <= 0 || cDIB.Height() <= 0) return false;
    if (eDepth == eOutput24Bit) return WriteBitmapFile(sFileName, cDIB.Header(), {}, cDIB.DIBSectionBitsPtr());
    int32_t bpp;
    switch (eDepth) {
        case eOutput1Bit: bpp = 1; break;
        case eOutput4Bit: bpp = 4; break;
        case eOutput8Bit: bpp = 8; break;
        default: return false;
    }
    if (eMethod != eReductionNone && eMethod != eReductionPalette && eMethod != eReductionAuto) return false;

    // The reduced picture reaches the file through cDIB: both reductions leave their result in
    // the DIB they read from as well as in the second one.
    if (eMethod != eReductionNone) {
        clsDIBSection reduced;
        if (!reduced.Create(cDIB.Width(), cDIB.Height())) return false;
        clsColourReduceDIB reducer;
        if (eMethod == eReductionPalette) {
            clsPalette fallback;
            const clsPalette* pal = cPal.get();
            if (!pal) {  // no palette given: the one the colour table will use
                if (bpp == 8) {
                    cPal = std::make_unique<clsPalette>();
                    cPal->CreateHalfTone();
                    pal = cPal.get();
                } else {
                    if (bpp == 1) fallback.CreateMono(); else fallback.Create16Colour();
                    pal = &fallback;
                }
            }
            reducer.ApplyPalette(cDIB, reduced, *pal, true);
        } else if (bpp == 1) {
            reducer.BlackAndWhite(cDIB, reduced);
        } else {
            if (!cPal) cPal = std::make_unique<clsPalette>();
            if (bpp == 4) {
                cPal->Create16Colour();
                reducer.ApplyPalette(cDIB, reduced, *cPal, true);
            } else {
                cPal->CreateOptimal(cDIB, 236, 6);
                reducer.ApplyPalette(cDIB, reduced, *cPal, false);
            }
        }
    }

    if (bpp == 8 && !cPal) {
        cPal = std::make_unique<clsPalette>();
        cPal->CreateHalfTone();
    }
    LowDepthDIB section;
    if (!CreateLowDepthDIB(bpp, cDIB.Width(), cDIB.Height(), bpp == 8 ? cPal.get() : nullptr, section)) return false;
    MapPixels(cDIB, section);
    if (eMethod == eReductionNone) CopyBack(section, cDIB);
    return WriteBitmapFile(sFileName, section.header, section.colourTable, section.bits.data());
}

}  // namespace plenvue
