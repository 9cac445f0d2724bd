// Main window texts.
#include "shell/MainWindowText.h"

#include "base/Utf.h"
#include "settings/CurrentSettings.h"
#include "shell/MainMenu.h"

namespace plenvue {

namespace {
std::optional<int> IndexFrom(int32_t number, int32_t first) {
    if (number < first || number >= first + kCaptureKinds) return std::nullopt;
    return static_cast<int>(number - first);
}
}  // namespace

std::string MainWindowCaption(std::string_view title, std::string_view currentFile) {
    std::string s(title);
    s += "--";
    s += currentFile.empty() ? std::string_view("NewFile") : currentFile;
    return s;
}

std::string CaptureStatusText(std::string_view message, int32_t width, int32_t height) {
    return std::string(message) + std::to_string(width) + "*" + std::to_string(height);
}

std::string StatusBarText(std::string_view text, size_t units) {
    if (Utf8ToUtf16Lossy(text).size() <= units || units == 0) return CutToUtf16Units(text, units);
    return CutToUtf16Units(text, units - 1) + "\u2026";  // room for the ellipsis
}

std::string CaptureMenuCaption(std::string_view caption, std::string_view hotkeyName) {
    std::string s(caption);
    s += '\t';
    s += hotkeyName;
    return s;
}

ToolbarTipText SplitToolbarTip(std::string_view item) {
    ToolbarTipText t;
    size_t bar = item.find('|');
    if (bar == std::string_view::npos) {
        t.Tip = std::string(item);
    } else {
        t.Tip = std::string(item.substr(0, bar));
        t.Status = std::string(item.substr(bar + 1));
    }
    return t;
}

std::optional<int> CaptureIndexFromToolbarCommand(int32_t command) { return IndexFrom(command, kTbCaptureFirst); }
std::optional<int> CaptureIndexFromSystemCommand(int32_t command) { return IndexFrom(command, kSysCaptureFirst); }
std::optional<int> CaptureIndexFromHotkeyId(int32_t id) { return IndexFrom(id, kHotkeyIdBase); }

}  // namespace plenvue
