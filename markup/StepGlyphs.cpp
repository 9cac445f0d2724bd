#include "markup/StepGlyphs.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace plenvue::markup::raster {

namespace {

// Glyph centre lines in a box 14 units high, the strokes' middles between y 1 and 13:
// M starts a stroke, L draws a line, C a cubic Bezier.
struct Glyph {
    char ch;
    double width;
    const char* strokes;
};

constexpr double kStroke = 2.3;     // stroke width in units
constexpr double kCapHeight = 14;   // the box; ink reaches about a half stroke past y 1 and 13
constexpr double kGap = 0.9;        // between glyph boxes

constexpr Glyph kGlyphs[] = {
    {'0', 10, "M 5 1 C 7.21 1 9 3.69 9 7 C 9 10.31 7.21 13 5 13 C 2.79 13 1 10.31 1 7 C 1 3.69 2.79 1 5 1"},
    {'1', 10, "M 2.6 3.6 L 5.8 1 L 5.8 13"},
    {'2', 10, "M 1.3 4.2 C 1.3 2.3 2.9 1 5 1 C 7.1 1 8.7 2.3 8.7 4.3 C 8.7 6.3 7.2 7.5 5.2 9 L 1.2 13 L 9 13"},
    {'3', 10,
     "M 1.3 3.2 C 2 1.8 3.3 1 5 1 C 7.1 1 8.5 2.2 8.5 3.9 C 8.5 5.7 7 6.8 4.5 6.8 "
     "C 7.3 6.8 9 8.1 9 10 C 9 11.9 7.3 13 5 13 C 3.2 13 1.8 12.3 1 10.8"},
    {'4', 10, "M 7 13 L 7 1 L 1 9.5 L 9.2 9.5"},
    {'5', 10,
     "M 8.5 1 L 2.2 1 L 1.6 6.3 C 2.5 5.6 3.7 5.3 5 5.3 C 7.4 5.3 9 6.9 9 9.1 "
     "C 9 11.5 7.3 13 5 13 C 3.2 13 1.8 12.3 1 10.9"},
    {'6', 10,
     "M 8.2 2.2 C 7.4 1.4 6.4 1 5.2 1 C 2.6 1 1 3.6 1 7.5 L 1 9.5 C 1 11.43 2.79 13 5 13 "
     "C 7.21 13 9 11.43 9 9.5 C 9 7.57 7.21 6 5 6 C 2.79 6 1 7.57 1 9.5"},
    {'7', 10, "M 1 1 L 9 1 L 4 13"},
    {'8', 10,
     "M 5 1 C 6.93 1 8.5 2.34 8.5 4 C 8.5 5.66 6.93 7 5 7 C 3.07 7 1.5 5.66 1.5 4 C 1.5 2.34 3.07 1 5 1 "
     "M 5 7 C 7.21 7 9 8.34 9 10 C 9 11.66 7.21 13 5 13 C 2.79 13 1 11.66 1 10 C 1 8.34 2.79 7 5 7"},
    {'9', 10,
     "M 1.8 11.8 C 2.6 12.6 3.6 13 4.8 13 C 7.4 13 9 10.4 9 6.5 L 9 4.5 C 9 2.57 7.21 1 5 1 "
     "C 2.79 1 1 2.57 1 4.5 C 1 6.43 2.79 8 5 8 C 7.21 8 9 6.43 9 4.5"},
    {'-', 8, "M 1.5 7.5 L 6.5 7.5"},
    {'A', 10, "M 1 13 L 5 1 L 9 13 M 2.4 9 L 7.6 9"},
    {'B', 10,
     "M 1.5 7 L 5.8 7 C 7.7 7 9 8.2 9 10 C 9 11.8 7.7 13 5.8 13 L 1.5 13 L 1.5 1 L 5.3 1 "
     "C 7 1 8.3 2.2 8.3 4 C 8.3 5.8 7 7 5.3 7"},
    {'C', 10, "M 9 3.3 C 8.2 1.9 6.8 1 5.2 1 C 2.8 1 1 3.6 1 7 C 1 10.4 2.8 13 5.2 13 C 6.8 13 8.2 12.1 9 10.7"},
    {'D', 10, "M 1.5 1 L 1.5 13 L 4.5 13 C 7.3 13 9 10.6 9 7 C 9 3.4 7.3 1 4.5 1 L 1.5 1"},
    {'E', 9.5, "M 8.5 1 L 1.5 1 L 1.5 13 L 8.5 13 M 1.5 7 L 7.5 7"},
    {'F', 9.5, "M 8.5 1 L 1.5 1 L 1.5 13 M 1.5 7 L 7.5 7"},
    {'G', 10,
     "M 9 3.3 C 8.2 1.9 6.8 1 5.2 1 C 2.8 1 1 3.6 1 7 C 1 10.4 2.8 13 5.2 13 C 7.3 13 9 11.5 9 9.5 "
     "L 9 7.8 L 5.6 7.8"},
    {'H', 10, "M 1.5 1 L 1.5 13 M 8.5 1 L 8.5 13 M 1.5 7 L 8.5 7"},
    {'I', 6, "M 3 1 L 3 13 M 1 1 L 5 1 M 1 13 L 5 13"},
    {'J', 9, "M 7.5 1 L 7.5 9.5 C 7.5 11.6 6.2 13 4.3 13 C 2.6 13 1.4 12 1 10.5"},
    {'K', 10, "M 1.5 1 L 1.5 13 M 8.8 1 L 1.5 8.5 M 4.3 5.6 L 9 13"},
    {'L', 9.5, "M 1.5 1 L 1.5 13 L 8.5 13"},
    {'M', 12, "M 1.5 13 L 1.5 1 L 6 9 L 10.5 1 L 10.5 13"},
    {'N', 10, "M 1.5 13 L 1.5 1 L 8.5 13 L 8.5 1"},
    {'O', 11, "M 5.5 1 C 7.99 1 10 3.69 10 7 C 10 10.31 7.99 13 5.5 13 C 3.01 13 1 10.31 1 7 C 1 3.69 3.01 1 5.5 1"},
    {'P', 10, "M 1.5 13 L 1.5 1 L 5.5 1 C 7.5 1 9 2.4 9 4.3 C 9 6.2 7.5 7.6 5.5 7.6 L 1.5 7.6"},
    {'Q', 11,
     "M 5.5 1 C 7.99 1 10 3.69 10 7 C 10 10.31 7.99 13 5.5 13 C 3.01 13 1 10.31 1 7 C 1 3.69 3.01 1 5.5 1 "
     "M 6.6 9.6 L 10 13.2"},
    {'R', 10, "M 1.5 13 L 1.5 1 L 5.5 1 C 7.5 1 9 2.4 9 4.3 C 9 6.2 7.5 7.6 5.5 7.6 L 1.5 7.6 M 5.4 7.6 L 9 13"},
    {'S', 10,
     "M 8.6 3 C 7.9 1.7 6.6 1 5 1 C 2.9 1 1.4 2.2 1.4 3.9 C 1.4 5.7 2.9 6.4 5 7 C 7.3 7.6 8.9 8.4 8.9 10.1 "
     "C 8.9 11.9 7.2 13 5 13 C 3.2 13 1.8 12.3 1 10.9"},
    {'T', 10, "M 1 1 L 9 1 M 5 1 L 5 13"},
    {'U', 10, "M 1.5 1 L 1.5 9 C 1.5 11.4 3 13 5 13 C 7 13 8.5 11.4 8.5 9 L 8.5 1"},
    {'V', 10, "M 1 1 L 5 13 L 9 1"},
    {'W', 12, "M 1 1 L 3.5 13 L 6 4 L 8.5 13 L 11 1"},
    {'X', 10, "M 1.2 1 L 8.8 13 M 8.8 1 L 1.2 13"},
    {'Y', 10, "M 1 1 L 5 7 L 9 1 M 5 7 L 5 13"},
    {'Z', 10, "M 1.2 1 L 8.8 1 L 1.2 13 L 8.8 13"},
};

const Glyph* Find(char ch) {
    for (const Glyph& g : kGlyphs)
        if (g.ch == ch) return &g;
    return nullptr;
}

// A decimal from the table; plain digits so the result never depends on a locale.
double Number(const char*& s) {
    while (*s == ' ') ++s;
    const bool negative = *s == '-';
    if (negative) ++s;
    double v = 0;
    while (*s >= '0' && *s <= '9') v = v * 10 + (*s++ - '0');
    if (*s == '.') {
        ++s;
        double scale = 1;
        int64_t frac = 0;
        while (*s >= '0' && *s <= '9') {
            frac = frac * 10 + (*s++ - '0');
            scale *= 10;
        }
        v += static_cast<double>(frac) / scale;
    }
    return negative ? -v : v;
}

// The glyph's strokes as polylines, shifted right by dx.
void Flatten(const Glyph& g, double dx, std::vector<std::vector<Point>>& out) {
    constexpr int32_t kCurveSteps = 8;
    const char* s = g.strokes;
    while (*s) {
        while (*s == ' ') ++s;
        const char op = *s;
        if (!op) break;
        ++s;
        if (op == 'M') {
            const double x = Number(s), y = Number(s);
            out.push_back({{x + dx, y}});
        } else if (op == 'L') {
            const double x = Number(s), y = Number(s);
            out.back().push_back({x + dx, y});
        } else if (op == 'C') {
            double v[6];
            for (double& c : v) c = Number(s);
            const Point p0 = out.back().back();
            const Point p1{v[0] + dx, v[1]}, p2{v[2] + dx, v[3]}, p3{v[4] + dx, v[5]};
            for (int32_t i = 1; i <= kCurveSteps; ++i) {
                const double t = static_cast<double>(i) / kCurveSteps, u = 1 - t;
                const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
                out.back().push_back({b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x, b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y});
            }
        }
    }
}

}  // namespace

void AddStepLabel(Path& path, std::string_view text, double cx, double cy, double diameter) {
    if (!(diameter > 0)) return;
    std::vector<std::vector<Point>> strokes;
    double pen = 0;
    for (char ch : text) {
        const Glyph* g = Find(ch);
        if (!g) continue;
        Flatten(*g, pen, strokes);
        pen += g->width + kGap;
    }
    if (strokes.empty()) return;
    double minX = strokes[0][0].x, maxX = minX;
    for (const auto& s : strokes)
        for (const Point& p : s) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
        }
    // Ink height is the box's 12 units between stroke middles plus one stroke.
    const double inkHeight = kCapHeight - 2 + kStroke, inkWidth = maxX - minX + kStroke;
    const double scale = std::min(0.5 * diameter / inkHeight, 0.72 * diameter / inkWidth);
    const double ox = cx - scale * (minX + maxX) / 2, oy = cy - scale * kCapHeight / 2;
    for (auto& s : strokes) {
        for (Point& p : s) p = {ox + scale * p.x, oy + scale * p.y};
        path.AddStroke(s, scale * kStroke / 2, Cap::Round);
    }
}

}  // namespace plenvue::markup::raster
