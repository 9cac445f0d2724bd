// Small pieces the Windows tests share.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <string>

#include "base/win/Handles_win.h"
#include "image/Picture_win.h"

namespace plenvue::test {

// OLE for the life of a test (picture loading and saving go through it).
class ComInit {
public:
    ComInit() { OleInitialize(nullptr); }
    ~ComInit() { OleUninitialize(); }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
};

// A 24-bit picture of the given size filled with one colour.
inline Picture SolidPicture(int w, int h, COLORREF colour) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r{0, 0, w, h};
    HBRUSH b = CreateSolidBrush(colour);
    FillRect(mem, &r, b);
    DeleteObject(b);
    SelectObject(mem, old);
    DeleteDC(mem);
    return Picture::FromBitmap(bmp, nullptr);
}

// One pixel of a picture's bitmap.
inline COLORREF PixelAt(const Picture& p, int x, int y) {
    MemoryDC dc(CreateCompatibleDC(nullptr));
    SelectedObject chosen(dc.get(), p.Bitmap());
    return GetPixel(dc.get(), x, y);
}

// Tests that start the main window begin with an empty clipboard so that earlier tests cannot leak
// into them (Paste, or the monitor once a test switches it on).
inline void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

// A w x h device bitmap on the clipboard, owned by `owner` (as a program's copy puts it there).
inline bool PutBitmapOnClipboard(HWND owner, int w, int h) {
    HBITMAP bitmap = CreateCompatibleBitmap(WindowDC::Client(nullptr).get(), w, h);
    if (!bitmap || !OpenClipboard(owner)) return false;
    EmptyClipboard();
    const bool put = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
    CloseClipboard();
    return put;
}

// Closes the next message box of this process from a helper thread and keeps its caption and text
// (any caption, so that a box under a wrong caption fails a test instead of blocking it).
class MessageBoxCloser {
public:
    MessageBoxCloser() { thread_ = CreateThread(nullptr, 0, &Run, this, 0, nullptr); }
    ~MessageBoxCloser() { Wait(); }
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;
    // The box's text, once it has been closed.
    std::string Wait() {
        if (thread_) {
            WaitForSingleObject(thread_, 10000);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return text_;
    }
    std::string Caption() {
        Wait();
        return caption_;
    }

private:
    static BOOL CALLBACK FindBox(HWND w, LPARAM found) {
        char cls[16] = {};
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        GetClassNameA(w, cls, sizeof cls);
        if (pid != GetCurrentProcessId() || lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
        *reinterpret_cast<HWND*>(found) = w;
        return FALSE;
    }
    static BOOL CALLBACK FindText(HWND child, LPARAM self) {
        char cls[32] = {}, text[512] = {};
        GetClassNameA(child, cls, sizeof cls);
        GetWindowTextA(child, text, sizeof text);
        if (lstrcmpiA(cls, "Static") == 0 && text[0]) reinterpret_cast<MessageBoxCloser*>(self)->text_ = text;
        return TRUE;
    }
    static DWORD WINAPI Run(void* p) {
        auto* self = static_cast<MessageBoxCloser*>(p);
        for (int i = 0; i < 400; ++i) {
            HWND box = nullptr;
            EnumWindows(&FindBox, reinterpret_cast<LPARAM>(&box));
            if (box) {
                char caption[128] = {};
                GetWindowTextA(box, caption, sizeof caption);
                self->caption_ = caption;
                EnumChildWindows(box, &FindText, reinterpret_cast<LPARAM>(self));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            Sleep(25);
        }
        return 0;
    }
    HANDLE thread_ = nullptr;
    std::string text_;
    std::string caption_;
};

}  // namespace plenvue::test
