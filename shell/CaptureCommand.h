// The command-line capture: its arguments, the outcome a script sees as an exit status, the
// output format and the one-line JSON result, all decided without a window.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/MonitorGeometry.h"
#include "shell/FileRules.h"

namespace plenvue {

enum class CaptureMode { Screen, Monitor, Window, Active, Region, RegionSelect, Pick };

struct CaptureRequest {
    CaptureMode Mode = CaptureMode::Screen;
    std::optional<FullScreenArea> Area;  // --area; the setting when absent
    int32_t MonitorNumber = 0;           // monitor N, from 1
    std::string Title;                   // window TITLE
    bool MatchContains = false;          // --match contains
    bool Client = false;                 // --client
    ScreenRect Region;                   // region X,Y,W,H
    int32_t DelaySeconds = 0;
    bool Cursor = false;
    std::optional<std::string> OutPath;  // --out; "-" is standard output
    std::optional<SaveFormat> Format;    // --format
    int32_t Quality = 90;                // JPEG only
    bool Clipboard = false;
    bool Json = false;
    bool Help = false;                   // --help: nothing else is looked at

    bool ToStdout() const { return OutPath && *OutPath == "-"; }
};

// A usage error: the message item of its text, whose "%s" is `Detail`.
struct CaptureUsageError {
    int Item = 0;
    std::string Detail;
};

struct CaptureParse {
    std::optional<CaptureRequest> Request;  // set on success
    CaptureUsageError Error;                // otherwise
};

// The arguments after "capture": MODE, its own argument, then options in any order ("--name value"
// or "--name=value"; "--" ends the options).
CaptureParse ParseCaptureArguments(const std::vector<std::string>& args);

enum class CaptureOutcome { Saved, Cancelled, Usage, Failed };
// plenvue-cli's exit status: 0 saved, 1 cancelled by the user, 2 usage error, 3 capture or write failed.
int CaptureExitStatus(CaptureOutcome outcome);

// --format first, then the extension of the output path (.png, .jpg, .jpeg, .bmp in any case),
// then the "Auto Save Format" setting's text.
SaveFormat ResolveCaptureFormat(const std::optional<SaveFormat>& chosen, std::string_view outPath,
                                std::string_view autoSaveFormatSetting);
// "png", "jpeg" or "bmp".
std::string SaveFormatName(SaveFormat format);
// The extension auto-save gives the format: "png", "jpg" or "bmp".
std::string SaveFormatExtension(SaveFormat format);

// The monitor of a number: 1 is the primary, then the others left to right, then top to bottom.
// kNoMonitor when there is no such number.
int MonitorOfNumber(const MonitorList& monitors, int32_t number);
// The number of a monitor index by the same order; 0 for kNoMonitor.
int32_t NumberOfMonitor(const MonitorList& monitors, int index);

// Whether a window title is the one asked for: the whole title, or with `contains` any part of it
// (exact, case included; an empty wanted title matches only an empty title).
bool TitleMatches(std::string_view title, std::string_view wanted, bool contains);

struct CaptureResultInfo {
    std::string Path;
    int32_t Width = 0, Height = 0, Left = 0, Top = 0;
    SaveFormat Format = SaveFormat::Png;
    int32_t Monitor = 0;
};
// {"path":...,"width":...,"height":...,"left":...,"top":...,"format":...,"monitor":...} and a newline.
std::string CaptureResultJson(const CaptureResultInfo& info);
// A JSON string literal of UTF-8 text.
std::string JsonString(std::string_view text);

// The usage text `plenvue-cli capture --help` prints.
const char* CaptureUsageText();

}  // namespace plenvue
