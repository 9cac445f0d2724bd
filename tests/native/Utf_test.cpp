#include "base/Utf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace plenvue;

TEST(Utf, WellFormedTextRoundTripsBothWays) {
    const std::string samples[] = {"plain.png", "Ärger für Jürgen", "Иван", "李", "\xF0\x9F\x98\x80", std::string("a\0b", 3)};
    const std::u16string wide[] = {u"plain.png", u"Ärger für Jürgen", u"Иван", u"李", u"\U0001F600", std::u16string(u"a\0b", 3)};
    for (int k = 0; k < 6; ++k) {
        ASSERT_TRUE(IsValidUtf8(samples[k])) << k;
        EXPECT_EQ(Utf8ToUtf16(samples[k]), wide[k]) << k;
        EXPECT_EQ(Utf16ToUtf8(wide[k]), samples[k]) << k;
        EXPECT_EQ(Utf8ToUtf16Lossy(samples[k]), wide[k]) << k;
        EXPECT_EQ(Utf16Length(samples[k]), wide[k].size()) << k;
    }
}

TEST(Utf, IllFormedUtf8IsRefusedByCheckedForm) {
    const std::string bad[] = {
        "\x80",                  // lone continuation
        "\xC3",                  // truncated
        "a\xE6\x9D",             // truncated three-byte
        "\xC0\xAF",              // overlong "/"
        "\xE0\x80\xAF",          // overlong three-byte
        "\xF0\x80\x80\xAF",      // overlong four-byte
        "\xED\xA0\x80",          // high surrogate in UTF-8
        "\xED\xBF\xBF",          // low surrogate in UTF-8
        "\xF4\x90\x80\x80",      // above U+10FFFF
        "\xF5\x80\x80\x80", "\xFF",
    };
    for (const std::string& s : bad) {
        EXPECT_FALSE(IsValidUtf8(s)) << s;
        EXPECT_FALSE(Utf8ToUtf16(s).has_value()) << s;
        EXPECT_FALSE(Utf16Length(s).has_value()) << s;
    }
}

TEST(Utf, LossyFormReplacesEachMaximalSubpartOnce) {
    EXPECT_EQ(Utf8ToUtf16Lossy("a\xE6\x9D" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16Lossy("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16Lossy("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16Lossy("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
}

TEST(Utf, UnpairedSurrogatesAreRefusedOrReplaced) {
    const std::u16string bad[] = {u"\xD800", std::u16string(1, char16_t(0xDC00)) + u"x",
                                  u"a" + std::u16string(1, char16_t(0xD83D)),
                                  std::u16string{char16_t(0xDE00), char16_t(0xD83D)}};
    for (const std::u16string& s : bad) {
        EXPECT_FALSE(IsValidUtf16(s));
        EXPECT_FALSE(Utf16ToUtf8(s).has_value());
    }
    EXPECT_EQ(Utf16ToUtf8Lossy(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xEF\xBF\xBD" "b");
}

TEST(Utf, RandomBytesNeverCrashAndCheckedOutputRoundTrips) {
    std::mt19937 rng(15);
    for (int n = 0; n < 20000; ++n) {
        std::string s(rng() % 12, '\0');
        for (char& c : s) c = static_cast<char>(rng() % 4 == 0 ? rng() % 128 : 0x80 + rng() % 128);
        std::u16string lossy = Utf8ToUtf16Lossy(s);
        ASSERT_TRUE(IsValidUtf16(lossy));
        auto w = Utf8ToUtf16(s);
        ASSERT_EQ(w.has_value(), IsValidUtf8(s));
        if (w) {
            ASSERT_EQ(Utf16ToUtf8(*w), s);
        }
        std::u16string u(rng() % 6, u'\0');
        for (char16_t& c : u) c = static_cast<char16_t>(rng() % 2 ? 0xD800 + rng() % 0x800 : rng());
        auto e = Utf16ToUtf8(u);
        ASSERT_EQ(e.has_value(), IsValidUtf16(u));
        if (e) {
            ASSERT_EQ(Utf8ToUtf16(*e), u);
        }
        ASSERT_TRUE(IsValidUtf8(Utf16ToUtf8Lossy(u)));
    }
}

TEST(Utf, CutCountsUtf16UnitsAndNeverSplitsACharacter) {
    EXPECT_EQ(CutToUtf16Units("short", 127), "short");
    EXPECT_EQ(CutToUtf16Units("", 0), "");
    // Two-byte and three-byte letters count one unit each, not their bytes.
    EXPECT_EQ(CutToUtf16Units("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xA4\xC3\xB6");
    EXPECT_EQ(CutToUtf16Units("\xE6\x9D\x8E\xE6\x9D\x8E", 1), "\xE6\x9D\x8E");
    // A character outside the basic plane takes two units: it goes whole or not at all.
    const std::string face = "\xF0\x9F\x98\x80";
    EXPECT_EQ(CutToUtf16Units("ab" + face, 3), "ab");
    EXPECT_EQ(CutToUtf16Units("ab" + face, 4), "ab" + face);
    EXPECT_EQ(CutToUtf16Units(face + face, 1), "");
    // Every cut of a mixed text is well-formed and within the limit.
    const std::string mixed = "Aufnahme l\xC3\xA4uft " + face + " \xE6\x9D\x8E" + face + "x";
    for (size_t units = 0; units < 20; ++units) {
        const std::string cut = CutToUtf16Units(mixed, units);
        ASSERT_TRUE(IsValidUtf8(cut)) << units;
        ASSERT_LE(*Utf16Length(cut), units);
        EXPECT_EQ(mixed.compare(0, cut.size(), cut), 0) << units;
    }
    // Ill-formed input is made well-formed, never passed on.
    EXPECT_EQ(CutToUtf16Units("a\xFF", 5), "a\xEF\xBF\xBD");
}

TEST(ExtendedLengthPath, LongAbsolutePathsGetThePrefix) {
    std::string seg(100, 'x');
    std::string tail = seg + "\\" + seg + "\\" + seg + ".png";
    EXPECT_EQ(ExtendedLengthPath("C:\\" + tail), "\\\\?\\C:\\" + tail);
    EXPECT_EQ(ExtendedLengthPath("c:/" + seg + "/" + seg + "//" + seg + ".png"), "\\\\?\\c:\\" + tail);
    EXPECT_EQ(ExtendedLengthPath("\\\\srv\\share\\" + tail), "\\\\?\\UNC\\srv\\share\\" + tail);
    EXPECT_EQ(ExtendedLengthPath("C:\\" + seg + "\\.\\dead\\..\\" + seg + "\\" + seg + ".png"), "\\\\?\\C:\\" + tail);
    EXPECT_EQ(ExtendedLengthPath("C:\\..\\" + tail), "\\\\?\\C:\\" + tail);
}

TEST(ExtendedLengthPath, LimitCountsUtf16UnitsNotBytes) {
    std::string ru;
    for (int k = 0; k < 128; ++k) ru += "И";  // 256 bytes, 128 units
    EXPECT_EQ(ExtendedLengthPath("C:\\" + ru), "C:\\" + ru);
    std::string edge = "C:\\" + std::string(256, 'a');  // exactly 259
    EXPECT_EQ(ExtendedLengthPath(edge), edge);
    EXPECT_EQ(ExtendedLengthPath(edge + "b"), "\\\\?\\" + edge + "b");
    EXPECT_EQ(ExtendedLengthPath("C:\\" + std::string(245, 'a'), kMaxPlainFolderPath), "\\\\?\\C:\\" + std::string(245, 'a'));
}

TEST(ExtendedLengthPath, OtherFormsStayUnchanged) {
    std::string seg(300, 'x');
    const std::string same[] = {"C:\\short\\a/b.png", "\\\\?\\C:\\" + seg, "\\\\.\\pipe\\" + seg, "\\??\\C:\\" + seg,
                                "rel\\" + seg, "C:" + seg, "\\" + seg, "C:\\" + seg + "\\trailing. \\x",
                                "C:\\" + seg + "\\dot.", "\\\\srv\\..\\" + seg, "C:\\" + seg + "\xFF"};
    for (const std::string& p : same) EXPECT_EQ(ExtendedLengthPath(p), p) << p.substr(0, 12);
}
