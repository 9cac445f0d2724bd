#include "base/JsonText.h"

#include <cstdint>

#include "base/Utf.h"

namespace plenvue {

void AppendJsonString(std::string& out, std::string_view text) {
    std::string repaired;
    if (!IsValidUtf8(text)) {
        repaired = Utf16ToUtf8Lossy(Utf8ToUtf16Lossy(text));
        text = repaired;
    }
    static const char* kHex = "0123456789abcdef";
    out += '"';
    for (const char ch : text) {
        const auto c = static_cast<uint8_t>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

}  // namespace plenvue
