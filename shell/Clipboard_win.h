// The clipboard as the program uses it: its own picture put there as a device-independent bitmap
// and as the registered "PNG" format, a picture taken from there in any of the forms other
// programs leave (PNG, bitmap, DIB), and the clipboard open only as long as needed, with a few
// tries while another program holds it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "image/Picture_win.h"

namespace plenvue {

enum class ClipboardResult {
    Ok,
    Busy,       // another program kept the clipboard open through every try
    NoPicture,  // nothing there in a form that is a picture
    Unreadable, // a PNG or DIB that is damaged, malformed or too large
    Failed,     // no memory for the picture's forms, or the clipboard refused them
};

// How often to try opening the clipboard, and how to wait between tries.
struct ClipboardRetry {
    int Attempts = 10;
    DWORD PauseMs = 30;
    std::function<void(DWORD ms)> Pause = [](DWORD ms) { Sleep(ms); };
    // Runs right after the clipboard is closed again (tests change it there, as another program might).
    std::function<void()> Closed;
};

// The registered "PNG" clipboard format.
UINT PngClipboardFormat();
// The registered format that marks a picture Plenvue itself put there from another process (the
// command-line capture): a running Plenvue's clipboard monitor leaves it alone.
UINT OwnPictureClipboardFormat();

// The clipboard opened for a window; closed on destruction.
class OpenedClipboard {
public:
    OpenedClipboard(HWND owner, const ClipboardRetry& retry);
    ~OpenedClipboard();
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
    std::function<void()> closed_;
};

// Replaces the clipboard's contents by the picture (CF_DIB and "PNG"), the window becoming its
// owner. `sequence` receives the clipboard's sequence number of these contents, read before the
// clipboard is let go (SequenceOfOwnChange), so that a change another program makes right after is
// not taken for ours. An empty picture puts
// nothing there and gives NoPicture. `markOwn` adds the own-picture mark.
ClipboardResult PutPictureOnClipboard(HWND owner, const Picture& picture, uint32_t& sequence,
                                      const ClipboardRetry& retry = {}, bool markOwn = false);

// A copy of the clipboard's picture: "PNG" first (its transparency over `background`, 0x00BBGGRR),
// then a DIB through the packed-DIB check, and a bitmap only when neither is there. `picture` is
// changed only on success. `sequence`, when given, receives the sequence number of the contents
// read, taken while the clipboard is still open (reading a format rendered on request can change
// it; SequenceOfOwnChange), or the current one when it was not opened.
ClipboardResult TakePictureFromClipboard(HWND owner, COLORREF background, Picture& picture,
                                         const ClipboardRetry& retry = {}, uint32_t* sequence = nullptr);

// True when the clipboard holds something this program can take as a picture.
bool ClipboardHasPicture();

// True when `window` put the current contents there.
bool ClipboardOwnedBy(HWND window);
// True when the current contents carry the own-picture mark.
bool ClipboardMarkedOwn();

// The clipboard's sequence number, which changes with every change of its contents.
uint32_t ClipboardSequence();

// A packed DIB (header, colours, pixels) as a 24-bit DIB section; null when the block is no
// well-formed DIB or does not hold all of it. `size` is the block's size in bytes.
HBITMAP DibSectionFromPackedDib(const void* block, size_t size);

}  // namespace plenvue
