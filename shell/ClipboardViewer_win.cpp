#include "shell/ClipboardViewer_win.h"

namespace plenvue {

void ClipboardViewer::Join(HWND viewer) {
    if (viewer_) return;
    viewer_ = viewer;
    next_ = nullptr;
    HWND next = SetClipboardViewer(viewer);
    next_ = next;
}

void ClipboardViewer::Leave() {
    if (!viewer_) return;
    ChangeClipboardChain(viewer_, next_);
    viewer_ = nullptr;
    next_ = nullptr;
}

bool ClipboardViewer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::function<void()>& onDraw) {
    if (message == WM_DRAWCLIPBOARD) {
        onDraw();
        if (next_) SendMessageW(next_, message, wParam, lParam);
        return true;
    }
    if (message == WM_CHANGECBCHAIN) {
        if (reinterpret_cast<HWND>(wParam) == next_) next_ = reinterpret_cast<HWND>(lParam);
        else if (next_) SendMessageW(next_, message, wParam, lParam);
        return true;
    }
    return false;
}

}  // namespace plenvue
