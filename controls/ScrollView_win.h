// A window that shows a picture larger than itself with standard scroll bars. The picture is
// drawn once into a persistent image; scrolling moves pixels already drawn and shifts the origin.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "base/win/Handles_win.h"
#include "image/Picture_win.h"

namespace plenvue {

class ScrollView {
public:
    // Window class of every scroll view.
    static constexpr const char* kClassName = "PlenvueCanvas";
    // The system window colour (0x80000005).
    static constexpr int32_t kDefaultBackColor = static_cast<int32_t>(0x80000005u);

    ScrollView() = default;
    ~ScrollView();
    ScrollView(const ScrollView&) = delete;
    ScrollView& operator=(const ScrollView&) = delete;

    bool Create(HWND parent, DWORD exStyle, int id);
    HWND hWnd() const { return hwnd_; }

    // Negative values are system colours (index in the low byte).
    int32_t BackColor() const { return backColor_; }
    void BackColor(int32_t colour);

    const Picture& GetPicture() const { return picture_; }
    // Stores the picture; in view mode 1 renders it and scrolls back to the origin.
    void SetPicture(const Picture& picture);

    int32_t ShowDisabledScrollbars() const { return showDisabled_; }
    void ShowDisabledScrollbars(int32_t flags);

    // 0 nothing, 1 the picture, 2 the child windows.
    int32_t View() const { return view_; }
    void View(int32_t mode);
    // Raised after every write of View with the new and the old mode.
    std::function<void(int32_t newMode, int32_t oldMode)> ViewChange;

    int32_t ContentWidth() const { return contentW_; }
    int32_t ContentHeight() const { return contentH_; }
    POINT Origin() const { return origin_; }

    // Scroll requests as the scroll messages carry them (SB_HORZ or SB_VERT).
    void Scroll(int bar, int32_t request, int32_t trackPos);

    // Destroy, size, show and the scroll messages, handed over by the window's subclassing.
    LRESULT ViewWindowMessage(WNDPROC old, HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    // The surface: painting from the persistent image and the Ctrl+key scrolling.
    template <class T>
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    template <class T>
    friend T* WindowObject(HWND, UINT, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void MeasureLineSteps();
    void Render();
    void UpdateScrollBars(bool reset);
    void Paint(HDC dc, const RECT& area);
    COLORREF FillColour() const;

    HWND hwnd_ = nullptr;
    Picture picture_;
    int32_t backColor_ = kDefaultBackColor;
    int32_t showDisabled_ = 0;
    int32_t view_ = 0;
    int32_t contentW_ = 0;
    int32_t contentH_ = 0;
    int32_t lineStepX_ = 8;
    int32_t lineStepY_ = 16;
    int32_t dpiX_ = 96;  // the screen's resolution, read when the window is created
    int32_t dpiY_ = 96;
    POINT origin_{0, 0};
    bool busy_ = false;
    bool shown_ = false;  // the scroll bars follow the content only once the window has been shown
    UniqueBrush brush_;
    // The persistent image: at least screen size, holding the whole rendered picture.
    UniqueBitmap image_;
    SIZE imageSize_{0, 0};
};

}  // namespace plenvue
