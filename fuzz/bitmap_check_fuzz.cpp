// libFuzzer target: the bitmap completeness check on arbitrary bytes (it must never read past them).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "shell/PictureFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly `size` bytes, so that any read beyond them is caught.
    std::vector<uint8_t> bytes(data, data + size);
    plenvue::CheckBitmapFile(bytes.data(), bytes.size());
    return 0;
}
