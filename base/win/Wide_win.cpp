// Copies between wchar_t and char16_t units; the conversion itself is the portable one.
#include "base/win/Wide_win.h"

#include "base/Utf.h"

namespace plenvue {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on this platform");

std::wstring ToW(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
std::u16string ToU16(std::wstring_view s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

std::wstring Widen(std::string_view utf8) { return ToW(Utf8ToUtf16Lossy(utf8)); }

std::string Narrow(std::wstring_view wide) {
    if (wide.size() > kMaxUtfUnits) wide = wide.substr(0, kMaxUtfUnits + 1);  // the cut is marked there
    return Utf16ToUtf8Lossy(ToU16(wide));
}

std::optional<std::wstring> WidenChecked(std::string_view utf8) {
    auto u = Utf8ToUtf16(utf8);
    if (!u) return std::nullopt;
    return ToW(*u);
}

std::optional<std::string> NarrowChecked(std::wstring_view wide) {
    if (wide.size() > kMaxUtfUnits) return std::nullopt;
    return Utf16ToUtf8(ToU16(wide));
}

std::optional<std::wstring> WidePath(std::string_view utf8, std::size_t limit) {
    auto u = PlatformPathUtf16(utf8, limit);
    if (!u) return std::nullopt;
    return ToW(*u);
}

std::wstring WideName(std::string_view utf8, std::size_t limit) {
    return WidePath(utf8, limit).value_or(std::wstring());
}

}  // namespace plenvue
