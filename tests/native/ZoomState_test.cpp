#include "markup/ZoomState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace plenvue::markup;

TEST(ZoomState, StepsRunFromTenPercentToSixteenHundredThroughActualAndDouble) {
    const auto& steps = ZoomState::Steps();
    ASSERT_FALSE(steps.empty());
    EXPECT_DOUBLE_EQ(steps.front(), ZoomState::kMinScale);
    EXPECT_DOUBLE_EQ(steps.back(), ZoomState::kMaxScale);
    for (size_t i = 1; i < steps.size(); ++i) EXPECT_LT(steps[i - 1], steps[i]);
    EXPECT_NE(std::find(steps.begin(), steps.end(), 1.0), steps.end());
    EXPECT_NE(std::find(steps.begin(), steps.end(), 2.0), steps.end());
}

TEST(ZoomState, FitNeverEnlargesAndTheRoundedUpContentFits) {
    EXPECT_EQ(ZoomState::FitScale(100, 100, 1920, 1080), 1.0);
    EXPECT_EQ(ZoomState::FitScale(3840, 2160, 1920, 1080), 0.5);
    EXPECT_EQ(ZoomState::FitScale(0, 10, 100, 100), 1.0);
    EXPECT_EQ(ZoomState::FitScale(10, 10, 0, 100), 1.0);
    const int32_t sizes[][4] = {{1921, 1080, 1920, 1080}, {7, 3, 5, 5}, {999, 1000, 333, 667}, {4000, 3001, 1279, 719}};
    for (const auto& s : sizes) {
        const double f = ZoomState::FitScale(s[0], s[1], s[2], s[3]);
        EXPECT_LE(std::ceil(s[0] * f), s[2]);
        EXPECT_LE(std::ceil(s[1] * f), s[3]);
        EXPECT_TRUE(std::ceil(s[0] * f) >= s[2] - 1 || std::ceil(s[1] * f) >= s[3] - 1);  // and no smaller than needed
    }
    EXPECT_EQ(ZoomState::FitScale(100000, 100, 100, 100), ZoomState::kMinScale);
}

TEST(ZoomState, ANewPictureOpensAtActualSizeOrFittedWhenLarger) {
    ZoomState z;
    z.ScrollTo(50, 50);
    z.ResetForPicture(800, 600, 1920, 1080);
    EXPECT_EQ(z.Scale(), 1.0);
    EXPECT_EQ(z.Percent(), 100);
    z.ResetForPicture(3840, 2160, 1920, 1080);
    EXPECT_EQ(z.Scale(), 0.5);
    EXPECT_EQ(z.Percent(), 50);
    EXPECT_EQ(z.ScrollX(), 0);
    EXPECT_EQ(z.MaxScrollX(), 0);
    z.ResetForPicture(1000, 2000, 1920, 1080);  // taller only
    EXPECT_NEAR(z.Scale(), 0.54, 1e-12);
}

TEST(ZoomState, ZoomingAboutAPointKeepsThePicturePointUnderIt) {
    ZoomState z;
    z.ResetForPicture(4000, 3000, 800, 600);
    z.Actual();
    z.ScrollTo(1000, 700);
    const Point before = z.ToPicture(300, 200);
    z.ZoomAbout(2.0, 300, 200);
    EXPECT_EQ(z.Scale(), 2.0);
    const Point after = z.ToPicture(300, 200);
    EXPECT_NEAR(after.x, before.x, 0.5 / 2);
    EXPECT_NEAR(after.y, before.y, 0.5 / 2);
    z.StepAbout(true, 300, 200);
    EXPECT_EQ(z.Percent(), 300);
    EXPECT_NEAR(z.ToPicture(300, 200).x, before.x, 0.5 / 3);
    z.StepAbout(false, 300, 200);
    z.StepAbout(false, 300, 200);
    z.StepAbout(false, 300, 200);
    EXPECT_EQ(z.Scale(), 1.0);
    z.StepAbout(false, 0, 0);
    EXPECT_EQ(z.Percent(), 67);
    for (int i = 0; i < 30; ++i) z.StepAbout(true, 0, 0);
    EXPECT_EQ(z.Scale(), ZoomState::kMaxScale);
    for (int i = 0; i < 30; ++i) z.StepAbout(false, 0, 0);
    EXPECT_EQ(z.Scale(), ZoomState::kMinScale);
    z.ZoomAbout(100, 0, 0);
    EXPECT_EQ(z.Scale(), ZoomState::kMaxScale);
}

TEST(ZoomState, StepsFromAFittedScaleGoToTheNeighbouringStep) {
    ZoomState z;
    z.ResetForPicture(3000, 1000, 1000, 1000);  // fitted to a third
    ASSERT_NEAR(z.Scale(), 1.0 / 3, 1e-9);
    z.StepAbout(true, 0, 0);
    EXPECT_EQ(z.Scale(), 0.5);
    z.ResetForPicture(3000, 1000, 1200, 1000);  // 40 %
    z.StepAbout(false, 0, 0);
    EXPECT_NEAR(z.Scale(), 1.0 / 3, 1e-12);
}

TEST(ZoomState, PercentRoundsHalfToEven) {
    ZoomState z;
    z.SetSizes(100, 100, 100, 100);
    z.ZoomAbout(0.125, 0, 0);
    EXPECT_EQ(z.Percent(), 12);
    z.ZoomAbout(0.375, 0, 0);
    EXPECT_EQ(z.Percent(), 38);
    z.ZoomAbout(1.0 / 3, 0, 0);
    EXPECT_EQ(z.Percent(), 33);
}

TEST(ZoomState, ScrollingIsClampedToTheRoundedUpContent) {
    ZoomState z;
    z.ResetForPicture(1001, 501, 400, 300);
    z.ZoomAbout(1.5, 0, 0);
    EXPECT_EQ(z.ContentW(), 1502);  // 1501.5 rounded up
    EXPECT_EQ(z.ContentH(), 752);
    EXPECT_EQ(z.MaxScrollX(), 1102);
    EXPECT_EQ(z.MaxScrollY(), 452);
    z.ScrollTo(-5, 100000);
    EXPECT_EQ(z.ScrollX(), 0);
    EXPECT_EQ(z.ScrollY(), 452);
    z.SetSizes(1001, 501, 1600, 800);  // a larger client needs no scrolling
    EXPECT_EQ(z.ScrollX(), 0);
    EXPECT_EQ(z.ScrollY(), 0);
    z.ZoomAbout(16, 800, 400);
    z.SetSizes(1001, 501, 400, 300);
    EXPECT_LE(z.ScrollX(), z.MaxScrollX());
    z.Fit();
    EXPECT_EQ(z.ScrollX(), 0);
    EXPECT_LE(z.ContentW(), 400);
    EXPECT_LE(z.ContentH(), 300);
}

TEST(ZoomState, RectanglesMapOutwardBothWays) {
    ZoomState z;
    z.ResetForPicture(1000, 1000, 300, 300);
    z.ZoomAbout(1.5, 0, 0);
    z.ScrollTo(7, 11);
    const PixelRect r{10, 20, 13, 25};
    const PixelRect c = z.ClientRectOf(r);
    EXPECT_EQ(c, (PixelRect{8, 19, 13, 27}));  // 15-7, 30-11, ceil(19.5-7), 37.5-11
    const PixelRect back = z.PictureRectOf(c);
    EXPECT_LE(back.left, r.left);
    EXPECT_LE(back.top, r.top);
    EXPECT_GE(back.right, r.right);
    EXPECT_GE(back.bottom, r.bottom);
    const Point p = z.ToClient(10, 20);
    EXPECT_EQ(p.x, 8);
    EXPECT_EQ(p.y, 19);
    EXPECT_EQ(z.ToPicture(p.x, p.y), (Point{10, 20}));
    EXPECT_TRUE(z.ClientRectOf({}).Empty());
}

TEST(ZoomState, ClientObjectsHaveEveryCoordinateAndSizeScaled) {
    ZoomState z;
    z.ResetForPicture(1000, 1000, 200, 200);
    z.ZoomAbout(2, 0, 0);
    z.ScrollTo(10, 20);
    MarkupObject o = DefaultObject(ObjectType::Arrow);
    o.x = 5;
    o.y = 6;
    o.w = 7;
    o.h = 8;
    o.x1 = 1;
    o.y1 = 2;
    o.x2 = 3;
    o.y2 = 4;
    o.points = {{10, 10}, {20, 30}};
    o.width = 3;
    o.radius = 4;
    o.head = 9;
    o.size = 24;
    o.cell = 8;
    const MarkupObject c = ToClientObject(o, z);
    EXPECT_EQ(c.x, 0);
    EXPECT_EQ(c.y, -8);
    EXPECT_EQ(c.w, 14);
    EXPECT_EQ(c.h, 16);
    EXPECT_EQ(c.x1, -8);
    EXPECT_EQ(c.y1, -16);
    EXPECT_EQ(c.x2, -4);
    EXPECT_EQ(c.y2, -12);
    EXPECT_EQ(c.points[1], (Point{30, 40}));
    EXPECT_EQ(c.width, 6);
    EXPECT_EQ(c.radius, 8);
    EXPECT_EQ(c.head, 18);
    EXPECT_EQ(c.size, 48);
    EXPECT_EQ(c.cell, 16);
    EXPECT_EQ(c.stroke, o.stroke);
    z.ZoomAbout(1, 0, 0);
    z.ScrollTo(0, 0);
    EXPECT_EQ(ToClientObject(o, z), o);
}
