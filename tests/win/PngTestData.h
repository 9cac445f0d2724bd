// PNG files made for the tests, independently of the program's writer: colour type 6 (straight
// alpha) with filter 0 rows, so that the decoder, not our encoder, is what a test exercises.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace plenvue::test {

inline void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

inline void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBe32(out, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// `rgba` holds width * height pixels, top row first, red-green-blue-alpha.
inline std::vector<uint8_t> RgbaPng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    PutBe32(ihdr, width);
    PutBe32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    PutChunk(png, "IHDR", ihdr);
    std::vector<uint8_t> raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + y * width * 4, rgba.begin() + (y + 1) * width * 4);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> z(size);
    compress(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    z.resize(size);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    return png;
}

// 4 x 2: top row opaque red, half-transparent green, fully transparent blue, opaque white;
// bottom row opaque black, then three opaque greys.
inline std::vector<uint8_t> SamplePng() {
    return RgbaPng(4, 2, {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 255, 255, 255, 255,
                          0, 0, 0, 255, 50, 50, 50, 255, 100, 100, 100, 255, 150, 150, 150, 255});
}

// Damaged forms of a good PNG, each something a hostile or broken file may be.
inline std::vector<std::vector<uint8_t>> HostilePngs() {
    std::vector<uint8_t> good = SamplePng();
    std::vector<std::vector<uint8_t>> bad;
    bad.emplace_back(good.begin(), good.begin() + 8);                   // signature only
    bad.emplace_back(good.begin(), good.begin() + 33);                  // header, no data
    bad.emplace_back(good.begin(), good.begin() + good.size() - 20);    // data cut short
    std::vector<uint8_t> huge = good;                                   // 100000 x 100000 claimed
    huge[16] = 0; huge[17] = 1; huge[18] = 0x86; huge[19] = 0xA0;
    huge[20] = 0; huge[21] = 1; huge[22] = 0x86; huge[23] = 0xA0;
    bad.push_back(huge);
    std::vector<uint8_t> zero = good;  // width 0
    zero[16] = zero[17] = zero[18] = zero[19] = 0;
    bad.push_back(zero);
    std::vector<uint8_t> depth = good;  // bit depth 3 does not exist
    depth[24] = 3;
    bad.push_back(depth);
    std::vector<uint8_t> garbage = good;  // compressed data overwritten
    for (size_t i = 41; i < garbage.size() - 12; ++i) garbage[i] = static_cast<uint8_t>(i * 91 + 7);
    bad.push_back(garbage);
    return bad;
}

}  // namespace plenvue::test
