// Texts the main window builds from its state: caption, capture status, capture menu captions,
// toolbar tips; and the capture index of each capture source.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plenvue {

// "Korvane Plenvue--C:\a.bmp"; "Korvane Plenvue--NewFile" for an empty path.
std::string MainWindowCaption(std::string_view title, std::string_view currentFile);

// Message 10015 followed directly by width "*" height: "Capture Image Success1024*768".
std::string CaptureStatusText(std::string_view message, int32_t width, int32_t height);

// A status-bar part holds at most 127 UTF-16 units (a longer text shows nothing at all): a longer
// text is cut to fit, never inside a character, and ends in an ellipsis.
inline constexpr size_t kStatusTextUnits = 127;
std::string StatusBarText(std::string_view text, size_t units = kStatusTextUnits);

// A capture menu caption: the capture caption, a tab and the hot key name (shown as shortcut text).
std::string CaptureMenuCaption(std::string_view caption, std::string_view hotkeyName);

struct ToolbarTipText {
    std::string Tip;
    std::optional<std::string> Status;  // set when the item holds "|": the text after the first "|"
};
// Language item kToolbarTipItemBase + button: "tip|status text", or the tip alone.
inline constexpr int kToolbarTipItemBase = 1600;
ToolbarTipText SplitToolbarTip(std::string_view item);

// Capture index (0..5) of each capture source, or nullopt when the number is not one of them.
std::optional<int> CaptureIndexFromToolbarCommand(int32_t command);  // commands 6..11
std::optional<int> CaptureIndexFromSystemCommand(int32_t command);   // entries 1861..1866
std::optional<int> CaptureIndexFromHotkeyId(int32_t id);             // ids 45057..45062

}  // namespace plenvue
