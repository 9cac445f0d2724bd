#include "settings/modRegistry_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plenvue;

namespace {

const std::string kTestKey = "Software\\Korvane Studio\\PlenvueRegistryTest";

class RegistryPrimitives : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey.c_str()); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey.c_str()); }

    // Stores a value of any type the way another tool would.
    void Put(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::string Read(const char* name) { return ReadRegText(HKEY_CURRENT_USER, kTestKey, name); }
};

TEST_F(RegistryPrimitives, WrittenTextIsRegSzWithoutTerminatorAndReadsBack) {
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kTestKey, "PrefixFileName", "shot"));
    auto raw = ReadRegValue(HKEY_CURRENT_USER, kTestKey, "PrefixFileName");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->Type, static_cast<uint32_t>(REG_SZ));
    EXPECT_EQ(raw->Data, (std::vector<uint8_t>{'s', 'h', 'o', 't'}));
    EXPECT_EQ(Read("PrefixFileName"), "shot");
    // Rewriting replaces the value.
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kTestKey, "PrefixFileName", "x"));
    EXPECT_EQ(Read("PrefixFileName"), "x");
}

TEST_F(RegistryPrimitives, EmptyTextIsStoredAsOneBlank) {
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kTestKey, "StartStatus", ""));
    EXPECT_EQ(Read("StartStatus"), " ");
}

TEST_F(RegistryPrimitives, MissingKeyOrValueReadsAsNothing) {
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, kTestKey, "ForeColor"));
    EXPECT_EQ(Read("ForeColor"), "");
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kTestKey, "Other", "1"));
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, kTestKey, "ForeColor"));
    // A read does not create the key.
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey.c_str());
    Read("ForeColor");
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(RegistryPrimitives, ForeignTypesReadByTheTextRules) {
    const char expand[] = "%TEMP%\\a\0tail";
    Put("Expand", REG_EXPAND_SZ, expand, sizeof expand);
    EXPECT_EQ(Read("Expand"), "%TEMP%\\a");  // not expanded, cut at the first zero

    DWORD n = 261;
    Put("Dword", REG_DWORD, &n, sizeof n);
    EXPECT_EQ(Read("Dword"), "261");
    DWORD neg = 0xFFFFFFFF;
    Put("Negative", REG_DWORD, &neg, sizeof neg);
    EXPECT_EQ(Read("Negative"), "-1");

    const unsigned char bin[] = {'1', '2', 0};
    Put("Binary", REG_BINARY, bin, sizeof bin);
    auto raw = ReadRegValue(HKEY_CURRENT_USER, kTestKey, "Binary");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->Type, static_cast<uint32_t>(REG_BINARY));
    EXPECT_EQ(Read("Binary"), "");
}

TEST_F(RegistryPrimitives, ValuesOfTheBufferSizeOrLargerReadAsEmpty) {
    std::string fits(kRegReadLimit - 1, 'a');
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kTestKey, "Fits", fits));
    EXPECT_EQ(Read("Fits"), fits);
    std::string exact(kRegReadLimit, 'b');
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kTestKey, "Exact", exact));
    EXPECT_EQ(Read("Exact"), "");
    std::string large(5000, 'c');
    ASSERT_TRUE(WriteRegText(HKEY_CURRENT_USER, kTestKey, "Large", large));
    EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, kTestKey, "Large"));
    EXPECT_EQ(Read("Large"), "");
}

TEST_F(RegistryPrimitives, WriteToAnUncreatableKeyFails) {
    // A value name with no key to hold it: a subkey under a key that is a plain path fails to open.
    EXPECT_FALSE(WriteRegText(HKEY_CURRENT_USER, std::string(300, 'k') + "\\x", "v", "1"));
}

}  // namespace
