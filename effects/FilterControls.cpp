#include "effects/FilterControls.h"

#include "effects/modHLSRGB.h"

namespace plenvue {

FilterControlLayout LayoutForFilterType(int32_t type) {
    FilterControlLayout l;
    switch (type) {
    case eFilterColourGlasses:
        l.hueBar = true;
        break;
    case eFilterNoise:
        l.amount = l.noiseOptions = true;
        l.maximum = 99;
        l.maxLength = 2;
        l.initialText = "0";
        l.trackLeft = 105;
        l.trackWidth = 135;
        break;
    case eFilterFade:
        l.amount = true;
        l.maximum = 255;
        l.maxLength = 3;
        l.initialText = "255";
        l.trackWidth = 240;
        break;
    case eFilterLighten:
        l.amount = true;
        l.maximum = 99;
        l.maxLength = 2;
        l.initialText = "0";
        l.trackWidth = 240;
        break;
    default:
        break;
    }
    return l;
}

std::optional<AmountValue> AmountFromText(std::string_view text, int32_t maximum) {
    if (text.empty()) return std::nullopt;
    AmountValue a;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > maximum) a.clamped = true;  // stop growing: long digit runs cannot overflow
        if (a.clamped) v = maximum;
    }
    a.value = static_cast<int32_t>(v);
    return a;
}

uint32_t HueColour(float hue) {
    int32_t r, g, b;
    HLSToRGB(hue, 1.0f, 0.5f, r, g, b);
    return static_cast<uint32_t>(r) | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b) << 16;
}

uint32_t HueBarColour(int32_t column) { return HueColour(HueOfColumn(column)); }

}  // namespace plenvue
