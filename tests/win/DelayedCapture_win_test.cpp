#include "shell/DelayedCapture_win.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plenvue;

namespace {

struct Recorder {
    std::vector<int32_t> counts;
    int ends = 0;
    std::vector<int> captures;
    void Wire(DelayedCapture& d) {
        d.ShowCount = [this](int32_t n) { counts.push_back(n); };
        d.EndCount = [this] { ++ends; };
        d.Capture = [this](int kind) { captures.push_back(kind); };
    }
};

class MessageWindow {
public:
    MessageWindow() { hwnd_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
    ~MessageWindow() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

}  // namespace

// The ticks are delivered by hand: what counts is what each second does, not how long it takes.
TEST(DelayedCapture, ShowsEachSecondThenCapturesTheRequestedKindOnce) {
    MessageWindow w;
    DelayedCapture d;
    Recorder r;
    r.Wire(d);
    d.Attach(w.get(), 77);
    EXPECT_EQ(d.Request(3, 2), DelayRequest::Started);
    EXPECT_TRUE(d.Running());
    EXPECT_FALSE(d.OnTimer(78));  // another timer of the window
    EXPECT_TRUE(d.OnTimer(77));
    EXPECT_TRUE(r.captures.empty());
    EXPECT_TRUE(d.OnTimer(77));
    EXPECT_EQ(r.counts, (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(r.ends, 1);
    EXPECT_EQ(r.captures, (std::vector<int>{3}));
    EXPECT_FALSE(d.Running());
    EXPECT_FALSE(d.OnTimer(77));  // a tick already queued when the count ended
    EXPECT_EQ(r.captures.size(), 1u);
}

TEST(DelayedCapture, SameKindCancelsAndNoDelayIsLeftToTheCaller) {
    MessageWindow w;
    DelayedCapture d;
    Recorder r;
    r.Wire(d);
    d.Attach(w.get(), 5);
    EXPECT_EQ(d.Request(0, 0), DelayRequest::CaptureNow);
    EXPECT_TRUE(r.counts.empty());
    ASSERT_EQ(d.Request(0, 10), DelayRequest::Started);
    EXPECT_EQ(d.Request(2, 10), DelayRequest::Ignored);
    EXPECT_EQ(d.Request(0, 10), DelayRequest::Cancelled);
    EXPECT_EQ(r.ends, 1);
    EXPECT_FALSE(d.OnTimer(5));
    EXPECT_TRUE(r.captures.empty());
    ASSERT_EQ(d.Request(1, 3), DelayRequest::Started);
    d.Stop();
    EXPECT_EQ(r.ends, 2);
    EXPECT_FALSE(d.Running());
}
