// The editor's zoom and scroll: how picture pixels map onto the canvas window's client area.
// Client point = picture point * scale - scroll; the picture's top-left sits at the client's
// top-left when nothing is scrolled (as the canvas has always shown it at 100 %).
#pragma once
#include <cstdint>
#include <vector>

#include "markup/MarkupObject.h"

namespace plenvue::markup {

class ZoomState {
public:
    static constexpr double kMinScale = 0.10;
    static constexpr double kMaxScale = 16.0;
    // The Ctrl+Plus / Ctrl+Minus steps, 10 % to 1600 %, 100 % and 200 % among them.
    static const std::vector<double>& Steps();
    // The largest scale at most 1 that shows a pw x ph picture whole in a cw x ch client
    // (fitting never enlarges); 1 for an empty picture or client.
    static double FitScale(int32_t pw, int32_t ph, int32_t cw, int32_t ch);

    double Scale() const { return scale_; }
    // The zoom as the status bar shows it: "200 %" (whole percent, rounded half to even).
    int32_t Percent() const;

    // Sets the picture and client sizes (client in pixels); keeps the scroll within range.
    void SetSizes(int32_t pictureW, int32_t pictureH, int32_t clientW, int32_t clientH);
    // A new picture: 100 %, or fitted when it is larger than the client; scrolled to the origin.
    void ResetForPicture(int32_t pictureW, int32_t pictureH, int32_t clientW, int32_t clientH);

    // Zooms to `scale` (clamped to the range) keeping the picture point under client point
    // (cx, cy) where it is on the screen, as far as the scroll range allows.
    void ZoomAbout(double scale, double cx, double cy);
    // The next step in or out from the current scale, about a client point.
    void StepAbout(bool in, double cx, double cy);
    void Fit();       // Ctrl+0
    void Actual();    // Ctrl+1: 100 % about the client's centre

    // Scroll offsets in client pixels, each 0..max; the content is picture * scale, rounded up.
    int32_t ScrollX() const { return scrollX_; }
    int32_t ScrollY() const { return scrollY_; }
    int32_t ContentW() const;
    int32_t ContentH() const;
    int32_t MaxScrollX() const;
    int32_t MaxScrollY() const;
    void ScrollTo(int32_t x, int32_t y);  // clamped

    // Mapping between client and picture coordinates.
    Point ToPicture(double cx, double cy) const;
    Point ToClient(double px, double py) const;
    // The client pixels that show picture rectangle r (rounded outward), and back.
    PixelRect ClientRectOf(const PixelRect& r) const;
    PixelRect PictureRectOf(const PixelRect& clientRect) const;

private:
    void Clamp();
    double scale_ = 1.0;
    int32_t pictureW_ = 0, pictureH_ = 0, clientW_ = 0, clientH_ = 0;
    int32_t scrollX_ = 0, scrollY_ = 0;
};

// An object as drawn on the client at this zoom: geometry and widths scaled, then scrolled, so
// the rasteriser draws it at the view's own resolution (crisp at any zoom).
MarkupObject ToClientObject(const MarkupObject& o, const ZoomState& zoom);

}  // namespace plenvue::markup
