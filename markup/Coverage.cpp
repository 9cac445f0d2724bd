#include "markup/Coverage.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace plenvue::markup::raster {

namespace {

// A quarter circle as a cubic Bezier.
constexpr double kKappa = 0.5522847498307936;
// How far a flattened arc may stray inside the true one, in pixels.
constexpr double kArcTolerance = 0.1;

constexpr int32_t kSamples = 16;  // sample lines per pixel row
constexpr int32_t kSub = 256;     // fixed-point steps per pixel across a row

// Segments for a quarter arc of radius r: the chord's sagitta r*(pi/4n)^2/2 stays near 0.05 px.
int32_t QuarterSegments(double r) {
    if (!(r > 0)) return 2;
    const double n = std::ceil(2.5 * std::sqrt(r));
    return n < 2 ? 2 : n > 256 ? 256 : static_cast<int32_t>(n);
}

// Appends the arc from c+u to c+v (a quarter turn), without its end point.
void AppendQuarter(std::vector<Point>& out, Point c, Point u, Point v, int32_t n) {
    const Point p0{c.x + u.x, c.y + u.y};
    const Point p1{c.x + u.x + kKappa * v.x, c.y + u.y + kKappa * v.y};
    const Point p2{c.x + v.x + kKappa * u.x, c.y + v.y + kKappa * u.y};
    const Point p3{c.x + v.x, c.y + v.y};
    for (int32_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n, s = 1 - t;
        const double b0 = s * s * s, b1 = 3 * s * s * t, b2 = 3 * s * t * t, b3 = t * t * t;
        out.push_back({b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x, b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y});
    }
}

Point Normalised(Point p) {
    const double len = std::sqrt(p.x * p.x + p.y * p.y);
    if (!(len > 0)) return {1, 0};
    return {p.x / len, p.y / len};
}

// Points of the arc of radius r about c strictly between unit directions a and b (at most a
// half turn apart), halving until each chord is within the tolerance.
void AppendArc(std::vector<Point>& out, Point c, Point a, Point b, double r, int32_t depth) {
    const double dot = a.x * b.x + a.y * b.y;
    const double sagitta = r * (1 - std::sqrt(std::max(0.0, (1 + dot) / 2)));
    if (!(sagitta > kArcTolerance) || depth >= 12) return;
    const Point m = Normalised({a.x + b.x, a.y + b.y});
    AppendArc(out, c, a, m, r, depth + 1);
    out.push_back({c.x + r * m.x, c.y + r * m.y});
    AppendArc(out, c, m, b, r, depth + 1);
}

bool Finite(double v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; }

}  // namespace

bool Path::Check(const Point& p) {
    if (!Finite(p.x) || !Finite(p.y)) {
        valid_ = false;
        return false;
    }
    if (!any_) {
        minX_ = maxX_ = p.x;
        minY_ = maxY_ = p.y;
        any_ = true;
    } else {
        minX_ = std::min(minX_, p.x);
        maxX_ = std::max(maxX_, p.x);
        minY_ = std::min(minY_, p.y);
        maxY_ = std::max(maxY_, p.y);
    }
    return true;
}

void Path::AddEdge(Point a, Point b, int32_t dir) {
    if (a.y == b.y) return;  // no sample line crosses it
    if (a.y > b.y) {
        std::swap(a, b);
        dir = -dir;
    }
    edges_.push_back({a.x, a.y, b.y, (b.x - a.x) / (b.y - a.y), dir});
}

void Path::AddPolygon(const Point* pts, size_t count, Winding winding) {
    if (!valid_ || count < 3) return;
    double area = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!Check(pts[i])) return;
        const Point& a = pts[i];
        const Point& b = pts[(i + 1) % count];
        area += a.x * b.y - b.x * a.y;
    }
    // Orientation by the shoelace sign; AddEdge counts an upward edge the other way.
    const int32_t sign = (area >= 0 ? 1 : -1) * static_cast<int32_t>(winding);
    for (size_t i = 0; i < count; ++i) {
        const Point& a = pts[i];
        const Point& b = pts[(i + 1) % count];
        AddEdge(a, b, sign);
    }
}

void Path::AddEllipse(double cx, double cy, double rx, double ry, Winding winding) {
    if (!Finite(cx) || !Finite(cy) || !Finite(rx) || !Finite(ry)) {
        valid_ = false;
        return;
    }
    if (!(rx > 0) || !(ry > 0)) return;
    const int32_t n = QuarterSegments(std::max(rx, ry));
    scratch_.clear();
    const Point c{cx, cy};
    AppendQuarter(scratch_, c, {rx, 0}, {0, ry}, n);
    AppendQuarter(scratch_, c, {0, ry}, {-rx, 0}, n);
    AppendQuarter(scratch_, c, {-rx, 0}, {0, -ry}, n);
    AppendQuarter(scratch_, c, {0, -ry}, {rx, 0}, n);
    AddPolygon(scratch_.data(), scratch_.size(), winding);
}

void Path::AddRoundRect(double left, double top, double right, double bottom, double radius, Winding winding) {
    if (!Finite(left) || !Finite(top) || !Finite(right) || !Finite(bottom)) {
        valid_ = false;
        return;
    }
    if (!(right > left) || !(bottom > top)) return;
    const double r = std::clamp(std::isnan(radius) ? 0.0 : radius, 0.0, std::min(right - left, bottom - top) / 2);
    std::vector<Point> pts;
    if (r <= 0) {
        pts = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    } else {
        const int32_t n = QuarterSegments(r);
        AppendQuarter(pts, {right - r, top + r}, {0, -r}, {r, 0}, n);
        pts.push_back({right, top + r});
        AppendQuarter(pts, {right - r, bottom - r}, {r, 0}, {0, r}, n);
        pts.push_back({right - r, bottom});
        AppendQuarter(pts, {left + r, bottom - r}, {0, r}, {-r, 0}, n);
        pts.push_back({left, bottom - r});
        AppendQuarter(pts, {left + r, top + r}, {-r, 0}, {0, -r}, n);
        pts.push_back({left + r, top});
    }
    AddPolygon(pts.data(), pts.size(), winding);
}

void Path::AddStroke(const std::vector<Point>& in, double halfWidth, Cap cap) {
    if (!valid_) return;
    if (!Finite(halfWidth)) {
        valid_ = false;
        return;
    }
    if (!(halfWidth > 0)) return;
    std::vector<Point> pts;
    pts.reserve(in.size());
    for (const Point& p : in) {
        if (!Finite(p.x) || !Finite(p.y)) {
            valid_ = false;
            return;
        }
        if (pts.empty()) {
            pts.push_back(p);
            continue;
        }
        const double dx = p.x - pts.back().x, dy = p.y - pts.back().y;
        if (dx * dx + dy * dy > 1e-12) pts.push_back(p);
    }
    const double hw = halfWidth;
    if (pts.empty()) return;
    if (pts.size() == 1) {
        const Point p = pts[0];
        if (cap == Cap::Round) {
            AddEllipse(p.x, p.y, hw, hw);
        } else {
            const Point sq[] = {{p.x - hw, p.y - hw}, {p.x + hw, p.y - hw}, {p.x + hw, p.y + hw}, {p.x - hw, p.y + hw}};
            AddPolygon(sq, 4);
        }
        return;
    }
    const size_t n = pts.size();
    std::vector<Point> dirs(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) dirs[i] = Normalised({pts[i + 1].x - pts[i].x, pts[i + 1].y - pts[i].y});
    for (size_t i = 0; i + 1 < n; ++i) {
        const Point d = dirs[i];
        const Point nv{-d.y * hw, d.x * hw};
        Point a = pts[i], b = pts[i + 1];
        if (cap == Cap::Square) {
            if (i == 0) a = {a.x - d.x * hw, a.y - d.y * hw};
            if (i + 2 == n) b = {b.x + d.x * hw, b.y + d.y * hw};
        }
        const Point quad[] = {{a.x + nv.x, a.y + nv.y}, {b.x + nv.x, b.y + nv.y}, {b.x - nv.x, b.y - nv.y}, {a.x - nv.x, a.y - nv.y}};
        AddPolygon(quad, 4);
    }
    std::vector<Point> wedge;
    for (size_t i = 1; i + 1 < n; ++i) {
        const Point d0 = dirs[i - 1], d1 = dirs[i];
        const double cross = d0.x * d1.y - d0.y * d1.x;
        const double dot = d0.x * d1.x + d0.y * d1.y;
        if (dot > 0 && cross > -1e-9 && cross < 1e-9) continue;  // straight on
        // The gap between the two quads opens on the side away from the turn.
        const double s = cross > 0 ? -1 : 1;
        const Point o0{-d0.y * s, d0.x * s}, o1{-d1.y * s, d1.x * s};
        const Point m = Normalised({d0.x - d1.x, d0.y - d1.y});
        const Point c = pts[i];
        wedge.clear();
        wedge.push_back(c);
        wedge.push_back({c.x + hw * o0.x, c.y + hw * o0.y});
        AppendArc(wedge, c, o0, m, hw, 0);
        wedge.push_back({c.x + hw * m.x, c.y + hw * m.y});
        AppendArc(wedge, c, m, o1, hw, 0);
        wedge.push_back({c.x + hw * o1.x, c.y + hw * o1.y});
        AddPolygon(wedge.data(), wedge.size());
    }
    if (cap == Cap::Round) {
        AddEllipse(pts.front().x, pts.front().y, hw, hw);
        AddEllipse(pts.back().x, pts.back().y, hw, hw);
    }
}

PixelRect Path::Bounds() const {
    if (Empty() || !any_) return {};
    return {static_cast<int32_t>(std::floor(minX_)), static_cast<int32_t>(std::floor(minY_)),
            static_cast<int32_t>(std::ceil(maxX_)), static_cast<int32_t>(std::ceil(maxY_))};
}

void FillPath(const PixelView& view, const Path& path, const PixelRect& clip, Rgba colour, Blend blend) {
    if (!colour.Visible() || path.Empty() || view.bits == nullptr) return;
    const PixelRect region = Intersect(Intersect(clip, view.Bounds()), path.Bounds());
    if (region.Empty()) return;

    std::vector<Path::Edge> edges = path.Edges();
    std::sort(edges.begin(), edges.end(), [](const Path::Edge& a, const Path::Edge& b) { return a.y0 < b.y0; });
    const int32_t width = region.Width();
    std::vector<int32_t> area(static_cast<size_t>(width) + 2), cover(static_cast<size_t>(width) + 2);
    // The active edges with their crossings of the current sample line, kept in x order: from one
    // line to the next the order barely changes, so an insertion sort is nearly free.
    struct Crossing {
        double x;
        const Path::Edge* edge;
    };
    std::vector<Crossing> active;
    const double left = region.left, right = region.right;
    size_t next = 0;
    int32_t lo = 0, hi = -1;

    // Adds the coverage of [x, infinity) across the row, one sample line's worth, with the sign.
    auto addFrom = [&](int64_t f, int32_t sign) {
        const int64_t i = f / kSub;
        const int32_t frac = static_cast<int32_t>(f % kSub);
        area[i] += sign * (kSub - frac);
        cover[i + 1] += sign * kSub;
        lo = std::min(lo, static_cast<int32_t>(i));
        hi = std::max(hi, static_cast<int32_t>(i + 1));
    };
    auto span = [&](double xa, double xb) {
        xa = std::clamp(xa, left, right);
        xb = std::clamp(xb, left, right);
        const int64_t fa = static_cast<int64_t>((xa - left) * kSub + 0.5);
        const int64_t fb = static_cast<int64_t>((xb - left) * kSub + 0.5);
        if (fb <= fa) return;
        addFrom(fa, 1);
        addFrom(fb, -1);
    };

    const uint32_t alpha = colour.a;
    const uint8_t src[3] = {colour.b, colour.g, colour.r};
    for (int32_t y = region.top; y < region.bottom; ++y) {
        lo = width + 1;
        hi = -1;
        for (int32_t s = 0; s < kSamples; ++s) {
            const double ys = y + (s + 0.5) / kSamples;
            size_t kept = 0;
            for (const Crossing& c : active)
                if (c.edge->y1 > ys) active[kept++] = c;
            active.resize(kept);
            while (next < edges.size() && edges[next].y0 <= ys) {
                if (edges[next].y1 > ys) active.push_back({0, &edges[next]});
                ++next;
            }
            if (active.empty()) continue;
            for (Crossing& c : active) c.x = c.edge->x0 + (ys - c.edge->y0) * c.edge->slope;
            for (size_t k = 1; k < active.size(); ++k) {
                const Crossing c = active[k];
                size_t j = k;
                for (; j > 0 && active[j - 1].x > c.x; --j) active[j] = active[j - 1];
                active[j] = c;
            }
            int32_t wind = 0;
            double start = 0;
            for (const Crossing& c : active) {
                const double x = c.x;
                const int32_t before = wind;
                wind += c.edge->dir;
                if (before == 0 && wind != 0)
                    start = x;
                else if (before != 0 && wind == 0)
                    span(start, x);
            }
        }
        if (hi < 0) continue;
        uint8_t* row = view.Pixel(region.left, y);
        int32_t run = 0;
        const int32_t last = std::min(hi, width - 1);
        for (int32_t i = lo; i <= last; ++i) {
            run += cover[i];
            const int32_t acc = area[i] + run;
            area[i] = cover[i] = 0;
            if (acc <= 0) continue;
            const uint32_t cov = (static_cast<uint32_t>(acc) * 255u + 2048u) >> 12;
            const uint32_t a = (cov * alpha + 127u) / 255u;
            if (a == 0) continue;
            uint8_t* p = row + 3 * static_cast<ptrdiff_t>(i);
            for (int c = 0; c < 3; ++c) {
                const uint8_t s = blend == Blend::Over ? src[c] : static_cast<uint8_t>((p[c] * src[c] + 127u) / 255u);
                p[c] = a == 255 ? s : BlendOver(p[c], s, a);
            }
        }
        for (int32_t i = std::max(lo, last + 1); i <= hi; ++i) area[i] = cover[i] = 0;
    }
}

std::vector<Point> SmoothPath(const std::vector<Point>& in) {
    std::vector<Point> pts;
    pts.reserve(in.size());
    for (const Point& p : in) {
        if (!Finite(p.x) || !Finite(p.y)) return in;  // the stroke refuses it
        if (!pts.empty()) {
            const double dx = p.x - pts.back().x, dy = p.y - pts.back().y;
            if (dx * dx + dy * dy < 1e-4) continue;
        }
        pts.push_back(p);
    }
    const size_t n = pts.size();
    if (n <= 2) return pts;
    std::vector<Point> out;
    out.reserve(n * 4);
    for (size_t i = 0; i + 1 < n; ++i) {
        const Point p0 = pts[i == 0 ? 0 : i - 1], p1 = pts[i], p2 = pts[i + 1], p3 = pts[std::min(i + 2, n - 1)];
        const double len = std::sqrt((p2.x - p1.x) * (p2.x - p1.x) + (p2.y - p1.y) * (p2.y - p1.y));
        const double steps = std::clamp(std::ceil(len / 4), 1.0, 16.0);
        const int32_t k = static_cast<int32_t>(steps);
        for (int32_t j = 0; j < k; ++j) {
            const double t = static_cast<double>(j) / k, t2 = t * t, t3 = t2 * t;
            auto f = [&](double a, double b, double c, double d) {
                return 0.5 * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (3 * b - a - 3 * c + d) * t3);
            };
            out.push_back({f(p0.x, p1.x, p2.x, p3.x), f(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    out.push_back(pts.back());
    return out;
}

}  // namespace plenvue::markup::raster
