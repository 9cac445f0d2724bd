#include "shell/SaveAsChoice.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace plenvue;

namespace {
const char* kFilter = "PNG Files(*.PNG)|*.png|JPEG Files(*.JPG)|*.jpg;*.jpeg|Bitmap Files(*.BMP)|*.bmp";
}

TEST(SaveAsChoice, StartsInTheFirstFolderThatStillExists) {
    std::set<std::string> folders{"D:\\Last", "C:\\Auto", "C:\\Pics", "E:\\"};
    auto isFolder = [&](const std::string& f) { return folders.count(f) != 0; };
    EXPECT_EQ(SaveAsStartFolder("D:\\Last\\", "C:\\Auto\\", "C:\\Pics", isFolder), "D:\\Last");
    EXPECT_EQ(SaveAsStartFolder("D:\\Gone", "C:\\Auto\\", "C:\\Pics", isFolder), "C:\\Auto");
    EXPECT_EQ(SaveAsStartFolder(" ", "", "C:\\Pics", isFolder), "C:\\Pics");
    EXPECT_EQ(SaveAsStartFolder("E:\\", "", "", isFolder), "E:\\");  // a drive root keeps its backslash
    EXPECT_EQ(SaveAsStartFolder("X:\\a", "Y:\\b", "", isFolder), "");
}

TEST(SaveAsChoice, RememberedTypeIsPngUnlessAKnownOneWasStored) {
    EXPECT_EQ(NormaliseSaveAsFormat(""), "PNG");
    EXPECT_EQ(NormaliseSaveAsFormat("gif"), "PNG");
    EXPECT_EQ(NormaliseSaveAsFormat(" bmp "), "BMP");
    EXPECT_EQ(NormaliseSaveAsFormat("JPG"), "JPEG");
    EXPECT_EQ(NormaliseSaveAsFormat("Jpeg"), "JPEG");
}

TEST(SaveAsChoice, FilterEntriesAreFoundByTheirPatternsInAnyOrder) {
    EXPECT_EQ(FilterIndexFor(kFilter, "png"), 1);
    EXPECT_EQ(FilterIndexFor(kFilter, "JPEG"), 2);
    EXPECT_EQ(FilterIndexFor(kFilter, "bmp"), 3);
    EXPECT_EQ(FilterIndexFor(kFilter, "tif"), 1);
    EXPECT_EQ(FilterIndexFor("Bitmap|*.bmp|PNG|*.png|", "png"), 2);
    EXPECT_EQ(FilterExtension(kFilter, 2), "jpg");
    EXPECT_EQ(FilterExtension(kFilter, 3), "bmp");
    EXPECT_EQ(FilterExtension(kFilter, 0), "");
    EXPECT_EQ(FilterExtension(kFilter, 4), "");
    EXPECT_EQ(FilterExtension("All|*.*", 1), "");
}

TEST(SaveAsChoice, TypedPictureExtensionDecidesTheType) {
    SaveAsTarget t = SaveAsTargetFor("C:\\Shots\\a.JPEG", kFilter, 1);
    EXPECT_EQ(t.Path, "C:\\Shots\\a.JPEG");
    EXPECT_EQ(t.Format, "JPEG");
    EXPECT_EQ(t.Folder, "C:\\Shots");
    t = SaveAsTargetFor("C:\\a.bmp", kFilter, 1);
    EXPECT_EQ(t.Format, "BMP");
    EXPECT_EQ(t.Folder, "C:\\");
}

TEST(SaveAsChoice, OtherNamesGetTheChosenTypesExtension) {
    SaveAsTarget t = SaveAsTargetFor("C:\\Shots\\bare", kFilter, 3);
    EXPECT_EQ(t.Path, "C:\\Shots\\bare.bmp");
    EXPECT_EQ(t.Format, "BMP");
    t = SaveAsTargetFor("C:\\Shots.d\\shot.tif", kFilter, 2);
    EXPECT_EQ(t.Path, "C:\\Shots.d\\shot.tif.jpg");
    EXPECT_EQ(t.Format, "JPEG");
    // A dot in a folder name is no extension of the file's.
    t = SaveAsTargetFor("C:\\Shots.d\\bare", kFilter, 1);
    EXPECT_EQ(t.Path, "C:\\Shots.d\\bare.png");
    // A type list entry that names no picture type saves PNG.
    t = SaveAsTargetFor("C:\\x\\bare.", "All|*.*", 1);
    EXPECT_EQ(t.Path, "C:\\x\\bare.png");
    EXPECT_EQ(t.Format, "PNG");
}
