// Drawn-control geometry.
#include "controls/PreviewGeometry.h"

#include "base/Arith.h"

namespace plenvue {

std::array<EdgeLine, 4> Light3DEdges(int32_t width, int32_t height) {
    int32_t r = CheckedSub(width, 1);
    int32_t b = CheckedSub(height, 1);
    return {EdgeLine{0, 0, r, 0}, EdgeLine{0, 0, 0, b}, EdgeLine{0, b, r, b}, EdgeLine{r, 0, r, b}};
}

PreviewParts PreviewResize(int32_t width, int32_t height, PreviewParts p) {
    if (width > 300) {
        int32_t inner = CheckedSub(width, 300);
        p.Image.Left = 150;
        p.Image.Top = 150;
        p.Image.Width = inner;
        p.Label.Left = 150;
        p.Label.Top = CheckedSub(CheckedSub(height, 10), p.Label.Height);
        p.Label.Width = inner;
    }
    if (height > CheckedAdd(p.Label.Height, 450)) p.Image.Height = CheckedSub(p.Label.Top, 300);
    return p;
}

PixelSize FitInto(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight) {
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
    if (width <= boxWidth && height <= boxHeight) return {width, height};
    // Compare the proportions in 64 bits: the products of two 32-bit sides do not fit in 32.
    int64_t w = width, h = height;
    if (w * boxHeight >= h * boxWidth) {
        double scaled = static_cast<double>(h) * boxWidth / static_cast<double>(w);
        int32_t fitted = RoundHalfEven(scaled);
        return {boxWidth, fitted < 1 ? 1 : fitted};
    }
    double scaled = static_cast<double>(w) * boxHeight / static_cast<double>(h);
    int32_t fitted = RoundHalfEven(scaled);
    return {fitted < 1 ? 1 : fitted, boxHeight};
}

}  // namespace plenvue
