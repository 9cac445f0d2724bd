#include "capture/RavelinHook_win.h"

#include "base/win/Wide_win.h"

namespace plenvue {

namespace {
// The one owner holding the hook in this process (the system has only one hook anyway).
RavelinHook* g_active = nullptr;
}  // namespace

bool RavelinHook::Install(const std::string& dllPath, HWND target, UINT filter, std::string& reason) {
    Remove();
    using SetHookFn = HHOOK(WINAPI*)(HWND, UINT);
    // By full path: a Ravelin.dll elsewhere on the search path would run in every process.
    UniqueModule library(LoadLibraryExW(WideName(dllPath).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library) {
        reason = "Ravelin.dll could not be loaded from " + dllPath + ".";
        return false;
    }
    auto setHook = reinterpret_cast<SetHookFn>(reinterpret_cast<void*>(GetProcAddress(library.get(), "SetGlobalMouseHook")));
    auto freeHook =
        reinterpret_cast<FreeHookFn>(reinterpret_cast<void*>(GetProcAddress(library.get(), "FreeGlobalMouseHook")));
    if (!setHook || !freeHook) {
        reason = "Ravelin.dll lacks SetGlobalMouseHook or FreeGlobalMouseHook.";
        return false;
    }
    if (g_active || !setHook(target, filter)) {
        reason = "The global mouse hook could not be installed (another program may hold it).";
        return false;
    }
    library_ = std::move(library);
    freeHook_ = freeHook;
    g_active = this;
    return true;
}

void RavelinHook::Remove() noexcept {
    if (freeHook_) freeHook_();
    freeHook_ = nullptr;
    library_.reset();
    if (g_active == this) g_active = nullptr;
}

void RavelinHook::RemoveActive() noexcept {
    if (g_active) g_active->Remove();
}

}  // namespace plenvue
