// The functions the program needs from system DLLs that are not known DLLs (winmm, winspool,
// dwmapi, which older systems lack altogether).
// Windows looks for a DLL named in the import table in the program folder before the system
// folder unless it is a known DLL, so a file placed beside Plenvue.exe could stand in for one.
// These DLLs are therefore never imported: each function is loaded on first use by the full
// path of the system folder's copy. A function that cannot be loaded fails the way the
// original reports failure, with ERROR_PROC_NOT_FOUND as the last error.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <winspool.h>
#include <dwmapi.h>

namespace plenvue::sysdll {

// The full path of `dll` in the system folder, loaded once and kept for the process; null
// when it cannot be loaded.
HMODULE SystemModule(const wchar_t* dll);

UINT waveOutGetNumDevs();
BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);

BOOL EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned);
BOOL GetDefaultPrinterA(LPSTR buffer, LPDWORD size);
BOOL OpenPrinterA(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults);
LONG DocumentPropertiesA(HWND owner, HANDLE printer, LPSTR deviceName, PDEVMODEA out, PDEVMODEA in, DWORD mode);
BOOL ClosePrinter(HANDLE printer);

// E_NOTIMPL where the system has no desktop window manager.
HRESULT DwmGetWindowAttribute(HWND window, DWORD attribute, PVOID value, DWORD size);

}  // namespace plenvue::sysdll
