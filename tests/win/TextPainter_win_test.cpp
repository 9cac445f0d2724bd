// Text objects drawn by GDI: measured boxes, the letters inside them, background and outline.
#include "markup/TextPainter_win.h"

#include <gtest/gtest.h>

#include <set>

#include "image/clsDIBSection.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

struct White {
    clsDIBSection dib;
    White(int32_t w, int32_t h) {
        dib.Create(w, h);
        const PixelView v = ViewOf(dib);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) v.Pixel(x, y)[0] = v.Pixel(x, y)[1] = v.Pixel(x, y)[2] = 255;
    }
};

MarkupObject Text(const char* s) {
    MarkupObject t = DefaultObject(ObjectType::Text);
    t.x = 10;
    t.y = 8;
    t.text = s;
    t.size = 20;
    t.font = "Tahoma";
    t.stroke = {0, 0, 0, 255};
    return t;
}

}  // namespace

TEST(GdiTextPainter, MoreLinesAndLongerTextGiveTallerAndWiderBoxes) {
    GdiTextPainter painter;
    double w1 = 0, h1 = 0, w2 = 0, h2 = 0, w3 = 0, h3 = 0;
    painter.Measure(Text("Hello"), w1, h1);
    painter.Measure(Text("Hello, wider world"), w2, h2);
    painter.Measure(Text("Hello\nworld"), w3, h3);
    EXPECT_GT(w1, 20);
    EXPECT_GT(h1, 15);
    EXPECT_GT(w2, w1);
    EXPECT_GT(h3, h1 * 1.5);
}

TEST(GdiTextPainter, LettersStayInsideTheBoxAndClipIsHonoured) {
    GdiTextPainter painter;
    MarkupObject t = Text("Mark\xC3\xA9 \xD0\x96");  // Latin with an accent and Cyrillic
    painter.Measure(t, t.w, t.h);
    White page(160, 80);
    const PixelView v = ViewOf(page.dib);
    painter.Draw(v, t, v.Bounds());
    int inside = 0, outside = 0;
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 0; x < 160; ++x) {
            const bool dark = v.Pixel(x, y)[0] < 128;
            const bool in = x >= 10 && x < 10 + t.w && y >= 8 && y < 8 + t.h;
            (in ? inside : outside) += dark ? 1 : 0;
        }
    EXPECT_GT(inside, 30);
    EXPECT_EQ(outside, 0);

    White clipped(160, 80);
    const PixelView c = ViewOf(clipped.dib);
    painter.Draw(c, t, {0, 0, 30, 80});
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 30; x < 160; ++x) ASSERT_EQ(c.Pixel(x, y)[0], 255) << x << "," << y;
}

TEST(GdiTextPainter, BackgroundBoxAndOutlineTakeTheirColours) {
    GdiTextPainter painter;
    MarkupObject t = Text("Box");
    t.fill = {0, 0, 255, 255};
    t.outline = {255, 0, 0, 255};
    t.stroke = {0, 255, 0, 255};
    painter.Measure(t, t.w, t.h);
    White page(120, 60);
    const PixelView v = ViewOf(page.dib);
    painter.Draw(v, t, v.Bounds());
    std::set<uint32_t> colours;
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 120; ++x) {
            const uint8_t* p = v.Pixel(x, y);
            colours.insert(uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]);
        }
    EXPECT_TRUE(colours.count(0x0000FF));  // background
    EXPECT_TRUE(colours.count(0xFF0000));  // outline
    EXPECT_TRUE(colours.count(0x00FF00));  // letters
    EXPECT_EQ(v.Pixel(11, 9)[0], 255);  // the box's corner is background blue
    EXPECT_EQ(v.Pixel(11, 9)[2], 0);
}
