// stb_image adapter: RGB rows top-down into the DIB's bottom-up BGR rows.
#include "image/ImageFileReader.h"

#include "base/FileNames.h"
#include "image/clsDIBSection.h"

// The library is third-party code: its own warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace plenvue {

bool ReadImageWithStb(const std::string& path, clsDIBSection& dib, std::string& error) {
    int w = 0, h = 0, channels = 0;
    std::FILE* file = OpenFileUtf8(path, "rb");
    if (!file) {
        error = "cannot read " + path + ": can't fopen";
        return false;
    }
    stbi_uc* pixels = stbi_load_from_file(file, &w, &h, &channels, 3);
    std::fclose(file);
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        error = std::string("cannot read ") + path + ": " + (reason ? reason : "unknown format");
        return false;
    }
    bool ok = false;
    try {
        ok = dib.Create(w, h);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        stbi_image_free(pixels);
        error = "cannot make a " + std::to_string(w) + " x " + std::to_string(h) + " picture";
        return false;
    }
    for (int row = 0; row < h; ++row) {
        const stbi_uc* src = pixels + static_cast<size_t>(row) * w * 3;
        for (int x = 0; x < w; ++x, src += 3) {
            uint8_t* p = dib.PixelPtr(x, h - 1 - row);
            p[0] = src[2];
            p[1] = src[1];
            p[2] = src[0];
        }
    }
    stbi_image_free(pixels);
    return true;
}

}  // namespace plenvue
