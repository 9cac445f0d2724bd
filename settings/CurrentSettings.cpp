// Load rules for the settings record and the capture hot key table.
#include "settings/CurrentSettings.h"

#include <charconv>

#include "settings/modRegistry.h"
#include "base/MessageText.h"

namespace plenvue {

CurrentSettings& Settings() {
    static CurrentSettings settings;
    return settings;
}

void ResetSettings() { Settings() = CurrentSettings{}; }

namespace {

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int32_t DigitsValue(std::string_view s) {
    int32_t v = 0;
    for (char c : s) v = v * 10 + (c - '0');  // callers limit the length to three digits
    return v;
}

}  // namespace

std::string HotkeyPrefixValueName(int index) { return "Hotkey" + std::to_string(index) + "Prefix"; }
std::string HotkeyKeyValueName(int index) { return "Hotkey" + std::to_string(index) + "Value"; }

std::string TrimBlanks(std::string_view text) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

std::string UpperAscii(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string NormaliseBeepWhenSaving(std::string_view text) { return text == "0" ? "0" : "1"; }

std::string NormaliseFileNamePart(std::string_view text) { return TrimBlanks(text); }

int32_t NormaliseStartSwitch(std::string_view text) { return text == "0" ? 0 : -1; }

std::string NormaliseSavePath(std::string_view text, std::string_view programFolder) {
    // The untrimmed text is kept on purpose: a folder name may begin with a blank.
    return TrimBlanks(text).empty() ? std::string(programFolder) : std::string(text);
}

std::string NormaliseStartStatus(std::string_view text) {
    return (text == "0" || text == "1" || text == "2") ? std::string(text) : "0";
}

std::string NormaliseCanvasColor(std::string_view text) {
    return TrimBlanks(text).empty() ? "16777215" : std::string(text);
}

int32_t CanvasColorValue(std::string_view text) {
    constexpr int32_t kWhite = 16777215;
    std::string t = TrimBlanks(text);
    int32_t value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return kWhite;
    return value;
}

std::string NormaliseShowHistoryList(std::string_view text) { return TrimBlanks(text); }

std::string NormaliseHistoryListStatus(std::string_view text) {
    // Missing or odd means the mode in use for it, so that storing it back changes nothing.
    const std::string mode = UpperAscii(TrimBlanks(text));
    return mode == "NONE" || mode == "LIST" ? mode : "PREVIEW";
}

int32_t HotkeyModifierFromText(std::string_view text) {
    if (text == "0") return kNoHotkeyModifier;
    if (text.size() != 1 || !AllDigits(text)) return 6;
    return text[0] - '0';
}

int32_t HotkeyKeyFromText(std::string_view text, int index) {
    // Blanks around the digits are tolerated; signs, fractions and hex forms are not key codes.
    std::string digits = TrimBlanks(text);
    if (text.size() > 3 || !AllDigits(digits)) return 48 + index;
    return DigitsValue(digits);
}

void LoadCurrentSettings(const SettingReader& read, std::string_view programFolder, CurrentSettings& s) {
    s.BeepWhenSaving = NormaliseBeepWhenSaving(read(kValBeepWhenSaving));
    s.PrefixFileName = NormaliseFileNamePart(read(kValPrefixFileName));
    s.SuffixFileName = NormaliseFileNamePart(read(kValSuffixFileName));
    s.ClipboardMonitorAtStart = NormaliseStartSwitch(read(kValClipboardMonitor));
    s.AutoSaveAtStart = NormaliseStartSwitch(read(kValAutoSave));
    s.SavePath = NormaliseSavePath(read(kValSavePath), programFolder);
    s.StartStatus = NormaliseStartStatus(read(kValStartStatus));
    s.CanvasColor = NormaliseCanvasColor(read(kValForeColor));
    s.ShowHistoryList = NormaliseShowHistoryList(read(kValShowHistoryList));
    s.HistoryListStatus = NormaliseHistoryListStatus(read(kValHistoryListStatus));
    s.CopyEveryCapture = NormaliseCopyEveryCapture(read(kValCopyEveryCapture));
    s.AutoSaveFormat = NormaliseAutoSaveFormat(read(kValAutoSaveFormat));
    s.CaptureDelay = NormaliseCaptureDelay(read(kValCaptureDelay));
    s.FullScreen = NormaliseFullScreenArea(read(kValFullScreenArea));
    s.CloseToTray = NormaliseCloseToTray(read(kValCloseToTray));
    s.KeptPictures = NormaliseWholeNumber(read(kValKeptPictures), kKeptCountMin, kKeptCountMax, "100");
    s.KeptMegabytes = NormaliseWholeNumber(read(kValKeptMegabytes), kKeptMegabytesMin, kKeptMegabytesMax, "500");
}

std::string NormaliseWholeNumber(std::string_view text, int32_t low, int32_t high, std::string_view fallback) {
    const std::string t = TrimBlanks(text);
    if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos) return std::string(fallback);
    const long v = std::stol(t);
    return v < low || v > high ? std::string(fallback) : std::to_string(v);
}

bool NormaliseCloseToTray(std::string_view text) { return TrimBlanks(text) == "1"; }

FullScreenArea NormaliseFullScreenArea(std::string_view text) { return FullScreenAreaFromText(TrimBlanks(text)); }

int32_t NormaliseCopyEveryCapture(std::string_view text) { return TrimBlanks(text) == "0" ? 0 : -1; }

std::string NormaliseAutoSaveFormat(std::string_view text) {
    std::string format = UpperAscii(TrimBlanks(text));
    if (format == "JPG") return "JPEG";
    for (const char* known : kAutoSaveFormats)
        if (format == known) return format;
    return "PNG";
}

int32_t NormaliseCaptureDelay(std::string_view text) {
    std::string t = TrimBlanks(text);
    for (int32_t d : kCaptureDelays)
        if (t == std::to_string(d)) return d;
    return 0;
}

std::string AutoSaveExtension(std::string_view format) {
    std::string f = NormaliseAutoSaveFormat(format);
    if (f == "BMP") return "bmp";
    if (f == "JPEG") return "jpg";
    return "png";
}

std::vector<int> LoadHotkeyTable(const SettingReader& read, const HotkeyRegistrar& registerHotkey,
                                 CurrentSettings& settings) {
    std::vector<int> failed;
    for (int i = 0; i < kCaptureKinds; ++i) {
        int32_t modifier = HotkeyModifierFromText(read(HotkeyPrefixValueName(i)));
        int32_t key = HotkeyKeyFromText(read(HotkeyKeyValueName(i)), i);
        // A key another program holds stays wanted: forgetting it here would lose it for good
        // at the next change stored.
        settings.HotkeyModifiers[i] = modifier;
        settings.HotkeyKeys[i] = key;
        // Key 0 is no hot key: nothing to register, nothing to report.
        settings.HotkeyInUse[i] = key != 0 && !registerHotkey(i, modifier, key);
        if (settings.HotkeyInUse[i]) failed.push_back(i);
    }
    return failed;
}

std::vector<std::pair<std::string, std::string>> SettingsToStore(const CurrentSettings& s) {
    return {
        {kValBeepWhenSaving, StoredText(s.BeepWhenSaving)},
        {kValPrefixFileName, StoredText(s.PrefixFileName)},
        {kValSuffixFileName, StoredText(s.SuffixFileName)},
        {kValSavePath, StoredText(s.SavePath)},
        {kValStartStatus, StoredText(s.StartStatus)},
        {kValClipboardMonitor, StoredText(std::to_string(s.ClipboardMonitorAtStart))},
        {kValAutoSave, StoredText(std::to_string(s.AutoSaveAtStart))},
        {kValShowHistoryList, StoredText(s.ShowHistoryList)},
        {kValHistoryListStatus, StoredText(s.HistoryListStatus)},
        {kValKeptPictures, StoredText(s.KeptPictures)},
        {kValKeptMegabytes, StoredText(s.KeptMegabytes)},
    };
}

std::vector<std::pair<std::string, std::string>> CaptureSettingsToStore(const CurrentSettings& s) {
    return {
        {kValCopyEveryCapture, s.CopyEveryCapture ? "1" : "0"},
        {kValAutoSaveFormat, NormaliseAutoSaveFormat(s.AutoSaveFormat)},
        {kValCaptureDelay, std::to_string(NormaliseCaptureDelay(std::to_string(s.CaptureDelay)))},
    };
}

std::pair<std::string, std::string> FullScreenAreaToStore(const CurrentSettings& s) {
    return {kValFullScreenArea, FullScreenAreaText(s.FullScreen)};
}

std::pair<std::string, std::string> CloseToTrayToStore(const CurrentSettings& s) {
    return {kValCloseToTray, s.CloseToTray ? "1" : "0"};
}

}  // namespace plenvue
