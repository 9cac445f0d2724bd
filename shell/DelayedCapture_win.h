// The count before a delayed capture on the main window: a one-second timer, the remaining seconds
// shown through a callback (notification icon tip and status bar), and the capture when it ends.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/win/Handles_win.h"
#include "shell/CaptureDelay.h"

namespace plenvue {

class DelayedCapture {
public:
    // The remaining seconds as text to show; called at the start and after every second.
    std::function<void(int32_t remaining)> ShowCount;
    // The count is over, by capture or cancel: put the normal tip back.
    std::function<void()> EndCount;
    // The count has reached 0: capture this kind now.
    std::function<void(int kind)> Capture;

    void Attach(HWND window, UINT_PTR timerId) {
        window_ = window;
        timerId_ = timerId;
    }
    // A capture of `kind` asked for with the window already hidden. CaptureNow is for the caller to
    // do; the count runs and captures by itself after Started.
    DelayRequest Request(int kind, int32_t seconds);
    // WM_TIMER; true when the timer was this one.
    bool OnTimer(UINT_PTR id);
    bool Running() const { return countdown_.Running(); }
    void Stop();

private:
    HWND window_ = nullptr;
    UINT_PTR timerId_ = 0;
    CaptureCountdown countdown_;
    WindowTimer timer_;
};

}  // namespace plenvue
