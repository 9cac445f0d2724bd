// Delayed capture timer.
#include "shell/DelayedCapture_win.h"

namespace plenvue {

DelayRequest DelayedCapture::Request(int kind, int32_t seconds) {
    DelayRequest r = countdown_.Request(kind, seconds);
    if (r == DelayRequest::Started) {
        timer_ = WindowTimer(window_, timerId_, 1000);
        if (ShowCount) ShowCount(countdown_.Remaining());
    } else if (r == DelayRequest::Cancelled) {
        timer_.reset();
        if (EndCount) EndCount();
    }
    return r;
}

bool DelayedCapture::OnTimer(UINT_PTR id) {
    if (id != timerId_ || !timer_) return false;
    if (!countdown_.Tick()) {
        if (countdown_.Running() && ShowCount) ShowCount(countdown_.Remaining());
        return true;
    }
    timer_.reset();
    if (EndCount) EndCount();
    if (Capture) Capture(countdown_.Kind());
    return true;
}

void DelayedCapture::Stop() {
    if (!countdown_.Running()) return;
    countdown_.Cancel();
    timer_.reset();
    if (EndCount) EndCount();
}

}  // namespace plenvue
