// The user-visible messages: item numbers and their built-in English texts.
#pragma once
#include <string>
#include <vector>

#include "PlenvueVersion.h"

namespace plenvue {

// The hot key dialog's refusal of a key that would be taken from every other program.
inline constexpr int kMsgHotkeyNeedsCtrlOrAlt = 12001;
// The help pages' language folder under "help\" that goes with the package ("en", "de").
inline constexpr int kMsgHelpFolder = 12100;
// The Options dialog's "start with Windows" switch.
inline constexpr int kMsgStartWithWindows = 12101;

// Clipboard, capture delay and picture format texts.
inline constexpr int kItemMenuDelay = 12010;    // "Capture &Delay"; 12011-12014 its four entries
inline constexpr int kItemMenuCopy = 12015;
inline constexpr int kItemMenuPaste = 12016;
inline constexpr int kMsgCountdownTip = 12017;  // the notification icon's tip during the count
inline constexpr int kMsgDelayCancelled = 12018;
inline constexpr int kMsgClipboardBusy = 12019;
inline constexpr int kMsgCopied = 12020;
inline constexpr int kMsgNoClipboardPicture = 12021;
inline constexpr int kItemCopyEveryCapture = 12022;  // Options dialog
inline constexpr int kItemAutoSaveFormat = 12023;
inline constexpr int kItemCaptureDelay = 12024;
inline constexpr int kMsgClipboardFailed = 12025;

// Several monitors: the Options dialog's full-screen choice (label, then its three entries) and
// the message of a repeated capture whose rectangle is on no monitor any more.
inline constexpr int kItemFullScreenArea = 12300;  // 12301-12303 the entries
inline constexpr int kMsgRepeatOffMonitors = 12304;

struct MessageDefault {
    int item;
    const char* text;
};

// Every message item read at start-up, with the default used when the package lacks it.
const std::vector<MessageDefault>& MessageDefaults();
// The default text of one item ("" when it has none).
std::string DefaultMessage(int item);

constexpr const char* kProgramTitle = "Korvane Plenvue";
constexpr const char* kProgramName = "Plenvue";
// The project version the build was made from, as "major.minor.patch".
constexpr const char* kVersion = PLENVUE_VERSION_TEXT;
constexpr const char* kSupportMail = "mailto:support@korvane.example";
constexpr const char* kHomePage = "http://www.korvane.example/plenvue";

}  // namespace plenvue
