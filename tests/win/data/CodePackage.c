/* A language package with code: its entry point leaves a marker file beside the module. The
   Windows tests load it as a package and check that the marker never appears. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 32];
        DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
        while (n > 0 && path[n - 1] != '\\') --n;
        lstrcpyA(path + n, "DllMainRan.txt");
        HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
    return TRUE;
}
