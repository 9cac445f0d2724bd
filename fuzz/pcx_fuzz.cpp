// libFuzzer target: the PCX decoder and the conversion to a DIB on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "image/clsDIBSection.h"
#include "image/modPcxReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plenvue::PcxResult r = plenvue::DecodePcx(data, size);
    if (r.status == plenvue::PcxStatus::Ok) {
        plenvue::clsDIBSection dib;
        plenvue::PcxToDib(r.image, dib);
    }
    return 0;
}
