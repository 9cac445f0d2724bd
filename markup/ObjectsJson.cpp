#include "markup/ObjectsJson.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "base/JsonText.h"
#include "base/Utf.h"

namespace plenvue::markup {

namespace {

enum class Field : uint8_t {
    Type, X, Y, W, H, X1, Y1, X2, Y2, Points, Stroke, Fill, Width, Radius, Head, Heads,
    Text, Font, Size, Bold, Outline, Value, Start, Series, Label, Style, Seed, Cell, Count
};
constexpr size_t kFieldCount = static_cast<size_t>(Field::Count);

constexpr const char* kFieldNames[kFieldCount] = {
    "type", "x",      "y",    "w",    "h",    "x1",      "y1",    "x2",    "y2",     "points",
    "stroke", "fill", "width", "radius", "head", "heads", "text", "font", "size",   "bold",
    "outline", "value", "start", "series", "label", "style", "seed", "cell"};

constexpr uint32_t Bit(ObjectType t) { return 1u << static_cast<unsigned>(t); }
constexpr uint32_t kCrop = 1u << 9;  // past every ObjectType
constexpr uint32_t kRect = Bit(ObjectType::Rect), kEllipse = Bit(ObjectType::Ellipse),
                   kLine = Bit(ObjectType::Line), kArrow = Bit(ObjectType::Arrow),
                   kPen = Bit(ObjectType::Pen), kHighlight = Bit(ObjectType::Highlight),
                   kText = Bit(ObjectType::Text), kStep = Bit(ObjectType::Step),
                   kRedact = Bit(ObjectType::Redact);
constexpr uint32_t kBoxes = kRect | kEllipse | kText | kStep | kRedact | kCrop;

// Which types have each field.
constexpr uint32_t kFieldTypes[kFieldCount] = {
    ~0u,                                                                  // type
    kBoxes, kBoxes, kBoxes, kBoxes,                                       // x y w h
    kLine | kArrow, kLine | kArrow, kLine | kArrow, kLine | kArrow,       // x1 y1 x2 y2
    kPen | kHighlight,                                                    // points
    kRect | kEllipse | kLine | kArrow | kPen | kHighlight | kText | kStep,  // stroke
    kRect | kEllipse | kText | kStep | kRedact,                           // fill
    kRect | kEllipse | kLine | kArrow | kPen | kHighlight,                // width
    kRect, kArrow, kArrow,                                                // radius head heads
    kText, kText, kText, kText, kText,                                    // text font size bold outline
    kStep, kStep, kStep, kStep,                                           // value start series label
    kRedact, kRedact, kRedact};                                           // style seed cell

constexpr const char* kHeadsNames[] = {"end", "start", "both"};
constexpr const char* kLabelNames[] = {"numbers", "letters"};
constexpr const char* kStyleNames[] = {"solid", "mosaic"};

// Longest number text read; the writer's longest is 24 characters.
constexpr size_t kMaxNumberChars = 1000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at s[i] (lead byte 0x80 or more), or 0.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
    const uint8_t lead = byte(i);
    size_t n;
    uint8_t low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (s.size() - i < n) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (size_t k = 2; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return n;
}

// A name from the input for a message: quoted, cut short.
std::string Quoted(std::string_view name) {
    size_t n = name.size();
    if (n > 40) {
        n = 40;
        while (n > 0 && (static_cast<uint8_t>(name[n]) & 0xC0) == 0x80) --n;
    }
    std::string s = "\"";
    for (size_t i = 0; i < n; ++i) s += static_cast<uint8_t>(name[i]) < 0x20 ? '?' : name[i];
    s += n < name.size() ? "...\"" : "\"";
    return s;
}

class Parser {
public:
    Parser(std::string_view text, JsonError& error) : s_(text), error_(error) {}
    bool Run(std::vector<ListEntry>& entries);

private:
    // Everything a field may carry, before the object's type is known.
    struct Values {
        MarkupObject o;
        std::string type;
        size_t typeAt = 0;
    };

    bool Fail(size_t at, const std::string& message);
    bool AtEnd() const { return pos_ >= s_.size(); }
    char Peek() const { return s_[pos_]; }
    bool Is(char c) const { return !AtEnd() && Peek() == c; }
    std::string Found() const;
    void SkipSpace();
    bool Expect(char c, const char* after);
    bool MatchWord(const char* word);
    bool String(std::string& out);
    bool NumberToken(std::string_view& text, bool& integral);
    bool Need(bool ok, Field f, const char* kind);
    bool Double(Field f, double& out);
    bool Integer(Field f, int64_t low, int64_t high, int64_t& out);
    bool Colour(Field f, Rgba& out);
    bool Choice(Field f, const char* const* names, size_t count, size_t& out);
    bool Points(std::vector<Point>& out);
    bool FieldValue(Field f, Values& v);
    bool Entry(ListEntry& entry);
    bool Objects(std::vector<ListEntry>& entries);

    std::string_view s_;
    JsonError& error_;
    size_t pos_ = 0;
    size_t begin_ = 0;  // after a byte order mark
    size_t points_ = 0;
};

bool Parser::Fail(size_t at, const std::string& message) {
    if (at > s_.size()) at = s_.size();
    int line = 1, column = 1;
    for (size_t i = begin_; i < at; ++i) {
        const auto c = static_cast<uint8_t>(s_[i]);
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column;
        }
    }
    error_.line = line;
    error_.column = column;
    error_.message = message;
    return false;
}

std::string Parser::Found() const {
    if (AtEnd()) return "the end of the text";
    const auto c = static_cast<uint8_t>(Peek());
    if (c >= 0x21 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    if (c >= 0x80) return "a non-ASCII character";
    return "character " + std::to_string(c);
}

void Parser::SkipSpace() {
    while (!AtEnd()) {
        const char c = Peek();
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return;
        ++pos_;
    }
}

bool Parser::Expect(char c, const char* after) {
    SkipSpace();
    if (Is(c)) {
        ++pos_;
        return true;
    }
    return Fail(pos_, std::string("expected '") + c + "' " + after + ", found " + Found());
}

bool Parser::MatchWord(const char* word) {
    const size_t n = std::strlen(word);
    if (s_.substr(pos_, n) != word) return false;
    pos_ += n;
    return true;
}

bool Parser::String(std::string& out) {
    const size_t start = pos_;
    ++pos_;  // the opening quote
    out.clear();
    for (;;) {
        if (out.size() > kMaxJsonStringBytes)
            return Fail(start, "string longer than " + std::to_string(kMaxJsonStringBytes) + " bytes");
        if (AtEnd()) return Fail(pos_, "the text ends inside a string");
        const auto c = static_cast<uint8_t>(Peek());
        if (c == '"') {
            ++pos_;
            return true;
        }
        if (c < 0x20) return Fail(pos_, "control character in a string (it must be written as an escape)");
        if (c < 0x80 && c != '\\') {
            out += static_cast<char>(c);
            ++pos_;
            continue;
        }
        if (c >= 0x80) {
            const size_t n = Utf8SequenceLength(s_, pos_);
            if (n == 0) return Fail(pos_, "ill-formed UTF-8 in a string");
            out.append(s_.substr(pos_, n));
            pos_ += n;
            continue;
        }
        const size_t escape = pos_++;
        if (AtEnd()) return Fail(pos_, "the text ends inside a string");
        const char e = Peek();
        ++pos_;
        switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
            const auto hex4 = [&](size_t at, uint32_t& v) {
                if (s_.size() - at < 4) return false;
                v = 0;
                for (size_t k = 0; k < 4; ++k) {
                    const int d = HexValue(s_[at + k]);
                    if (d < 0) return false;
                    v = v << 4 | static_cast<uint32_t>(d);
                }
                return true;
            };
            uint32_t cp = 0;
            if (!hex4(pos_, cp)) return Fail(escape, "\\u must be followed by four hex digits");
            pos_ += 4;
            if (cp >= 0xDC00 && cp <= 0xDFFF) return Fail(escape, "lone low surrogate in a \\u escape");
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                uint32_t low = 0;
                if (s_.substr(pos_, 2) != "\\u" || !hex4(pos_ + 2, low) || low < 0xDC00 || low > 0xDFFF)
                    return Fail(escape, "lone high surrogate in a \\u escape (a low one must follow)");
                pos_ += 6;
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
            AppendUtf8(out, cp);
            break;
        }
        default:
            return Fail(escape, std::string("invalid escape \\") + (static_cast<uint8_t>(e) >= 0x21 && static_cast<uint8_t>(e) < 0x7F ? std::string(1, e) : std::string("?")));
        }
    }
}

bool Parser::NumberToken(std::string_view& text, bool& integral) {
    const size_t start = pos_;
    const auto digits = [&] {
        while (!AtEnd() && IsDigit(Peek())) ++pos_;
    };
    if (Is('-')) ++pos_;
    if (AtEnd() || !IsDigit(Peek())) return Fail(start, "invalid number");
    if (Is('0')) {
        ++pos_;
        if (!AtEnd() && IsDigit(Peek())) return Fail(start, "invalid number: a leading 0 cannot be followed by digits");
    } else {
        digits();
    }
    integral = true;
    if (Is('.')) {
        integral = false;
        ++pos_;
        if (AtEnd() || !IsDigit(Peek())) return Fail(start, "invalid number: digits must follow '.'");
        digits();
    }
    if (Is('e') || Is('E')) {
        integral = false;
        ++pos_;
        if (Is('+') || Is('-')) ++pos_;
        if (AtEnd() || !IsDigit(Peek())) return Fail(start, "invalid number: digits must follow the exponent");
        digits();
    }
    if (pos_ - start > kMaxNumberChars) return Fail(start, "number longer than " + std::to_string(kMaxNumberChars) + " characters");
    text = s_.substr(start, pos_ - start);
    return true;
}

bool Parser::Need(bool ok, Field f, const char* kind) {
    if (ok) return true;
    const std::string name = kFieldNames[static_cast<size_t>(f)];
    if (AtEnd()) return Fail(pos_, "expected a value for \"" + name + "\", found the end of the text");
    return Fail(pos_, "\"" + name + "\" must be " + kind);
}

bool Parser::Double(Field f, double& out) {
    if (!Need(!AtEnd() && (Is('-') || IsDigit(Peek())), f, "a number")) return false;
    const size_t at = pos_;
    std::string_view text;
    bool integral = false;
    if (!NumberToken(text, integral)) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return Fail(at, "number out of range");
    return true;
}

bool Parser::Integer(Field f, int64_t low, int64_t high, int64_t& out) {
    const std::string range = "\"" + std::string(kFieldNames[static_cast<size_t>(f)]) + "\" must be an integer from " +
                              std::to_string(low) + " to " + std::to_string(high);
    if (!Need(!AtEnd() && (Is('-') || IsDigit(Peek())), f, "an integer")) return false;
    const size_t at = pos_;
    std::string_view text;
    bool integral = false;
    if (!NumberToken(text, integral)) return false;
    if (!integral) return Fail(at, range);
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || out < low || out > high) return Fail(at, range);
    return true;
}

bool Parser::Colour(Field f, Rgba& out) {
    static const char* kKind = "a colour: \"#rrggbb\", \"#rrggbbaa\" or null";
    if (Is('n') && MatchWord("null")) {
        out = {};
        return true;
    }
    if (!Need(Is('"'), f, kKind)) return false;
    const size_t at = pos_;
    std::string text;
    if (!String(text)) return false;
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') return Fail(at, "\"" + std::string(kFieldNames[static_cast<size_t>(f)]) + "\" must be " + kKind);
    uint8_t bytes[4] = {0, 0, 0, 255};
    for (size_t i = 0; 1 + 2 * i < text.size(); ++i) {
        const int hi = HexValue(text[1 + 2 * i]), lo = HexValue(text[2 + 2 * i]);
        if (hi < 0 || lo < 0) return Fail(at, "\"" + std::string(kFieldNames[static_cast<size_t>(f)]) + "\" must be " + kKind);
        bytes[i] = static_cast<uint8_t>(hi << 4 | lo);
    }
    out = {bytes[0], bytes[1], bytes[2], bytes[3]};
    return true;
}

bool Parser::Choice(Field f, const char* const* names, size_t count, size_t& out) {
    std::string kind = "one of";
    for (size_t i = 0; i < count; ++i) kind += std::string(i ? ", \"" : " \"") + names[i] + "\"";
    if (!Need(Is('"'), f, kind.c_str())) return false;
    const size_t at = pos_;
    std::string text;
    if (!String(text)) return false;
    for (out = 0; out < count; ++out)
        if (text == names[out]) return true;
    return Fail(at, "\"" + std::string(kFieldNames[static_cast<size_t>(f)]) + "\" must be " + kind);
}

bool Parser::Points(std::vector<Point>& out) {
    if (!Need(Is('['), Field::Points, "an array of points [[x, y], ...]")) return false;
    ++pos_;
    out.clear();
    SkipSpace();
    if (Is(']')) return Fail(pos_, "\"points\" needs at least one point");
    for (;;) {
        SkipSpace();
        if (!Is('[')) return Fail(pos_, "expected a point [x, y], found " + Found());
        if (++points_ > kMaxJsonPoints) return Fail(pos_, "more than " + std::to_string(kMaxJsonPoints) + " points in all");
        ++pos_;
        Point p;
        SkipSpace();
        if (!Double(Field::Points, p.x) || !Expect(',', "between a point's x and y")) return false;
        SkipSpace();
        if (!Double(Field::Points, p.y)) return false;
        SkipSpace();
        if (Is(',')) return Fail(pos_, "a point has exactly two numbers");
        if (!Expect(']', "after a point's y")) return false;
        out.push_back(p);
        SkipSpace();
        if (Is(']')) {
            ++pos_;
            return true;
        }
        if (!Is(',')) return Fail(pos_, "expected ',' or ']' after a point, found " + Found());
        ++pos_;
    }
}

bool Parser::FieldValue(Field f, Values& v) {
    MarkupObject& o = v.o;
    const auto nonNegative = [&](double& d) {
        const size_t at = pos_;
        if (!Double(f, d)) return false;
        if (d < 0) return Fail(at, "\"" + std::string(kFieldNames[static_cast<size_t>(f)]) + "\" must not be negative");
        return true;
    };
    const auto int32 = [&](int32_t& out) {
        int64_t i = 0;
        if (!Integer(f, INT32_MIN, INT32_MAX, i)) return false;
        out = static_cast<int32_t>(i);
        return true;
    };
    size_t choice = 0;
    switch (f) {
    case Field::Type:
        if (!Need(Is('"'), f, "a string")) return false;
        v.typeAt = pos_;
        return String(v.type);
    case Field::X: return Double(f, o.x);
    case Field::Y: return Double(f, o.y);
    case Field::W: return Double(f, o.w);
    case Field::H: return Double(f, o.h);
    case Field::X1: return Double(f, o.x1);
    case Field::Y1: return Double(f, o.y1);
    case Field::X2: return Double(f, o.x2);
    case Field::Y2: return Double(f, o.y2);
    case Field::Points: return Points(o.points);
    case Field::Stroke: return Colour(f, o.stroke);
    case Field::Fill: return Colour(f, o.fill);
    case Field::Outline: return Colour(f, o.outline);
    case Field::Width: return nonNegative(o.width);
    case Field::Radius: return nonNegative(o.radius);
    case Field::Head: return nonNegative(o.head);
    case Field::Size: {
        const size_t at = pos_;
        if (!Double(f, o.size)) return false;
        return o.size > 0 || Fail(at, "\"size\" must be greater than 0");
    }
    case Field::Heads:
        if (!Choice(f, kHeadsNames, std::size(kHeadsNames), choice)) return false;
        o.heads = static_cast<ArrowHeads>(choice);
        return true;
    case Field::Label:
        if (!Choice(f, kLabelNames, std::size(kLabelNames), choice)) return false;
        o.label = static_cast<StepLabel>(choice);
        return true;
    case Field::Style:
        if (!Choice(f, kStyleNames, std::size(kStyleNames), choice)) return false;
        o.style = static_cast<RedactStyle>(choice);
        return true;
    case Field::Text:
        if (!Need(Is('"'), f, "a string")) return false;
        return String(o.text);
    case Field::Font:
        if (!Need(Is('"'), f, "a string")) return false;
        return String(o.font);
    case Field::Bold:
        if (Is('t') && MatchWord("true")) {
            o.bold = true;
            return true;
        }
        if (Is('f') && MatchWord("false")) {
            o.bold = false;
            return true;
        }
        return Need(false, f, "true or false");
    case Field::Value: return int32(o.value);
    case Field::Start: return int32(o.start);
    case Field::Series: return int32(o.series);
    case Field::Seed: {
        int64_t i = 0;
        if (!Integer(f, 0, UINT32_MAX, i)) return false;
        o.seed = static_cast<uint32_t>(i);
        return true;
    }
    case Field::Cell: {
        int64_t i = 0;
        if (!Integer(f, 2, 64, i)) return false;
        o.cell = static_cast<int32_t>(i);
        return true;
    }
    case Field::Count: break;
    }
    return false;
}

void CopyField(Field f, const MarkupObject& from, MarkupObject& to) {
    switch (f) {
    case Field::X: to.x = from.x; break;
    case Field::Y: to.y = from.y; break;
    case Field::W: to.w = from.w; break;
    case Field::H: to.h = from.h; break;
    case Field::X1: to.x1 = from.x1; break;
    case Field::Y1: to.y1 = from.y1; break;
    case Field::X2: to.x2 = from.x2; break;
    case Field::Y2: to.y2 = from.y2; break;
    case Field::Points: to.points = from.points; break;
    case Field::Stroke: to.stroke = from.stroke; break;
    case Field::Fill: to.fill = from.fill; break;
    case Field::Width: to.width = from.width; break;
    case Field::Radius: to.radius = from.radius; break;
    case Field::Head: to.head = from.head; break;
    case Field::Heads: to.heads = from.heads; break;
    case Field::Text: to.text = from.text; break;
    case Field::Font: to.font = from.font; break;
    case Field::Size: to.size = from.size; break;
    case Field::Bold: to.bold = from.bold; break;
    case Field::Outline: to.outline = from.outline; break;
    case Field::Value: to.value = from.value; break;
    case Field::Start: to.start = from.start; break;
    case Field::Series: to.series = from.series; break;
    case Field::Label: to.label = from.label; break;
    case Field::Style: to.style = from.style; break;
    case Field::Seed: to.seed = from.seed; break;
    case Field::Cell: to.cell = from.cell; break;
    case Field::Type:
    case Field::Count: break;
    }
}

bool Parser::Entry(ListEntry& entry) {
    const size_t open = pos_++;
    Values v;
    bool seen[kFieldCount] = {};
    struct Seen {
        Field field;
        size_t at;
    };
    std::vector<Seen> order;
    std::string key;
    SkipSpace();
    if (Is('}')) {
        ++pos_;
    } else {
        for (;;) {
            SkipSpace();
            if (!Is('"')) return Fail(pos_, "expected a field name in quotes, found " + Found());
            const size_t at = pos_;
            if (!String(key)) return false;
            size_t id = 0;
            while (id < kFieldCount && key != kFieldNames[id]) ++id;
            if (id == kFieldCount) return Fail(at, "unknown field " + Quoted(key));
            if (seen[id]) return Fail(at, "field " + Quoted(key) + " given twice");
            seen[id] = true;
            order.push_back({static_cast<Field>(id), at});
            if (!Expect(':', "after a field name")) return false;
            SkipSpace();
            if (!FieldValue(static_cast<Field>(id), v)) return false;
            SkipSpace();
            if (Is('}')) {
                ++pos_;
                break;
            }
            if (!Is(',')) return Fail(pos_, "expected ',' or '}' after a field, found " + Found());
            ++pos_;
        }
    }
    if (!seen[static_cast<size_t>(Field::Type)]) return Fail(open, "the object has no \"type\"");
    uint32_t typeBit = kCrop;
    const bool isCrop = v.type == "crop";
    std::optional<ObjectType> type;
    if (!isCrop) {
        type = TypeFromName(v.type);
        if (!type) return Fail(v.typeAt, "unknown type " + Quoted(v.type));
        typeBit = Bit(*type);
    }
    for (const Seen& s : order)
        if (!(kFieldTypes[static_cast<size_t>(s.field)] & typeBit))
            return Fail(s.at, std::string("field \"") + kFieldNames[static_cast<size_t>(s.field)] +
                                  "\" does not belong to type \"" + v.type + "\"");
    entry = ListEntry{};
    if (isCrop) {
        const auto keyAt = [&](Field f) {
            for (const Seen& s : order)
                if (s.field == f) return s.at;
            return open;
        };
        if (!(v.o.w > 0)) return Fail(keyAt(Field::W), "a crop needs \"w\" greater than 0");
        if (!(v.o.h > 0)) return Fail(keyAt(Field::H), "a crop needs \"h\" greater than 0");
        entry.isCrop = true;
        entry.cropX = v.o.x;
        entry.cropY = v.o.y;
        entry.cropW = v.o.w;
        entry.cropH = v.o.h;
        return true;
    }
    // A pen or highlighter is its path: without points there is nothing to draw or write back.
    if ((*type == ObjectType::Pen || *type == ObjectType::Highlight) && !seen[static_cast<size_t>(Field::Points)])
        return Fail(open, "a \"" + v.type + "\" needs \"points\"");
    entry.object = DefaultObject(*type);
    for (const Seen& s : order) CopyField(s.field, v.o, entry.object);
    if (!seen[static_cast<size_t>(Field::Start)] && seen[static_cast<size_t>(Field::Value)])
        entry.object.start = entry.object.value;
    return true;
}

bool Parser::Objects(std::vector<ListEntry>& entries) {
    if (AtEnd() || !Is('[')) return Fail(pos_, "\"objects\" must be an array, found " + Found());
    ++pos_;
    SkipSpace();
    if (Is(']')) {
        ++pos_;
        return true;
    }
    for (;;) {
        SkipSpace();
        if (!Is('{')) return Fail(pos_, "expected an object, found " + Found());
        if (entries.size() >= kMaxJsonObjects)
            return Fail(pos_, "more than " + std::to_string(kMaxJsonObjects) + " objects");
        ListEntry e;
        if (!Entry(e)) return false;
        entries.push_back(std::move(e));
        SkipSpace();
        if (Is(']')) {
            ++pos_;
            return true;
        }
        if (!Is(',')) return Fail(pos_, "expected ',' or ']' after an object, found " + Found());
        ++pos_;
    }
}

bool Parser::Run(std::vector<ListEntry>& entries) {
    if (s_.size() > kMaxJsonBytes) return Fail(0, "the list is longer than " + std::to_string(kMaxJsonBytes) + " bytes");
    if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = begin_ = 3;
    SkipSpace();
    if (!Is('{')) return Fail(pos_, "expected '{' to open the list, found " + Found());
    const size_t open = pos_++;
    bool haveVersion = false, haveObjects = false;
    std::string key;
    SkipSpace();
    if (Is('}')) {
        ++pos_;
    } else {
        for (;;) {
            SkipSpace();
            if (!Is('"')) return Fail(pos_, "expected a field name in quotes, found " + Found());
            const size_t at = pos_;
            if (!String(key)) return false;
            const bool isVersion = key == "version", isObjects = key == "objects";
            if (!isVersion && !isObjects) return Fail(at, "unknown top-level field " + Quoted(key));
            if ((isVersion && haveVersion) || (isObjects && haveObjects)) return Fail(at, "field " + Quoted(key) + " given twice");
            if (!Expect(':', "after a field name")) return false;
            SkipSpace();
            if (isVersion) {
                haveVersion = true;
                if (AtEnd() || !(Is('-') || IsDigit(Peek()))) return Fail(pos_, "\"version\" must be a number, found " + Found());
                const size_t valueAt = pos_;
                std::string_view text;
                bool integral = false;
                if (!NumberToken(text, integral)) return false;
                if (text != "1") return Fail(valueAt, "unsupported version " + std::string(text.substr(0, 20)) + " (version 1 is read)");
            } else {
                haveObjects = true;
                if (!Objects(entries)) return false;
            }
            SkipSpace();
            if (Is('}')) {
                ++pos_;
                break;
            }
            if (!Is(',')) return Fail(pos_, "expected ',' or '}' after a field, found " + Found());
            ++pos_;
        }
    }
    if (!haveVersion) return Fail(open, "the list has no \"version\"");
    if (!haveObjects) return Fail(open, "the list has no \"objects\"");
    SkipSpace();
    if (!AtEnd()) return Fail(pos_, "unexpected " + Found() + " after the end of the list");
    return true;
}

// Writing.

void AppendDouble(std::string& out, double v) {
    if (!std::isfinite(v)) v = 0;  // JSON has no form for them; the document never holds one
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void AppendInteger(std::string& out, int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void AppendString(std::string& out, std::string_view text) { AppendJsonString(out, text); }

void AppendColour(std::string& out, Rgba c) {
    static const char* kHex = "0123456789abcdef";
    const uint8_t bytes[4] = {c.r, c.g, c.b, c.a};
    out += "\"#";
    for (int i = 0; i < (c.a == 255 ? 3 : 4); ++i) {
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 15];
    }
    out += '"';
}

const char* NameOf(const char* const* names, size_t count, size_t i) { return names[i < count ? i : 0]; }

void AppendObject(std::string& out, const MarkupObject& o) {
    const auto key = [&](Field f) {
        out += ", \"";
        out += kFieldNames[static_cast<size_t>(f)];
        out += "\": ";
    };
    const auto number = [&](Field f, double v) {
        key(f);
        AppendDouble(out, v);
    };
    const auto integer = [&](Field f, int64_t v) {
        key(f);
        AppendInteger(out, v);
    };
    const auto colour = [&](Field f, Rgba c) {
        key(f);
        AppendColour(out, c);
    };
    const auto name = [&](Field f, const char* n) {
        key(f);
        out += '"';
        out += n;
        out += '"';
    };
    const auto box = [&] {
        number(Field::X, o.x);
        number(Field::Y, o.y);
        number(Field::W, o.w);
        number(Field::H, o.h);
    };
    const auto ends = [&] {
        number(Field::X1, o.x1);
        number(Field::Y1, o.y1);
        number(Field::X2, o.x2);
        number(Field::Y2, o.y2);
    };
    out += "{\"type\": ";
    AppendString(out, TypeName(o.type));
    switch (o.type) {
    case ObjectType::Rect:
    case ObjectType::Ellipse:
        box();
        colour(Field::Stroke, o.stroke);
        colour(Field::Fill, o.fill);
        number(Field::Width, o.width);
        if (o.type == ObjectType::Rect) number(Field::Radius, o.radius);
        break;
    case ObjectType::Line:
    case ObjectType::Arrow:
        ends();
        colour(Field::Stroke, o.stroke);
        number(Field::Width, o.width);
        if (o.type == ObjectType::Arrow) {
            number(Field::Head, o.head);
            name(Field::Heads, NameOf(kHeadsNames, std::size(kHeadsNames), static_cast<size_t>(o.heads)));
        }
        break;
    case ObjectType::Pen:
    case ObjectType::Highlight:
        key(Field::Points);
        out += '[';
        for (size_t i = 0; i < o.points.size(); ++i) {
            out += i ? ", [" : "[";
            AppendDouble(out, o.points[i].x);
            out += ", ";
            AppendDouble(out, o.points[i].y);
            out += ']';
        }
        out += ']';
        colour(Field::Stroke, o.stroke);
        number(Field::Width, o.width);
        break;
    case ObjectType::Text:
        box();
        key(Field::Text);
        AppendString(out, o.text);
        key(Field::Font);
        AppendString(out, o.font);
        number(Field::Size, o.size);
        key(Field::Bold);
        out += o.bold ? "true" : "false";
        colour(Field::Stroke, o.stroke);
        colour(Field::Fill, o.fill);
        colour(Field::Outline, o.outline);
        break;
    case ObjectType::Step:
        box();
        integer(Field::Value, o.value);
        integer(Field::Start, o.start);
        integer(Field::Series, o.series);
        name(Field::Label, NameOf(kLabelNames, std::size(kLabelNames), static_cast<size_t>(o.label)));
        colour(Field::Stroke, o.stroke);
        colour(Field::Fill, o.fill);
        break;
    case ObjectType::Redact:
        box();
        name(Field::Style, NameOf(kStyleNames, std::size(kStyleNames), static_cast<size_t>(o.style)));
        colour(Field::Fill, o.fill);
        integer(Field::Seed, o.seed);
        integer(Field::Cell, o.cell);
        break;
    }
    out += '}';
}

}  // namespace

bool ParseObjectList(std::string_view json, std::vector<ListEntry>& entries, JsonError& error) {
    entries.clear();
    error = {};
    Parser parser(json, error);
    if (parser.Run(entries)) return true;
    entries.clear();
    return false;
}

std::string WriteObjectList(const std::vector<MarkupObject>& objects) {
    std::string out = "{\"version\": 1, \"objects\": [";
    for (size_t i = 0; i < objects.size(); ++i) {
        out += i ? ",\n  " : "\n  ";
        AppendObject(out, objects[i]);
    }
    out += objects.empty() ? "]}\n" : "\n]}\n";
    return out;
}

}  // namespace plenvue::markup
