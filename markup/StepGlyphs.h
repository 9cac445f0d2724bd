// The built-in stroke font of step badges: digits, A-Z and "-", drawn as round-ended strokes so
// the labels need no system font and come out the same on every build.
#pragma once
#include <string_view>

#include "markup/Coverage.h"

namespace plenvue::markup::raster {

// Adds the label's strokes to the path, centred on (cx, cy) and sized for a badge of the given
// diameter: about half its height, narrowed so several characters fit. Other characters are
// left out.
void AddStepLabel(Path& path, std::string_view text, double cx, double cy, double diameter);

}  // namespace plenvue::markup::raster
