// The canvas's zoom and scroll arithmetic: scale steps, fitting, zooming about a point and the
// mapping between picture and client pixels. Plain IEEE arithmetic only, so every build agrees.
#include "markup/ZoomState.h"

#include <algorithm>
#include <cmath>

namespace plenvue::markup {

namespace {

constexpr double kIntLimit = 1e9;  // far beyond any client, still inside int32

int32_t FloorTo32(double v) {
    if (!(v > -kIntLimit)) return static_cast<int32_t>(-kIntLimit);
    if (v > kIntLimit) return static_cast<int32_t>(kIntLimit);
    return static_cast<int32_t>(std::floor(v));
}

int32_t CeilTo32(double v) {
    if (!(v > -kIntLimit)) return static_cast<int32_t>(-kIntLimit);
    if (v > kIntLimit) return static_cast<int32_t>(kIntLimit);
    return static_cast<int32_t>(std::ceil(v));
}

int32_t RoundTo32(double v) { return FloorTo32(v + 0.5); }

double ClampScale(double s) { return std::clamp(s, ZoomState::kMinScale, ZoomState::kMaxScale); }

}  // namespace

const std::vector<double>& ZoomState::Steps() {
    static const std::vector<double> steps = {0.10, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 1.0, 1.5,
                                              2.0,  3.0,  4.0,     6.0, 8.0,     12.0, 16.0};
    return steps;
}

double ZoomState::FitScale(int32_t pw, int32_t ph, int32_t cw, int32_t ch) {
    if (pw <= 0 || ph <= 0 || cw <= 0 || ch <= 0) return 1;
    double s = std::min({1.0, static_cast<double>(cw) / pw, static_cast<double>(ch) / ph});
    // The division may round up by an ulp, and the content is rounded up to whole pixels.
    while (s > kMinScale && (std::ceil(pw * s) > cw || std::ceil(ph * s) > ch)) s = std::nextafter(s, 0.0);
    return ClampScale(s);
}

int32_t ZoomState::Percent() const { return static_cast<int32_t>(std::nearbyint(scale_ * 100)); }

void ZoomState::SetSizes(int32_t pictureW, int32_t pictureH, int32_t clientW, int32_t clientH) {
    pictureW_ = std::max(pictureW, 0);
    pictureH_ = std::max(pictureH, 0);
    clientW_ = std::max(clientW, 0);
    clientH_ = std::max(clientH, 0);
    Clamp();
}

void ZoomState::ResetForPicture(int32_t pictureW, int32_t pictureH, int32_t clientW, int32_t clientH) {
    SetSizes(pictureW, pictureH, clientW, clientH);
    scale_ = FitScale(pictureW_, pictureH_, clientW_, clientH_);
    scrollX_ = scrollY_ = 0;
}

void ZoomState::ZoomAbout(double scale, double cx, double cy) {
    if (!std::isfinite(scale) || !std::isfinite(cx) || !std::isfinite(cy)) return;
    const Point p = ToPicture(cx, cy);
    scale_ = ClampScale(scale);
    scrollX_ = RoundTo32(p.x * scale_ - cx);
    scrollY_ = RoundTo32(p.y * scale_ - cy);
    Clamp();
}

void ZoomState::StepAbout(bool in, double cx, double cy) {
    const std::vector<double>& steps = Steps();
    // A scale between steps (after fitting) goes to the neighbouring step, not past it.
    double next = scale_;
    if (in) {
        for (double s : steps)
            if (s > scale_ * (1 + 1e-9)) {
                next = s;
                break;
            }
    } else {
        for (auto it = steps.rbegin(); it != steps.rend(); ++it)
            if (*it < scale_ * (1 - 1e-9)) {
                next = *it;
                break;
            }
    }
    ZoomAbout(next, cx, cy);
}

void ZoomState::Fit() {
    scale_ = FitScale(pictureW_, pictureH_, clientW_, clientH_);
    scrollX_ = scrollY_ = 0;
    Clamp();
}

void ZoomState::Actual() { ZoomAbout(1.0, clientW_ / 2.0, clientH_ / 2.0); }

int32_t ZoomState::ContentW() const { return CeilTo32(pictureW_ * scale_); }
int32_t ZoomState::ContentH() const { return CeilTo32(pictureH_ * scale_); }
int32_t ZoomState::MaxScrollX() const { return std::max(ContentW() - clientW_, 0); }
int32_t ZoomState::MaxScrollY() const { return std::max(ContentH() - clientH_, 0); }

void ZoomState::ScrollTo(int32_t x, int32_t y) {
    scrollX_ = x;
    scrollY_ = y;
    Clamp();
}

void ZoomState::Clamp() {
    scrollX_ = std::clamp(scrollX_, 0, MaxScrollX());
    scrollY_ = std::clamp(scrollY_, 0, MaxScrollY());
}

Point ZoomState::ToPicture(double cx, double cy) const { return {(cx + scrollX_) / scale_, (cy + scrollY_) / scale_}; }

Point ZoomState::ToClient(double px, double py) const { return {px * scale_ - scrollX_, py * scale_ - scrollY_}; }

PixelRect ZoomState::ClientRectOf(const PixelRect& r) const {
    if (r.Empty()) return {};
    return {FloorTo32(r.left * scale_ - scrollX_), FloorTo32(r.top * scale_ - scrollY_),
            CeilTo32(r.right * scale_ - scrollX_), CeilTo32(r.bottom * scale_ - scrollY_)};
}

PixelRect ZoomState::PictureRectOf(const PixelRect& c) const {
    if (c.Empty()) return {};
    return {FloorTo32((c.left + static_cast<double>(scrollX_)) / scale_),
            FloorTo32((c.top + static_cast<double>(scrollY_)) / scale_),
            CeilTo32((c.right + static_cast<double>(scrollX_)) / scale_),
            CeilTo32((c.bottom + static_cast<double>(scrollY_)) / scale_)};
}

MarkupObject ToClientObject(const MarkupObject& o, const ZoomState& zoom) {
    const double s = zoom.Scale(), sx = zoom.ScrollX(), sy = zoom.ScrollY();
    MarkupObject c = o;
    c.x = o.x * s - sx;
    c.y = o.y * s - sy;
    c.w = o.w * s;
    c.h = o.h * s;
    c.x1 = o.x1 * s - sx;
    c.y1 = o.y1 * s - sy;
    c.x2 = o.x2 * s - sx;
    c.y2 = o.y2 * s - sy;
    for (Point& p : c.points) p = {p.x * s - sx, p.y * s - sy};
    c.width = o.width * s;
    c.radius = o.radius * s;
    c.head = o.head * s;
    c.size = o.size * s;
    c.cell = std::clamp(RoundTo32(o.cell * s), 1, 1 << 20);
    return c;
}

}  // namespace plenvue::markup
