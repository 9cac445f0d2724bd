// Delayed capture rules.
#include "shell/CaptureDelay.h"

#include "base/MessageText.h"
#include "base/Utf.h"
#include "settings/CurrentSettings.h"

namespace plenvue {

DelayRequest CaptureCountdown::Request(int kind, int32_t seconds) {
    if (Running()) {
        if (kind != kind_) return DelayRequest::Ignored;
        Cancel();
        return DelayRequest::Cancelled;
    }
    if (seconds <= 0) return DelayRequest::CaptureNow;
    kind_ = kind;
    remaining_ = seconds;
    return DelayRequest::Started;
}

bool CaptureCountdown::Tick() {
    if (!Running()) return false;
    return --remaining_ == 0;
}

std::string CountdownTip(std::string_view format, int32_t remaining) {
    std::string number = std::to_string(remaining);
    const std::string tip = format.find("%s") == std::string_view::npos
                                ? std::string(format) + " " + number
                                : ReplaceAll(std::string(format), "%s", number);
    return CutToUtf16Units(tip, kNotifyTipUnits);
}

int DelayMenuIndex(int32_t seconds) {
    for (size_t i = 0; i < kCaptureDelays.size(); ++i)
        if (kCaptureDelays[i] == seconds) return static_cast<int>(i);
    return -1;
}

}  // namespace plenvue
