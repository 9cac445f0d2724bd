#include "shell/CaptureHotkeys_win.h"

#include "settings/Hotkey_win.h"

namespace plenvue {

std::vector<int> CaptureHotkeys::Register(HWND window, const SettingReader& read, CurrentSettings& settings) {
    window_ = window;
    HotkeyRegistrar registrar = [window](int index, int32_t modifier, int32_t key) {
        return RegisterCaptureHotKey(window, kHotkeyIdBase + index, modifier, key);
    };
    return LoadHotkeyTable(read, registrar, settings);
}

void CaptureHotkeys::UnregisterAll() {
    if (!window_) return;
    for (int i = 0; i < kCaptureKinds; ++i) UnregisterHotKey(window_, kHotkeyIdBase + i);
    window_ = nullptr;
}

}  // namespace plenvue
