// The annotation objects of a marked-up picture: what each one is, in picture pixels, and the
// pixel surface they are drawn on. Shared by the rasteriser, the document, its history and files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvue {
class clsDIBSection;
}

namespace plenvue::markup {

// A colour with straight (not premultiplied) alpha; alpha 0 means "none" for fills and outlines.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba&) const = default;
    bool Visible() const { return a != 0; }
};

enum class ObjectType : uint8_t { Rect, Ellipse, Line, Arrow, Pen, Highlight, Text, Step, Redact };
enum class ArrowHeads : uint8_t { End, Start, Both };
enum class RedactStyle : uint8_t { Solid, Mosaic };
enum class StepLabel : uint8_t { Numbers, Letters };

// The names of the file format ("rect", "ellipse", ...), and back.
const char* TypeName(ObjectType type);
std::optional<ObjectType> TypeFromName(std::string_view name);

struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// Whole pixels, right and bottom exclusive.
struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PixelRect&) const = default;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
};
PixelRect Intersect(const PixelRect& a, const PixelRect& b);
PixelRect Union(const PixelRect& a, const PixelRect& b);  // an empty side does not count

// One object. Which fields count depends on the type; the others keep their defaults.
struct MarkupObject {
    ObjectType type = ObjectType::Rect;
    // Boxes: rect, ellipse, text (its top-left; w and h as laid out), step (the badge's square),
    // redact.
    double x = 0, y = 0, w = 0, h = 0;
    // Line and arrow: from (x1, y1) to (x2, y2); an arrow's head points at the end.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    // Pen and highlighter: the path as drawn (the pen is smoothed when drawn, not here).
    std::vector<Point> points;
    // Outline, line, pen and highlighter colour; for text the letters, for a step its label.
    Rgba stroke{255, 0, 0, 255};
    // Inside of rects and ellipses, a text's background box, a step's badge, a solid redaction.
    Rgba fill{};
    double width = 3;  // line width in pixels
    // Rect: corner radius. Arrow: head length (0: from the width) and which ends carry heads.
    double radius = 0;
    double head = 0;
    ArrowHeads heads = ArrowHeads::End;
    // Text: any Unicode as UTF-8, lines separated by "\n"; size is the font's height in pixels.
    std::string text;
    std::string font = "Segoe UI";
    double size = 24;
    bool bold = false;
    Rgba outline{};  // text outline, none when invisible
    // Step: its series, numbers or letters, the series' first value; value is what it shows,
    // kept by the document's renumbering.
    int32_t series = 0;
    StepLabel label = StepLabel::Numbers;
    int32_t start = 1;
    int32_t value = 1;
    // Redaction.
    RedactStyle style = RedactStyle::Solid;
    uint32_t seed = 0;
    int32_t cell = 8;  // mosaic cell size in pixels

    bool operator==(const MarkupObject&) const = default;
};

// Defaults a user sees for a new object of the type (colours, width, fill).
MarkupObject DefaultObject(ObjectType type);

// The text of a step's badge: "7", or for letters "A".."Z", "AA".. ; values below 1 show as
// numbers.
std::string StepText(const MarkupObject& step);

// Moves an object by (dx, dy) picture pixels.
void Translate(MarkupObject& o, double dx, double dy);

// The whole pixels a redaction covers: its box snapped outward, so no edge blends a covered pixel.
PixelRect RedactionRect(const MarkupObject& o);

// A 24-bit picture as rows from the top: blue, green, red, 3 bytes a pixel. The stride may be
// negative (a bottom-up DIB seen from its top row).
struct PixelView {
    uint8_t* bits = nullptr;  // the top row
    ptrdiff_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* Row(int32_t y) const { return bits + static_cast<ptrdiff_t>(y) * stride; }
    uint8_t* Pixel(int32_t x, int32_t y) const { return Row(y) + 3 * static_cast<ptrdiff_t>(x); }
    PixelRect Bounds() const { return {0, 0, width, height}; }
};
// The view of a DIB (bottom-up in memory): row 0 is the picture's top.
PixelView ViewOf(const clsDIBSection& dib);

}  // namespace plenvue::markup
