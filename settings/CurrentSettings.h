// The in-memory record of all settings and the rules that turn stored texts into it.
// Every rule is a function of the text read (empty text for a missing or unreadable value).
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "capture/MonitorGeometry.h"

namespace plenvue {

inline constexpr int kCaptureKinds = 6;
// Hot key ids registered on the main window: kHotkeyIdBase + capture index.
inline constexpr int32_t kHotkeyIdBase = 0xB001;
// The modifier stored as "0": none.
inline constexpr int32_t kNoHotkeyModifier = 8;

struct CurrentSettings {
    std::string BeepWhenSaving;           // "1" or "0"
    std::string PrefixFileName;
    std::string SuffixFileName;
    std::string SavePath;                 // folder for automatic saving
    std::string StartStatus;              // "0", "1" or "2"
    int32_t ClipboardMonitorAtStart = 0;  // 0 off, non-zero on
    int32_t AutoSaveAtStart = 0;          // 0 off, non-zero on
    std::string ShowHistoryList;          // empty or "0"
    std::string HistoryListStatus = "PREVIEW";  // "NONE", "LIST" or "PREVIEW"
    std::string CanvasColor;              // decimal colour value
    std::string LanguagePackagePath;      // filled by start-up, not by the load step
    // Hot key control encoding (1 Shift, 2 Ctrl, 4 Alt; 8 or 0 no modifier), indexed by capture kind.
    std::array<int32_t, kCaptureKinds> HotkeyModifiers{8, 8, 8, 8, 8, 8};
    std::array<int32_t, kCaptureKinds> HotkeyKeys{};  // virtual-key codes, 0 no hot key
    // Not stored: hot keys whose last registration failed (another program holds them). They keep
    // their wanted value above and are tried again at the next start and from the Options dialog.
    std::array<bool, kCaptureKinds> HotkeyInUse{};
    int32_t CopyEveryCapture = -1;        // 0 off, non-zero: every capture also goes to the clipboard
    std::string AutoSaveFormat = "PNG";   // "BMP", "PNG" or "JPEG"
    int32_t CaptureDelay = 0;             // seconds: 0, 3, 5 or 10
    FullScreenArea FullScreen = FullScreenArea::WholeDesktop;  // what "Capture Full Screen" takes
    // The kept history's limits as stored (a whole number; see KeptLimitsFromText for the rule).
    std::string KeptPictures = "100";
    std::string KeptMegabytes = "500";
    bool CloseToTray = false;             // closing the window hides it in the notification area
};

// The one record of current settings, filled by the main window's load step.
CurrentSettings& Settings();
// Back to the defaults, as before the load step.
void ResetSettings();

// Fresh default settings for the scope's lifetime; the ones before come back afterwards (tests).
class ScopedSettings {
public:
    ScopedSettings() : saved_(std::move(Settings())) { Settings() = CurrentSettings{}; }
    ~ScopedSettings() { Settings() = std::move(saved_); }
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;

private:
    CurrentSettings saved_;
};

// Registry value names.
inline constexpr const char* kValBeepWhenSaving = "BeepWhenSaving";
inline constexpr const char* kValPrefixFileName = "PrefixFileName";
inline constexpr const char* kValSuffixFileName = "SuffixFileName";
inline constexpr const char* kValSavePath = "SavePath";
inline constexpr const char* kValStartStatus = "StartStatus";
inline constexpr const char* kValClipboardMonitor = "Set Clipboard Monitor Active";
inline constexpr const char* kValAutoSave = "Set Auto Save When Startup";
inline constexpr const char* kValShowHistoryList = "Show History List";
inline constexpr const char* kValHistoryListStatus = "History List Status";
inline constexpr const char* kValForeColor = "ForeColor";
inline constexpr const char* kValLanguagePackage = "LanguagePackage";
inline constexpr const char* kValCopyEveryCapture = "Copy Every Capture";
inline constexpr const char* kValAutoSaveFormat = "Auto Save Format";
inline constexpr const char* kValCaptureDelay = "Capture Delay";
inline constexpr const char* kValFullScreenArea = "Full Screen Area";
inline constexpr const char* kValKeptPictures = "Kept Pictures";
inline constexpr const char* kValKeptMegabytes = "Kept Megabytes";
// The ranges of the kept history's limits.
inline constexpr int32_t kKeptCountMin = 1, kKeptCountMax = 10000;
inline constexpr int32_t kKeptMegabytesMin = 1, kKeptMegabytesMax = 100000;
inline constexpr const char* kValCloseToTray = "Close To Notification Area";

// The capture delays offered, in seconds, in the order the menus and the Options dialog list them.
inline constexpr std::array<int32_t, 4> kCaptureDelays{0, 3, 5, 10};
// The auto-save formats offered, in the order the Options dialog lists them.
inline constexpr std::array<const char*, 3> kAutoSaveFormats{"BMP", "PNG", "JPEG"};
// "Hotkey3Prefix", "Hotkey3Value".
std::string HotkeyPrefixValueName(int index);
std::string HotkeyKeyValueName(int index);

// Blanks removed at both ends (blanks only, not tabs).
std::string TrimBlanks(std::string_view text);
// ASCII upper case; other bytes unchanged.
std::string UpperAscii(std::string_view text);

// Normalisation of each stored text, as the load step applies it.
std::string NormaliseBeepWhenSaving(std::string_view text);            // "0" stays, all else "1"
std::string NormaliseFileNamePart(std::string_view text);              // trimmed
int32_t NormaliseStartSwitch(std::string_view text);                   // "0" -> 0, all else -1
std::string NormaliseSavePath(std::string_view text, std::string_view programFolder);
std::string NormaliseStartStatus(std::string_view text);               // "0","1","2" kept, else "0"
std::string NormaliseCanvasColor(std::string_view text);               // blank -> "16777215"
// The colour value of a canvas colour text: a decimal 32-bit number between blanks; text that is
// no such number (another tool's edit) gives white rather than an error at every start.
int32_t CanvasColorValue(std::string_view text);
std::string NormaliseShowHistoryList(std::string_view text);           // trimmed
std::string NormaliseHistoryListStatus(std::string_view text);
// A whole number from low to high, without leading blanks or signs; `fallback` for anything else.
std::string NormaliseWholeNumber(std::string_view text, int32_t low, int32_t high, std::string_view fallback);         // "NONE", "LIST", else "PREVIEW"
// "0" is off; anything else, missing included, is on (-1).
int32_t NormaliseCopyEveryCapture(std::string_view text);
// "BMP", "PNG" or "JPEG" in any case between blanks ("JPG" is JPEG); anything else, missing
// included, is "PNG" (a stored "BMP" stays BMP).
std::string NormaliseAutoSaveFormat(std::string_view text);
// One of the offered delays as decimal text between blanks; anything else is no delay (0).
int32_t NormaliseCaptureDelay(std::string_view text);
// "0", "1" or "2" between blanks; anything else, missing included, is the whole desktop.
FullScreenArea NormaliseFullScreenArea(std::string_view text);
// "1" between blanks is on; anything else, missing included, is off.
bool NormaliseCloseToTray(std::string_view text);
// The file extension (no dot) of an auto-save format: "bmp", "png" or "jpg".
std::string AutoSaveExtension(std::string_view format);
// Hot key texts: "0" means no modifier (8); anything but one digit gives Ctrl+Alt (6).
int32_t HotkeyModifierFromText(std::string_view text);
// Up to three digits are a key code; anything else gives the digit key of the index (48 + index).
int32_t HotkeyKeyFromText(std::string_view text, int index);

// Reads the text of one value by name; empty text for missing or unreadable values.
using SettingReader = std::function<std::string(std::string_view valueName)>;

// The load step without the hot keys: fills every field but the hot key table and
// LanguagePackagePath (set earlier by start-up), which are left as they are.
void LoadCurrentSettings(const SettingReader& read, std::string_view programFolder, CurrentSettings& settings);

// Registers one capture hot key (capture index, modifier in control encoding, key); true on success.
using HotkeyRegistrar = std::function<bool(int index, int32_t modifier, int32_t key)>;

// Reads, defaults and registers the six hot keys in index order, filling the table in `settings`;
// returns the indices that failed to register (those keep their value and are marked in use).
std::vector<int> LoadHotkeyTable(const SettingReader& read, const HotkeyRegistrar& registerHotkey,
                                 CurrentSettings& settings);

// The nine values the Options dialog writes, in writing order, as stored texts (empty as " ").
std::vector<std::pair<std::string, std::string>> SettingsToStore(const CurrentSettings& settings);
// The clipboard, auto-save format and delay values the Options dialog writes after those nine.
std::vector<std::pair<std::string, std::string>> CaptureSettingsToStore(const CurrentSettings& settings);
// The full-screen choice the Options dialog writes after those.
std::pair<std::string, std::string> FullScreenAreaToStore(const CurrentSettings& settings);
// The close-to-notification-area choice the Options dialog writes.
std::pair<std::string, std::string> CloseToTrayToStore(const CurrentSettings& settings);

}  // namespace plenvue
