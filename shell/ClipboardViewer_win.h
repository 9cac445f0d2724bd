// Membership of a window in the clipboard viewer chain: joined when the monitor is on, left when
// it is turned off or the owner goes; the chain's messages are passed on so it stays whole.
#pragma once
#include <windows.h>

#include <functional>


namespace plenvue {

class ClipboardViewer {
public:
    ClipboardViewer() = default;
    ~ClipboardViewer() { Leave(); }
    ClipboardViewer(const ClipboardViewer&) = delete;
    ClipboardViewer& operator=(const ClipboardViewer&) = delete;

    // The platform sends draw-clipboard from inside the join, so the viewer's messages must
    // already be handled. Joining twice would make the chain a loop: a second join does nothing.
    void Join(HWND viewer);
    void Leave();
    bool Joined() const { return viewer_ != nullptr; }

    // Draw-clipboard (onDraw runs, then the next viewer sees it) and change-chain; false for
    // every other message.
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::function<void()>& onDraw);

private:
    HWND viewer_ = nullptr;
    HWND next_ = nullptr;
};

}  // namespace plenvue
