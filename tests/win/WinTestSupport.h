// Small pieces the Windows tests share.
#pragma once
#include <windows.h>
#include <ole2.h>

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

// The main window takes a bitmap it finds on the clipboard at start (the monitor is on by default);
// tests that start one begin with an empty clipboard so that earlier tests cannot leak into them.
inline void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

}  // namespace plenvue::test
