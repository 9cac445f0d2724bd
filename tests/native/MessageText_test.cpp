#include "base/MessageText.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(MessageText, EveryPlaceholderIsReplacedWithoutRescanning) {
    EXPECT_EQ(ReplacePlaceholder("File \"%s\" Save Success", "C:\\a.bmp"), "File \"C:\\a.bmp\" Save Success");
    EXPECT_EQ(ReplacePlaceholder("%s and %s", "x"), "x and x");
    EXPECT_EQ(ReplacePlaceholder("%s", "%s%s"), "%s%s");
    EXPECT_EQ(ReplacePlaceholder("no placeholder", "x"), "no placeholder");
}

TEST(MessageText, BackslashNBecomesLineBreak) {
    EXPECT_EQ(ExpandLineBreaks("a\\nb\\n"), "a\r\nb\r\n");
    EXPECT_EQ(ExpandLineBreaks("a\\\\nb"), "a\\\r\nb");
}

// Guards against a path with "\n" in it (C:\new\...) being broken when shown.
TEST(MessageText, InsertedPathIsNotBrokenAtBackslashN) {
    EXPECT_EQ(FormatMessageText("Delete %s?\\nSure", "C:\\new\\x.bmp"), "Delete C:\\new\\x.bmp?\r\nSure");
}
