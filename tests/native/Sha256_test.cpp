#include "markup/Sha256.h"

#include <gtest/gtest.h>

#include <string>

using namespace plenvue::markup;

namespace {

std::string Hex(const std::array<uint8_t, 32>& d) {
    static const char* kDigits = "0123456789abcdef";
    std::string s;
    for (uint8_t b : d) {
        s += kDigits[b >> 4];
        s += kDigits[b & 15];
    }
    return s;
}

std::string HexOf(const std::string& text) {
    return Hex(Sha256(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

}  // namespace

TEST(Sha256, StandardVectors) {
    EXPECT_EQ(HexOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HexOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(HexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(HexOf(std::string(1000000, 'a')), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Every split of the input into two updates, across the block and padding boundaries.
TEST(Sha256, IncrementalUpdatesMatchOneShot) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += static_cast<char>('a' + i % 26);
    const auto whole = HexOf(text);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        Sha256Hasher h;
        h.Update(text.data(), cut);
        h.Update(text.data() + cut, text.size() - cut);
        ASSERT_EQ(Hex(h.Final()), whole) << "cut at " << cut;
    }
    // Lengths around the 56-byte padding edge.
    for (size_t n = 50; n < 70; ++n) {
        Sha256Hasher h;
        for (size_t i = 0; i < n; ++i) h.Update(&text[i], 1);
        EXPECT_EQ(Hex(h.Final()), HexOf(text.substr(0, n))) << n;
    }
}

TEST(Sha256, FinalStartsOver) {
    Sha256Hasher h;
    h.Update("xyz", 3);
    h.Final();
    h.Update("abc", 3);
    EXPECT_EQ(Hex(h.Final()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}
