// Writes a 24-bit DIB as a BMP file at 1, 4, 8 or 24 bits a pixel. For the palette depths the
// pixels are mapped onto the depth's colour table; without a colour-reduction method the
// mapped colours are also put back into the caller's DIB.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effects/clsPalette.h"
#include "image/clsDIBSection.h"

namespace plenvue {

enum eOutputColourDepth : int32_t {
    eOutput1Bit = 0,
    eOutput4Bit = 1,
    eOutput8Bit = 2,
    eOutput24Bit = 3,
};

enum eColourReductionMethod : int32_t {
    eReductionNone = 0,     // platform mapping; mapped pixels copied back into the caller's DIB
    eReductionPalette = 1,  // the given palette with error diffusion
    eReductionAuto = 2,     // black and white, 16 colours diffused, or an optimal 236-colour palette
};

// A DIB section of 1, 4 or 8 bits: header, colour table (blue, green, red, 0 per entry) and
// bottom-up rows packed from the most significant bit, each padded to 4 bytes.
struct LowDepthDIB {
    DibHeader header;
    std::vector<uint8_t> colourTable;
    std::vector<uint8_t> bits;
    int32_t rowSize = 0;
};

class clsDIBSectionSave {
public:
    static constexpr int32_t kErrCreateFile = 17;

    // True when the whole file was written. cPal may be empty; at 8 bits it then receives the
    // half-tone palette used for the colour table.
    bool Save(const std::string& sFileName, clsDIBSection& cDIB, std::unique_ptr<clsPalette>& cPal,
              eOutputColourDepth eDepth, eColourReductionMethod eMethod);

    // Header and colour table of the section for a depth (1, 4 or 8 bits), with its pixels
    // zeroed; false when the size is empty or the memory cannot be had.
    static bool CreateLowDepthDIB(int32_t bitsPerPixel, int32_t width, int32_t height, const clsPalette* cPal,
                                  LowDepthDIB& out);
    // Maps every pixel of cDIB onto the section's colour table (see ColourTableIndex).
    static void MapPixels(const clsDIBSection& cDIB, LowDepthDIB& section);
    // Writes the section's colours back into cDIB.
    static void CopyBack(const LowDepthDIB& section, clsDIBSection& cDIB);
    // The table entry the platform's blit picks for a colour: the entry at the least squared
    // RGB distance, the lowest index on a tie. For 8-bit tables each component is first cut to
    // 5 bits and centred in its step ((c & ~7) + 4); 1- and 4-bit tables see the exact colour.
    // (Checked against BitBlt from a 24-bit onto 1/4/8-bit DIB sections under Wine.)
    static int32_t ColourTableIndex(const std::vector<uint8_t>& colourTable, int32_t bitsPerPixel, uint8_t red,
                                    uint8_t green, uint8_t blue);
};

}  // namespace plenvue
