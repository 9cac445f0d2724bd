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
        if (next_) SendMessageA(next_, message, wParam, lParam);
        return true;
    }
    if (message == WM_CHANGECBCHAIN) {
        if (reinterpret_cast<HWND>(wParam) == next_) next_ = reinterpret_cast<HWND>(lParam);
        else if (next_) SendMessageA(next_, message, wParam, lParam);
        return true;
    }
    return false;
}

Picture ClipboardViewer::TakeBitmap(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_BITMAP) || !OpenClipboard(owner)) return {};
    HBITMAP copy = nullptr;
    // The clipboard keeps its own bitmap; the picture gets a copy it may delete.
    if (HANDLE shared = GetClipboardData(CF_BITMAP))
        copy = static_cast<HBITMAP>(CopyImage(shared, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    CloseClipboard();
    if (!copy) return {};
    return Picture::FromBitmap(copy, nullptr);
}

}  // namespace plenvue
