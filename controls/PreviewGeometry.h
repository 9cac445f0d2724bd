// Geometry of the two drawn controls: the edge lines of a Light3D panel, the image and caption
// areas of a Preview item (its resize rule works in twips), and the size of a history thumbnail.
#pragma once
#include <array>
#include <cstdint>

namespace plenvue {

struct TwipRect {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const TwipRect&) const = default;
};

// One edge line, both end points included.
struct EdgeLine {
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool operator==(const EdgeLine&) const = default;
};

// Top, left, bottom, right; the right and bottom lines stand at width - 1 and height - 1.
std::array<EdgeLine, 4> Light3DEdges(int32_t width, int32_t height);

struct PreviewParts {
    TwipRect Image;
    TwipRect Label;
};

// The resize rule of a Preview item, all in twips. Wider than 300: the image goes to 150, 150 and the
// label to the bottom (10 above the edge), both 300 narrower than the control; then, taller than the
// label + 450: the image ends 300 above the label's top. A narrower or lower control keeps what the
// rule does not touch.
PreviewParts PreviewResize(int32_t width, int32_t height, PreviewParts current);

struct PixelSize {
    int32_t Width = 0, Height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The picture scaled into the box with its proportions kept, never enlarged, at least 1 by 1;
// 0 by 0 for an empty picture or box.
PixelSize FitInto(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);

}  // namespace plenvue
