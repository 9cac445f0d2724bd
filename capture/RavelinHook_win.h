// The system-wide mouse hook of Ravelin.dll, owned: loaded by full path, hooked, and unhooked with
// the library let go when the owner goes, so no way out of the program leaves the hook (and the
// library in every program it reached) behind. One hook at a time in the whole system.
#pragma once
#include <windows.h>

#include <string>

#include "base/win/Handles_win.h"

namespace plenvue {

class RavelinHook {
public:
    RavelinHook() = default;
    ~RavelinHook() { Remove(); }
    RavelinHook(const RavelinHook&) = delete;
    RavelinHook& operator=(const RavelinHook&) = delete;

    // Loads `dllPath` and hooks, forwarding the mouse to `target` (in this process only messages
    // equal to `filter`, 0 for all). False with the reason for the user when that fails.
    bool Install(const std::string& dllPath, HWND target, UINT filter, std::string& reason);
    // Unhooks and lets the library go; nothing when not hooked.
    void Remove() noexcept;
    bool Active() const { return freeHook_ != nullptr; }

    // Ends the hook this process holds, if any: for a session that ends, after which the system
    // ends the program without running its destructors.
    static void RemoveActive() noexcept;

private:
    using FreeHookFn = BOOL(WINAPI*)();
    UniqueModule library_;
    FreeHookFn freeHook_ = nullptr;
};

}  // namespace plenvue
