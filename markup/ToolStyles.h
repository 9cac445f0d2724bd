// The editor's remembered choices as text for REG_SZ values: each drawing tool's style and the
// recent colours. Only the text rules live here; the Win32 side reads and writes the values.
//
// A style is "key=value;" pairs: stroke, fill (#rrggbb, #rrggbbaa or none), width, font, size,
// bold (0 or 1) and redact (solid or mosaic). Reading is forgiving field by field, because the
// value may have been written by another version or edited by hand.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "markup/EditorController.h"
#include "markup/MarkupObject.h"

namespace plenvue::markup {

inline constexpr size_t kMaxRecentColours = 8;
inline constexpr double kMaxStyleWidth = 100;
inline constexpr double kMaxStyleSize = 400;
inline constexpr size_t kMaxStyleFontChars = 64;  // code points

// "Draw Style Rectangle", ... ; "" for Select and Crop, which have no style.
std::string ToolStyleValueName(Tool tool);

// The user's choices of the style: colours, width, font, size, bold and redaction style.
std::string FormatToolStyle(const MarkupObject& style);

// DefaultObject of the tool's type with each stored field that is well formed and in range
// applied; a later copy of a field replaces an earlier one only when it is good. Select and Crop
// have no style and get DefaultObject(Rect), as the editor starts them. Never throws; geometry,
// text and every field not listed above keep their defaults.
MarkupObject ParseToolStyle(Tool tool, std::string_view text);

// Recent colours are opaque "#rrggbb" entries, comma separated, newest first. Reading and writing
// skip malformed or invisible entries and repeats, and keep at most kMaxRecentColours.
std::vector<Rgba> ParseRecentColours(std::string_view text);
std::string FormatRecentColours(const std::vector<Rgba>& colours);
// Puts the colour (made opaque) first, dropping an earlier copy and anything past the limit.
// An invisible colour ("none") is not a colour to offer again and leaves the list as it is.
void PushRecentColour(std::vector<Rgba>& colours, Rgba colour);

}  // namespace plenvue::markup
