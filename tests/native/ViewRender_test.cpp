#include "markup/ViewRender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "image/clsDIBSection.h"
#include "markup/Raster.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

constexpr std::array<uint8_t, 3> kBackground{40, 50, 60};

// A client-sized buffer, top-down.
struct Client {
    std::vector<uint8_t> bytes;
    PixelView view;
    Client(int32_t w, int32_t h, uint8_t fill = 7) : bytes(static_cast<size_t>(w) * h * 3, fill) {
        view.bits = bytes.data();
        view.stride = static_cast<ptrdiff_t>(w) * 3;
        view.width = w;
        view.height = h;
    }
    std::array<uint8_t, 3> At(int32_t x, int32_t y) const {
        const uint8_t* p = view.Pixel(x, y);
        return {p[0], p[1], p[2]};
    }
};

void Noise(clsDIBSection& d, int32_t w, int32_t h, uint32_t seed) {
    ASSERT_TRUE(d.Create(w, h));
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) d.PixelPtr(x, y)[c] = static_cast<uint8_t>(rng());
}

// Letters as a filled box, enough to see that text is drawn through the painter at the view's scale.
class BoxPainter : public TextPainter {
public:
    void Measure(const MarkupObject& t, double& w, double& h) override {
        w = t.size * static_cast<double>(t.text.size()) / 2;
        h = t.size;
    }
    void Draw(const PixelView& view, const MarkupObject& t, const PixelRect& clip) override {
        double w = 0, h = 0;
        Measure(t, w, h);
        MarkupObject box = DefaultObject(ObjectType::Rect);
        box.x = t.x;
        box.y = t.y;
        box.w = w;
        box.h = h;
        box.fill = t.stroke;
        box.width = 0;
        DrawShape(view, box, &clip);
    }
};

MarkupObject Rect(double x, double y, double w, double h) {
    MarkupObject o = DefaultObject(ObjectType::Rect);
    o.x = x;
    o.y = y;
    o.w = w;
    o.h = h;
    return o;
}

std::vector<MarkupObject> Mixed() {
    std::vector<MarkupObject> out;
    MarkupObject r = Rect(10.5, 12, 60, 40);
    r.fill = {0, 120, 255, 128};
    r.radius = 6;
    out.push_back(r);
    MarkupObject e = DefaultObject(ObjectType::Ellipse);
    e.x = 50;
    e.y = 30;
    e.w = 70;
    e.h = 45;
    out.push_back(e);
    MarkupObject a = DefaultObject(ObjectType::Arrow);
    a.x1 = 5;
    a.y1 = 90;
    a.x2 = 140;
    a.y2 = 20;
    out.push_back(a);
    MarkupObject pen = DefaultObject(ObjectType::Highlight);
    pen.points = {{20, 70}, {40, 80}, {70, 65}, {110, 85}};
    out.push_back(pen);
    MarkupObject s = DefaultObject(ObjectType::Step);
    s.x = 100;
    s.y = 50;
    out.push_back(s);
    MarkupObject t = DefaultObject(ObjectType::Text);
    t.x = 30;
    t.y = 40;
    t.text = "hi";
    t.size = 12;
    out.push_back(t);
    return out;
}

}  // namespace

TEST(ViewRender, AtActualSizeItDrawsExactlyTheFlattenedPictureInAnyTiling) {
    clsDIBSection pic;
    Noise(pic, 150, 100, 1);
    BoxPainter painter;
    MarkupDocument doc;
    doc.SetTextPainter(&painter);
    ASSERT_TRUE(doc.Reset(pic, Mixed()));
    clsDIBSection flat;
    ASSERT_TRUE(doc.Flatten(flat));
    const PixelView f = ViewOf(flat);

    ZoomState zoom;
    zoom.ResetForPicture(150, 100, 200, 120);
    ASSERT_EQ(zoom.Scale(), 1.0);
    Client whole(200, 120), tiled(200, 120);
    RenderView(doc, zoom, {}, nullptr, whole.view, whole.view.Bounds(), kBackground);
    for (int32_t y = 0; y < 120; y += 17)
        for (int32_t x = 0; x < 200; x += 23) RenderView(doc, zoom, {}, nullptr, tiled.view, {x, y, x + 23, y + 17}, kBackground);
    EXPECT_EQ(whole.bytes, tiled.bytes);
    int mismatches = 0;
    for (int32_t y = 0; y < 100; ++y)
        mismatches += std::memcmp(whole.view.Pixel(0, y), f.Row(y), 150 * 3) != 0;
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(whole.At(150, 0), kBackground);
    EXPECT_EQ(whole.At(199, 119), kBackground);
    EXPECT_EQ(whole.At(0, 100), kBackground);
}

TEST(ViewRender, TouchesOnlyTheClip) {
    clsDIBSection pic;
    Noise(pic, 64, 64, 2);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(pic, Mixed()));
    ZoomState zoom;
    zoom.ResetForPicture(64, 64, 100, 100);
    zoom.ZoomAbout(2, 0, 0);
    Client c(100, 100, 7);
    RenderView(doc, zoom, {}, nullptr, c.view, {10, 20, 30, 25}, kBackground);
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 100; ++x) {
            const bool inside = x >= 10 && x < 30 && y >= 20 && y < 25;
            if (!inside) {
                ASSERT_EQ(c.At(x, y), (std::array<uint8_t, 3>{7, 7, 7})) << x << "," << y;
            }
        }
    RenderView(doc, zoom, {}, nullptr, c.view, {-50, -50, 1000, 1000}, kBackground);  // clipped to the view
}

TEST(ViewRender, ZoomedBasePixelsAreSampledAtEachClientPixelsCentre) {
    clsDIBSection pic;
    Noise(pic, 40, 30, 3);
    const PixelView base = ViewOf(pic);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(pic));
    const double scales[] = {2.0, 1.5, 0.5, 1.0 / 3, 16.0};
    for (double s : scales) {
        ZoomState zoom;
        zoom.ResetForPicture(40, 30, 50, 40);
        zoom.ZoomAbout(s, 0, 0);
        zoom.ScrollTo(zoom.MaxScrollX() / 2, zoom.MaxScrollY());
        Client c(50, 40);
        RenderView(doc, zoom, {}, nullptr, c.view, c.view.Bounds(), kBackground);
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 50; ++x) {
                const int32_t cx = x + zoom.ScrollX(), cy = y + zoom.ScrollY();
                std::array<uint8_t, 3> want = kBackground;
                if (cx < zoom.ContentW() && cy < zoom.ContentH()) {
                    const int32_t px = std::min(static_cast<int32_t>((cx + 0.5) / s), 39);
                    const int32_t py = std::min(static_cast<int32_t>((cy + 0.5) / s), 29);
                    std::memcpy(want.data(), base.Pixel(px, py), 3);
                }
                ASSERT_EQ(c.At(x, y), want) << "scale " << s << " at " << x << "," << y;
            }
    }
}

TEST(ViewRender, ObjectsAreDrawnAtTheViewsResolution) {
    clsDIBSection pic;
    ASSERT_TRUE(pic.Create(50, 50));
    std::memset(pic.DIBSectionBitsPtr(), 255, static_cast<size_t>(pic.BytesPerScanLine()) * 50);
    MarkupDocument doc;
    MarkupObject r = Rect(10, 10, 10, 10);
    r.width = 1;
    ASSERT_TRUE(doc.Reset(pic, {r}));
    ZoomState zoom;
    zoom.ResetForPicture(50, 50, 100, 100);
    zoom.ZoomAbout(4, 0, 0);
    Client c(100, 100);
    RenderView(doc, zoom, {}, nullptr, c.view, c.view.Bounds(), kBackground);
    const std::array<uint8_t, 3> red{0, 0, 255}, white{255, 255, 255};
    // A one-pixel outline becomes four crisp client pixels.
    for (int32_t x = 40; x < 44; ++x) EXPECT_EQ(c.At(x, 60), red);
    EXPECT_EQ(c.At(39, 60), white);
    EXPECT_EQ(c.At(44, 60), white);
    EXPECT_EQ(c.At(60, 40), red);
    EXPECT_EQ(c.At(60, 44), white);
}

TEST(ViewRender, OverridesReplaceTheirObjectsAndTheDrawingGoesOnTop) {
    clsDIBSection pic;
    Noise(pic, 80, 60, 4);
    MarkupDocument doc;
    MarkupObject r = Rect(5, 5, 20, 20);
    r.fill = {0, 255, 0, 255};
    ASSERT_TRUE(doc.Reset(pic, {r}));
    const uint32_t id = doc.Items()[0].id;
    ZoomState zoom;
    zoom.ResetForPicture(80, 60, 80, 60);

    Item moved{id, r};
    Translate(moved.object, 40, 20);
    MarkupObject drawing = Rect(0, 0, 80, 3);
    drawing.fill = {0, 0, 255, 255};
    Client c(80, 60);
    RenderView(doc, zoom, {moved}, &drawing, c.view, c.view.Bounds(), kBackground);

    MarkupDocument expected;
    ASSERT_TRUE(expected.Reset(pic, {moved.object, drawing}));
    clsDIBSection flat;
    ASSERT_TRUE(expected.Flatten(flat));
    for (int32_t y = 0; y < 60; ++y) ASSERT_EQ(std::memcmp(c.view.Pixel(0, y), ViewOf(flat).Row(y), 80 * 3), 0) << y;
}

TEST(ViewRender, ARedactionBeingDrawnLooksTheSameWhateverTheClip) {
    clsDIBSection pic;
    Noise(pic, 90, 70, 5);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(pic, Mixed()));
    ZoomState zoom;
    zoom.ResetForPicture(90, 70, 120, 100);
    zoom.ZoomAbout(1.5, 0, 0);
    MarkupObject mosaic = DefaultObject(ObjectType::Redact);
    mosaic.style = RedactStyle::Mosaic;
    mosaic.x = 20;
    mosaic.y = 15;
    mosaic.w = 40;
    mosaic.h = 30;
    MarkupObject solid = mosaic;
    solid.style = RedactStyle::Solid;
    solid.fill = {1, 2, 3, 255};
    for (const MarkupObject& red : {mosaic, solid}) {
        Client whole(120, 100), tiled(120, 100);
        RenderView(doc, zoom, {}, &red, whole.view, whole.view.Bounds(), kBackground);
        for (int32_t y = 0; y < 100; y += 13)
            for (int32_t x = 0; x < 120; x += 11) RenderView(doc, zoom, {}, &red, tiled.view, {x, y, x + 11, y + 13}, kBackground);
        EXPECT_EQ(whole.bytes, tiled.bytes);
        // Inside, whole cells of one colour (or the solid fill) cover the picture.
        const std::array<uint8_t, 3> a = whole.At(31, 23), b = whole.At(42, 34);
        EXPECT_EQ(whole.At(30, 23), a);
        if (red.style == RedactStyle::Solid) {
            EXPECT_EQ(a, (std::array<uint8_t, 3>{3, 2, 1}));
            EXPECT_EQ(b, a);
        }
    }
}

TEST(ViewRender, AnEmptyDocumentIsAllBackground) {
    MarkupDocument doc;
    ZoomState zoom;
    Client c(10, 10);
    RenderView(doc, zoom, {}, nullptr, c.view, c.view.Bounds(), kBackground);
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(c.At(x, y), kBackground);
}
