// Text objects laid out and drawn by GDI: antialiased glyphs (grey, not ClearType, so they look
// the same on any background), lines broken at "\n", an optional background box and outline.
#pragma once
#include "base/win/Handles_win.h"
#include "markup/MarkupDocument.h"

namespace plenvue::markup {

class GdiTextPainter : public TextPainter {
public:
    void Measure(const MarkupObject& text, double& w, double& h) override;
    void Draw(const PixelView& view, const MarkupObject& text, const PixelRect& clip) override;
};

// The font a text object is drawn in, its size times `scale` (the in-place box shows it at the
// zoom), at least `minimum` pixels high.
UniqueFont TextFont(const MarkupObject& text, double scale = 1, int32_t minimum = 1);

// The padding between a text's box and its letters, in pixels.
int32_t TextPadding(const MarkupObject& text);

}  // namespace plenvue::markup
