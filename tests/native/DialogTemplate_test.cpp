#include "controls/DialogTemplate.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace plenvue;

namespace {
std::vector<uint16_t> Words(DialogTemplate& t) {
    const auto& d = t.Data();
    std::vector<uint16_t> w(d.size() * 2);
    std::memcpy(w.data(), d.data(), d.size() * 4);
    return w;
}
}  // namespace

TEST(DialogTemplate, HeaderCountsItemsAndItemsStartOnFourByteBoundaries) {
    DialogTemplate t(0x40 | 0x80000000u, 1, 2, 100, 50, "Ab", 8, "F");
    t.Add(kDlgButton, "OK", 1, 0x50010000, 5, 6, 40, 14);
    t.Add("msctls_hotkey32", "", 7, 0x50000000, 5, 20, 90, 12);
    auto w = Words(t);
    EXPECT_EQ(w[0] | (w[1] << 16), 0x80000040u);
    EXPECT_EQ(w[4], 2);                                        // item count
    EXPECT_EQ(w[5], 1); EXPECT_EQ(w[6], 2); EXPECT_EQ(w[7], 100); EXPECT_EQ(w[8], 50);
    EXPECT_EQ(w[9], 0); EXPECT_EQ(w[10], 0);                   // no menu, default class
    EXPECT_EQ(w[11], 'A'); EXPECT_EQ(w[12], 'b'); EXPECT_EQ(w[13], 0);
    EXPECT_EQ(w[14], 8); EXPECT_EQ(w[15], 'F'); EXPECT_EQ(w[16], 0);
    // 17 words so far: the first item begins at word 18 (byte 36).
    EXPECT_EQ(w[17], 0);
    EXPECT_EQ(w[18] | (w[19] << 16), 0x50010000u);
    EXPECT_EQ(w[26], 1);                                       // id
    EXPECT_EQ(w[27], 0xFFFF); EXPECT_EQ(w[28], kDlgButton);
    EXPECT_EQ(w[29], 'O'); EXPECT_EQ(w[30], 'K'); EXPECT_EQ(w[31], 0);
    EXPECT_EQ(w[32], 0);                                       // creation data
    // Second item: word 33 is padding, the item at 34.
    EXPECT_EQ(w[34] | (w[35] << 16), 0x50000000u);
    EXPECT_EQ(w[42], 7);
    EXPECT_EQ(w[43], 'm');
}

TEST(DialogTemplate, TextBytesAboveAsciiWidenAsLatin1) {
    DialogTemplate t(0, 0, 0, 10, 10, "\xDF");
    auto w = Words(t);
    EXPECT_EQ(w[11], 0x00DF);
}

TEST(DialogTemplate, Utf8TextBecomesUtf16) {
    // "Ä李" and a character outside the BMP, which takes a surrogate pair.
    DialogTemplate t(0, 0, 0, 10, 10, "\xC3\x84\xE6\x9D\x8E\xF0\x9F\x93\xB7");
    auto w = Words(t);
    EXPECT_EQ(w[11], 0x00C4);
    EXPECT_EQ(w[12], 0x674E);
    EXPECT_EQ(w[13], 0xD83D);
    EXPECT_EQ(w[14], 0xDCF7);
    EXPECT_EQ(w[15], 0x0000);
}
