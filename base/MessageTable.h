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
// A picture on the clipboard that the packed-DIB or PNG check refuses.
inline constexpr int kMsgClipboardUnreadable = 12850;

// Several monitors: the Options dialog's full-screen choice (label, then its three entries) and
// the message of a repeated capture whose rectangle is on no monitor any more.
inline constexpr int kItemFullScreenArea = 12300;  // 12301-12303 the entries
inline constexpr int kMsgRepeatOffMonitors = 12304;
// The one-line hint on the region-selection screen.
inline constexpr int kMsgRegionHint = 13000;

// The texts of the command-line capture (items 124xx).
inline constexpr int kMsgCliCancelled = 12400;
inline constexpr int kMsgCliNoWindow = 12401;
inline constexpr int kMsgCliRegionOffMonitors = 12402;
inline constexpr int kMsgCliNoMonitor = 12403;
inline constexpr int kMsgCliCaptureFailed = 12404;
inline constexpr int kMsgCliWriteFailed = 12405;
inline constexpr int kMsgCliNoForeground = 12406;
inline constexpr int kMsgCliUnknownMode = 12410;
inline constexpr int kMsgCliUnknownOption = 12411;
inline constexpr int kMsgCliNeedsValue = 12412;
inline constexpr int kMsgCliBadDelay = 12413;
inline constexpr int kMsgCliBadQuality = 12414;
inline constexpr int kMsgCliBadRegion = 12415;
inline constexpr int kMsgCliBadMonitor = 12416;
inline constexpr int kMsgCliBadArea = 12417;
inline constexpr int kMsgCliBadFormat = 12418;
inline constexpr int kMsgCliBadMatch = 12419;
inline constexpr int kMsgCliExtraArgument = 12420;
inline constexpr int kMsgCliModeNeedsArgument = 12421;
inline constexpr int kMsgCliOptionNotForMode = 12422;
inline constexpr int kMsgCliNoMode = 12423;
inline constexpr int kMsgCliJsonWithStdout = 12424;
inline constexpr int kMsgCliTakesNoValue = 12425;
// Plenvue.exe /edit FILE with a file that cannot be read.
inline constexpr int kMsgEditCannotOpen = 12426;
// Opening an editable picture whose mark-up cannot be used: it opens as a plain picture.
inline constexpr int kMsgMarkupStale = 12500;
inline constexpr int kMsgMarkupDamaged = 12501;

// The mark-up editor. Menu captions: Edit (12700, its entries 12701-12706), the View menu's zoom
// entries (12710-12713), Draw (12720, its entries 12721-12737). Help strings of the Edit and Draw
// menus are their command numbers (126xx).
inline constexpr int kItemMenuEdit = 12700;
inline constexpr int kItemMenuZoom = 12710;
inline constexpr int kItemMenuDraw = 12720;
// The status bar's step part: "Undo " and what the step did, by kind (12740-12748).
inline constexpr int kMsgUndoStepFirst = 12740;
inline constexpr int kMsgCropSize = 12750;         // "Crop: %s" with "400 x 160"
inline constexpr int kMsgSaveObjectsQuestion = 12751;
inline constexpr int kMsgToolTipKey = 12752;       // a tool button's tip: "%s" and its key
inline constexpr int kMsgKeptSkipped = 12800;      // "%s": the names of kept files left out
inline constexpr int kMsgKeptFailed = 12801;       // "%s": the system's reason
inline constexpr int kMsgRemoveFromHistory = 12802;
inline constexpr int kMsgRemoveUnsaved = 12803;
inline constexpr int kMsgClearUnsaved = 12804;     // "%s": how many
inline constexpr int kMsgRecycled = 12805;         // "%s": the file
inline constexpr int kMsgRecycleFailed = 12806;    // "%s": the file and the reason
inline constexpr int kMsgOptKeptPictures = 12807;
inline constexpr int kMsgOptKeptMegabytes = 12808;

// Hot keys another program holds: a line per key ("%k" its name, "%c" the capture's), the
// balloon's title, the Options dialog's mark ("%s" the key) and a failed change ("%s" the key).
inline constexpr int kMsgHotkeyInUseLine = 12901;
// A capture or paste never saved, opened again from the kept history (it has no file to name).
inline constexpr int kMsgKeptPictureShown = 13123;
inline constexpr int kMsgHotkeyInUseTitle = 12902;
inline constexpr int kMsgHotkeyInUseMark = 12903;
inline constexpr int kMsgHotkeyChangeFailed = 12904;
// Save As: a name given the chosen type's extension names a file that exists ("%s": the file).
inline constexpr int kMsgSaveAsReplace = 13050;
// F1 and Help > Content with no program to open the help pages ("%s": their folder).
inline constexpr int kMsgHelpNoViewer = 13051;

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
