// Draws mark-up objects onto a picture: antialiased shapes, step badges, burnt-in redactions, and
// the hit test the editor selects with. Everything is integer or plain IEEE arithmetic, so the
// same object gives the same bytes on every build.
#pragma once
#include "markup/MarkupObject.h"

namespace plenvue::markup {

// Every pixel DrawShape may change for the object, before clipping (empty for Text and Redact,
// and for geometry that draws nothing).
PixelRect ShapeBounds(const MarkupObject& o);

// Draws a Rect, Ellipse, Line, Arrow, Pen, Highlight or Step onto the view, touching only pixels
// inside both the view and `clip` (clip defaults to the whole view). Text and Redact draw nothing
// here. A width of zero or less draws no outline or line (fills and badges still draw); NaN or
// infinite geometry, or coordinates beyond a billion pixels, draw nothing.
void DrawShape(const PixelView& view, const MarkupObject& o, const PixelRect* clip = nullptr);

// Burns a redaction into the view: RedactionRect(o) clipped to the view. Solid: opaque o.fill.
// Mosaic: square cells of o.cell pixels (2..64) from the rect's top-left, coloured only from the
// ring of pixels just outside the rect and o.seed, never from what it covers.
void DrawRedaction(const PixelView& view, const MarkupObject& o);

// Whether picture point (px, py) hits the object's drawn shape within `tolerance` pixels: boxes
// with a fill (and steps, texts, redactions) inside, outlines near the line.
bool HitTest(const MarkupObject& o, double px, double py, double tolerance);

}  // namespace plenvue::markup
