#include "markup/Raster.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace plenvue::markup;

namespace {

using Bgr = std::array<uint8_t, 3>;

// A picture in its own buffer, top-down or bottom-up in memory.
struct Canvas {
    int32_t width, height;
    std::vector<uint8_t> bytes;
    PixelView view;
    Canvas(int32_t w, int32_t h, Bgr fill = {255, 255, 255}, bool bottomUp = false)
        : width(w), height(h), bytes(static_cast<size_t>(w + 1) * 3 * h) {
        const ptrdiff_t stride = static_cast<ptrdiff_t>(w + 1) * 3;  // padded rows
        view.width = w;
        view.height = h;
        view.stride = bottomUp ? -stride : stride;
        view.bits = bottomUp ? bytes.data() + stride * (h - 1) : bytes.data();
        Fill(fill);
    }
    Canvas(const Canvas& o) : width(o.width), height(o.height), bytes(o.bytes), view(o.view) {
        view.bits = bytes.data() + (o.view.bits - o.bytes.data());
    }
    void Fill(Bgr c) {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) std::memcpy(view.Pixel(x, y), c.data(), 3);
    }
    void Randomise(uint32_t seed, PixelRect r) {
        std::mt19937 rng(seed);
        r = Intersect(r, view.Bounds());
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x)
                for (int c = 0; c < 3; ++c) view.Pixel(x, y)[c] = static_cast<uint8_t>(rng());
    }
    Bgr At(int32_t x, int32_t y) const {
        const uint8_t* p = view.Pixel(x, y);
        return {p[0], p[1], p[2]};
    }
    bool Same(const Canvas& o, int32_t x, int32_t y) const { return At(x, y) == o.At(x, y); }
};

bool Inside(const PixelRect& r, int32_t x, int32_t y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

Bgr BgrOf(Rgba c) { return {c.b, c.g, c.r}; }

MarkupObject Box(ObjectType t, double x, double y, double w, double h) {
    MarkupObject o = DefaultObject(t);
    o.x = x;
    o.y = y;
    o.w = w;
    o.h = h;
    return o;
}

MarkupObject Segment(ObjectType t, double x1, double y1, double x2, double y2, double width) {
    MarkupObject o = DefaultObject(t);
    o.x1 = x1;
    o.y1 = y1;
    o.x2 = x2;
    o.y2 = y2;
    o.width = width;
    return o;
}

MarkupObject Stroke(ObjectType t, std::vector<Point> pts, double width) {
    MarkupObject o = DefaultObject(t);
    o.points = std::move(pts);
    o.width = width;
    return o;
}

// One object of every drawn kind, at fractional positions.
std::vector<MarkupObject> Samples() {
    MarkupObject rect = Box(ObjectType::Rect, 5.3, 6.6, 40.2, 30.1);
    rect.fill = {10, 200, 30, 200};
    rect.radius = 7;
    MarkupObject ellipse = Box(ObjectType::Ellipse, 50.5, 4.25, 35, 52.5);
    ellipse.fill = {0, 0, 255, 255};
    MarkupObject arrow = Segment(ObjectType::Arrow, 10.5, 70.2, 80.7, 50.1, 4);
    arrow.heads = ArrowHeads::Both;
    return {rect,
            ellipse,
            Segment(ObjectType::Line, 3.2, 90.7, 70.4, 60.1, 5),
            arrow,
            Stroke(ObjectType::Pen, {{20.5, 20.5}, {40, 60}, {60.2, 25}, {30, 40}}, 6),
            Stroke(ObjectType::Highlight, {{10, 40}, {80, 45}, {85, 70}}, 14),
            Box(ObjectType::Step, 60.5, 60.5, 32, 32)};
}

TEST(Raster, AxisAlignedRectHasCrispEdges) {
    for (double width : {1.0, 3.0, 4.0}) {
        Canvas c(64, 48);
        MarkupObject r = Box(ObjectType::Rect, 10, 8, 30, 20);
        r.width = width;
        r.fill = {0, 0, 255, 255};
        DrawShape(c.view, r);
        for (int32_t y = 0; y < c.height; ++y)
            for (int32_t x = 0; x < c.width; ++x) {
                const bool box = x >= 10 && x < 40 && y >= 8 && y < 28;
                const bool band = box && (x < 10 + width || x >= 40 - width || y < 8 + width || y >= 28 - width);
                const Bgr want = !box ? Bgr{255, 255, 255} : band ? BgrOf(r.stroke) : BgrOf(r.fill);
                ASSERT_EQ(c.At(x, y), want) << "width " << width << " at " << x << "," << y;
            }
    }
    // A rounded or dragged-backwards box still stays within its box.
    Canvas c(64, 48);
    MarkupObject r = Box(ObjectType::Rect, 40, 28, -30, -20);
    r.radius = 1000;
    DrawShape(c.view, r);
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x)
            if (!(x >= 10 && x < 40 && y >= 8 && y < 28)) {
                ASSERT_EQ(c.At(x, y), (Bgr{255, 255, 255}));
            }
    EXPECT_EQ(c.At(25, 8), BgrOf(r.stroke));  // the middle of the top side is straight
}

TEST(Raster, LinesOnPixelBoundariesAreCrisp) {
    Canvas c(64, 40);
    DrawShape(c.view, Segment(ObjectType::Line, 10, 20, 50, 20, 4));
    for (int32_t x = 10; x < 50; ++x) {
        for (int32_t y = 18; y < 22; ++y) ASSERT_EQ(c.At(x, y), (Bgr{0, 0, 255}));
        ASSERT_EQ(c.At(x, 17), (Bgr{255, 255, 255}));
        ASSERT_EQ(c.At(x, 22), (Bgr{255, 255, 255}));
    }
    Canvas v(40, 64);
    DrawShape(v.view, Segment(ObjectType::Line, 20.5, 10, 20.5, 50, 3));  // odd width about a centre
    for (int32_t y = 10; y < 50; ++y) {
        ASSERT_EQ(v.At(18, y), (Bgr{255, 255, 255}));
        for (int32_t x = 19; x < 22; ++x) ASSERT_EQ(v.At(x, y), (Bgr{0, 0, 255}));
        ASSERT_EQ(v.At(22, y), (Bgr{255, 255, 255}));
    }
}

TEST(Raster, NothingChangesOutsideShapeBounds) {
    for (const MarkupObject& o : Samples()) {
        Canvas before(100, 100);
        before.Randomise(3, before.view.Bounds());
        Canvas after = before;
        DrawShape(after.view, o);
        const PixelRect b = ShapeBounds(o);
        ASSERT_FALSE(b.Empty()) << TypeName(o.type);
        int changed = 0;
        for (int32_t y = 0; y < 100; ++y)
            for (int32_t x = 0; x < 100; ++x)
                if (!after.Same(before, x, y)) {
                    ++changed;
                    ASSERT_TRUE(Inside(b, x, y)) << TypeName(o.type) << " at " << x << "," << y;
                }
        EXPECT_GT(changed, 50) << TypeName(o.type);
    }
    EXPECT_TRUE(ShapeBounds(Box(ObjectType::Text, 0, 0, 50, 20)).Empty());
    EXPECT_TRUE(ShapeBounds(Box(ObjectType::Redact, 0, 0, 50, 20)).Empty());
}

TEST(Raster, AntialiasingStaysWithinHalfTheWidthAndAPixel) {
    const Point a{7.3, 11.8}, b{83.1, 52.4};
    for (double width : {1.0, 2.5, 7.0}) {
        for (ObjectType t : {ObjectType::Line, ObjectType::Pen}) {
            Canvas c(100, 70);
            if (t == ObjectType::Line)
                DrawShape(c.view, Segment(t, a.x, a.y, b.x, b.y, width));
            else
                DrawShape(c.view, Stroke(t, {a, {30, 40}, b}, width));
            for (int32_t y = 0; y < c.height; ++y)
                for (int32_t x = 0; x < c.width; ++x) {
                    if (c.At(x, y) == Bgr{255, 255, 255}) continue;
                    // Distance from the pixel's nearest point to the centre line, for the line.
                    if (t != ObjectType::Line) continue;
                    const double px = x + 0.5, py = y + 0.5, dx = b.x - a.x, dy = b.y - a.y;
                    const double u = std::clamp(((px - a.x) * dx + (py - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                    const double d = std::hypot(px - (a.x + u * dx), py - (a.y + u * dy));
                    ASSERT_LE(d, width / 2 + 1) << "width " << width << " at " << x << "," << y;
                }
            // The pixel at the line's middle lies within 0.9 of the centre line all over.
            if (t == ObjectType::Line && width > 2) {
                EXPECT_EQ(c.At(45, 32), (Bgr{0, 0, 255})) << width;
            }
        }
    }
}

TEST(Raster, FilledShapesAreExactlyTheirColoursInside) {
    Canvas c(120, 90, {40, 40, 40});
    MarkupObject e = Box(ObjectType::Ellipse, 10.4, 5.2, 100.3, 80.1);
    e.fill = {250, 200, 10, 255};
    e.stroke = {0, 100, 0, 255};
    e.width = 6;
    DrawShape(c.view, e);
    const double cx = 10.4 + 50.15, cy = 5.2 + 40.05, rx = 50.15, ry = 40.05;
    int ring = 0, inside = 0;
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x) {
            const double k = std::hypot((x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry);
            if (k < 0.8) {
                ASSERT_EQ(c.At(x, y), BgrOf(e.fill)) << x << "," << y;
                ++inside;
            }
            // The ring's middle, three pixels in from the edge along the axes.
            if (std::abs(k - (1 - 3 / std::max(rx, ry))) < 0.005 && (std::abs(x + 0.5 - cx) < 2 || std::abs(y + 0.5 - cy) < 2)) {
                EXPECT_EQ(c.At(x, y), BgrOf(e.stroke)) << x << "," << y;
                ++ring;
            }
            if (k > 1.05) {
                ASSERT_EQ(c.At(x, y), (Bgr{40, 40, 40}));
            }
        }
    EXPECT_GT(inside, 1000);
    EXPECT_GT(ring, 0);
}

TEST(Raster, ClipIsHonoured) {
    for (const MarkupObject& o : Samples()) {
        Canvas base(100, 100);
        base.Randomise(5, base.view.Bounds());
        Canvas full = base, clipped = base;
        DrawShape(full.view, o);
        const PixelRect clip{20, 30, 70, 65};
        DrawShape(clipped.view, o, &clip);
        for (int32_t y = 0; y < 100; ++y)
            for (int32_t x = 0; x < 100; ++x)
                ASSERT_TRUE(clipped.Same(Inside(clip, x, y) ? full : base, x, y)) << TypeName(o.type) << " " << x << "," << y;
    }
    Canvas c(20, 20);
    const PixelRect outside{30, 30, 40, 40};
    DrawShape(c.view, Box(ObjectType::Rect, 0, 0, 20, 20), &outside);
    EXPECT_EQ(c.At(0, 0), (Bgr{255, 255, 255}));
}

TEST(Raster, TranslucentColoursBlendInIntegers) {
    Canvas c(20, 20, {100, 150, 200});
    MarkupObject r = Box(ObjectType::Rect, 2, 2, 10, 10);
    r.stroke = {};
    r.fill = {255, 0, 60, 128};
    DrawShape(c.view, r);
    auto over = [](int dst, int src, int a) { return static_cast<uint8_t>((dst * (255 - a) + src * a + 127) / 255); };
    EXPECT_EQ(c.At(5, 5), (Bgr{over(100, 60, 128), over(150, 0, 128), over(200, 255, 128)}));
    EXPECT_EQ(c.At(12, 5), (Bgr{100, 150, 200}));
    // Half a pixel covered at alpha 128: a = round(128 * 128 / 255) = 64.
    Canvas h(20, 20, {0, 0, 0});
    MarkupObject half = Box(ObjectType::Rect, 2, 2.5, 10, 5);
    half.stroke = {};
    half.fill = {255, 255, 255, 128};
    DrawShape(h.view, half);
    EXPECT_EQ(h.At(5, 2), (Bgr{over(0, 255, 64), over(0, 255, 64), over(0, 255, 64)}));
}

TEST(Raster, HighlighterMultipliesThePicture) {
    Canvas c(60, 30);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 60; ++x) {
            const uint8_t g = x < 20 ? 255 : x < 40 ? 0 : 128;
            std::memset(c.view.Pixel(x, y), g, 3);
        }
    MarkupObject h = Stroke(ObjectType::Highlight, {{-5, 15}, {70, 15}}, 10);
    h.stroke = {255, 230, 0, 255};
    DrawShape(c.view, h);
    EXPECT_EQ(c.At(10, 15), (Bgr{0, 230, 255}));
    EXPECT_EQ(c.At(30, 15), (Bgr{0, 0, 0}));
    EXPECT_EQ(c.At(50, 15), (Bgr{0, (128 * 230 + 127) / 255, 128}));
    EXPECT_EQ(c.At(10, 5), (Bgr{255, 255, 255}));
    // The ends are square: the corner half a width past the last point is covered.
    Canvas s(40, 40);
    DrawShape(s.view, Stroke(ObjectType::Highlight, {{10, 20}, {30, 20}}, 10));
    EXPECT_EQ(s.At(34, 24), (Bgr{0, 230, 255}));
    EXPECT_EQ(s.At(35, 20), (Bgr{255, 255, 255}));
}

TEST(Raster, SelfOverlappingStrokesAreCoveredOnce) {
    // A tight zigzag crossing itself many times, in half-transparent red over white: no pixel may
    // come out darker than one layer of it.
    std::vector<Point> pts;
    for (int i = 0; i < 40; ++i) pts.push_back({10.0 + i * 1.7, i % 2 ? 10.0 : 50.0});
    for (int i = 0; i < 40; ++i) pts.push_back({80.0 - i * 1.9, 20.0 + (i % 3) * 7});
    MarkupObject pen = Stroke(ObjectType::Pen, pts, 9);
    pen.stroke = {255, 0, 0, 128};
    Canvas c(100, 70);
    DrawShape(c.view, pen);
    const uint8_t once = static_cast<uint8_t>((255 * 127 + 127) / 255);
    int full = 0;
    for (int32_t y = 0; y < c.height; ++y)
        for (int32_t x = 0; x < c.width; ++x) {
            ASSERT_GE(c.At(x, y)[0], once) << x << "," << y;
            full += c.At(x, y)[0] == once;
        }
    EXPECT_GT(full, 1000);
    // A single point is a round dot.
    Canvas d(30, 30);
    DrawShape(d.view, Stroke(ObjectType::Pen, {{15, 15}}, 10));
    EXPECT_EQ(d.At(14, 14), (Bgr{0, 0, 255}));
    EXPECT_EQ(d.At(12, 12), (Bgr{0, 0, 255}));
    EXPECT_EQ(d.At(10, 10), (Bgr{255, 255, 255}));  // a square dot would cover this corner
}

TEST(Raster, ArrowHasASharpFilledHead) {
    Canvas c(120, 60);
    MarkupObject a = Segment(ObjectType::Arrow, 10, 30, 100, 30, 4);
    DrawShape(c.view, a);
    // Head length 3 * 4 + 8 = 20 from x 80 to the tip at 100, 9 to each side at its base.
    EXPECT_EQ(c.At(85, 24), (Bgr{0, 0, 255}));
    EXPECT_EQ(c.At(85, 35), (Bgr{0, 0, 255}));
    EXPECT_EQ(c.At(96, 30), (Bgr{0, 0, 255}));
    EXPECT_EQ(c.At(101, 30), (Bgr{255, 255, 255}));
    EXPECT_EQ(c.At(98, 26), (Bgr{255, 255, 255}));  // narrow near the tip
    EXPECT_EQ(c.At(50, 30), (Bgr{0, 0, 255}));
    EXPECT_EQ(c.At(50, 33), (Bgr{255, 255, 255}));
    EXPECT_NE(c.At(9, 30), (Bgr{255, 255, 255}));  // the round cap at the bare end
    a.heads = ArrowHeads::Start;
    Canvas s(120, 60);
    DrawShape(s.view, a);
    EXPECT_EQ(s.At(14, 30), (Bgr{0, 0, 255}));
    EXPECT_EQ(s.At(28, 22), (Bgr{0, 0, 255}));
    EXPECT_EQ(s.At(98, 22), (Bgr{255, 255, 255}));
}

TEST(Raster, StepBadgeShowsItsLabelInTheMiddle) {
    for (int32_t size : {24, 40, 64}) {
        for (int32_t value : {1, 7, 12, 888}) {
            for (StepLabel label : {StepLabel::Numbers, StepLabel::Letters}) {
                Canvas c(80, 80, {0, 0, 0});
                MarkupObject s = Box(ObjectType::Step, 8, 8, size, size);
                s.value = value;
                s.label = label;
                DrawShape(c.view, s);
                const double centre = 8 + size / 2.0;
                double n = 0, minX = 80, maxX = 0, minY = 80, maxY = 0;
                for (int32_t y = 0; y < 80; ++y)
                    for (int32_t x = 0; x < 80; ++x) {
                        const Bgr p = c.At(x, y);
                        const double d = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
                        if (d > size / 2.0 + 0.75) {
                            ASSERT_EQ(p, (Bgr{0, 0, 0}));
                        }
                        if (d < size / 2.0 - 1.5) {  // the badge: white blended over red, nothing else
                            ASSERT_EQ(p[0], p[1]);
                            ASSERT_GE(p[2], 220);
                        }
                        if (p[0] > 200) {  // white label over red
                            ASSERT_LT(d, size * 0.42) << size << " " << value;
                            minX = std::min(minX, x + 0.5);
                            maxX = std::max(maxX, x + 0.5);
                            minY = std::min(minY, y + 0.5);
                            maxY = std::max(maxY, y + 0.5);
                            ++n;
                        }
                    }
                ASSERT_GT(n, size * size / 40.0) << size << " " << value;
                EXPECT_NEAR((minX + maxX) / 2, centre, 1.0) << size << " " << value;
                EXPECT_NEAR((minY + maxY) / 2, centre, 1.0) << size << " " << value;
                if (StepText(s).size() <= 2) {
                    EXPECT_NEAR(maxY - minY, size / 2.0, size * 0.1) << size << " " << value;
                }
            }
        }
    }
}

TEST(Raster, MosaicNeverReadsInsideTheRect) {
    MarkupObject m = Box(ObjectType::Redact, 20.5, 15.2, 50, 33);
    m.style = RedactStyle::Mosaic;
    m.cell = 7;
    m.seed = 99;
    const PixelRect r = RedactionRect(m);
    Canvas a(100, 80);
    a.Randomise(1, a.view.Bounds());
    Canvas b = a;
    b.Randomise(2, r);
    ASSERT_NE(a.bytes, b.bytes);
    DrawRedaction(a.view, m);
    DrawRedaction(b.view, m);
    EXPECT_EQ(a.bytes, b.bytes);
    // Square cells from the rect's top-left, each one colour, not all alike.
    int differ = 0;
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x) {
            const int32_t x0 = r.left + (x - r.left) / 7 * 7, y0 = r.top + (y - r.top) / 7 * 7;
            ASSERT_EQ(a.At(x, y), a.At(x0, y0)) << x << "," << y;
            if (x == x0 && x0 > r.left) differ += a.At(x, y) != a.At(x - 1, y);
        }
    EXPECT_GT(differ, 10);
    // Another seed jitters differently; the ring itself is not touched.
    Canvas c = b;
    m.seed = 100;
    DrawRedaction(c.view, m);
    EXPECT_NE(c.bytes, b.bytes);
    EXPECT_EQ(a.At(r.left - 1, r.top), b.At(r.left - 1, r.top));
}

TEST(Raster, MosaicWithoutARingIsMidGrey) {
    MarkupObject m = Box(ObjectType::Redact, -5, -5, 60, 60);
    m.style = RedactStyle::Mosaic;
    Canvas a(40, 30);
    a.Randomise(4, a.view.Bounds());
    Canvas b(40, 30);
    DrawRedaction(a.view, m);
    DrawRedaction(b.view, m);
    EXPECT_EQ(a.bytes, b.bytes);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x) {
            ASSERT_NEAR(a.At(x, y)[0], 128, 12);
            ASSERT_EQ(a.At(x, y)[0], a.At(x, y)[2]);
        }
    // A rect partly off the picture takes its colours from the sides that are on it.
    Canvas d(40, 30, {0, 200, 0});
    m.x = -10;
    m.y = -10;
    m.w = 30;
    m.h = 25;
    DrawRedaction(d.view, m);
    EXPECT_NEAR(d.At(5, 5)[1], 200, 12);
    EXPECT_NEAR(d.At(5, 5)[0], 0, 12);
}

TEST(Raster, SolidRedactionIsOpaque) {
    Canvas c(30, 30);
    c.Randomise(7, c.view.Bounds());
    Canvas before = c;
    MarkupObject m = Box(ObjectType::Redact, 5.5, 4.1, 10, 10.2);
    m.fill = {10, 20, 30, 0};  // alpha ignored
    DrawRedaction(c.view, m);
    const PixelRect r = RedactionRect(m);
    ASSERT_EQ(r, (PixelRect{5, 4, 16, 15}));
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 30; ++x) ASSERT_EQ(c.At(x, y), (Inside(r, x, y) ? Bgr{30, 20, 10} : before.At(x, y)));
    DrawShape(c.view, m);  // nothing here: redactions are burnt in separately
    EXPECT_EQ(c.At(0, 0), before.At(0, 0));
}

TEST(Raster, HostileGeometryNeverCrashes) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    std::vector<MarkupObject> nothing;
    for (double bad : {nan, inf, -inf, 1e300, 2e9}) {
        for (ObjectType t : {ObjectType::Rect, ObjectType::Ellipse, ObjectType::Step}) {
            nothing.push_back(Box(t, bad, 5, 10, 10));
            nothing.push_back(Box(t, 5, 5, bad, 10));
        }
        nothing.push_back(Segment(ObjectType::Line, 5, 5, bad, 10, 3));
        nothing.push_back(Segment(ObjectType::Arrow, bad, 5, 10, 10, 3));
        nothing.push_back(Segment(ObjectType::Arrow, 5, 5, 10, 10, bad));
        nothing.push_back(Stroke(ObjectType::Pen, {{5, 5}, {bad, 7}, {9, 9}}, 3));
        nothing.push_back(Stroke(ObjectType::Highlight, {{5, 5}, {9, 9}}, bad));
    }
    nothing.push_back(Box(ObjectType::Rect, 5, 5, 0, 10));
    nothing.push_back(Box(ObjectType::Step, 5, 5, 10, 0));
    nothing.push_back(Segment(ObjectType::Line, 5, 5, 10, 10, 0));
    nothing.push_back(Segment(ObjectType::Arrow, 5, 5, 10, 10, -2));
    nothing.push_back(Stroke(ObjectType::Pen, {}, 3));
    MarkupObject noOutline = Box(ObjectType::Ellipse, 5, 5, 10, 10);
    noOutline.width = 0;
    nothing.push_back(noOutline);
    for (const MarkupObject& o : nothing) {
        Canvas c(20, 20);
        DrawShape(c.view, o);
        EXPECT_EQ(c.bytes, Canvas(20, 20).bytes) << TypeName(o.type);
        EXPECT_TRUE(ShapeBounds(o).Empty()) << TypeName(o.type);
        HitTest(o, 5, 5, 2);
        MarkupObject r = o;
        r.type = ObjectType::Redact;
        DrawRedaction(c.view, r);
    }
    // Far outside the picture: clipped, drawn across it where it passes, quickly.
    Canvas c(50, 50);
    DrawShape(c.view, Segment(ObjectType::Line, -1e8, 25, 1e8, 25, 4));
    EXPECT_EQ(c.At(0, 24), (Bgr{0, 0, 255}));
    EXPECT_EQ(c.At(49, 25), (Bgr{0, 0, 255}));
    DrawShape(c.view, Box(ObjectType::Ellipse, -9e8, -9e8, 1.8e9, 1.8e9));
    DrawShape(c.view, Stroke(ObjectType::Pen, {{-5e8, -5e8}, {5e8, 5e8}, {-5e8, 5e8}}, 1e6));
    MarkupObject huge = Box(ObjectType::Redact, -1e9, -1e9, 2e9, 2e9);
    huge.style = RedactStyle::Mosaic;
    huge.cell = 1000;
    DrawRedaction(c.view, huge);
    huge.w = nan;
    DrawRedaction(c.view, huge);
    MarkupObject step = Box(ObjectType::Step, 0, 0, 40, 40);
    step.value = std::numeric_limits<int32_t>::min();
    DrawShape(c.view, step);
    DrawShape(PixelView{}, step);
}

TEST(Raster, BottomUpRowsDrawTheSamePicture) {
    for (const MarkupObject& o : Samples()) {
        Canvas down(100, 100), up(100, 100, {255, 255, 255}, true);
        DrawShape(down.view, o);
        DrawShape(up.view, o);
        for (int32_t y = 0; y < 100; ++y) ASSERT_EQ(0, std::memcmp(down.view.Row(y), up.view.Row(y), 300)) << TypeName(o.type);
    }
}

// The bytes of a fixed scene; every build must draw exactly these.
TEST(Raster, SceneBytesAreTheSameOnEveryBuild) {
    Canvas c(100, 100);
    c.Randomise(11, c.view.Bounds());
    for (const MarkupObject& o : Samples()) DrawShape(c.view, o);
    MarkupObject m = Box(ObjectType::Redact, 30, 30, 40, 30);
    m.style = RedactStyle::Mosaic;
    DrawRedaction(c.view, m);
    uint32_t h = 2166136261u;
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 300; ++x) h = (h ^ c.view.Row(y)[x]) * 16777619u;
    EXPECT_EQ(h, 4145302441u);
}

TEST(Raster, HitTestFollowsTheDrawnShape) {
    MarkupObject r = Box(ObjectType::Rect, 10, 10, 100, 50);
    r.width = 4;
    EXPECT_TRUE(HitTest(r, 11, 30, 0));
    EXPECT_TRUE(HitTest(r, 7, 30, 3));
    EXPECT_FALSE(HitTest(r, 60, 35, 3));  // an outline is empty inside
    r.fill = {1, 2, 3, 255};
    EXPECT_TRUE(HitTest(r, 60, 35, 0));
    EXPECT_FALSE(HitTest(r, 60, 66, 3));

    MarkupObject e = Box(ObjectType::Ellipse, 10, 10, 100, 50);
    EXPECT_TRUE(HitTest(e, 11, 35, 1));
    EXPECT_FALSE(HitTest(e, 60, 35, 3));
    EXPECT_FALSE(HitTest(e, 14, 14, 2));  // the box's corner is outside the ellipse

    const MarkupObject l = Segment(ObjectType::Line, 0, 0, 100, 100, 4);
    EXPECT_TRUE(HitTest(l, 50, 53, 2));
    EXPECT_FALSE(HitTest(l, 50, 60, 2));
    const MarkupObject a = Segment(ObjectType::Arrow, 0, 50, 100, 50, 2);
    EXPECT_TRUE(HitTest(a, 92, 53, 0));  // in the head, off the shaft
    EXPECT_FALSE(HitTest(a, 20, 56, 0));

    const MarkupObject p = Stroke(ObjectType::Pen, {{0, 0}, {50, 0}, {50, 50}}, 6);
    EXPECT_TRUE(HitTest(p, 50, 25, 1));
    EXPECT_FALSE(HitTest(p, 20, 30, 4));
    const MarkupObject s = Box(ObjectType::Step, 0, 0, 32, 32);
    EXPECT_TRUE(HitTest(s, 16, 16, 0));
    EXPECT_FALSE(HitTest(s, 1, 1, 1));
    EXPECT_TRUE(HitTest(Box(ObjectType::Text, 0, 0, 50, 20), 25, 10, 0));
    EXPECT_FALSE(HitTest(r, std::nan(""), 30, 3));
}

}  // namespace
