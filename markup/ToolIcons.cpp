#include "markup/ToolIcons.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "markup/Coverage.h"
#include "markup/Raster.h"

namespace plenvue::markup {

namespace {

// The icon's square inside the view, with its drawing helpers. Positions are fractions of the
// side; boxes are snapped to whole pixels so their edges come out sharp.
struct Canvas {
    const PixelView& view;
    Rgba ink;
    int32_t n = 0;       // side of the square
    int32_t ox = 0, oy = 0;
    int32_t lw = 1;      // line width

    double X(double f) const { return ox + f * n; }
    double Y(double f) const { return oy + f * n; }
    int32_t Snap(double f) const { return static_cast<int32_t>(std::lround(f * n)); }

    void Draw(const MarkupObject& o) const { DrawShape(view, o); }

    // A solid box in pixels from the square's corner, right and bottom exclusive.
    void Box(int32_t l, int32_t t, int32_t r, int32_t b) const {
        MarkupObject o = DefaultObject(ObjectType::Rect);
        o.x = ox + l;
        o.y = oy + t;
        o.w = r - l;
        o.h = b - t;
        o.fill = ink;
        o.stroke = {};
        o.width = 0;
        Draw(o);
    }

    void Outline(ObjectType type, int32_t l, int32_t t, int32_t r, int32_t b) const {
        MarkupObject o = DefaultObject(type);
        o.x = ox + l;
        o.y = oy + t;
        o.w = r - l;
        o.h = b - t;
        o.stroke = ink;
        o.fill = {};
        o.width = lw;
        Draw(o);
    }

    void Segment(ObjectType type, double x1, double y1, double x2, double y2, double width) const {
        MarkupObject o = DefaultObject(type);
        o.x1 = X(x1);
        o.y1 = Y(y1);
        o.x2 = X(x2);
        o.y2 = Y(y2);
        o.stroke = ink;
        o.width = width;
        if (type == ObjectType::Arrow) o.head = 0.42 * n;
        Draw(o);
    }

    void Fill(const raster::Path& path, Rgba colour) const { raster::FillPath(view, path, view.Bounds(), colour); }
};

// The classic pointer, laid out on a 16-unit grid.
void DrawPointer(const Canvas& c) {
    static constexpr Point kShape[] = {{4, 1.5}, {4, 13.5}, {6.6, 11}, {8.4, 14.6}, {10.3, 13.7}, {8.5, 10.2}, {12, 10.2}};
    std::vector<Point> pts;
    for (const Point& p : kShape) pts.push_back({c.X(p.x / 16), c.Y(p.y / 16)});
    raster::Path path;
    path.AddPolygon(pts.data(), pts.size());
    c.Fill(path, c.ink);
}

void DrawSquiggle(const Canvas& c) {
    static constexpr Point kShape[] = {{2.5, 11}, {5, 5.5}, {7.8, 10.5}, {10.6, 5.5}, {13.5, 9.5}};
    MarkupObject o = DefaultObject(ObjectType::Pen);
    for (const Point& p : kShape) o.points.push_back({c.X(p.x / 16), c.Y(p.y / 16)});
    o.stroke = c.ink;
    o.width = c.lw;
    c.Draw(o);
}

// A broad slanted marker stroke, blended over rather than multiplied as the highlighter itself
// is: a multiply would vanish on a dark bar.
void DrawMarker(const Canvas& c) {
    raster::Path path;
    path.AddStroke({{c.X(0.3), c.Y(0.62)}, {c.X(0.7), c.Y(0.38)}}, 0.15 * c.n, raster::Cap::Square);
    Rgba translucent = c.ink;
    translucent.a = static_cast<uint8_t>((c.ink.a * 115 + 127) / 255);
    c.Fill(path, translucent);
}

void DrawLetterT(const Canvas& c) {
    // The stem's width shares the side's parity so it sits centred on whole pixels.
    const int32_t odd = c.n % 2;
    const int32_t t = std::max(odd ? 1 : 2, odd + 2 * static_cast<int32_t>(std::lround((0.14 * c.n - odd) / 2)));
    const int32_t l = c.Snap(0.19), top = c.Snap(0.16), bottom = c.n - top;
    c.Box(l, top, c.n - l, top + t);
    c.Box((c.n - t) / 2, top, (c.n + t) / 2, bottom);
}

void DrawBadge(const Canvas& c) {
    const int32_t d = c.Snap(0.8125);
    MarkupObject o = DefaultObject(ObjectType::Step);
    o.x = c.ox + (c.n - d) / 2.0;
    o.y = c.oy + (c.n - d) / 2.0;
    o.w = o.h = d;
    o.fill = c.ink;
    // The label stands out of the badge whatever the ink: dark on a light badge, else white.
    const int luma = (c.ink.r * 299 + c.ink.g * 587 + c.ink.b * 114) / 1000;
    o.stroke = luma > 140 ? Rgba{0, 0, 0, c.ink.a} : Rgba{255, 255, 255, c.ink.a};
    o.value = o.start = 1;
    c.Draw(o);
}

// Text lines with a bar blacked out between them.
void DrawRedactedLines(const Canvas& c) {
    const int32_t l = c.Snap(0.125), r = c.n - l;
    c.Box(l, c.Snap(0.1875), c.Snap(0.625), c.Snap(0.1875) + c.lw);
    c.Box(l, c.Snap(0.375), r, c.Snap(0.625));
    c.Box(l, c.Snap(0.8125) - c.lw, c.Snap(0.75), c.Snap(0.8125));
}

// Two crop marks, each an L whose arms run past the other's corner.
void DrawCropMarks(const Canvas& c) {
    const int32_t a = c.Snap(0.3125), b = c.Snap(0.6875), lo = c.Snap(0.0625), hi = c.n - lo, w = c.lw;
    c.Box(a, lo, a + w, b + w);
    c.Box(a, b, hi, b + w);
    c.Box(lo, a, b + w, a + w);
    c.Box(b, a, b + w, hi);
}

}  // namespace

void DrawToolIcon(Tool tool, const PixelView& view, Rgba ink) {
    if (view.bits == nullptr || view.width <= 0 || view.height <= 0 || !ink.Visible()) return;
    Canvas c{view, ink};
    c.n = std::min(view.width, view.height);
    c.ox = (view.width - c.n) / 2;
    c.oy = (view.height - c.n) / 2;
    c.lw = std::max(1, static_cast<int32_t>(std::lround(c.n / 11.0)));
    switch (tool) {
    case Tool::Select:
        DrawPointer(c);
        break;
    case Tool::Rect:
        c.Outline(ObjectType::Rect, c.Snap(0.125), c.Snap(0.25), c.n - c.Snap(0.125), c.n - c.Snap(0.25));
        break;
    case Tool::Ellipse:
        c.Outline(ObjectType::Ellipse, c.Snap(0.125), c.Snap(0.1875), c.n - c.Snap(0.125), c.n - c.Snap(0.1875));
        break;
    case Tool::Line:
        c.Segment(ObjectType::Line, 0.19, 0.81, 0.81, 0.19, c.lw * 1.25);
        break;
    case Tool::Arrow:
        c.Segment(ObjectType::Arrow, 0.16, 0.84, 0.84, 0.16, c.lw);
        break;
    case Tool::Pen:
        DrawSquiggle(c);
        break;
    case Tool::Highlight:
        DrawMarker(c);
        break;
    case Tool::Text:
        DrawLetterT(c);
        break;
    case Tool::Step:
        DrawBadge(c);
        break;
    case Tool::Redact:
        DrawRedactedLines(c);
        break;
    case Tool::Crop:
        DrawCropMarks(c);
        break;
    }
}

}  // namespace plenvue::markup
