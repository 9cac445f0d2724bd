#include "capture/PrintFit.h"

#include "base/ErrorObject.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(PrintFit, WidePictureTurnsLandscapeAndFillsWidth) {
    EXPECT_EQ(OrientationForPicture(2000, 1000), PrintOrientation::Landscape);
    PrintSize s = FitPictureToPage(2000, 1000, 27700, 19000);
    EXPECT_DOUBLE_EQ(s.Width, 27700);
    EXPECT_DOUBLE_EQ(s.Height, 13850);
}

TEST(PrintFit, TallPictureStaysPortraitAndFillsHeight) {
    EXPECT_EQ(OrientationForPicture(1000, 2000), PrintOrientation::Portrait);
    PrintSize s = FitPictureToPage(1000, 2000, 19000, 27700);
    EXPECT_DOUBLE_EQ(s.Width, 13850);
    EXPECT_DOUBLE_EQ(s.Height, 27700);
}

TEST(PrintFit, SquarePrintsPortraitFillingWidth) {
    EXPECT_EQ(OrientationForPicture(1500, 1500), PrintOrientation::Portrait);
    PrintSize s = FitPictureToPage(1500, 1500, 19000, 27700);
    EXPECT_DOUBLE_EQ(s.Width, 19000);
    EXPECT_DOUBLE_EQ(s.Height, 19000);
}

TEST(PrintFit, ZeroHeightRaisesDivisionByZero) {
    EXPECT_THROW(FitPictureToPage(100, 0, 19000, 27700), ErrorObject);
    EXPECT_THROW(FitPictureToPage(100, 100, 19000, 0), ErrorObject);
}

TEST(PrintFit, HimetricToDeviceRoundsHalfToEven) {
    EXPECT_EQ(HimetricToDevice(2540, 600), 600);
    EXPECT_EQ(HimetricToDevice(27700, 300), 3272);  // 3271.65
    EXPECT_EQ(HimetricToDevice(127, 10), 0);         // 0.5 -> 0
    EXPECT_EQ(HimetricToDevice(381, 10), 2);         // 1.5 -> 2
}
