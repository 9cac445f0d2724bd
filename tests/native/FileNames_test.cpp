#include "base/FileNames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/TempFolder.h"

using namespace plenvue;

TEST(FileNames, Utf8NamesOpenRemoveAndReachTheSameFile) {
    test::TempFolder tmp("filenames");
    const std::string path = tmp / "\xD1\x81\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA \xE6\x88\xAA\xE5\x9B\xBE.pal";
    std::FILE* f = OpenFileUtf8(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("JASC-PAL", f);
    std::fclose(f);
    EXPECT_TRUE(std::filesystem::exists(FsPath(path)));
    EXPECT_EQ(std::filesystem::file_size(FsPath(path)), 8u);
    EXPECT_EQ(RemoveFileUtf8(path), 0);
    EXPECT_EQ(tmp.Count(), 0u);
}

TEST(FileNames, NameWithNulNamesNoFile) {
    // The C library would stop at the NUL and open "shot" instead.
    test::TempFolder tmp("filenames-nul");
    const std::string path = tmp / "shot";
    const std::string withNul = path + std::string("\0.bmp", 5);
    EXPECT_EQ(OpenFileUtf8(withNul, "wb"), nullptr);
    EXPECT_NE(RemoveFileUtf8(withNul), 0);
    EXPECT_TRUE(FsPath(withNul).empty());
    EXPECT_EQ(tmp.Count(), 0u);
}
