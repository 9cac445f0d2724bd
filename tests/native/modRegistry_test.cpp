#include "settings/modRegistry.h"

#include <gtest/gtest.h>

using namespace plenvue;

namespace {
RawRegValue Text(std::string_view s, uint32_t type = kRegSz) {
    RawRegValue v{type, std::vector<uint8_t>(s.begin(), s.end())};
    v.Data.push_back(0);
    return v;
}
}  // namespace

TEST(RegValueText, TextTypesStopAtFirstZero) {
    EXPECT_EQ(RegValueText(Text("abc")), "abc");
    EXPECT_EQ(RegValueText(Text("%TEMP%\\x", kRegExpandSz)), "%TEMP%\\x");  // not expanded
    RawRegValue noTerminator{kRegSz, {'a', 'b'}};
    EXPECT_EQ(RegValueText(noTerminator), "ab");
    RawRegValue embedded{kRegSz, {'a', 0, 'b', 0}};
    EXPECT_EQ(RegValueText(embedded), "a");
}

TEST(RegValueText, DwordReadsAsSignedDecimal) {
    EXPECT_EQ(RegValueText(RawRegValue{kRegDword, {0x05, 0x01, 0, 0}}), "261");
    EXPECT_EQ(RegValueText(RawRegValue{kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}), "-1");
    EXPECT_EQ(RegValueText(RawRegValue{kRegDword, {0x05, 0x01}}), "");  // malformed size
}

TEST(RegValueText, MissingOtherTypesAndOversizedValuesReadEmpty) {
    EXPECT_EQ(RegValueText(std::nullopt), "");
    EXPECT_EQ(RegValueText(RawRegValue{3 /*REG_BINARY*/, {'1', 0}}), "");
    RawRegValue big{kRegSz, std::vector<uint8_t>(1024, 'a')};
    EXPECT_EQ(RegValueText(big), "");
    RawRegValue justFits{kRegSz, std::vector<uint8_t>(1023, 'a')};
    EXPECT_EQ(RegValueText(justFits).size(), 1023u);
}

TEST(StoredText, EmptyTextIsStoredAsOneBlank) {
    EXPECT_EQ(StoredText(""), " ");
    EXPECT_EQ(StoredText("cap"), "cap");
}
