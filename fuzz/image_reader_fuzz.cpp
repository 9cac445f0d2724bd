// libFuzzer target: the tools' picture reader (24-bit BMP and JPEG directly, the rest through stb)
// on arbitrary bytes of small pictures, read through a memory stream.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <stb_image.h>

#include "image/ImageFileReader.h"
#include "image/clsDIBSection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 24)) return 0;
    // Pictures whose header asks for more than the fuzzer's memory are the reader's size check's
    // business (tested on its own); here they would only stop the run.
    int w = 0, h = 0, n = 0;
    if (stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &n) && int64_t{w} * h > (int64_t{1} << 22)) return 0;
    std::FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!f) return 0;
    plenvue::clsDIBSection dib;
    std::string error;
    plenvue::ReadImageFromFile(f, "input", dib, error);
    std::fclose(f);
    return 0;
}
