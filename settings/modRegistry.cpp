// Raw registry values to settings text and back.
#include "settings/modRegistry.h"

#include <algorithm>

namespace plenvue {

std::string RegValueText(const std::optional<RawRegValue>& value) {
    if (!value || value->Data.size() >= kRegReadLimit) return {};
    const std::vector<uint8_t>& d = value->Data;
    switch (value->Type) {
    case kRegSz:
    case kRegExpandSz: {
        auto end = std::find(d.begin(), d.end(), uint8_t{0});
        return std::string(d.begin(), end);
    }
    case kRegDword: {
        // A DWORD of any other size is malformed; reading it as empty lets the default apply.
        if (d.size() != 4) return {};
        uint32_t u = uint32_t{d[0]} | uint32_t{d[1]} << 8 | uint32_t{d[2]} << 16 | uint32_t{d[3]} << 24;
        return std::to_string(static_cast<int32_t>(u));
    }
    default:
        return {};
    }
}

std::string StoredText(std::string_view text) {
    if (text.empty()) return " ";
    return std::string(text);
}

}  // namespace plenvue
