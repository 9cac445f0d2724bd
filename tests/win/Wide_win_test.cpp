#include "base/win/Wide_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

using namespace plenvue;

namespace {

// The platform's own strict conversion, the reference for the checked form.
std::optional<std::wstring> SystemWiden(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

}  // namespace

TEST(Wide, CheckedFormAgreesWithThePlatform) {
    const std::string samples[] = {"plain", "Ärger", "Иван", "李", "\xF0\x9F\x98\x80", "\x80", "\xC3",
                                   "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
    for (const std::string& s : samples) {
        auto ours = WidenChecked(s);
        EXPECT_EQ(ours, SystemWiden(s)) << s;
        if (ours) {
            EXPECT_EQ(Widen(s), *ours);
            EXPECT_EQ(NarrowChecked(*ours), s);
        }
    }
}

TEST(Wide, UnpairedSurrogateIsRefusedWhenNarrowed) {
    std::wstring w = L"a";
    w.push_back(static_cast<wchar_t>(0xD800));
    EXPECT_FALSE(NarrowChecked(w).has_value());
    EXPECT_EQ(Narrow(w), "a\xEF\xBF\xBD");
}

TEST(Wide, WidePathPrefixesLongPathsAndRefusesBadNames) {
    std::string longPath = "C:\\" + std::string(300, 'x');
    EXPECT_EQ(WidePath(longPath), L"\\\\?\\C:\\" + std::wstring(300, L'x'));
    EXPECT_EQ(WidePath("C:\\Иван"), L"C:\\Иван");
    EXPECT_FALSE(WidePath(std::string("C:\\a\0b", 6)).has_value());
    EXPECT_FALSE(WidePath("C:\\\xC0\xAF").has_value());
}
