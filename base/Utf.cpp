// UTF-8 <-> UTF-16 conversion and the extended-length path rule.
#include "base/Utf.h"

#include <cstdint>
#include <vector>

namespace plenvue {
namespace {

// One step of UTF-8 decoding after the well-formed byte sequences of the Unicode standard: the
// code point (or -1) and the bytes taken; an ill-formed sequence takes its maximal subpart.
struct Step {
    int32_t cp;
    std::size_t len;
};

Step DecodeUtf8(std::string_view s, std::size_t i) {
    auto b = [&](std::size_t k) { return static_cast<uint8_t>(s[k]); };
    uint8_t c = b(i);
    if (c < 0x80) return {c, 1};
    int need;
    uint8_t lo = 0x80, hi = 0xBF;
    int32_t cp;
    if (c >= 0xC2 && c <= 0xDF) { need = 1; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) {
        need = 2; cp = c & 0x0F;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;  // surrogates have no UTF-8 form
    } else if (c >= 0xF0 && c <= 0xF4) {
        need = 3; cp = c & 0x07;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
        return {-1, 1};
    }
    std::size_t k = i + 1;
    for (int n = 0; n < need; ++n, ++k) {
        if (k >= s.size()) return {-1, k - i};
        uint8_t t = b(k);
        if (t < lo || t > hi) return {-1, k - i};
        lo = 0x80; hi = 0xBF;
        cp = (cp << 6) | (t & 0x3F);
    }
    return {cp, k - i};
}

void AppendUtf16(std::u16string& out, int32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, int32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// One step of UTF-16 decoding: the code point (or -1 for an unpaired surrogate) and units taken.
Step DecodeUtf16(std::u16string_view s, std::size_t i) {
    char16_t c = s[i];
    if (c < 0xD800 || c > 0xDFFF) return {c, 1};
    if (c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
        return {0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00), 2};
    return {-1, 1};
}

// Cuts text to at most kMaxUtfUnits without splitting a well-formed code point.
std::string_view CutUtf8(std::string_view s) {
    std::size_t n = kMaxUtfUnits;
    while (n > 0 && (static_cast<uint8_t>(s[n]) & 0xC0) == 0x80 && kMaxUtfUnits - n < 3) --n;
    return s.substr(0, n);
}

std::u16string_view CutUtf16(std::u16string_view s) {
    std::size_t n = kMaxUtfUnits;
    if (s[n] >= 0xDC00 && s[n] <= 0xDFFF && s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF) --n;
    return s.substr(0, n);
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        Step st = DecodeUtf8(text, i);
        if (st.cp < 0) return false;
        i += st.len;
    }
    return true;
}

bool IsValidUtf16(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        Step st = DecodeUtf16(text, i);
        if (st.cp < 0) return false;
        i += st.len;
    }
    return true;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
    if (text.size() > kMaxUtfUnits) return std::nullopt;
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        Step st = DecodeUtf8(text, i);
        if (st.cp < 0) return std::nullopt;
        AppendUtf16(out, st.cp);
        i += st.len;
    }
    return out;
}

std::optional<std::string> Utf16ToUtf8(std::u16string_view text) {
    if (text.size() > kMaxUtfUnits) return std::nullopt;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        Step st = DecodeUtf16(text, i);
        if (st.cp < 0) return std::nullopt;
        AppendUtf8(out, st.cp);
        i += st.len;
    }
    return out;
}

std::u16string Utf8ToUtf16Lossy(std::string_view text) {
    bool cut = text.size() > kMaxUtfUnits;
    if (cut) text = CutUtf8(text);
    std::u16string out;
    out.reserve(text.size() + (cut ? 1 : 0));
    for (std::size_t i = 0; i < text.size();) {
        Step st = DecodeUtf8(text, i);
        AppendUtf16(out, st.cp < 0 ? kReplacementChar : st.cp);
        i += st.len;
    }
    if (cut) out.push_back(kReplacementChar);
    return out;
}

std::string Utf16ToUtf8Lossy(std::u16string_view text) {
    bool cut = text.size() > kMaxUtfUnits;
    if (cut) text = CutUtf16(text);
    std::string out;
    out.reserve(text.size() + (cut ? 3 : 0));
    for (std::size_t i = 0; i < text.size();) {
        Step st = DecodeUtf16(text, i);
        AppendUtf8(out, st.cp < 0 ? kReplacementChar : st.cp);
        i += st.len;
    }
    if (cut) AppendUtf8(out, kReplacementChar);
    return out;
}

std::optional<std::size_t> Utf16Length(std::string_view text) {
    if (text.size() > kMaxUtfUnits) return std::nullopt;
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size();) {
        Step st = DecodeUtf8(text, i);
        if (st.cp < 0) return std::nullopt;
        n += st.cp >= 0x10000 ? 2 : 1;
        i += st.len;
    }
    return n;
}

std::string CutToUtf16Units(std::string_view text, std::size_t units) {
    std::u16string wide = Utf8ToUtf16Lossy(text);
    if (wide.size() <= units) return Utf16ToUtf8Lossy(wide);
    std::size_t end = units;
    if (end > 0 && wide[end - 1] >= 0xD800 && wide[end - 1] <= 0xDBFF) --end;  // keep a pair whole
    return Utf16ToUtf8Lossy(std::u16string_view(wide).substr(0, end));
}

std::optional<std::u16string> PlatformPathUtf16(std::string_view path, std::size_t limit) {
    if (path.find('\0') != std::string_view::npos) return std::nullopt;
    return Utf8ToUtf16(ExtendedLengthPath(path, limit));
}

std::string ExtendedLengthPath(std::string_view path, std::size_t limit) {
    std::string unchanged(path);
    std::optional<std::size_t> units = Utf16Length(path);
    if (!units || *units <= limit) return unchanged;
    auto sep = [](char c) { return c == '\\' || c == '/'; };

    std::string prefix;
    std::size_t rootSegments = 0;  // server and share stay, whatever ".." follows
    std::string_view rest;
    if (path.size() >= 3 && path[1] == ':' && sep(path[2]) &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        prefix = std::string("\\\\?\\") + path[0] + ":";
        rest = path.substr(3);
    } else if (path.size() >= 2 && sep(path[0]) && sep(path[1])) {
        if (path.size() >= 3 && (path[2] == '?' || path[2] == '.')) return unchanged;
        prefix = "\\\\?\\UNC";
        rest = path.substr(2);
        rootSegments = 2;
    } else {
        return unchanged;  // relative, drive-relative, rooted without a drive, or "\??\"
    }

    std::vector<std::string_view> segs;
    std::size_t i = 0;
    while (i <= rest.size()) {
        std::size_t j = i;
        while (j < rest.size() && !sep(rest[j])) ++j;
        std::string_view seg = rest.substr(i, j - i);
        i = j + 1;
        if (seg.empty() || seg == ".") {
            if (rootSegments && segs.size() < rootSegments && seg.empty()) return unchanged;
            continue;
        }
        if (seg == "..") {
            if (segs.size() > rootSegments) segs.pop_back();
            else if (rootSegments) return unchanged;
            continue;
        }
        if (seg.back() == '.' || seg.back() == ' ') return unchanged;
        segs.push_back(seg);
    }
    if (segs.size() < rootSegments) return unchanged;

    std::string out = prefix;
    if (segs.empty()) out += '\\';
    for (std::string_view s : segs) {
        out += '\\';
        out.append(s);
    }
    return out;
}

}  // namespace plenvue
