#include "markup/MarkupObject.h"

#include <algorithm>
#include <cmath>

#include "image/clsDIBSection.h"

namespace plenvue::markup {

namespace {
constexpr const char* kTypeNames[] = {"rect", "ellipse", "line", "arrow", "pen", "highlight", "text", "step", "redact"};

// Outward to whole pixels, kept inside the 32-bit range (far coordinates are clipped later anyway).
int32_t FloorClamped(double v) {
    if (!(v > -1e9)) return -1000000000;
    if (v > 1e9) return 1000000000;
    return static_cast<int32_t>(std::floor(v));
}
int32_t CeilClamped(double v) {
    if (!(v > -1e9)) return -1000000000;
    if (v > 1e9) return 1000000000;
    return static_cast<int32_t>(std::ceil(v));
}
}  // namespace

const char* TypeName(ObjectType type) { return kTypeNames[static_cast<size_t>(type)]; }

std::optional<ObjectType> TypeFromName(std::string_view name) {
    for (size_t i = 0; i < std::size(kTypeNames); ++i)
        if (name == kTypeNames[i]) return static_cast<ObjectType>(i);
    return std::nullopt;
}

PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.Empty()) return {};
    return r;
}

PixelRect Union(const PixelRect& a, const PixelRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

MarkupObject DefaultObject(ObjectType type) {
    MarkupObject o;
    o.type = type;
    switch (type) {
    case ObjectType::Highlight:
        o.stroke = {255, 230, 0, 255};
        o.width = 16;
        break;
    case ObjectType::Text:
        o.stroke = {220, 20, 20, 255};
        break;
    case ObjectType::Step:
        o.fill = {220, 20, 20, 255};
        o.stroke = {255, 255, 255, 255};
        o.w = o.h = 32;
        break;
    case ObjectType::Redact:
        o.fill = {0, 0, 0, 255};
        o.stroke = {};
        break;
    default:
        break;
    }
    return o;
}

std::string StepText(const MarkupObject& step) {
    int64_t v = step.value;
    if (step.label != StepLabel::Letters || v < 1) return std::to_string(v);
    std::string s;
    while (v > 0) {  // bijective base 26: 1 A, 26 Z, 27 AA
        --v;
        s.insert(s.begin(), static_cast<char>('A' + v % 26));
        v /= 26;
    }
    return s;
}

void Translate(MarkupObject& o, double dx, double dy) {
    o.x += dx;
    o.y += dy;
    o.x1 += dx;
    o.y1 += dy;
    o.x2 += dx;
    o.y2 += dy;
    for (Point& p : o.points) {
        p.x += dx;
        p.y += dy;
    }
}

PixelRect RedactionRect(const MarkupObject& o) {
    const double l = std::min(o.x, o.x + o.w), r = std::max(o.x, o.x + o.w);
    const double t = std::min(o.y, o.y + o.h), b = std::max(o.y, o.y + o.h);
    return {FloorClamped(l), FloorClamped(t), CeilClamped(r), CeilClamped(b)};
}

PixelView ViewOf(const clsDIBSection& dib) {
    PixelView v;
    if (dib.IsEmpty()) return v;
    v.width = dib.Width();
    v.height = dib.Height();
    v.stride = -static_cast<ptrdiff_t>(dib.BytesPerScanLine());
    v.bits = dib.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(dib.Height() - 1) * dib.BytesPerScanLine();
    return v;
}

}  // namespace plenvue::markup
