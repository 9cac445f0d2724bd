// The canvas at the client's resolution: base pixels sampled at each client pixel's centre, then
// every object rasterised in client coordinates, all within one clip rectangle.
#include "markup/ViewRender.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "markup/Raster.h"

namespace plenvue::markup {

namespace {

// Where client pixels land: client (x, y) is dest.Pixel(x - ox, y - oy), so a region can be drawn
// into a buffer of its own size.
struct Target {
    PixelView dest;
    int32_t ox = 0, oy = 0;
};

PixelRect Shift(const PixelRect& r, int32_t dx, int32_t dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

PixelRect Widen(const PixelRect& r, int32_t by) { return r.Empty() ? r : PixelRect{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

// The base picture point a client coordinate samples, or -1 outside the content.
int32_t SourceOf(int32_t c, int32_t scroll, double scale, int32_t content, int32_t size) {
    const int64_t at = int64_t{c} + scroll;
    if (at < 0 || at >= content) return -1;
    const double v = std::floor((static_cast<double>(at) + 0.5) / scale);
    return std::clamp(static_cast<int32_t>(std::min(v, 2e9)), 0, size - 1);
}

void DrawBase(const MarkupDocument& doc, const ZoomState& zoom, const Target& t, const PixelRect& region,
              const std::array<uint8_t, 3>& background) {
    const PixelView base = ViewOf(doc.Base());
    const double s = zoom.Scale();
    const int32_t contentW = static_cast<int32_t>(std::min(std::ceil(base.width * s), 2e9));
    const int32_t contentH = static_cast<int32_t>(std::min(std::ceil(base.height * s), 2e9));
    std::vector<int32_t> columns(static_cast<size_t>(region.Width()));
    for (int32_t x = region.left; x < region.right; ++x)
        columns[static_cast<size_t>(x - region.left)] = base.bits ? SourceOf(x, zoom.ScrollX(), s, contentW, base.width) : -1;
    // At 100 % the inside of a row is one run of the base row.
    const bool actual = s == 1.0;
    for (int32_t y = region.top; y < region.bottom; ++y) {
        uint8_t* out = t.dest.Pixel(region.left - t.ox, y - t.oy);
        const int32_t sy = base.bits ? SourceOf(y, zoom.ScrollY(), s, contentH, base.height) : -1;
        const uint8_t* row = sy >= 0 ? base.Row(sy) : nullptr;
        for (size_t i = 0; i < columns.size();) {
            const int32_t sx = columns[i];
            if (!row || sx < 0) {
                std::memcpy(out + 3 * i, background.data(), 3);
                ++i;
                continue;
            }
            if (actual) {
                size_t n = 1;
                while (i + n < columns.size() && columns[i + n] == sx + static_cast<int32_t>(n)) ++n;
                std::memcpy(out + 3 * i, row + 3 * static_cast<size_t>(sx), 3 * n);
                i += n;
                continue;
            }
            std::memcpy(out + 3 * i, row + 3 * static_cast<size_t>(sx), 3);
            ++i;
        }
    }
}

void DrawClientObject(const MarkupDocument& doc, const Target& t, MarkupObject co, const PixelRect& region) {
    Translate(co, -t.ox, -t.oy);
    const PixelRect clip = Shift(region, -t.ox, -t.oy);
    switch (co.type) {
    case ObjectType::Text:
        if (TextPainter* painter = doc.Painter()) painter->Draw(t.dest, co, clip);
        break;
    case ObjectType::Redact: {
        // A solid redaction in progress; mosaics are drawn by DrawMosaicPreview.
        const PixelRect r = Intersect(Intersect(RedactionRect(co), clip), t.dest.Bounds());
        for (int32_t y = r.top; y < r.bottom; ++y) {
            uint8_t* p = t.dest.Pixel(r.left, y);
            for (int32_t x = r.left; x < r.right; ++x, p += 3) {
                p[0] = co.fill.b;
                p[1] = co.fill.g;
                p[2] = co.fill.r;
            }
        }
        break;
    }
    default:
        DrawShape(t.dest, co, &clip);
        break;
    }
}

void DrawRegion(const MarkupDocument& doc, const ZoomState& zoom, const std::vector<Item>& overrides, const Target& t,
                const PixelRect& region, const std::array<uint8_t, 3>& background) {
    DrawBase(doc, zoom, t, region, background);
    for (const Item& item : doc.Items()) {
        const MarkupObject* o = &item.object;
        for (const Item& over : overrides)
            if (over.id == item.id) {
                o = &over.object;
                break;
            }
        // Bounds scale with the object, so the picture bounds mapped outward cover its client pixels.
        if (Intersect(Widen(zoom.ClientRectOf(doc.ObjectBounds(*o)), 1), region).Empty()) continue;
        DrawClientObject(doc, t, ToClientObject(*o, zoom), region);
    }
}

// A mosaic takes its colours from the pixels around it, so it is drawn over a private copy of its
// rectangle and that ring, the same whatever part of it the clip asks for.
void DrawMosaicPreview(const MarkupDocument& doc, const ZoomState& zoom, const std::vector<Item>& overrides,
                       const MarkupObject& co, const PixelView& client, const PixelRect& clip,
                       const std::array<uint8_t, 3>& background) {
    const PixelRect rect = Intersect(RedactionRect(co), client.Bounds());
    if (Intersect(rect, clip).Empty()) return;
    const PixelRect area = Intersect(Widen(rect, 2), client.Bounds());
    std::vector<uint8_t> bytes(static_cast<size_t>(area.Width()) * area.Height() * 3);
    Target t;
    t.dest.bits = bytes.data();
    t.dest.stride = static_cast<ptrdiff_t>(area.Width()) * 3;
    t.dest.width = area.Width();
    t.dest.height = area.Height();
    t.ox = area.left;
    t.oy = area.top;
    DrawRegion(doc, zoom, overrides, t, area, background);
    MarkupObject local = co;
    Translate(local, -area.left, -area.top);
    DrawRedaction(t.dest, local);
    const PixelRect copy = Intersect(rect, clip);
    for (int32_t y = copy.top; y < copy.bottom; ++y)
        std::memcpy(client.Pixel(copy.left, y), t.dest.Pixel(copy.left - area.left, y - area.top),
                    static_cast<size_t>(copy.Width()) * 3);
}

}  // namespace

void RenderView(const MarkupDocument& doc, const ZoomState& zoom, const std::vector<Item>& overrides,
                const MarkupObject* drawing, const PixelView& client, const PixelRect& clip,
                const std::array<uint8_t, 3>& background) {
    if (client.bits == nullptr || client.width <= 0 || client.height <= 0) return;
    const PixelRect region = Intersect(clip, client.Bounds());
    if (region.Empty()) return;
    Target t;
    t.dest = client;
    DrawRegion(doc, zoom, overrides, t, region, background);
    if (!drawing) return;
    const MarkupObject co = ToClientObject(*drawing, zoom);
    if (co.type == ObjectType::Redact && co.style == RedactStyle::Mosaic)
        DrawMosaicPreview(doc, zoom, overrides, co, client, region, background);
    else
        DrawClientObject(doc, t, co, region);
}

}  // namespace plenvue::markup
