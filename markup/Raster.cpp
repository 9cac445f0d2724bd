#include "markup/Raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "markup/Coverage.h"
#include "markup/StepGlyphs.h"

namespace plenvue::markup {

namespace {

using raster::Blend;
using raster::Cap;
using raster::Path;
using raster::Winding;

struct Box {
    double l, t, r, b;
    double W() const { return r - l; }
    double H() const { return b - t; }
};

bool Usable(double v) { return v >= -raster::kMaxCoordinate && v <= raster::kMaxCoordinate; }

// The object's box with w or h negative turned around; false when it is not usable at all.
bool BoxOf(const MarkupObject& o, Box& box) {
    if (!Usable(o.x) || !Usable(o.y) || !Usable(o.w) || !Usable(o.h)) return false;
    box = {std::min(o.x, o.x + o.w), std::min(o.y, o.y + o.h), std::max(o.x, o.x + o.w), std::max(o.y, o.y + o.h)};
    return true;
}

double PositiveOr0(double v) { return v > 0 ? v : 0; }

// One coloured fill of the object; an object paints its layers in order.
struct Layer {
    Path path;
    Rgba colour;
    Blend blend = Blend::Over;
};

struct Shape {
    Layer layers[2];
    int count = 0;
    bool valid = true;
    Layer& Add(Rgba colour, Blend blend = Blend::Over) {
        Layer& l = layers[count++];
        l.colour = colour;
        l.blend = blend;
        return l;
    }
};

// The fill stops under the middle of an opaque outline, so no seam of the picture shows between
// the two antialiased edges; under a translucent one it stops at the outline's inner edge.
double FillInset(const MarkupObject& o, double lw) {
    if (lw <= 0 || !o.stroke.Visible()) return 0;
    return o.stroke.a == 255 ? lw / 2 : lw;
}

void BuildRect(const MarkupObject& o, Shape& s) {
    Box b;
    if (!BoxOf(o, b)) {
        s.valid = false;
        return;
    }
    const double half = std::min(b.W(), b.H()) / 2;
    if (!(half > 0)) return;
    const double rad = std::min(PositiveOr0(o.radius), half);
    const double lw = std::min(PositiveOr0(o.width), half);
    if (o.fill.Visible()) {
        const double in = FillInset(o, lw);
        s.Add(o.fill).path.AddRoundRect(b.l + in, b.t + in, b.r - in, b.b - in, PositiveOr0(rad - in));
    }
    if (lw > 0) {
        Path& p = s.Add(o.stroke).path;
        p.AddRoundRect(b.l, b.t, b.r, b.b, rad);
        if (lw < half) p.AddRoundRect(b.l + lw, b.t + lw, b.r - lw, b.b - lw, PositiveOr0(rad - lw), Winding::Negative);
    }
}

void BuildEllipse(const MarkupObject& o, Shape& s) {
    Box b;
    if (!BoxOf(o, b)) {
        s.valid = false;
        return;
    }
    const double rx = b.W() / 2, ry = b.H() / 2, cx = b.l + rx, cy = b.t + ry;
    if (!(rx > 0) || !(ry > 0)) return;
    const double lw = std::min(PositiveOr0(o.width), std::min(rx, ry));
    if (o.fill.Visible()) {
        const double in = FillInset(o, lw);
        s.Add(o.fill).path.AddEllipse(cx, cy, rx - in, ry - in);
    }
    if (lw > 0) {
        Path& p = s.Add(o.stroke).path;
        p.AddEllipse(cx, cy, rx, ry);
        if (rx - lw > 0 && ry - lw > 0) p.AddEllipse(cx, cy, rx - lw, ry - lw, Winding::Negative);
    }
}

// A shaft that stops halfway into each head, so the tips stay sharp, and a round cap at a bare end.
void BuildArrow(const MarkupObject& o, Path& p) {
    const double w = o.width;
    if (!Usable(w) || !Usable(o.head)) {
        p.Refuse();
        return;
    }
    if (!(w > 0)) return;
    const Point a{o.x1, o.y1}, b{o.x2, o.y2};
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 1e-9)) {
        p.AddStroke({a}, w / 2, Cap::Round);
        return;
    }
    const bool atEnd = o.heads != ArrowHeads::Start, atStart = o.heads != ArrowHeads::End;
    double L = o.head > 0 ? o.head : 3 * w + 8;
    L = std::min(L, len / (atEnd && atStart ? 2 : 1));
    // At half the head's length the head is at least as wide as the shaft, which ends there.
    const double hwHead = std::max(0.45 * L, w), hw = w / 2;
    const Point d{dx / len, dy / len}, n{-d.y, d.x};
    const Point s0 = atStart ? Point{a.x + d.x * L / 2, a.y + d.y * L / 2} : a;
    const Point s1 = atEnd ? Point{b.x - d.x * L / 2, b.y - d.y * L / 2} : b;
    const Point shaft[] = {{s0.x + n.x * hw, s0.y + n.y * hw},
                           {s1.x + n.x * hw, s1.y + n.y * hw},
                           {s1.x - n.x * hw, s1.y - n.y * hw},
                           {s0.x - n.x * hw, s0.y - n.y * hw}};
    p.AddPolygon(shaft, 4);
    auto head = [&](Point tip, double sx, double sy) {
        const Point base{tip.x - sx * L, tip.y - sy * L};
        const Point tri[] = {tip, {base.x + n.x * hwHead, base.y + n.y * hwHead}, {base.x - n.x * hwHead, base.y - n.y * hwHead}};
        p.AddPolygon(tri, 3);
    };
    if (atEnd)
        head(b, d.x, d.y);
    else
        p.AddEllipse(b.x, b.y, hw, hw);
    if (atStart)
        head(a, -d.x, -d.y);
    else
        p.AddEllipse(a.x, a.y, hw, hw);
}

void BuildStep(const MarkupObject& o, Shape& s) {
    Box b;
    if (!BoxOf(o, b)) {
        s.valid = false;
        return;
    }
    const double d = std::min(b.W(), b.H());
    if (!(d > 0)) return;
    const double cx = (b.l + b.r) / 2, cy = (b.t + b.b) / 2;
    s.Add(o.fill).path.AddEllipse(cx, cy, d / 2, d / 2);
    raster::AddStepLabel(s.Add(o.stroke).path, StepText(o), cx, cy, d);
}

Shape Build(const MarkupObject& o) {
    Shape s;
    switch (o.type) {
    case ObjectType::Rect:
        BuildRect(o, s);
        break;
    case ObjectType::Ellipse:
        BuildEllipse(o, s);
        break;
    case ObjectType::Line:
        s.Add(o.stroke).path.AddStroke({{o.x1, o.y1}, {o.x2, o.y2}}, o.width / 2, Cap::Round);
        break;
    case ObjectType::Arrow:
        BuildArrow(o, s.Add(o.stroke).path);
        break;
    case ObjectType::Pen:
        s.Add(o.stroke).path.AddStroke(raster::SmoothPath(o.points), o.width / 2, Cap::Round);
        break;
    case ObjectType::Highlight:
        s.Add(o.stroke, Blend::Multiply).path.AddStroke(raster::SmoothPath(o.points), o.width / 2, Cap::Square);
        break;
    case ObjectType::Step:
        BuildStep(o, s);
        break;
    case ObjectType::Text:
    case ObjectType::Redact:
        break;
    }
    for (int i = 0; i < s.count; ++i)
        if (!s.layers[i].path.Valid()) s.valid = false;
    return s;
}

// A small integer hash of the seed and a cell's position (the finaliser of MurmurHash3).
uint32_t CellHash(uint32_t seed, int64_t cx, int64_t cy) {
    uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(cx) * 0x85EBCA77u ^ static_cast<uint32_t>(cy) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

// One side of the ring around a mosaic: per position along the side, the mean of the one or two
// ring pixels there, as running sums for averages over any stretch.
struct RingSide {
    bool present = false;
    int32_t first = 0;             // picture coordinate of the first position
    std::vector<int64_t> sums;     // 3 per position, plus a leading zero triple

    void Build(int32_t from, int32_t to, const PixelView& v, bool horizontal, int32_t line, int32_t step) {
        const int32_t outer = line + step;
        const bool two = horizontal ? outer >= 0 && outer < v.height : outer >= 0 && outer < v.width;
        present = true;
        first = from;
        sums.assign(3 * (static_cast<size_t>(to - from) + 1), 0);
        for (int32_t i = from; i < to; ++i) {
            const uint8_t* p = horizontal ? v.Pixel(i, line) : v.Pixel(line, i);
            const uint8_t* q = two ? (horizontal ? v.Pixel(i, outer) : v.Pixel(outer, i)) : p;
            const size_t k = 3 * static_cast<size_t>(i - from);
            for (int c = 0; c < 3; ++c) sums[k + 3 + c] = sums[k + c] + (p[c] + q[c] + 1) / 2;
        }
    }
    // The mean colour over [a, b) of picture coordinates, clamped to the side's extent.
    void Mean(int64_t a, int64_t b, int64_t out[3]) const {
        const int64_t n = static_cast<int64_t>(sums.size() / 3) - 1;
        const int64_t i0 = std::clamp<int64_t>(a - first, 0, n - 1), i1 = std::clamp<int64_t>(b - first, i0 + 1, n);
        for (int c = 0; c < 3; ++c) out[c] = (sums[3 * i1 + c] - sums[3 * i0 + c]) / (i1 - i0);
    }
};

void DrawMosaic(const PixelView& view, const MarkupObject& o, const PixelRect& R, const PixelRect& D) {
    const int64_t cell = std::clamp<int32_t>(o.cell, 2, 64);
    // Read the whole ring before any cell is written.
    RingSide top, bottom, left, right;
    if (R.top >= 1) top.Build(D.left, D.right, view, true, R.top - 1, -1);
    if (R.bottom < view.height) bottom.Build(D.left, D.right, view, true, R.bottom, 1);
    if (R.left >= 1) left.Build(D.top, D.bottom, view, false, R.left - 1, -1);
    if (R.right < view.width) right.Build(D.top, D.bottom, view, false, R.right, 1);

    const int64_t i0 = (int64_t{D.left} - R.left) / cell, i1 = (int64_t{D.right} - 1 - R.left) / cell;
    const int64_t j0 = (int64_t{D.top} - R.top) / cell, j1 = (int64_t{D.bottom} - 1 - R.top) / cell;
    for (int64_t j = j0; j <= j1; ++j) {
        const int64_t y0 = R.top + j * cell, y1 = y0 + cell;
        const int64_t cy = std::min<int64_t>(y0 + cell / 2, R.bottom);
        for (int64_t i = i0; i <= i1; ++i) {
            const int64_t x0 = R.left + i * cell, x1 = x0 + cell;
            const int64_t cx = std::min<int64_t>(x0 + cell / 2, R.right);
            // Each side's colour near the cell, weighted by the inverse square of its distance.
            int64_t total[3] = {0, 0, 0}, weights = 0;
            auto take = [&](const RingSide& side, int64_t a, int64_t b, int64_t dist) {
                if (!side.present) return;
                int64_t c[3];
                side.Mean(a - cell, b + cell, c);
                const int64_t d = std::min<int64_t>(dist, 30000) + 1;
                const int64_t w = (int64_t{1} << 30) / (d * d);
                for (int k = 0; k < 3; ++k) total[k] += w * c[k];
                weights += w;
            };
            take(top, x0, x1, cy - R.top);
            take(bottom, x0, x1, R.bottom - cy);
            take(left, y0, y1, cx - R.left);
            take(right, y0, y1, R.right - cx);
            const int32_t jitter = static_cast<int32_t>(CellHash(o.seed, i, j) % 25) - 12;
            uint8_t colour[3];
            for (int k = 0; k < 3; ++k) {
                const int64_t base = weights > 0 ? (total[k] + weights / 2) / weights : 128;
                colour[k] = static_cast<uint8_t>(std::clamp<int64_t>(base + jitter, 0, 255));
            }
            const int32_t px0 = static_cast<int32_t>(std::max<int64_t>(x0, D.left));
            const int32_t px1 = static_cast<int32_t>(std::min<int64_t>(x1, D.right));
            const int32_t py0 = static_cast<int32_t>(std::max<int64_t>(y0, D.top));
            const int32_t py1 = static_cast<int32_t>(std::min<int64_t>(y1, D.bottom));
            for (int32_t y = py0; y < py1; ++y) {
                uint8_t* p = view.Pixel(px0, y);
                for (int32_t x = px0; x < px1; ++x, p += 3) {
                    p[0] = colour[0];
                    p[1] = colour[1];
                    p[2] = colour[2];
                }
            }
        }
    }
}

double Distance(double ax, double ay, double bx, double by) { return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by)); }

double SegmentDistance(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return Distance(p.x, p.y, a.x + t * dx, a.y + t * dy);
}

double PolylineDistance(Point p, const std::vector<Point>& pts) {
    if (pts.empty()) return INFINITY;
    if (pts.size() == 1) return Distance(p.x, p.y, pts[0].x, pts[0].y);
    double best = INFINITY;
    for (size_t i = 0; i + 1 < pts.size(); ++i) best = std::min(best, SegmentDistance(p, pts[i], pts[i + 1]));
    return best;
}

// Signed distance to a rounded box, negative inside.
double RoundBoxDistance(Point p, const Box& b, double rad) {
    const double hx = b.W() / 2, hy = b.H() / 2;
    const double qx = std::abs(p.x - (b.l + hx)) - (hx - rad), qy = std::abs(p.y - (b.t + hy)) - (hy - rad);
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - rad;
}

// An estimate of the signed distance to an ellipse (first order), good near its edge.
double EllipseDistance(Point p, double cx, double cy, double rx, double ry) {
    const double x = p.x - cx, y = p.y - cy;
    const double k0 = std::sqrt((x / rx) * (x / rx) + (y / ry) * (y / ry));
    const double k1 = std::sqrt((x / (rx * rx)) * (x / (rx * rx)) + (y / (ry * ry)) * (y / (ry * ry)));
    return k1 > 0 ? k0 * (k0 - 1) / k1 : -std::min(rx, ry);
}

bool InTriangle(Point p, Point a, Point b, Point c) {
    auto side = [](Point p, Point a, Point b) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
    const double s1 = side(p, a, b), s2 = side(p, b, c), s3 = side(p, c, a);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

}  // namespace

PixelRect ShapeBounds(const MarkupObject& o) {
    const Shape s = Build(o);
    if (!s.valid) return {};
    PixelRect r;
    for (int i = 0; i < s.count; ++i) r = Union(r, s.layers[i].path.Bounds());
    return r;
}

void DrawShape(const PixelView& view, const MarkupObject& o, const PixelRect* clip) {
    if (view.bits == nullptr || view.width <= 0 || view.height <= 0) return;
    const PixelRect area = clip ? Intersect(*clip, view.Bounds()) : view.Bounds();
    if (area.Empty()) return;
    const Shape s = Build(o);
    if (!s.valid) return;
    for (int i = 0; i < s.count; ++i) raster::FillPath(view, s.layers[i].path, area, s.layers[i].colour, s.layers[i].blend);
}

void DrawRedaction(const PixelView& view, const MarkupObject& o) {
    if (view.bits == nullptr || view.width <= 0 || view.height <= 0) return;
    if (!std::isfinite(o.x) || !std::isfinite(o.y) || !std::isfinite(o.w) || !std::isfinite(o.h)) return;
    const PixelRect R = RedactionRect(o);
    const PixelRect D = Intersect(R, view.Bounds());
    if (D.Empty()) return;
    if (o.style == RedactStyle::Mosaic) {
        DrawMosaic(view, o, R, D);
        return;
    }
    for (int32_t y = D.top; y < D.bottom; ++y) {
        uint8_t* p = view.Pixel(D.left, y);
        for (int32_t x = D.left; x < D.right; ++x, p += 3) {
            p[0] = o.fill.b;
            p[1] = o.fill.g;
            p[2] = o.fill.r;
        }
    }
}

bool HitTest(const MarkupObject& o, double px, double py, double tolerance) {
    if (!std::isfinite(px) || !std::isfinite(py) || !std::isfinite(tolerance)) return false;
    const double tol = std::max(tolerance, 0.0);
    const double hw = PositiveOr0(o.width) / 2;
    const Point p{px, py};
    Box b;
    switch (o.type) {
    case ObjectType::Rect: {
        if (!BoxOf(o, b)) return false;
        const double half = std::min(b.W(), b.H()) / 2;
        const double d = RoundBoxDistance(p, b, std::min(PositiveOr0(o.radius), half));
        if (o.fill.Visible()) return d <= tol;
        // An outline is hit across its whole width, never less than a pixel of it.
        return d <= tol && d >= -std::max(std::min(2 * hw, half), 1.0) - tol;
    }
    case ObjectType::Ellipse: {
        if (!BoxOf(o, b) || !(b.W() > 0) || !(b.H() > 0)) return false;
        const double rx = b.W() / 2, ry = b.H() / 2;
        const double d = EllipseDistance(p, b.l + rx, b.t + ry, rx, ry);
        if (o.fill.Visible()) return d <= tol;
        return d <= tol && d >= -std::max(std::min(2 * hw, std::min(rx, ry)), 1.0) - tol;
    }
    case ObjectType::Line:
    case ObjectType::Arrow: {
        const Point a{o.x1, o.y1}, e{o.x2, o.y2};
        if (!Usable(a.x) || !Usable(a.y) || !Usable(e.x) || !Usable(e.y)) return false;
        if (SegmentDistance(p, a, e) <= hw + tol) return true;
        if (o.type == ObjectType::Line) return false;
        const double dx = e.x - a.x, dy = e.y - a.y, len = std::sqrt(dx * dx + dy * dy);
        if (!(len > 1e-9)) return false;
        const bool atEnd = o.heads != ArrowHeads::Start, atStart = o.heads != ArrowHeads::End;
        double L = o.head > 0 ? o.head : 3 * PositiveOr0(o.width) + 8;
        L = std::min(L, len / (atEnd && atStart ? 2 : 1));
        const double hwHead = std::max(0.45 * L, PositiveOr0(o.width)) + tol;
        const Point d{dx / len, dy / len}, n{-d.y, d.x};
        auto inHead = [&](Point tip, double sx, double sy) {
            const Point t{tip.x + sx * tol, tip.y + sy * tol};
            const Point base{tip.x - sx * (L + tol), tip.y - sy * (L + tol)};
            return InTriangle(p, t, {base.x + n.x * hwHead, base.y + n.y * hwHead}, {base.x - n.x * hwHead, base.y - n.y * hwHead});
        };
        return (atEnd && inHead(e, d.x, d.y)) || (atStart && inHead(a, -d.x, -d.y));
    }
    case ObjectType::Pen:
    case ObjectType::Highlight: {
        for (const Point& q : o.points)
            if (!Usable(q.x) || !Usable(q.y)) return false;
        return PolylineDistance(p, raster::SmoothPath(o.points)) <= hw + tol;
    }
    case ObjectType::Step: {
        if (!BoxOf(o, b)) return false;
        const double r = std::min(b.W(), b.H()) / 2;
        return Distance(px, py, (b.l + b.r) / 2, (b.t + b.b) / 2) <= r + tol;
    }
    case ObjectType::Text:
    case ObjectType::Redact:
        if (!BoxOf(o, b)) return false;
        return px >= b.l - tol && px <= b.r + tol && py >= b.t - tol && py <= b.b + tol;
    }
    return false;
}

}  // namespace plenvue::markup
