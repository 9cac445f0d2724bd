#include "markup/TextPainter_win.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "base/win/Handles_win.h"
#include "base/win/Wide_win.h"

namespace plenvue::markup {

namespace {

constexpr double kMaxFontPixels = 2000;


// DrawText treats a lone "\n" as a line break only inconsistently across versions; "\r\n" always.
std::wstring Lines(const std::string& text) {
    std::wstring w = Widen(text), out;
    out.reserve(w.size() + 8);
    for (wchar_t c : w) {
        if (c == L'\r') continue;
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out.empty() ? std::wstring(L" ") : out;
}

int32_t OutlineRadius(const MarkupObject& t) {
    return t.outline.Visible() ? std::max(1, static_cast<int32_t>(std::lround(std::clamp(t.size, 1.0, kMaxFontPixels) / 14))) : 0;
}

// Blends colour c into pixel p by coverage (0..255) and c's alpha.
inline void Blend(uint8_t* p, const Rgba& c, uint32_t coverage) {
    const uint32_t a = (coverage * c.a + 127) / 255;
    if (!a) return;
    p[0] = static_cast<uint8_t>((p[0] * (255 - a) + c.b * a + 127) / 255);
    p[1] = static_cast<uint8_t>((p[1] * (255 - a) + c.g * a + 127) / 255);
    p[2] = static_cast<uint8_t>((p[2] * (255 - a) + c.r * a + 127) / 255);
}

}  // namespace

UniqueFont TextFont(const MarkupObject& t, double scale, int32_t minimum) {
    const int height = std::max(minimum, static_cast<int>(std::lround(std::clamp(t.size, 1.0, kMaxFontPixels) * scale)));
    std::wstring face = Widen(t.font.substr(0, LF_FACESIZE - 1));
    return UniqueFont(CreateFontW(-height, 0, 0, 0, t.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str()));
}

int32_t TextPadding(const MarkupObject& t) {
    return std::max(2, static_cast<int32_t>(std::lround(std::clamp(t.size, 1.0, kMaxFontPixels) / 6)));
}

void GdiTextPainter::Measure(const MarkupObject& t, double& w, double& h) {
    w = h = 0;
    MemoryDC dc(CreateCompatibleDC(nullptr));
    UniqueFont font = TextFont(t);
    if (!dc || !font) return;
    SelectedObject sel(dc.get(), font.get());
    std::wstring lines = Lines(t.text);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.get(), lines.c_str(), static_cast<int>(lines.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_LEFT | DT_NOCLIP);
    const int32_t pad = TextPadding(t) + OutlineRadius(t);
    w = (r.right - r.left) + 2.0 * pad;
    h = (r.bottom - r.top) + 2.0 * pad;
}

void GdiTextPainter::Draw(const PixelView& view, const MarkupObject& t, const PixelRect& clip) {
    double w = t.w, h = t.h;
    if (w <= 0 || h <= 0) Measure(t, w, h);
    if (!(std::isfinite(t.x) && std::isfinite(t.y)) || w <= 0 || h <= 0) return;
    const double left = std::clamp(t.x, -1e9, 1e9), top = std::clamp(t.y, -1e9, 1e9);
    const PixelRect box{static_cast<int32_t>(std::floor(left)), static_cast<int32_t>(std::floor(top)),
                        static_cast<int32_t>(std::ceil(left + w)), static_cast<int32_t>(std::ceil(top + h))};
    const PixelRect area = Intersect(Intersect(box, clip), view.Bounds());
    if (area.Empty()) return;
    // The background box is plain pixels; the letters and outline come from grey masks drawn by GDI.
    if (t.fill.Visible())
        for (int32_t y = area.top; y < area.bottom; ++y)
            for (int32_t x = area.left; x < area.right; ++x) Blend(view.Pixel(x, y), t.fill, 255);

    const int32_t mw = area.Width(), mh = area.Height();
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = mw;
    bi.bmiHeader.biHeight = -mh;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    MemoryDC dc(CreateCompatibleDC(nullptr));
    UniqueBitmap mask(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueFont font = TextFont(t);
    if (!dc || !mask || !font || !bits) return;
    SelectedObject selBitmap(dc.get(), mask.get());
    SelectedObject selFont(dc.get(), font.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(255, 255, 255));
    const std::wstring lines = Lines(t.text);
    const int32_t pad = TextPadding(t) + OutlineRadius(t);
    auto drawMask = [&](int32_t dx, int32_t dy) {
        RECT r{box.left + pad - area.left + dx, box.top + pad - area.top + dy, box.right - area.left + dx + 4096,
               box.bottom - area.top + dy + 4096};
        DrawTextW(dc.get(), lines.c_str(), static_cast<int>(lines.size()), &r, DT_NOPREFIX | DT_LEFT | DT_NOCLIP);
    };
    const auto* px = static_cast<const uint8_t*>(bits);
    auto composite = [&](const Rgba& c) {
        GdiFlush();
        for (int32_t y = 0; y < mh; ++y)
            for (int32_t x = 0; x < mw; ++x) {
                const uint8_t* m = px + (static_cast<size_t>(y) * mw + x) * 4;
                const uint32_t cover = std::max({m[0], m[1], m[2]});
                if (cover) Blend(view.Pixel(area.left + x, area.top + y), c, cover);
            }
    };
    const int32_t radius = OutlineRadius(t);
    if (radius) {
        std::memset(bits, 0, static_cast<size_t>(mw) * mh * 4);
        for (int32_t dy = -radius; dy <= radius; ++dy)
            for (int32_t dx = -radius; dx <= radius; ++dx)
                if (dx * dx + dy * dy <= radius * radius + radius) drawMask(dx, dy);
        composite(t.outline);
    }
    std::memset(bits, 0, static_cast<size_t>(mw) * mh * 4);
    drawMask(0, 0);
    composite(t.stroke);
}

}  // namespace plenvue::markup
