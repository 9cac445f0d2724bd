// The main window's clipboard commands (Copy, Paste, the monitor's take) and the capture delay.
#include <windows.h>
#include <shellapi.h>

#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/win/modDeclare_win.h"
#include "settings/CurrentSettings.h"
#include "shell/Clipboard_win.h"
#include "shell/MainMenu.h"
#include "shell/frmMain_win.h"

namespace plenvue {

namespace {
constexpr UINT_PTR kDelayTimerId = 17;
}  // namespace

void frmMain::CopyPicture(bool report) {
    if (picSwap_.Empty()) return;  // an empty canvas leaves the clipboard as it is
    uint32_t sequence = 0;
    switch (PutPictureOnClipboard(hwnd_, picSwap_, sequence)) {
        case ClipboardResult::Ok:
            clipboardChanges_.Own(sequence);
            if (report) SetStatus(Msg(kMsgCopied));
            return;
        case ClipboardResult::Busy: SetStatus(Msg(kMsgClipboardBusy)); return;
        case ClipboardResult::NoPicture:
        case ClipboardResult::Unreadable:
        case ClipboardResult::Failed: SetStatus(Msg(kMsgClipboardFailed)); return;
    }
}

namespace {
// Set while the window reads the clipboard: a program that renders its data only when asked (as
// Wine's bridge to the X clipboard does) changes the clipboard from inside that read, and the
// notification it sends then is no new picture.
class ReadingClipboard {
public:
    explicit ReadingClipboard(bool& flag) : flag_(flag) { flag_ = true; }
    ~ReadingClipboard() { flag_ = false; }
    ReadingClipboard(const ReadingClipboard&) = delete;
    ReadingClipboard& operator=(const ReadingClipboard&) = delete;

private:
    bool& flag_;
};
}  // namespace

void frmMain::PastePicture() {
    Picture picture;
    ClipboardResult result;
    {
        ReadingClipboard reading(readingClipboard_);
        uint32_t sequence = 0;
        result = TakePictureFromClipboard(hwnd_, canvasColor_, picture, {}, &sequence);
        clipboardChanges_.Read(sequence);
    }
    switch (result) {
        case ClipboardResult::Ok: TakeClipboardPicture(picture); return;
        case ClipboardResult::Busy: SetStatus(Msg(kMsgClipboardBusy)); return;
        case ClipboardResult::Unreadable: SetStatus(Msg(kMsgClipboardUnreadable)); return;
        case ClipboardResult::NoPicture:
        case ClipboardResult::Failed: SetStatus(Msg(kMsgNoClipboardPicture)); return;
    }
}

void frmMain::SetPic() {
    if (readingClipboard_) return;
    // Each change once, and never what this window put there itself.
    if (!clipboardChanges_.Take(ClipboardSequence(), ClipboardOwnedBy(hwnd_) || ClipboardMarkedOwn())) return;
    Picture picture;
    ClipboardResult result;
    {
        // Even asking which formats are there can bring in the other program's data anew.
        ReadingClipboard reading(readingClipboard_);
        uint32_t sequence = 0;
        // Other contents than a picture give NoPicture: they are not for the canvas.
        result = TakePictureFromClipboard(hwnd_, canvasColor_, picture, {}, &sequence);
        clipboardChanges_.Read(sequence);
    }
    switch (result) {
        case ClipboardResult::Ok: TakeClipboardPicture(picture); return;
        case ClipboardResult::Busy: SetStatus(Msg(kMsgClipboardBusy)); return;
        case ClipboardResult::Unreadable: SetStatus(Msg(kMsgClipboardUnreadable)); return;
        default: return;
    }
}

void frmMain::TakeClipboardPicture(const Picture& picture) {
    ParkDocument();
    picSwap_ = picture;
    ForgetDocument();
    SetStatus(Msg(10018));
    ShowPic();
    SetCurrentFile("");
    KeepNewPicture();
    if (Settings().AutoSaveAtStart) AutoSavePic();
    ApplyKeptLimits();
}

void frmMain::SetCaptureDelay(int index) {
    if (index < 0 || index >= static_cast<int>(kCaptureDelays.size())) return;
    // For this run only; the stored delay changes on the Options dialog.
    Settings().CaptureDelay = kCaptureDelays[static_cast<size_t>(index)];
    ShowCaptureDelay();
}

void frmMain::ShowCaptureDelay() {
    const int current = DelayMenuIndex(Settings().CaptureDelay);
    CheckMenuRadioItem(menu_, kCmdDelayFirst, kCmdDelayLast, kCmdDelayFirst + (current < 0 ? 0 : current),
                       MF_BYCOMMAND);
}

void frmMain::AttachDelayedCapture() {
    delayed_.Attach(hwnd_, kDelayTimerId);
    delayed_.ShowCount = [this](int32_t remaining) {
        const std::string text = CountdownTip(Msg(kMsgCountdownTip), remaining);
        SetNotifyTip(text);
        SetStatus(text);
    };
    delayed_.EndCount = [this] { SetNotifyTip(kProgramTitle); };
    delayed_.Capture = [this](int kind) { CaptureNow(kind); };
}

void frmMain::SetNotifyTip(const std::string& text) {
    if (loaded_) loaded_->icon.SetTip(text.c_str());
}

bool frmMain::RequestCapture(int index) {
    if (delayed_.Running()) {
        if (delayed_.Request(index, Settings().CaptureDelay) == DelayRequest::Cancelled) {
            SetStatus(Msg(kMsgDelayCancelled));
            ShowWindow(hwnd_, SW_SHOW);
        }
        return false;
    }
    ShowWindow(hwnd_, SW_HIDE);
    // The window to capture comes to the front while the screen is redrawn without ours.
    if (captureTarget_) SetForegroundWindow(captureTarget_);
    CaptureSleep(CaptureHideDelayMs);
    // The count starts once the window is gone; at its end the capture runs from the timer.
    return delayed_.Request(index, Settings().CaptureDelay) == DelayRequest::CaptureNow;
}

}  // namespace plenvue
