// Light3D: a panel with a three-dimensional edge, drawn by itself. Used as framed panels and, in
// the history strip, as the two scroll buttons.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "image/Picture_win.h"

namespace plenvue {

class Light3D {
public:
    static constexpr const char* kClassName = "PlenvueLight3D";

    Light3D() = default;
    ~Light3D();
    Light3D(const Light3D&) = delete;
    Light3D& operator=(const Light3D&) = delete;

    bool Create(HWND parent, int x, int y, int width, int height, DWORD style = WS_CHILD | WS_VISIBLE);
    HWND hWnd() const { return hwnd_; }

    // True: sunken (shadow at the top and left); false: raised.
    bool Style() const { return sunken_; }
    void Style(bool sunken);
    COLORREF BackColor() const { return back_; }
    void BackColor(COLORREF colour);
    COLORREF ForeColor() const { return fore_; }
    void ForeColor(COLORREF colour);
    bool Enabled() const;
    void Enabled(bool on);
    // 1 opaque (the background is filled), 0 transparent.
    int BackStyle() const { return backStyle_; }
    void BackStyle(int style);
    // Drawn unscaled at the top-left corner, over the background.
    const Picture& GetPicture() const { return picture_; }
    void SetPicture(const Picture& picture);
    // The font of text drawn on the surface (not owned); the default GUI font when null.
    HFONT Font() const { return font_; }
    void Font(HFONT font);
    // On: points set on the surface are kept and come back with every repaint.
    bool AutoRedraw() const { return autoRedraw_; }
    void AutoRedraw(bool on) { autoRedraw_ = on; }

    // Drawing on the surface: clear what was drawn, set one point in a colour.
    void Cls();
    void PSet(int x, int y, COLORREF colour);

    // Paints the whole surface: background, then Content, then the four edge lines.
    void Draw(HDC dc) const;

    std::function<void(int button, int x, int y)> MouseDown;
    std::function<void(int button, int x, int y)> MouseUp;
    std::function<void()> Click;
    std::function<void()> DblClick;
    std::function<void()> Resize;
    // Drawn over the background, inside the edges (a button's arrow, a panel's picture).
    std::function<void(HDC dc, const RECT& client)> Content;

private:
    template <class T>
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    template <class T>
    friend T* WindowObject(HWND, UINT, LPARAM) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnButton(UINT msg, int button, LPARAM lParam);

    HWND hwnd_ = nullptr;
    bool sunken_ = false;
    bool pressed_ = false;  // a click needs the release over the panel after a press on it
    COLORREF back_ = GetSysColor(COLOR_BTNFACE);
    COLORREF fore_ = GetSysColor(COLOR_BTNTEXT);
    int backStyle_ = 1;
    Picture picture_;
    HFONT font_ = nullptr;
    bool autoRedraw_ = false;
    struct Point {
        int X, Y;
        COLORREF Colour;
    };
    std::vector<Point> points_;
};

// Draws the four edge lines of a Light3D area of the given size.
void DrawLight3DEdges(HDC dc, int width, int height, bool sunken);

}  // namespace plenvue
