// Plenvue.exe's command line (/capture MODE, /edit FILE, /tray or nothing) and the record a second
// start hands to the running instance, decided without a window.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvue {

enum class StartAction { Show, Tray, Capture, Edit };

struct StartRequest {
    StartAction Action = StartAction::Show;
    int CaptureIndex = 0;  // Capture: the capture command's index (0 full screen ... 5 repeat)
    std::string File;      // Edit
    bool operator==(const StartRequest&) const = default;
};

// The capture index of a /capture mode: screen 0, region 1, active 2, client 3, pick 4, repeat 5
// (any case); nothing for another word.
std::optional<int> StartCaptureIndex(std::string_view mode);

// The arguments after the program's name. The first switch decides (any case, "/" or "-"); an
// unknown switch or one without its argument is a plain start that shows the window.
StartRequest ParseStartSwitches(const std::vector<std::string>& args);

// True for the installer's call before it removes the program ("/uninstall" alone, any case, "/"
// or "-"): the program then only cleans up (UninstallCleanup_win.h) and ends. Never handed over.
bool IsUninstallCleanup(const std::vector<std::string>& args);

// The copy-data tag of a handed-over command line, and the largest record taken.
inline constexpr uint32_t kHandOverTag = 0x31565050;  // "PPV1"
inline constexpr size_t kHandOverLimit = 64 * 1024;

// The arguments as one record: each UTF-8 argument followed by a zero byte.
std::string EncodeHandOver(const std::vector<std::string>& args);
// The arguments of a record from another process; nothing when it is larger than the limit, does
// not end in a zero byte or holds text that is not UTF-8.
std::optional<std::vector<std::string>> DecodeHandOver(const void* data, size_t size);

}  // namespace plenvue
