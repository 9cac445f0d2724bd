// The Image menu's commands on the working picture. Each command is a step of the picture's
// mark-up history: it runs on the base pixels (under any objects) and Undo takes back the last step.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "image/clsDIBSection.h"
#include "image/Picture_win.h"
#include "markup/MarkupDocument.h"

namespace plenvue {

// Runs a long pass on a worker thread while this thread handles paint messages only, so the
// windows keep repainting (the canvas still shows the unchanged working picture) and nothing the
// user does can start another command meanwhile. The pass runs at full speed: listening to its
// progress events instead would make it run in column strips, measured two to three times slower
// for the filters and fade. A failure inside the pass is raised here.
void RunWhilePainting(const std::function<void()>& work);

// A 24-bit DIB of the picture; false (and an empty DIB) for an empty picture.
bool DibFromPicture(const Picture& picture, clsDIBSection& dib);
// A new screen-compatible picture holding the whole DIB; empty when the DIB is. The commands
// below raise error 7 "Out of memory" when a DIB or bitmap for a picture cannot be had.
Picture PictureFromDib(clsDIBSection& dib);

// The commands' results; an empty source gives an empty picture.
Picture FilteredPicture(const Picture& source, int32_t filterType);  // ProcessImage with a scratch DIB
Picture GrayScalePicture(const Picture& source);
Picture BlackAndWhitePicture(const Picture& source);
Picture NegativePicture(const Picture& source);  // inverted-source blit
// index 0 left-right, 1 top-bottom, 2 both: a blit with the width and/or height negated.
Picture MirroredPicture(const Picture& source, int32_t index);
// The effects dialog's operations on the whole picture: type 0 Colourise(hue, 0.5), 1 AddNoise,
// 2 Fade, 3 Lighten.
Picture DialogEffectPicture(const Picture& source, int32_t type, float hue, int32_t percentage, bool random);
// Reduces the colours through the bitmap writer at depth index 0..3 (1, 4, 8, 24 bits), writing
// into a fresh "~" temporary file of tempFolder that is deleted again whatever happens. Raises
// the writer's error when the file cannot be opened.
Picture ColourDepthPicture(const Picture& source, int32_t index, const std::string& tempFolder);

// The Image menu's state: the working picture (the flattened document) and the document with its
// history. An empty document with a working picture is started from that picture.
struct ImageMenuPictures {
    Picture& working;
    markup::MarkupDocument& doc;
};

// The flattened document as a new picture; empty for an empty document.
Picture FlattenedPicture(const markup::MarkupDocument& doc);

// Runs the Image menu command `id` (owner is the effects dialog's owner). False when `id` is not
// an Image menu command. Undo with nothing to undo, and a cancelled dialog, change nothing. The
// caller shows the working picture afterwards.
bool RunImageCommand(HWND owner, int id, ImageMenuPictures pictures);

// On the Image menu's opening: Filters, Mirror and Color Depth are enabled exactly when the
// canvas has a picture; Undo always. A popup that is not the Image menu is left alone.
void UpdateImageMenu(HMENU popup, bool hasPicture);

}  // namespace plenvue
