// Negative and mirror over the DIB's pixel memory.
#include "effects/modMirror.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/ErrorObject.h"

namespace plenvue {

void NegativeDIB(clsDIBSection& cImage) {
    uint8_t* bits = cImage.DIBSectionBitsPtr();
    if (!bits) return;
    const int32_t stride = cImage.BytesPerScanLine(), n = 3 * cImage.Width();
    for (int32_t y = 0; y < cImage.Height(); ++y) {
        uint8_t* row = bits + static_cast<ptrdiff_t>(y) * stride;
        for (int32_t b = 0; b < n; ++b) row[b] = static_cast<uint8_t>(~row[b]);
    }
}

void MirrorDIB(clsDIBSection& cImage, int32_t lMirror) {
    if (lMirror < eMirrorLeftRight || lMirror > eMirrorBoth)
        throw ErrorObject(kErrInvalidArgument, kExeName, "Invalid procedure call or argument");
    uint8_t* bits = cImage.DIBSectionBitsPtr();
    if (!bits) return;
    const int32_t stride = cImage.BytesPerScanLine(), w = cImage.Width(), h = cImage.Height();
    auto row = [&](int32_t y) { return bits + static_cast<ptrdiff_t>(y) * stride; };
    if (lMirror != eMirrorTopBottom) {
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* r = row(y);
            for (int32_t a = 0, b = w - 1; a < b; ++a, --b) {
                std::swap(r[3 * a], r[3 * b]);
                std::swap(r[3 * a + 1], r[3 * b + 1]);
                std::swap(r[3 * a + 2], r[3 * b + 2]);
            }
        }
    }
    if (lMirror != eMirrorLeftRight) {
        std::vector<uint8_t> tmp(static_cast<size_t>(3) * w);
        for (int32_t a = 0, b = h - 1; a < b; ++a, --b) {
            std::memcpy(tmp.data(), row(a), tmp.size());
            std::memcpy(row(a), row(b), tmp.size());
            std::memcpy(row(b), tmp.data(), tmp.size());
        }
    }
}

}  // namespace plenvue
