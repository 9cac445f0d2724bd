// Antialiased filling of outlines for the mark-up rasteriser: paths of closed polygons filled
// with the non-zero rule, so overlapping parts of one shape are covered once. Coverage is exact
// across each of 16 sample lines per pixel row, so whole-pixel edges come out crisp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "markup/MarkupObject.h"

namespace plenvue::markup::raster {

// Coordinates beyond this are taken as hostile: the path draws nothing.
constexpr double kMaxCoordinate = 1e9;

// Which way a contour counts: a negative one inside a positive one cuts a hole.
enum class Winding : int8_t { Positive = 1, Negative = -1 };
enum class Cap : uint8_t { Round, Square };
enum class Blend : uint8_t { Over, Multiply };

class Path {
public:
    // A closed polygon, counted with the given winding whichever way its points run.
    void AddPolygon(const Point* pts, size_t count, Winding winding = Winding::Positive);
    void AddEllipse(double cx, double cy, double rx, double ry, Winding winding = Winding::Positive);
    // The radius is clamped to half the smaller side.
    void AddRoundRect(double left, double top, double right, double bottom, double radius,
                      Winding winding = Winding::Positive);
    // A polyline stroked halfWidth to each side, round joins, the given caps; one point is a dot.
    void AddStroke(const std::vector<Point>& pts, double halfWidth, Cap cap);

    // False once any point was not finite or too far out: such a path draws nothing.
    bool Valid() const { return valid_; }
    void Refuse() { valid_ = false; }
    bool Empty() const { return !valid_ || edges_.empty(); }
    // Every pixel a fill may touch.
    PixelRect Bounds() const;

    struct Edge {
        double x0, y0, y1, slope;  // (x0, y0) the upper end
        int32_t dir;
    };
    const std::vector<Edge>& Edges() const { return edges_; }

private:
    void AddEdge(Point a, Point b, int32_t dir);
    bool Check(const Point& p);

    std::vector<Edge> edges_;
    std::vector<Point> scratch_;
    double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
    bool any_ = false;
    bool valid_ = true;
};

// Fills the path into the view, only inside `clip` (already within the view). Over blends the
// colour by coverage and alpha; Multiply multiplies the picture by it, blended the same way.
void FillPath(const PixelView& view, const Path& path, const PixelRect& clip, Rgba colour,
              Blend blend = Blend::Over);

// The pen's points as a smooth polyline through them (Catmull-Rom, flattened); repeated points
// are dropped.
std::vector<Point> SmoothPath(const std::vector<Point>& pts);

// The blend every fill uses: a = round(coverage * alpha / 255), then source-over in integers.
inline uint8_t BlendOver(uint8_t dst, uint8_t src, uint32_t a) {
    return static_cast<uint8_t>((dst * (255u - a) + src * a + 127u) / 255u);
}

}  // namespace plenvue::markup::raster
