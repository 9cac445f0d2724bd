#include "controls/modExPath.h"

#include "base/ErrorObject.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(ExPath, FolderKeepsLastBackslashFromThirdCharacterOn) {
    EXPECT_EQ(FolderOfPath("C:\\Language\\English.dll"), "C:\\Language\\");
    EXPECT_EQ(FolderOfPath("C:\\a.dll"), "C:\\");
    EXPECT_EQ(FolderOfPath("C:\\Shots\\"), "C:\\Shots\\");
    EXPECT_EQ(FolderOfPath("\\\\server"), "");
    EXPECT_EQ(FolderOfPath("a\\b"), "");
    EXPECT_EQ(FolderOfPath("file.txt"), "");
    EXPECT_EQ(FolderOfPath(""), "");
}

TEST(ExPath, FileNameIsTextAfterLastBackslash) {
    EXPECT_EQ(FileNameOfPath("C:\\Shots\\cap0.bmp"), "cap0.bmp");
    EXPECT_EQ(FileNameOfPath("C:\\Shots\\"), "");
    EXPECT_EQ(FileNameOfPath(""), "");
    try {
        FileNameOfPath("cap0.bmp");
        FAIL() << "no error raised";
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 5);
        EXPECT_EQ(e.Source, "Plenvue");
    }
}

TEST(ExPath, ExtensionIsLowerCasedAndStopsAtBackslash) {
    EXPECT_EQ(ExtensionOfPath("C:\\Pics\\Shot.JPG"), "jpg");
    EXPECT_EQ(ExtensionOfPath("C:\\x.y\\file"), "");
    EXPECT_EQ(ExtensionOfPath("shot.png"), "png");
    EXPECT_EQ(ExtensionOfPath("C:\\a\\b."), "");
    EXPECT_EQ(ExtensionOfPath("C:\\a\\b.tar.GZ"), "gz");
    EXPECT_EQ(ExtensionOfPath(""), "");
    EXPECT_THROW(ExtensionOfPath("README"), ErrorObject);
}
