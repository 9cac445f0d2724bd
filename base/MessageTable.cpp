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
    };
    return table;
}

std::string DefaultMessage(int item) {
    for (const auto& m : MessageDefaults())
        if (m.item == item) return m.text;
    return std::string();
}

}  // namespace plenvue
