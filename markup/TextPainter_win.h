// Text objects laid out and drawn by GDI: antialiased glyphs (grey, not ClearType, so they look
// the same on any background), lines broken at "\n", an optional background box and outline.
#pragma once
#include "markup/MarkupDocument.h"

namespace plenvue::markup {

class GdiTextPainter : public TextPainter {
public:
    void Measure(const MarkupObject& text, double& w, double& h) override;
    void Draw(const PixelView& view, const MarkupObject& text, const PixelRect& clip) override;
};

// The padding between a text's box and its letters, in pixels.
int32_t TextPadding(const MarkupObject& text);

}  // namespace plenvue::markup
