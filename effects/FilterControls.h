// What the effects dialog shows for each of its four effects, and the rules behind its controls
// that need no window: the amount box's text, the hue bar's columns and the click on it.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace plenvue {

// The dialog's own effect numbers (not the convolution filter types).
enum eFilterDialogType : int32_t {
    eFilterColourGlasses = 0,
    eFilterNoise = 1,
    eFilterFade = 2,
    eFilterLighten = 3,
};

struct FilterControlLayout {
    bool hueBar = false;        // hue bar, swatch and marker (colour glasses)
    bool amount = false;        // track bar, amount box and up-down
    bool noiseOptions = false;  // "Uniform" / "Random"
    int32_t maximum = 0;        // the amount runs 0 .. maximum
    int32_t maxLength = 0;      // characters the amount box takes
    const char* initialText = "";
    int32_t trackLeft = 0;      // track bar's left, from the anchor's left
    int32_t trackWidth = 0;
};

// The controls of a dialog type; an unknown type shows no value controls.
FilterControlLayout LayoutForFilterType(int32_t type);

// First language item of a dialog type's texts: caption, label +2, the two options +4 and +6.
inline int32_t FilterBaseResID(int32_t type) { return type * 10 + 6001; }

// The amount box's text read as an amount.
struct AmountValue {
    int32_t value = 0;     // held to 0 .. maximum
    bool clamped = false;  // the text said more than maximum
};
// Empty text, or text with anything but the digits 0-9, is no amount (the box then reads "0").
// Digits of any length are read without overflow: a value above maximum comes back as maximum.
std::optional<AmountValue> AmountFromText(std::string_view text, int32_t maximum);

// The hue bar: 241 one-pixel columns, hue -1 at the left to 5 at the right, 40 columns a sixth.
constexpr int32_t kHueBarColumns = 241;
inline float HueOfColumn(int32_t column) { return static_cast<float>((column - 40) / 40.0); }
// Column colour, HLSToRGB(hue, 1, 0.5), as 0x00BBGGRR.
uint32_t HueBarColour(int32_t column);
// The swatch colour of a hue, HLSToRGB(hue, 1, 0.5), as 0x00BBGGRR.
uint32_t HueColour(float hue);
// A mouse-down on the bar counts only for the left button inside 0..width, 0..height (inclusive).
inline bool HueBarClickCounts(bool leftButton, int32_t x, int32_t y, int32_t width, int32_t height) {
    return leftButton && x >= 0 && x <= width && y >= 0 && y <= height;
}

}  // namespace plenvue
