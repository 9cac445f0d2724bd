#include "shell/KeptHistory.h"

#include <gtest/gtest.h>

namespace plenvue {
namespace {

TEST(KeptHistory, KeysSortByAgeAndNamesParseBack) {
    const std::string a = KeptEntryKey(0x01DB000000000001ull, 0x1234);
    const std::string b = KeptEntryKey(0x01DB000000000002ull, 0x0001);
    EXPECT_EQ(a, "01DB000000000001-00001234");
    EXPECT_LT(a, b);
    auto parts = ParseKeptFileName(KeptFileName(a, KeptPart::Reference));
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->Key, a);
    EXPECT_EQ(parts->Part, KeptPart::Reference);
    EXPECT_EQ(ParseKeptFileName(a + ".png")->Part, KeptPart::Copy);
    // Foreign names, other cases, temporary files and near misses are not entries.
    for (const char* name : {"notes.txt", "01db000000000001-00001234.png", "01DB000000000001-00001234.PNG",
                             "01DB000000000001_00001234.png", "01DB00000000001-000001234.png",
                             "01DB000000000001-00001234.png.tmp", "01DB000000000001-0000123G.ref", ".png", ""})
        EXPECT_FALSE(ParseKeptFileName(name)) << name;
    EXPECT_TRUE(IsKeptTemporaryName(a + ".png.tmp"));
    EXPECT_FALSE(IsKeptTemporaryName("x.png.tmp"));
}

TEST(KeptHistory, KeyClockNeverRepeatsOrGoesBack) {
    KeptKeyClock clock;
    EXPECT_EQ(clock.Next(100), 100u);
    EXPECT_EQ(clock.Next(100), 101u);  // two captures in one tick
    EXPECT_EQ(clock.Next(50), 102u);   // the clock was set back
    EXPECT_EQ(clock.Next(500), 500u);
}

TEST(KeptHistory, ReferenceRecordsRoundTripAndBadOnesAreRefused) {
    const std::string path = "C:\\Users\\Jörg\\Pictures\\日本.png";
    EXPECT_EQ(ParseKeptReference(FormatKeptReference(path)), path);
    const std::string good = FormatKeptReference("C:\\a.png");
    EXPECT_FALSE(ParseKeptReference(good.substr(0, good.size() - 1)));  // cut short
    EXPECT_FALSE(ParseKeptReference(""));
    EXPECT_FALSE(ParseKeptReference("Plenvue history 2\r\nC:\\a.png\r\n"));
    EXPECT_FALSE(ParseKeptReference("Plenvue history 1\r\n\r\n"));
    EXPECT_FALSE(ParseKeptReference("Plenvue history 1\r\nC:\\a.png\r\nC:\\b.png\r\n"));
    EXPECT_FALSE(ParseKeptReference(std::string("Plenvue history 1\r\nC:\\a\0.png\r\n", 30)));
    EXPECT_FALSE(ParseKeptReference("Plenvue history 1\r\nC:\\\xff.png\r\n"));
    EXPECT_FALSE(ParseKeptReference("\x89PNG\r\n\x1a\n"));
}

TEST(KeptHistory, LimitsFromTextTakeTheDefaultForOddValues) {
    KeptLimits d = KeptLimitsFromText("", "");
    EXPECT_EQ(d.Count, 100);
    EXPECT_EQ(d.Bytes, 500ull << 20);
    KeptLimits l = KeptLimitsFromText("7", "2");
    EXPECT_EQ(l.Count, 7);
    EXPECT_EQ(l.Bytes, 2ull << 20);
    for (const char* odd : {"0", "-5", "10001", "12x", " 12", "99999999999", "1e3"}) {
        EXPECT_EQ(KeptLimitsFromText(odd, odd).Count, 100) << odd;
        EXPECT_EQ(KeptLimitsFromText(odd, "100001").Bytes, 500ull << 20) << odd;
    }
    EXPECT_EQ(KeptLimitsFromText("10000", "100000").Bytes, 100000ull << 20);  // no overflow at the top
}

KeptEntry Copy(const char* key, uint64_t bytes, const char* file = "") { return {key, file, true, bytes}; }
KeptEntry File(const char* key, const char* file) { return {key, file, false, 0}; }

TEST(KeptHistory, PruningTakesTheOldestCopiesFirstAndNeverAFileOfTheUser) {
    KeptLimits limits{2, 100};
    // Keys given in any order; "5" is the newest.
    auto p = PruneKept({Copy("1", 10), Copy("5", 10), Copy("3", 10), Copy("2", 10, "C:\\two.png")}, limits);
    EXPECT_EQ(p.Entries, std::vector<std::string>{"1"});
    EXPECT_EQ(p.Copies, std::vector<std::string>{"2"});  // the file's drawings go, its entry stays
    // Megabytes: once one does not fit, nothing older is kept, even a small one.
    p = PruneKept({Copy("4", 60), Copy("3", 50), Copy("2", 1), File("1", "C:\\f.png")}, KeptLimits{10, 100});
    EXPECT_EQ(p.Entries, (std::vector<std::string>{"3", "2"}));
    EXPECT_TRUE(p.Copies.empty());
    // Entries that are only a file's name are limited by count too, oldest first.
    p = PruneKept({File("1", "a"), File("2", "b"), File("3", "c"), Copy("4", 1)}, KeptLimits{2, 100});
    EXPECT_EQ(p.Entries, std::vector<std::string>{"1"});
    // Within the limits nothing goes.
    p = PruneKept({Copy("1", 50), Copy("2", 50)}, KeptLimits{2, 100});
    EXPECT_TRUE(p.Entries.empty() && p.Copies.empty());
}

}  // namespace
}  // namespace plenvue
