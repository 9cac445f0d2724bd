// Temporary stand-in for the plenvue-cli picture input and output (stb_image in, 24-bit BMP out),
// replaced by the shared version that also reads PCX.
#include <cstdio>
#include <cerrno>
#include <cstring>

#include "tools/plenvue-cli/Cli.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO_OVERRIDE
#include "stb_image.h"

namespace plenvue::cli {

bool LoadImageFile(const std::string& path, clsDIBSection& dib, std::string& error) {
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load(path.c_str(), &w, &h, &n, 3);
    if (!px) {
        error = stbi_failure_reason();
        return false;
    }
    if (!dib.Create(w, h)) {
        stbi_image_free(px);
        error = "picture too large";
        return false;
    }
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = px + static_cast<size_t>(h - 1 - y) * w * 3;  // bottom-up
        uint8_t* dst = dib.DIBSectionBitsPtr() + static_cast<size_t>(y) * dib.BytesPerScanLine();
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    stbi_image_free(px);
    return true;
}

bool SaveBmpFile(clsDIBSection& dib, const std::string& path, std::string& error) {
    const uint32_t image = static_cast<uint32_t>(dib.BytesPerScanLine()) * static_cast<uint32_t>(dib.Height());
    uint8_t head[54] = {'B', 'M'};
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) head[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(2, 54 + image);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(dib.Width()));
    put32(22, static_cast<uint32_t>(dib.Height()));
    head[26] = 1;
    head[28] = 24;
    put32(34, image);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        error = std::strerror(errno);
        return false;
    }
    const bool ok = std::fwrite(head, 1, 54, f) == 54 && std::fwrite(dib.DIBSectionBitsPtr(), 1, image, f) == image;
    if (std::fclose(f) != 0 || !ok) {
        error = "write failed";
        return false;
    }
    return true;
}

}  // namespace plenvue::cli
