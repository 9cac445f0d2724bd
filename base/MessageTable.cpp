#include "base/MessageTable.h"

namespace plenvue {

const std::vector<MessageDefault>& MessageDefaults() {
    static const std::vector<MessageDefault> table = {
        {10001, "Plenvue Is Ready"},
        {10002, "Register hotkey failed,Please retry."},
        {10003, "The region you selected is too small!"},
        {10004, "All Suuport Files|*.bmp;*.jpg;*.png|Bitmap Files(*.BMP)|*.bmp|JPEG Files(*.JPG)|*.jpg|PNG Files(*.PNG)|*.png"},
        {10005, "Bitmap Files(*.BMP)|*.bmp|JPEG Files(*.JPG)|*.jpg|PNG Files(*.PNG)|*.png"},
        {10006, "Save File"},
        {10007, "Load File"},
        {10008, "There are too many files at the target folder,please chose another one."},
        {10009, "Please choose a folder."},
        {10012, "Version"},
        {10014, "Are you SURE to delete file %s ?"},
        {10015, "Capture Image Success"},
        {10016, "File \"%s\" Save Success"},
        {10017, "File \"%s\" Open Success"},
        {10018, "Get picture from clipboard success"},
        {10019, "Can't Overwrite File,\\nPlease Choose Another File Name."},
        {10021, "Unknow Format!"},
        {10028, "Special Thanks to  %s  ,the Localizer"},
        {10030, "Printer not found."},
        {101, "OK"},
        {102, "Cancel"},
        {5001, ""},
        {5003, ""},
        {11002, "Plenvue"},
        {11003, kSupportMail},
        {11004, kHomePage},
        {kMsgHotkeyNeedsCtrlOrAlt,
         "Please add Ctrl or Alt to this hot key: on its own the key would stop working in every other program."},
        {kMsgCountdownTip, "Plenvue: capturing in %s s"},
        {kMsgDelayCancelled, "Delayed capture cancelled"},
        {kMsgClipboardBusy, "The clipboard is in use by another program, please try again."},
        {kMsgCopied, "Picture copied to the clipboard"},
        {kMsgNoClipboardPicture, "The clipboard holds no picture."},
        {kMsgClipboardFailed, "The picture could not be put on the clipboard."},
        {kMsgHelpFolder, "en"},
        {kMsgStartWithWindows, "Start with Windows"},
        {kMsgRepeatOffMonitors, "The area of the last capture is no longer on any monitor."},
        {kMsgCliCancelled, "The capture was cancelled."},
        {kMsgCliNoWindow, "No visible window has the title \"%s\"."},
        {kMsgCliRegionOffMonitors, "The region %s lies on no monitor."},
        {kMsgCliNoMonitor, "There is no monitor %s."},
        {kMsgCliCaptureFailed, "The picture could not be taken."},
        {kMsgCliWriteFailed, "The picture could not be written: %s"},
        {kMsgCliNoForeground, "There is no foreground window to capture."},
        {kMsgCliUnknownMode, "Unknown capture mode: %s"},
        {kMsgCliUnknownOption, "Unknown option: %s"},
        {kMsgCliNeedsValue, "The option %s needs a value."},
        {kMsgCliBadDelay, "--delay takes whole seconds from 0 to 60, not %s."},
        {kMsgCliBadQuality, "--quality takes a whole number from 1 to 100, not %s."},
        {kMsgCliBadRegion, "A region is X,Y,W,H in whole pixels with a width and height above zero, not %s."},
        {kMsgCliBadMonitor, "Monitors are numbered from 1, not %s."},
        {kMsgCliBadArea, "--area takes desktop, monitor or primary, not %s."},
        {kMsgCliBadFormat, "--format takes png, jpeg or bmp, not %s."},
        {kMsgCliBadMatch, "--match takes exact or contains, not %s."},
        {kMsgCliExtraArgument, "Unexpected argument: %s"},
        {kMsgCliModeNeedsArgument, "The mode %s needs an argument."},
        {kMsgCliOptionNotForMode, "The option %s does not apply to this mode."},
        {kMsgCliNoMode, "Name a capture mode: screen, monitor, window, active, region or pick."},
        {kMsgCliJsonWithStdout, "--json and --out - would both write to standard output."},
        {kMsgCliTakesNoValue, "The option %s takes no value."},
        {kMsgEditCannotOpen, "The file %s cannot be opened."},
        {kMsgMarkupStale, "%s was changed by another program: it opens as a plain picture, without its mark-up."},
        {kMsgMarkupDamaged, "The mark-up in %s is damaged: it opens as a plain picture."},
    };
    return table;
}

std::string DefaultMessage(int item) {
    for (const auto& m : MessageDefaults())
        if (m.item == item) return m.text;
    return std::string();
}

}  // namespace plenvue
