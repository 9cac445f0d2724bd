#include "settings/HotkeyHealth.h"

#include <algorithm>

#include "base/MessageText.h"
#include "settings/HotkeyNames.h"

namespace plenvue {

namespace {

std::string KeyName(int32_t modifier, int32_t key, const KeyWordText& words) {
    return LocalHotkeyName(modifier == 0 ? 8 : modifier, key, words);
}

// UTF-16 units of one UTF-8 sequence by its lead byte: four-byte sequences need a surrogate pair.
size_t UnitsOfLead(unsigned char lead) {
    if ((lead & 0xC0) == 0x80) return 0;
    return lead >= 0xF0 ? 2 : 1;
}

size_t Units(std::string_view text) {
    size_t n = 0;
    for (unsigned char c : text) n += UnitsOfLead(c);
    return n;
}

// The longest start of `text` within `maxUnits` units that ends at a character boundary.
std::string CutToUnits(std::string_view text, size_t maxUnits) {
    size_t units = 0, end = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t u = UnitsOfLead(static_cast<unsigned char>(text[i]));
        if (u == 0) continue;
        if (units + u > maxUnits) return std::string(text.substr(0, i));
        units += u;
        end = i + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    }
    return std::string(text.substr(0, end));
}

}  // namespace

std::string DefaultCaptureKindName(int index) {
    static const char* const names[kCaptureKinds] = {"Capture Full Screen", "Capture Region",
                                                     "Capture Active Window", "Capture Active Window Client",
                                                     "Capture Windows", "Repeat Last Capture"};
    return index >= 0 && index < kCaptureKinds ? names[index] : std::string();
}

std::vector<std::string> HotkeyInUseLines(std::string_view lineFormat, const std::vector<int>& failed,
                                          const CurrentSettings& settings,
                                          const std::array<std::string, kCaptureKinds>& kindNames,
                                          const KeyWordText& words) {
    std::vector<std::string> lines;
    for (int i : failed) {
        if (i < 0 || i >= kCaptureKinds) continue;
        const std::string kind = kindNames[i].empty() ? DefaultCaptureKindName(i) : kindNames[i];
        // The capture's name goes in last, so a "%k" in it stays as written.
        std::string line = ReplaceAll(lineFormat, "%k", KeyName(settings.HotkeyModifiers[i], settings.HotkeyKeys[i], words));
        lines.push_back(ReplaceAll(line, "%c", kind));
    }
    return lines;
}

std::string JoinWithin(const std::vector<std::string>& lines, std::string_view separator, size_t maxUnits) {
    static constexpr std::string_view kMore = "...";
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string next = i == 0 ? lines[i] : text + std::string(separator) + lines[i];
        // Room is kept for the mark of what is left out, unless this is the last line.
        const size_t room = i + 1 == lines.size() ? maxUnits : maxUnits - std::min(maxUnits, Units(separator) + kMore.size());
        if (Units(next) <= room) {
            text = std::move(next);
            continue;
        }
        if (i == 0) {
            // Without room for the mark, as much of the first line as fits.
            if (lines.size() == 1 || room == 0) return CutToUnits(lines[0], maxUnits);
            return CutToUnits(lines[0], room) + std::string(separator) + std::string(kMore);
        }
        return text + std::string(separator) + std::string(kMore);
    }
    return text;
}

std::string HotkeyText(std::string_view format, int32_t modifier, int32_t key, const KeyWordText& words) {
    return FormatMessageText(format, KeyName(modifier, key, words));
}

}  // namespace plenvue
