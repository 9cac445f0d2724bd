#include "markup/ToolStyles.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "base/Utf.h"

namespace plenvue::markup {

namespace {

constexpr const char kHex[] = "0123456789abcdef";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendHexByte(std::string& out, uint8_t v) {
    out += kHex[v >> 4];
    out += kHex[v & 15];
}

std::optional<uint8_t> HexByte(std::string_view two) {
    const int hi = HexDigit(two[0]), lo = HexDigit(two[1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    return static_cast<uint8_t>(hi * 16 + lo);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto low = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return low(x) == low(y);
           });
}

std::string ColourText(Rgba c, bool withAlpha) {
    std::string s = "#";
    AppendHexByte(s, c.r);
    AppendHexByte(s, c.g);
    AppendHexByte(s, c.b);
    if (withAlpha) AppendHexByte(s, c.a);
    return s;
}

// "#rrggbb" (opaque) or "#rrggbbaa".
std::optional<Rgba> ParseHexColour(std::string_view s, bool alphaAllowed) {
    if (s.empty() || s[0] != '#' || (s.size() != 7 && !(alphaAllowed && s.size() == 9))) return std::nullopt;
    uint8_t v[4] = {0, 0, 0, 255};
    for (size_t i = 0; 1 + 2 * i < s.size(); ++i) {
        const auto b = HexByte(s.substr(1 + 2 * i, 2));
        if (!b) return std::nullopt;
        v[i] = *b;
    }
    return Rgba{v[0], v[1], v[2], v[3]};
}

std::string StyleColourText(Rgba c) {
    if (c == Rgba{}) return "none";
    return ColourText(c, c.a != 255);
}

std::optional<Rgba> ParseStyleColour(std::string_view s) {
    if (EqualsNoCase(s, "none")) return Rgba{};
    return ParseHexColour(s, true);
}

std::string NumberText(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Accepts only a whole number text inside (0, max]; NaN, infinities and overflow fail the test.
std::optional<double> ParseBoundedNumber(std::string_view s, double max) {
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc{} || r.ptr != s.data() + s.size()) return std::nullopt;
    if (!(v > 0 && v <= max)) return std::nullopt;
    return v;
}

// The pair separators, the escape itself, control bytes and spaces at the ends (which reading
// trims) are written as %XX, so any font name comes back unchanged.
std::string EscapeFont(std::string_view font) {
    std::string out;
    for (size_t i = 0; i < font.size(); ++i) {
        const auto c = static_cast<unsigned char>(font[i]);
        const bool edgeSpace = c == ' ' && (i == 0 || i + 1 == font.size());
        if (c == '%' || c == ';' || c == '=' || c < 0x20 || c == 0x7f || edgeSpace) {
            out += '%';
            AppendHexByte(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::optional<std::string> ParseFont(std::string_view s) {
    std::string font;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            font += s[i];
            continue;
        }
        if (s.size() - i < 3) return std::nullopt;
        const auto b = HexByte(s.substr(i + 1, 2));
        if (!b) return std::nullopt;
        font += static_cast<char>(*b);
        i += 2;
    }
    if (font.empty() || !IsValidUtf8(font)) return std::nullopt;
    size_t chars = 0;
    for (const char c : font) {
        const auto u = static_cast<unsigned char>(c);
        if ((u & 0xC0) != 0x80) ++chars;
        if (u < 0x20 || u == 0x7f) return std::nullopt;  // no face name has one
    }
    if (chars > kMaxStyleFontChars) return std::nullopt;
    return font;
}

void ApplyField(MarkupObject& o, std::string_view key, std::string_view value) {
    if (key == "stroke") {
        if (const auto c = ParseStyleColour(value)) o.stroke = *c;
    } else if (key == "fill") {
        if (const auto c = ParseStyleColour(value)) o.fill = *c;
    } else if (key == "width") {
        if (const auto v = ParseBoundedNumber(value, kMaxStyleWidth)) o.width = *v;
    } else if (key == "size") {
        if (const auto v = ParseBoundedNumber(value, kMaxStyleSize)) o.size = *v;
    } else if (key == "font") {
        if (auto f = ParseFont(value)) o.font = std::move(*f);
    } else if (key == "bold") {
        if (value == "0" || value == "1") o.bold = value == "1";
    } else if (key == "redact") {
        if (value == "solid") o.style = RedactStyle::Solid;
        if (value == "mosaic") o.style = RedactStyle::Mosaic;
    }
    // Unknown keys are a later version's fields: left for it.
}

bool Contains(const std::vector<Rgba>& colours, Rgba c) { return std::find(colours.begin(), colours.end(), c) != colours.end(); }

}  // namespace

std::string ToolStyleValueName(Tool tool) {
    switch (tool) {
    case Tool::Rect:
        return "Draw Style Rectangle";
    case Tool::Ellipse:
        return "Draw Style Ellipse";
    case Tool::Line:
        return "Draw Style Line";
    case Tool::Arrow:
        return "Draw Style Arrow";
    case Tool::Pen:
        return "Draw Style Pen";
    case Tool::Highlight:
        return "Draw Style Highlighter";
    case Tool::Text:
        return "Draw Style Text";
    case Tool::Step:
        return "Draw Style Step";
    case Tool::Redact:
        return "Draw Style Redact";
    case Tool::Select:
    case Tool::Crop:
        break;
    }
    return "";
}

std::string FormatToolStyle(const MarkupObject& style) {
    std::string s;
    s += "stroke=" + StyleColourText(style.stroke) + ";";
    s += "fill=" + StyleColourText(style.fill) + ";";
    s += "width=" + NumberText(style.width) + ";";
    s += "font=" + EscapeFont(style.font) + ";";
    s += "size=" + NumberText(style.size) + ";";
    s += std::string("bold=") + (style.bold ? "1" : "0") + ";";
    s += std::string("redact=") + (style.style == RedactStyle::Mosaic ? "mosaic" : "solid") + ";";
    return s;
}

MarkupObject ParseToolStyle(Tool tool, std::string_view text) {
    const auto type = TypeOfTool(tool);
    MarkupObject o = DefaultObject(type.value_or(ObjectType::Rect));
    if (!type) return o;
    while (!text.empty()) {
        const size_t end = std::min(text.find(';'), text.size());
        const std::string_view pair = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const size_t eq = pair.find('=');
        if (eq == std::string_view::npos) continue;
        ApplyField(o, Trim(pair.substr(0, eq)), Trim(pair.substr(eq + 1)));
    }
    return o;
}

std::vector<Rgba> ParseRecentColours(std::string_view text) {
    std::vector<Rgba> colours;
    while (!text.empty() && colours.size() < kMaxRecentColours) {
        const size_t end = std::min(text.find(','), text.size());
        const auto c = ParseHexColour(Trim(text.substr(0, end)), false);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (c && !Contains(colours, *c)) colours.push_back(*c);
    }
    return colours;
}

std::string FormatRecentColours(const std::vector<Rgba>& colours) {
    std::vector<Rgba> kept;
    for (Rgba c : colours) {
        if (kept.size() == kMaxRecentColours) break;
        if (!c.Visible()) continue;
        c.a = 255;
        if (!Contains(kept, c)) kept.push_back(c);
    }
    std::string s;
    for (const Rgba c : kept) {
        if (!s.empty()) s += ',';
        s += ColourText(c, false);
    }
    return s;
}

void PushRecentColour(std::vector<Rgba>& colours, Rgba colour) {
    if (!colour.Visible()) return;
    colour.a = 255;
    colours.erase(std::remove(colours.begin(), colours.end(), colour), colours.end());
    colours.insert(colours.begin(), colour);
    if (colours.size() > kMaxRecentColours) colours.resize(kMaxRecentColours);
}

}  // namespace plenvue::markup
