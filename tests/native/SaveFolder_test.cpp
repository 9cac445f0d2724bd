#include "settings/SaveFolder.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(SaveFolder, WritablePortableCopyKeepsItsProgramFolder) {
    EXPECT_EQ(FallbackSaveFolder("D:\\Downloads\\Plenvue\\", true, false, "C:\\Users\\a\\Pictures"),
              "D:\\Downloads\\Plenvue\\");
}

TEST(SaveFolder, ReadOnlyOrInstalledCopyUsesPicturesSubfolder) {
    EXPECT_EQ(FallbackSaveFolder("C:\\Program Files\\Plenvue\\", false, false, "C:\\Users\\a\\Pictures"),
              "C:\\Users\\a\\Pictures\\Plenvue\\");
    // An installed copy is writable for its user, but pictures do not belong among its files.
    EXPECT_EQ(FallbackSaveFolder("C:\\Users\\a\\AppData\\Local\\Programs\\Plenvue\\", true, true,
                                 "C:\\Users\\a\\Pictures\\"),
              "C:\\Users\\a\\Pictures\\Plenvue\\");
}

TEST(SaveFolder, WithoutPicturesFolderTheProgramFolderIsAllThereIs) {
    EXPECT_EQ(FallbackSaveFolder("C:\\Program Files\\Plenvue\\", false, true, ""), "C:\\Program Files\\Plenvue\\");
}

TEST(SaveFolder, InstalledFolderMatchesRecordIgnoringCaseAndTrailingBackslash) {
    EXPECT_TRUE(IsInstalledFolder("C:\\Users\\a\\AppData\\Local\\Programs\\Plenvue\\",
                                  "c:\\users\\A\\AppData\\Local\\Programs\\Plenvue"));
    EXPECT_FALSE(IsInstalledFolder("D:\\Downloads\\Plenvue\\", "C:\\Users\\a\\AppData\\Local\\Programs\\Plenvue\\"));
    EXPECT_FALSE(IsInstalledFolder("D:\\Downloads\\Plenvue\\", ""));
    EXPECT_FALSE(IsInstalledFolder("D:\\Downloads\\Plenvue\\", "\\"));  // a blank record names no folder
}
