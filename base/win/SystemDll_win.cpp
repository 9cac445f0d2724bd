#include "base/win/SystemDll_win.h"

#include <map>
#include <mutex>
#include <string>

#include "base/win/Handles_win.h"

namespace plenvue::sysdll {

HMODULE SystemModule(const wchar_t* dll) {
    static std::mutex lock;
    static std::map<std::wstring, UniqueModule> modules;
    std::lock_guard<std::mutex> guard(lock);
    auto it = modules.find(dll);
    if (it != modules.end()) return it->second.get();
    wchar_t folder[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    HMODULE module = nullptr;
    // A full path is never searched for, whatever the search order of this Windows version.
    if (n > 0 && n < MAX_PATH) module = LoadLibraryW((std::wstring(folder, n) + L"\\" + dll).c_str());
    HMODULE result = module;
    if (module) modules.emplace(dll, UniqueModule(module));
    return result;
}

namespace {

template <typename Fn>
Fn* Proc(const wchar_t* dll, const char* name) {
    HMODULE module = SystemModule(dll);
    Fn* fn = module ? reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    if (!fn) SetLastError(ERROR_PROC_NOT_FOUND);
    return fn;
}

#define PLENVUE_SYSTEM_PROC(dll, name) \
    static auto* const fn = Proc<decltype(::name)>(dll, #name)

constexpr const wchar_t* kWinmm = L"winmm.dll";
constexpr const wchar_t* kWinspool = L"winspool.drv";
constexpr const wchar_t* kDwmapi = L"dwmapi.dll";

}  // namespace

UINT waveOutGetNumDevs() {
    PLENVUE_SYSTEM_PROC(kWinmm, waveOutGetNumDevs);
    return fn ? fn() : 0;
}

BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags) {
    PLENVUE_SYSTEM_PROC(kWinmm, PlaySoundW);
    return fn ? fn(sound, module, flags) : FALSE;
}

BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned) {
    PLENVUE_SYSTEM_PROC(kWinspool, EnumPrintersA);
    if (!fn) {
        if (needed) *needed = 0;
        if (returned) *returned = 0;
        return FALSE;
    }
    return fn(flags, name, level, buffer, size, needed, returned);
}

BOOL GetDefaultPrinterA(LPSTR buffer, LPDWORD size) {
    PLENVUE_SYSTEM_PROC(kWinspool, GetDefaultPrinterA);
    return fn ? fn(buffer, size) : FALSE;
}

BOOL OpenPrinterA(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults) {
    PLENVUE_SYSTEM_PROC(kWinspool, OpenPrinterA);
    return fn ? fn(name, printer, defaults) : FALSE;
}

LONG DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR deviceName, PDEVMODEA out, PDEVMODEA in, DWORD mode) {
    PLENVUE_SYSTEM_PROC(kWinspool, DocumentPropertiesA);
    return fn ? fn(owner, printer, deviceName, out, in, mode) : -1;
}

BOOL ClosePrinter(HANDLE printer) {
    PLENVUE_SYSTEM_PROC(kWinspool, ClosePrinter);
    return fn ? fn(printer) : FALSE;
}

HRESULT DwmGetWindowAttribute(HWND window, DWORD attribute, PVOID value, DWORD size) {
    PLENVUE_SYSTEM_PROC(kDwmapi, DwmGetWindowAttribute);
    return fn ? fn(window, attribute, value, size) : E_NOTIMPL;
}

}  // namespace plenvue::sysdll
