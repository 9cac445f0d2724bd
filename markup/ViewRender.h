// Drawing the editor's canvas at its own resolution: the base pixels scaled to the zoom (each
// client pixel takes the picture pixel under its centre), then every object rasterised at the
// client's scale, so shapes stay crisp at any zoom. Only the clip is touched, so a drag redraws
// just its dirty rectangles.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "markup/MarkupDocument.h"
#include "markup/ZoomState.h"

namespace plenvue::markup {

// Draws the client rectangle `clip` of the view onto `client` (the window's client-sized
// picture): outside the picture it fills with `background` (blue, green, red); the document's
// objects are drawn with those of `overrides` in place of the ones of the same id, and
// `drawing` (the object being drawn, may be null) above them.
void RenderView(const MarkupDocument& doc, const ZoomState& zoom, const std::vector<Item>& overrides,
                const MarkupObject* drawing, const PixelView& client, const PixelRect& clip,
                const std::array<uint8_t, 3>& background);

}  // namespace plenvue::markup
