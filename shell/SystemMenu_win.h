// The capture entries of a window's system menu (they also serve as the notification icon's
// menu): six entries and a separator before Close, and Exit after it (Close may only hide the
// window in the notification area); the standard menu is restored when the owner goes.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "settings/CurrentSettings.h"

namespace plenvue {

class SystemMenuEntries {
public:
    SystemMenuEntries() = default;
    ~SystemMenuEntries() { Restore(); }
    SystemMenuEntries(const SystemMenuEntries&) = delete;
    SystemMenuEntries& operator=(const SystemMenuEntries&) = delete;

    // Replaces an earlier set; entries others added stay. Exit's command is kSysExit.
    void Insert(HWND window, const std::array<std::string, kCaptureKinds>& captions, const std::string& exitCaption);
    void Restore();

private:
    HWND window_ = nullptr;
};

}  // namespace plenvue
