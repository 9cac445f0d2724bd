// The editor's tool icons, drawn by the mark-up rasteriser at the size the bars need, so they stay
// crisp at every DPI without a bitmap per size.
#pragma once
#include "markup/EditorController.h"
#include "markup/MarkupObject.h"

namespace plenvue::markup {

// Draws the tool's icon in `ink` over what the view holds (the caller fills the background). The
// icon takes the largest square centred in the view; its lines are about a twelfth of that square
// wide, at least a pixel, and it keeps off the square's outermost pixels.
void DrawToolIcon(Tool tool, const PixelView& view, Rgba ink);

}  // namespace plenvue::markup
