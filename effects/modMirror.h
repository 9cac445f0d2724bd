// Negative and mirroring of a whole DIB, as the Image menu gets them from an inverted-source blit
// and from blits with a negated width and/or height onto the same picture.
#pragma once
#include <cstdint>

#include "image/clsDIBSection.h"
#include "base/ErrorObject.h"

namespace plenvue {

enum eMirror : int32_t {
    eMirrorLeftRight = 0,
    eMirrorTopBottom = 1,
    eMirrorBoth = 2,
};

// Every pixel byte becomes 255 - byte; row padding is left alone.
void NegativeDIB(clsDIBSection& cImage);
// lMirror: 0 left-right, 1 top-bottom, 2 both. Other values raise an invalid-argument error.
void MirrorDIB(clsDIBSection& cImage, int32_t lMirror);

}  // namespace plenvue
