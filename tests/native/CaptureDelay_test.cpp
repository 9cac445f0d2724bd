#include "shell/CaptureDelay.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(CaptureCountdown, CountsDownAndCapturesOnceAtZero) {
    CaptureCountdown c;
    EXPECT_EQ(c.Request(2, 3), DelayRequest::Started);
    EXPECT_TRUE(c.Running());
    EXPECT_EQ(c.Kind(), 2);
    EXPECT_EQ(c.Remaining(), 3);
    EXPECT_FALSE(c.Tick());
    EXPECT_EQ(c.Remaining(), 2);
    EXPECT_FALSE(c.Tick());
    EXPECT_TRUE(c.Tick());
    EXPECT_FALSE(c.Running());
    EXPECT_FALSE(c.Tick());  // a late tick after the end captures nothing more
}

TEST(CaptureCountdown, NoDelayCapturesAtOnce) {
    CaptureCountdown c;
    EXPECT_EQ(c.Request(0, 0), DelayRequest::CaptureNow);
    EXPECT_FALSE(c.Running());
    EXPECT_FALSE(c.Tick());
}

TEST(CaptureCountdown, SameKindDuringTheCountCancelsOtherKindsAreIgnored) {
    CaptureCountdown c;
    ASSERT_EQ(c.Request(1, 5), DelayRequest::Started);
    EXPECT_EQ(c.Request(0, 5), DelayRequest::Ignored);
    EXPECT_EQ(c.Kind(), 1);
    EXPECT_EQ(c.Remaining(), 5);
    EXPECT_EQ(c.Request(1, 5), DelayRequest::Cancelled);
    EXPECT_FALSE(c.Running());
    EXPECT_FALSE(c.Tick());
    // After a cancel the next request starts a fresh count.
    EXPECT_EQ(c.Request(1, 3), DelayRequest::Started);
    EXPECT_EQ(c.Remaining(), 3);
}

TEST(CaptureCountdown, TipShowsTheSecondsAndFitsTheIconField) {
    EXPECT_EQ(CountdownTip("Capturing in %s s", 10), "Capturing in 10 s");
    EXPECT_EQ(CountdownTip("Countdown", 3), "Countdown 3");
    std::string tip = CountdownTip(std::string(200, 'x') + "%s", 5);
    EXPECT_EQ(tip.size(), kNotifyTipUnits);
    // Counted in UTF-16 units, not bytes: a German text of 100 letters with umlauts is whole.
    std::string german;
    for (int i = 0; i < 25; ++i) german += "\xC3\xA4bc";  // "äbc", four bytes, three units
    german += " %s s";
    EXPECT_EQ(CountdownTip(german, 10), german.substr(0, german.size() - 4) + "10 s");
    // Cut at the field's end, never inside a letter: 126 ASCII letters then "ä" fills 127 units,
    // 127 then "ä" leaves the "ä" out whole.
    EXPECT_EQ(CountdownTip(std::string(126, 'a') + "\xC3\xA4%s", 3), std::string(126, 'a') + "\xC3\xA4");
    EXPECT_EQ(CountdownTip(std::string(127, 'a') + "\xC3\xA4%s", 3), std::string(127, 'a'));
    // A character outside the basic plane across the limit goes whole.
    EXPECT_EQ(CountdownTip(std::string(126, 'a') + "\xF0\x9F\x98\x80%s", 3), std::string(126, 'a'));
}

TEST(CaptureCountdown, DelayMenuEntriesInOrder) {
    EXPECT_EQ(DelayMenuIndex(0), 0);
    EXPECT_EQ(DelayMenuIndex(3), 1);
    EXPECT_EQ(DelayMenuIndex(5), 2);
    EXPECT_EQ(DelayMenuIndex(10), 3);
    EXPECT_EQ(DelayMenuIndex(4), -1);
}
