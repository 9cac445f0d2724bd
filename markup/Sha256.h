// SHA-256 (FIPS 180-4): the digest that ties a picture's saved mark-up to the pixels it was made on.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace plenvue::markup {

class Sha256Hasher {
public:
    Sha256Hasher();
    void Update(const void* data, size_t size);
    // The digest of everything passed so far; the hasher starts over afterwards.
    std::array<uint8_t, 32> Final();

private:
    void Block(const uint8_t* p);
    void Reset();

    uint32_t state_[8];
    uint8_t buffer_[64];
    size_t buffered_ = 0;
    uint64_t total_ = 0;  // bytes
};

std::array<uint8_t, 32> Sha256(const uint8_t* data, size_t size);

}  // namespace plenvue::markup
