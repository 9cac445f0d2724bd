#include "shell/FileRules.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(FileRules, DroppedFileExtensionIsComparedInLowerCase) {
    EXPECT_TRUE(IsDroppablePicture("C:\\a.PCX"));
    EXPECT_TRUE(IsDroppablePicture("C:\\x\\b.gif"));
    EXPECT_TRUE(IsDroppablePicture("C:\\x\\b.PNG"));
    EXPECT_FALSE(IsDroppablePicture("C:\\x\\b.tif"));
}

// Guards against substring matching: "mp", "g" or an empty extension all occur inside "bmp|jpg|pcx|gif".
TEST(FileRules, ExtensionMustMatchAWholeListItem) {
    EXPECT_FALSE(IsDroppablePicture("C:\\a.mp"));
    EXPECT_FALSE(IsDroppablePicture("C:\\a.g"));
    EXPECT_FALSE(IsDroppablePicture("C:\\Folder"));
    EXPECT_FALSE(IsDroppablePicture("C:\\a.bmp|jpg"));
    EXPECT_FALSE(SavesInPlace("C:\\a.mp"));
    EXPECT_FALSE(SavesInPlace("C:\\a"));
    EXPECT_FALSE(IsExtensionInList("", "bmp|"));
}

TEST(FileRules, SaveCommandGoesToSaveAsForOtherFormats) {
    EXPECT_TRUE(SavesInPlace("C:\\a.BMP"));
    EXPECT_TRUE(SavesInPlace("C:\\a.jpg"));
    EXPECT_FALSE(SavesInPlace("C:\\a.gif"));
    EXPECT_FALSE(SavesInPlace("C:\\a.pcx"));
    EXPECT_TRUE(SavesInPlace("C:\\a.png"));
    EXPECT_FALSE(SavesInPlace(""));
}

TEST(FileRules, SaveTargetByExtension) {
    SaveTarget t = SaveTargetFor("C:\\shot.tif");
    EXPECT_EQ(t.Format, SaveFormat::Bmp);
    EXPECT_EQ(t.Path, "C:\\shot.tif.bmp");
    t = SaveTargetFor("C:\\shot.Png");
    EXPECT_EQ(t.Format, SaveFormat::Png);
    EXPECT_EQ(t.Path, "C:\\shot.Png");
    t = SaveTargetFor("C:\\shot.JPG");
    EXPECT_EQ(t.Format, SaveFormat::Jpeg);
    EXPECT_EQ(t.Path, "C:\\shot.JPG");
    t = SaveTargetFor("C:\\shot.bmp");
    EXPECT_EQ(t.Format, SaveFormat::Bmp);
    EXPECT_EQ(t.Path, "C:\\shot.bmp");
    EXPECT_EQ(SaveTargetFor("C:\\d.x\\shot").Path, "C:\\d.x\\shot.bmp");
    EXPECT_EQ(SaveTargetFor("shot").Path, "shot.bmp");
    EXPECT_EQ(SaveTargetFor("  ").Format, SaveFormat::None);
}

TEST(FileRules, LoaderChosenByLastFourCharacters) {
    EXPECT_EQ(PictureLoaderFor("C:\\a.JPG"), PictureLoader::Platform);
    EXPECT_EQ(PictureLoaderFor("C:\\a.gif"), PictureLoader::Platform);
    EXPECT_EQ(PictureLoaderFor("C:\\a.Pcx"), PictureLoader::Pcx);
    EXPECT_EQ(PictureLoaderFor("C:\\a.jpeg"), PictureLoader::None);
    EXPECT_EQ(PictureLoaderFor("C:\\a.PNG"), PictureLoader::Png);
    EXPECT_EQ(PictureLoaderFor("bmp"), PictureLoader::None);
}

TEST(FileRules, CopyDestinationIsFolderPlusFileName) {
    EXPECT_EQ(FileOperationDestination("D:\\Backup", "C:\\Shots\\cap0.bmp"), "D:\\Backup\\cap0.bmp");
    EXPECT_EQ(FileOperationDestination("D:\\", "C:\\Shots\\cap0.bmp"), "D:\\cap0.bmp");
}
