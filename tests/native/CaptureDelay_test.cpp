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
    std::string tip = CountdownTip(std::string(80, 'x') + "%s", 5);
    EXPECT_EQ(tip.size(), kNotifyTipChars);
}

TEST(CaptureCountdown, DelayMenuEntriesInOrder) {
    EXPECT_EQ(DelayMenuIndex(0), 0);
    EXPECT_EQ(DelayMenuIndex(3), 1);
    EXPECT_EQ(DelayMenuIndex(5), 2);
    EXPECT_EQ(DelayMenuIndex(10), 3);
    EXPECT_EQ(DelayMenuIndex(4), -1);
}
