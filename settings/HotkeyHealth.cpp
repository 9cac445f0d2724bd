#include "settings/HotkeyHealth.h"

#include <algorithm>

#include "base/MessageText.h"
#include "base/Utf.h"
#include "settings/HotkeyNames.h"

namespace plenvue {

namespace {

std::string KeyName(int32_t modifier, int32_t key, const KeyWordText& words) {
    return LocalHotkeyName(modifier == 0 ? 8 : modifier, key, words);
}

// UTF-16 units of a display text, counted as the system will show it.
size_t Units(std::string_view text) { return Utf8ToUtf16Lossy(text).size(); }

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
            if (lines.size() == 1 || room == 0) return CutToUtf16Units(lines[0], maxUnits);
            return CutToUtf16Units(lines[0], room) + std::string(separator) + std::string(kMore);
        }
        return text + std::string(separator) + std::string(kMore);
    }
    return text;
}

std::string HotkeyText(std::string_view format, int32_t modifier, int32_t key, const KeyWordText& words) {
    return FormatMessageText(format, KeyName(modifier, key, words));
}

}  // namespace plenvue
