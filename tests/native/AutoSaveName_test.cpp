#include "shell/AutoSaveName.h"

#include <limits>
#include <set>

#include <gtest/gtest.h>

using namespace plenvue;

namespace {
struct Folder {
    std::set<std::string> files;
    AutoSaveNamer::FileExists Exists() {
        return [this](const std::string& p) { return files.count(p) > 0; };
    }
};
}  // namespace

TEST(AutoSave, FirstNameOfRunIsCounterZero) {
    Folder f;
    AutoSaveNamer n;
    AutoSaveName r = n.Next("C:\\Shots", "cap", "_a", f.Exists());
    EXPECT_FALSE(r.Overflow);
    EXPECT_EQ(r.Path, "C:\\Shots\\cap0_a.bmp");
    EXPECT_EQ(r.Folder, "C:\\Shots\\");
}

TEST(AutoSave, ExistingFilesAreSkippedAndCounterIsNotAdvancedAfterSaving) {
    Folder f{{"C:\\Shots\\cap0_a.bmp", "C:\\Shots\\cap1_a.bmp"}};
    AutoSaveNamer n;
    AutoSaveName r = n.Next("C:\\Shots", "cap", "_a", f.Exists());
    EXPECT_EQ(r.Path, "C:\\Shots\\cap2_a.bmp");
    EXPECT_EQ(n.Counter(), 2);
    f.files.insert(r.Path);
    // The completed folder stored back is not a change of folder.
    EXPECT_EQ(n.Next(r.Folder, "cap", "_a", f.Exists()).Path, "C:\\Shots\\cap3_a.bmp");
}

TEST(AutoSave, PercentNInPrefixGetsTheCounterToo) {
    Folder f;
    AutoSaveNamer n;
    EXPECT_EQ(n.Next("D:\\", "s%n-", "", f.Exists()).Path, "D:\\s0-0.bmp");
}

TEST(AutoSave, SuffixChangeRestartsCounter) {
    Folder f{{"C:\\S\\c0.bmp", "C:\\S\\c1.bmp", "C:\\S\\c2.bmp"}};
    AutoSaveNamer n;
    EXPECT_EQ(n.Next("C:\\S\\", "c", "", f.Exists()).Path, "C:\\S\\c3.bmp");
    EXPECT_EQ(n.Next("C:\\S\\", "c", "_b", f.Exists()).Path, "C:\\S\\c0_b.bmp");
    EXPECT_EQ(n.Counter(), 0);
}

TEST(AutoSave, FolderOrPrefixChangeRestartsCounter) {
    Folder f{{"C:\\S\\c0.bmp", "C:\\S\\c1.bmp"}};
    AutoSaveNamer n;
    EXPECT_EQ(n.Next("C:\\S", "c", "", f.Exists()).Path, "C:\\S\\c2.bmp");
    EXPECT_EQ(n.Next("C:\\T", "c", "", f.Exists()).Path, "C:\\T\\c0.bmp");
    f.files.insert("C:\\T\\c0.bmp");
    EXPECT_EQ(n.Next("C:\\T", "c", "", f.Exists()).Path, "C:\\T\\c1.bmp");
    EXPECT_EQ(n.Next("C:\\T", "d", "", f.Exists()).Path, "C:\\T\\d0.bmp");
}

TEST(AutoSave, CounterPassingInt32MaxIsOverflow) {
    int32_t counter = std::numeric_limits<int32_t>::max() - 1;
    auto all = [](const std::string&) { return true; };
    AutoSaveName r = FindFreeAutoSaveName("C:\\S\\", "c", "", counter, all);
    EXPECT_TRUE(r.Overflow);
    EXPECT_TRUE(r.Path.empty());
    EXPECT_EQ(counter, std::numeric_limits<int32_t>::max());

    counter = std::numeric_limits<int32_t>::max() - 1;
    auto allButLast = [](const std::string& p) { return p != "C:\\S\\c2147483647.bmp"; };
    r = FindFreeAutoSaveName("C:\\S\\", "c", "", counter, allButLast);
    EXPECT_FALSE(r.Overflow);
    EXPECT_EQ(r.Path, "C:\\S\\c2147483647.bmp");
}

// Files of the other formats do not take a number: only names with the chosen extension are skipped.
TEST(AutoSave, RunningNumberCountsFilesOfTheChosenExtension) {
    Folder f{{"C:\\S\\c0.bmp", "C:\\S\\c1.bmp", "C:\\S\\c0.png"}};
    AutoSaveNamer n;
    EXPECT_EQ(n.Next("C:\\S", "c", "", f.Exists(), "png").Path, "C:\\S\\c1.png");
    f.files.insert("C:\\S\\c1.png");
    EXPECT_EQ(n.Next("C:\\S", "c", "", f.Exists(), "png").Path, "C:\\S\\c2.png");
    // Switching back to BMP restarts the count over the BMP files.
    EXPECT_EQ(n.Next("C:\\S", "c", "", f.Exists(), "bmp").Path, "C:\\S\\c2.bmp");
    EXPECT_EQ(n.Next("C:\\S", "c%n", "", f.Exists(), "jpg").Path, "C:\\S\\c00.jpg");
}
