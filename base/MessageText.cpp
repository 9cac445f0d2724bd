// Placeholder and line-break replacement in message texts.
#include "base/MessageText.h"

namespace plenvue {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    for (;;) {
        size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(text, pos, hit - pos);
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text, pos);
    return out;
}

std::string ReplacePlaceholder(std::string_view text, std::string_view value) {
    return ReplaceAll(text, "%s", value);
}

std::string ExpandLineBreaks(std::string_view text) { return ReplaceAll(text, "\\n", "\r\n"); }

std::string FormatMessageText(std::string_view message, std::string_view value) {
    return ReplacePlaceholder(ExpandLineBreaks(message), value);
}

std::string TrimLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace plenvue
