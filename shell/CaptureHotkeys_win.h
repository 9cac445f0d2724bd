// The six capture hot keys of a window: registered from the settings at load, every id
// unregistered when the owner goes (the Options dialog registers on the same ids).
#pragma once
#include <windows.h>

#include <optional>
#include <vector>

#include "settings/CurrentSettings.h"

namespace plenvue {

class CaptureHotkeys {
public:
    CaptureHotkeys() = default;
    ~CaptureHotkeys() { UnregisterAll(); }
    CaptureHotkeys(const CaptureHotkeys&) = delete;
    CaptureHotkeys& operator=(const CaptureHotkeys&) = delete;

    // Reads the hot key table into the settings and registers it on the window; returns the
    // capture indexes whose hot key could not be registered.
    std::vector<int> Register(HWND window, const SettingReader& read, CurrentSettings& settings);
    void UnregisterAll();

private:
    HWND window_ = nullptr;
};

}  // namespace plenvue
