// The count before a delayed capture: which capture waits, how many seconds are left, what a
// second request during the count does, and the notification icon's tip while it runs.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace plenvue {

// The notification icon's tip (the record from the second shell version on): 128 UTF-16 units with
// the terminating NUL.
inline constexpr size_t kNotifyTipUnits = 127;

enum class DelayRequest {
    CaptureNow,  // no delay: capture at once
    Started,     // the count has started; capture when it ends
    Cancelled,   // the same kind again during the count: the count is dropped, no capture
    Ignored,     // another kind during the count: it neither starts nor ends the count
};

class CaptureCountdown {
public:
    // A capture of `kind` asked for with the window hidden and a delay of `seconds`.
    DelayRequest Request(int kind, int32_t seconds);
    // One second has passed. True when the count has just reached 0: capture Kind() now.
    bool Tick();
    void Cancel() { remaining_ = 0; }

    bool Running() const { return remaining_ > 0; }
    int32_t Remaining() const { return remaining_; }
    int Kind() const { return kind_; }

private:
    int kind_ = -1;
    int32_t remaining_ = 0;
};

// The tip during the count: `format` with every "%s" replaced by the remaining seconds (the number
// added after a blank when the text has no "%s"), cut to the tip field between characters.
std::string CountdownTip(std::string_view format, int32_t remaining);

// The Tools menu's delay entries in order: no delay, 3, 5 and 10 seconds; -1 for another delay.
int DelayMenuIndex(int32_t seconds);

}  // namespace plenvue
