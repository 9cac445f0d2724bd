// The command-line capture's arguments, outcome, format and result record.
#include "shell/CaptureCommand.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "base/JsonText.h"
#include "base/MessageTable.h"
#include "settings/CurrentSettings.h"

namespace plenvue {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool WholeNumber(std::string_view text, int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && at == end;
}

// X,Y,W,H: four whole numbers, the size above zero and the far corner inside 32 bits.
bool ParseRegion(std::string_view text, ScreenRect& r) {
    int32_t v[4] = {};
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t comma = i < 3 ? text.find(',', start) : text.size();
        if (comma == std::string_view::npos) return false;
        if (!WholeNumber(text.substr(start, comma - start), v[i])) return false;
        start = comma + 1;
    }
    if (v[2] <= 0 || v[3] <= 0) return false;
    const int64_t right = int64_t{v[0]} + v[2], bottom = int64_t{v[1]} + v[3];
    if (right > INT32_MAX || bottom > INT32_MAX) return false;
    r = {v[0], v[1], static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    return true;
}

std::optional<SaveFormat> FormatOfName(std::string_view name) {
    const std::string n = Lower(name);
    if (n == "png") return SaveFormat::Png;
    if (n == "jpeg" || n == "jpg") return SaveFormat::Jpeg;
    if (n == "bmp") return SaveFormat::Bmp;
    return std::nullopt;
}

struct ParseFailure {
    CaptureUsageError error;
};

[[noreturn]] void Fail(int item, std::string detail = {}) { throw ParseFailure{{item, std::move(detail)}}; }

const char* const kValueOptions[] = {"--delay", "--out", "--format", "--quality", "--area", "--match"};
const char* const kFlags[] = {"--cursor", "--clipboard", "--json", "--client", "--help"};

bool Listed(const char* const* begin, const char* const* end, std::string_view name) {
    return std::any_of(begin, end, [&](const char* n) { return name == n; });
}

}  // namespace

CaptureParse ParseCaptureArguments(const std::vector<std::string>& args) {
    CaptureParse result;
    CaptureRequest request;
    try {
        std::vector<std::string> positional;
        std::vector<std::pair<std::string, std::string>> named;
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a == "--") {
                positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
                break;
            }
            if (a == "-h") {
                named.emplace_back("--help", "");
                continue;
            }
            if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
                positional.push_back(a);  // negative region coordinates and "-" among them
                continue;
            }
            const size_t eq = a.find('=');
            const std::string name = a.substr(0, eq);
            const bool takesValue = Listed(std::begin(kValueOptions), std::end(kValueOptions), name);
            if (!takesValue && !Listed(std::begin(kFlags), std::end(kFlags), name)) Fail(kMsgCliUnknownOption, name);
            if (eq != std::string::npos) {
                if (!takesValue) Fail(kMsgCliTakesNoValue, name);
                named.emplace_back(name, a.substr(eq + 1));
            } else if (takesValue) {
                if (i + 1 >= args.size()) Fail(kMsgCliNeedsValue, name);
                named.emplace_back(name, args[++i]);
            } else {
                named.emplace_back(name, "");
            }
        }
        for (const auto& [name, value] : named)
            if (name == "--help") {
                request.Help = true;
                result.Request = request;
                return result;
            }

        if (positional.empty()) Fail(kMsgCliNoMode);
        const std::string mode = Lower(positional[0]);
        size_t used = 1;
        auto argument = [&]() -> const std::string& {
            if (positional.size() < 2) Fail(kMsgCliModeNeedsArgument, mode);
            used = 2;
            return positional[1];
        };
        if (mode == "screen") {
            request.Mode = CaptureMode::Screen;
        } else if (mode == "monitor") {
            request.Mode = CaptureMode::Monitor;
            const std::string& n = argument();
            if (!WholeNumber(n, request.MonitorNumber) || request.MonitorNumber < 1) Fail(kMsgCliBadMonitor, n);
        } else if (mode == "window") {
            request.Mode = CaptureMode::Window;
            request.Title = argument();
        } else if (mode == "active") {
            request.Mode = CaptureMode::Active;
        } else if (mode == "region") {
            if (positional.size() >= 2) {
                request.Mode = CaptureMode::Region;
                const std::string& r = argument();
                if (!ParseRegion(r, request.Region)) Fail(kMsgCliBadRegion, r);
            } else {
                request.Mode = CaptureMode::RegionSelect;
            }
        } else if (mode == "pick") {
            request.Mode = CaptureMode::Pick;
        } else {
            Fail(kMsgCliUnknownMode, positional[0]);
        }
        if (positional.size() > used) Fail(kMsgCliExtraArgument, positional[used]);

        for (const auto& [name, value] : named) {
            if (name == "--delay") {
                if (!WholeNumber(value, request.DelaySeconds) || request.DelaySeconds < 0 || request.DelaySeconds > 60)
                    Fail(kMsgCliBadDelay, value);
            } else if (name == "--quality") {
                if (!WholeNumber(value, request.Quality) || request.Quality < 1 || request.Quality > 100)
                    Fail(kMsgCliBadQuality, value);
            } else if (name == "--out") {
                if (value.empty()) Fail(kMsgCliNeedsValue, name);
                request.OutPath = value;
            } else if (name == "--format") {
                request.Format = FormatOfName(value);
                if (!request.Format) Fail(kMsgCliBadFormat, value);
            } else if (name == "--area") {
                if (request.Mode != CaptureMode::Screen) Fail(kMsgCliOptionNotForMode, name);
                const std::string v = Lower(value);
                if (v == "desktop") request.Area = FullScreenArea::WholeDesktop;
                else if (v == "monitor") request.Area = FullScreenArea::MonitorUnderPointer;
                else if (v == "primary") request.Area = FullScreenArea::PrimaryMonitor;
                else Fail(kMsgCliBadArea, value);
            } else if (name == "--match") {
                if (request.Mode != CaptureMode::Window) Fail(kMsgCliOptionNotForMode, name);
                const std::string v = Lower(value);
                if (v == "contains") request.MatchContains = true;
                else if (v == "exact") request.MatchContains = false;
                else Fail(kMsgCliBadMatch, value);
            } else if (name == "--client") {
                if (request.Mode != CaptureMode::Window && request.Mode != CaptureMode::Active)
                    Fail(kMsgCliOptionNotForMode, name);
                request.Client = true;
            } else if (name == "--cursor") {
                request.Cursor = true;
            } else if (name == "--clipboard") {
                request.Clipboard = true;
            } else if (name == "--json") {
                request.Json = true;
            }
        }
        if (request.Json && request.ToStdout()) Fail(kMsgCliJsonWithStdout);
    } catch (const ParseFailure& failure) {
        result.Error = failure.error;
        return result;
    }
    result.Request = std::move(request);
    return result;
}

int CaptureExitStatus(CaptureOutcome outcome) {
    switch (outcome) {
        case CaptureOutcome::Saved: return 0;
        case CaptureOutcome::Cancelled: return 1;
        case CaptureOutcome::Usage: return 2;
        case CaptureOutcome::Failed: return 3;
    }
    return 3;
}

SaveFormat ResolveCaptureFormat(const std::optional<SaveFormat>& chosen, std::string_view outPath,
                                std::string_view autoSaveFormatSetting) {
    if (chosen) return *chosen;
    const size_t dot = outPath.find_last_of('.');
    const size_t slash = outPath.find_last_of("\\/");
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash))
        if (std::optional<SaveFormat> f = FormatOfName(outPath.substr(dot + 1))) return *f;
    const std::string setting = NormaliseAutoSaveFormat(autoSaveFormatSetting);
    return setting == "BMP" ? SaveFormat::Bmp : setting == "JPEG" ? SaveFormat::Jpeg : SaveFormat::Png;
}

std::string SaveFormatName(SaveFormat format) {
    switch (format) {
        case SaveFormat::Png: return "png";
        case SaveFormat::Jpeg: return "jpeg";
        default: return "bmp";
    }
}

std::string SaveFormatExtension(SaveFormat format) { return format == SaveFormat::Jpeg ? "jpg" : SaveFormatName(format); }

namespace {
// Indices of the monitors with an area, primary first, then by left edge, then by top edge.
std::vector<int> NumberedMonitors(const MonitorList& monitors) {
    std::vector<int> order;
    const int primary = PrimaryMonitor(monitors);
    for (int i = 0; i < static_cast<int>(monitors.size()); ++i)
        if (i != primary && !IsEmptyRect(monitors[static_cast<size_t>(i)].Bounds)) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const ScreenRect& ra = monitors[static_cast<size_t>(a)].Bounds;
        const ScreenRect& rb = monitors[static_cast<size_t>(b)].Bounds;
        return ra.Left != rb.Left ? ra.Left < rb.Left : ra.Top < rb.Top;
    });
    if (primary != kNoMonitor) order.insert(order.begin(), primary);
    return order;
}
}  // namespace

int MonitorOfNumber(const MonitorList& monitors, int32_t number) {
    const std::vector<int> order = NumberedMonitors(monitors);
    if (number < 1 || static_cast<size_t>(number) > order.size()) return kNoMonitor;
    return order[static_cast<size_t>(number) - 1];
}

int32_t NumberOfMonitor(const MonitorList& monitors, int index) {
    const std::vector<int> order = NumberedMonitors(monitors);
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] == index) return static_cast<int32_t>(i + 1);
    return 0;
}

bool TitleMatches(std::string_view title, std::string_view wanted, bool contains) {
    if (!contains || wanted.empty()) return title == wanted;
    return title.find(wanted) != std::string_view::npos;
}

std::string JsonString(std::string_view text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

std::string CaptureResultJson(const CaptureResultInfo& info) {
    return "{\"path\":" + JsonString(info.Path) + ",\"width\":" + std::to_string(info.Width) +
           ",\"height\":" + std::to_string(info.Height) + ",\"left\":" + std::to_string(info.Left) +
           ",\"top\":" + std::to_string(info.Top) + ",\"format\":" + JsonString(SaveFormatName(info.Format)) +
           ",\"monitor\":" + std::to_string(info.Monitor) + "}\n";
}

const char* CaptureUsageText() {
    return "usage: plenvue-cli capture MODE [options]\n"
           "modes:\n"
           "  screen               what Full Screen takes (the \"Full Screen Area\" setting)\n"
           "  monitor N            monitor N: 1 is the primary, then left to right, top to bottom\n"
           "  window TITLE         the visible top-level window titled TITLE, with its frame\n"
           "  active               the foreground window, as Capture Active Window does\n"
           "  region X,Y,W,H       that rectangle of the desktop (desktop coordinates)\n"
           "  region               select a region on the frozen desktop (Escape cancels)\n"
           "  pick                 pick a window with the mouse\n"
           "options:\n"
           "  --area desktop|monitor|primary   screen: what full screen takes\n"
           "  --match exact|contains           window: the whole title or a part of it\n"
           "  --client                         window, active: the client area only\n"
           "  --delay SECONDS                  wait 0 to 60 seconds first\n"
           "  --cursor                         draw the mouse cursor in\n"
           "  --out PATH                       the file to write; - writes the picture to standard output\n"
           "  --format png|jpeg|bmp            default: PATH's extension, else \"Auto Save Format\"\n"
           "  --quality 1-100                  JPEG quality (90)\n"
           "  --clipboard                      also put the picture on the clipboard\n"
           "  --json                           print {\"path\",\"width\",\"height\",\"left\",\"top\",\"format\",\"monitor\"}\n"
           "Without --out the picture goes where auto-save puts it, under the next free auto-save name.\n"
           "Standard output carries only the result: the saved file's path, the JSON object or the picture.\n"
           "Exit status: 0 saved, 1 cancelled, 2 usage error, 3 the capture or the write failed.\n";
}

}  // namespace plenvue
