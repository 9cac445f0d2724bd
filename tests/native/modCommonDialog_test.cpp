#include "controls/modCommonDialog.h"

#include <gtest/gtest.h>

using namespace plenvue;
using namespace std::string_literals;

TEST(CommonDialog, FilterGetsClosingBarThenZeros) {
    EXPECT_EQ(DialogFilterText("Bitmap Files(*.BMP)|*.bmp"), "Bitmap Files(*.BMP)\0*.bmp\0"s);
    EXPECT_EQ(DialogFilterText("A|*.a|B|*.b|"), "A\0*.a\0B\0*.b\0"s);
    EXPECT_EQ(DialogFilterText(""), "\0"s);
}

TEST(CommonDialog, FolderTexts) {
    EXPECT_EQ(SaveDialogInitialFolder("  ", "C:\\Prog"), "C:\\Prog");
    EXPECT_EQ(SaveDialogInitialFolder("D:\\x", "C:\\Prog"), "D:\\x");
    EXPECT_EQ(WithTrailingBackslash(""), "\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(TextBeforeNul("C:\\a.bmp\0   "s), "C:\\a.bmp");
    EXPECT_EQ(TextBeforeNul("abc"), "abc");
}
