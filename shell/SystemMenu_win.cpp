#include "shell/SystemMenu_win.h"

#include "shell/MainMenu.h"
#include "base/win/Wide_win.h"

namespace plenvue {

namespace {
constexpr ULONG_PTR kOurSeparator = 0x504C4E56;  // tags our separator for the next rebuild
}  // namespace

void SystemMenuEntries::Insert(HWND window, const std::array<std::string, kCaptureKinds>& captions,
                               const std::string& exitCaption) {
    HMENU sys = GetSystemMenu(window, FALSE);
    if (!sys) return;
    window_ = window;
    // Remove what an earlier call added, by command number, so entries others added stay.
    for (int i = 0; i < kCaptureKinds; ++i) DeleteMenu(sys, kSysCaptureFirst + i, MF_BYCOMMAND);
    DeleteMenu(sys, kSysExit, MF_BYCOMMAND);
    int count = GetMenuItemCount(sys);
    for (int i = count - 1; i >= 0; --i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_FTYPE;
        if (GetMenuItemInfoW(sys, i, TRUE, &info) && (info.fType & MFT_SEPARATOR) &&
            info.dwItemData == kOurSeparator) {
            DeleteMenu(sys, i, MF_BYPOSITION);
        }
    }
    // The standard entries end with a separator and Close: insert before that separator.
    int closePos = -1;
    count = GetMenuItemCount(sys);
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(sys, i) == SC_CLOSE) closePos = i;
    const int insertAt = closePos >= 0 ? closePos : kCaptureKinds;
    for (int i = 0; i < kCaptureKinds; ++i) {
        std::string caption = captions[i];
        if (caption.empty()) caption = " ";
        InsertMenuW(sys, insertAt + i, MF_BYPOSITION | MF_STRING, kSysCaptureFirst + i, Widen(caption).c_str());
    }
    InsertMenuW(sys, insertAt + kCaptureKinds, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    MENUITEMINFOW mark{};
    mark.cbSize = sizeof mark;
    mark.fMask = MIIM_DATA;
    mark.dwItemData = kOurSeparator;
    SetMenuItemInfoW(sys, insertAt + kCaptureKinds, TRUE, &mark);
    const int exitAt = closePos >= 0 ? insertAt + kCaptureKinds + 2 : insertAt + kCaptureKinds + 1;
    InsertMenuW(sys, exitAt, MF_BYPOSITION | MF_STRING, kSysExit,
                Widen(exitCaption.empty() ? std::string("E&xit") : exitCaption).c_str());
}

void SystemMenuEntries::Restore() {
    if (!window_) return;
    GetSystemMenu(window_, TRUE);
    window_ = nullptr;
}

}  // namespace plenvue
