// Grey scale, black and white by error diffusion, and reduction to the colours of a palette,
// all on 24-bit DIBs in place.
#pragma once
#include <cstdint>

#include "effects/Progress.h"
#include "effects/clsPalette.h"
#include "image/clsDIBSection.h"

namespace plenvue {

// Grey value of a pixel: (222 red + 707 green + 71 blue) / 1000, halves to even.
inline uint8_t GreyValue(uint8_t red, uint8_t green, uint8_t blue) {
    const uint32_t t = 222u * red + 707u * green + 71u * blue + 500u;
    const uint32_t q = t / 1000u;
    return static_cast<uint8_t>(q - ((t - q * 1000u == 0u) & q & 1u));
}

class clsColourReduceDIB : public ProgressEvents {
public:
    static constexpr int32_t kErrSubscriptOutOfRange = 9;

    // cTo becomes the black-and-white rendering of cFrom (which is made grey on the way);
    // cFrom then holds the same pixels as cTo. cFrom must be at least cTo's size.
    void BlackAndWhite(clsDIBSection& cFrom, clsDIBSection& cTo);
    // cTo becomes cFrom in the colours of cPal; cFrom then holds the same pixels as cTo.
    void ApplyPalette(clsDIBSection& cFrom, clsDIBSection& cTo, const clsPalette& cPal, bool bDiffuseError);
    // Every pixel becomes its grey value.
    void GrayScale(clsDIBSection& cDIB);
};

}  // namespace plenvue
