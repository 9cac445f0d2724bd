// Test helper run under Wine beside Plenvue: reads what the user sees (captions, status text,
// message boxes, screen pixels) and shows a window with a known pattern. One command a call;
// answers on stdout.
#include <windows.h>
#include <psapi.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../support/FileDialogParts_win.h"

namespace {

HWND ParseHwnd(const char* s) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(strtoul(s, nullptr, 0))); }

// Eight hex digits on every build: window handles carry 32 significant bits on 64-bit Windows too.
std::string HandleText(HWND h) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(h) & 0xFFFFFFFFu));
    return text;
}

HWND MainWindow() { return FindWindowA("PlenvueMainWindow", nullptr); }

HWND FindChild(HWND parent, const char* cls) { return FindWindowExA(parent, nullptr, cls, nullptr); }

// The first window of a class anywhere below the main window.
struct DescendantSearch {
    const char* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDescendant(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<DescendantSearch*>(data);
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(search->cls, "*") == 0 || lstrcmpiA(cls, search->cls) == 0) search->found.push_back(child);
    return TRUE;
}

std::vector<HWND> Descendants(const char* cls) {
    DescendantSearch search{cls, {}};
    if (HWND main = MainWindow()) EnumChildWindows(main, CollectDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Posts WM_DROPFILES to a window of another process: the drop record (a DROPFILES header and the
// names) is written into that process, where the file-drop functions read it as a fixed memory block.
bool PostDropRecord(HWND target, const std::string& names, bool wide) {
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES df{};
    df.pFiles = sizeof(DROPFILES);
    df.fWide = wide;
    std::memcpy(block.data(), &df, sizeof df);
    block += names;
    DWORD pid = 0;
    GetWindowThreadProcessId(target, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return false;
    void* remote = VirtualAllocEx(proc, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool ok = remote && WriteProcessMemory(proc, remote, block.data(), block.size(), nullptr);
    CloseHandle(proc);
    return ok && PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

bool PostDrop(HWND target, int count, char** paths) {
    std::string names;
    for (int i = 0; i < count; ++i) {
        names += paths[i];
        names += '\0';
    }
    names += '\0';
    return PostDropRecord(target, names, false);
}

// The same with wide names, for names the ANSI code page cannot carry.
bool PostDropWide(HWND target, const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& p : paths) names += p + L'\0';
    names += L'\0';
    return PostDropRecord(target, std::string(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t)),
                          true);
}

struct TipSearch {
    DWORD pid;
    HWND shown;
};

BOOL CALLBACK FindShownTip(HWND w, LPARAM p) {
    auto* f = reinterpret_cast<TipSearch*>(p);
    char cls[64] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    GetClassNameA(w, cls, sizeof cls);
    if (pid != f->pid || lstrcmpiA(cls, "tooltips_class32") != 0 || !IsWindowVisible(w)) return TRUE;
    f->shown = w;
    return FALSE;
}

std::string RemoteStatusText(HWND status, int part = 0) {
    DWORD pid = 0;
    GetWindowThreadProcessId(status, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return "";
    void* remote = VirtualAllocEx(proc, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    std::string out;
    if (remote) {
        LRESULT len = SendMessageA(status, SB_GETTEXTLENGTHA, 0, 0);
        (void)len;
        SendMessageA(status, SB_GETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(remote));
        char buf[4096] = {};
        SIZE_T got = 0;
        ReadProcessMemory(proc, remote, buf, sizeof buf - 1, &got);
        out = buf;
        VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    }
    CloseHandle(proc);
    return out;
}

BOOL CALLBACK PrintChildText(HWND child, LPARAM) {
    char cls[64] = {}, text[1024] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    std::printf("%s|%d|%s\n", cls, GetDlgCtrlID(child), text);
    return TRUE;
}

// Screen rectangle of a window's client area and its text, one line.
void PrintClient(HWND w) {
    RECT r{};
    char text[256] = {};
    if (w) {
        GetClientRect(w, &r);
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
        // Sent, not GetWindowText: across processes that reads no edit control's own text.
        SendMessageA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    }
    std::printf("%ld %ld %ld %ld %s\n", r.left, r.top, r.right, r.bottom, text);
}

// A common-control rectangle read through memory in the control's process, in screen coordinates.
RECT RemoteRect(HWND control, UINT message) {
    RECT r{};
    DWORD pid = 0;
    GetWindowThreadProcessId(control, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return r;
    if (void* remote = VirtualAllocEx(proc, nullptr, sizeof r, MEM_COMMIT, PAGE_READWRITE)) {
        SendMessageA(control, message, 0, reinterpret_cast<LPARAM>(remote));
        SIZE_T got = 0;
        ReadProcessMemory(proc, remote, &r, sizeof r, &got);
        VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    }
    CloseHandle(proc);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LRESULT CALLBACK PatternProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        // Four quadrants of known colours and a one-pixel grid of a fifth.
        int mx = rc.right / 2, my = rc.bottom / 2;
        const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
        RECT q[4] = {{0, 0, mx, my}, {mx, 0, rc.right, my}, {0, my, mx, rc.bottom}, {mx, my, rc.right, rc.bottom}};
        for (int i = 0; i < 4; ++i) {
            HBRUSH b = CreateSolidBrush(colours[i]);
            FillRect(dc, &q[i], b);
            DeleteObject(b);
        }
        for (int x = 0; x < rc.right; x += 10)
            for (int y = 0; y < rc.bottom; ++y) SetPixel(dc, x, y, RGB(0, 0, 0));
        EndPaint(hwnd, &ps);
        return 0;
    }
    // A right button that reached the window shows in its title (picking must keep it away).
    if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_CONTEXTMENU) SetWindowTextA(hwnd, "Pattern right");
    if (msg == WM_DESTROY) PostQuitMessage(0);
    // The titled window is a Unicode window: its title must not go through the ANSI default.
    return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, w, l) : DefWindowProcA(hwnd, msg, w, l);
}

int Pattern(int x, int y, int w, int h) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PatternProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PvProbePattern";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "PvProbePattern", "Pattern", WS_POPUP | WS_VISIBLE, x, y, w, h,
                                nullptr, nullptr, wc.hInstance, nullptr);
    std::printf("%s\n", HandleText(hwnd).c_str());
    std::fflush(stdout);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    return 0;
}

// A framed top-level window with a caption, the pattern in its client area and a title given as
// the hexadecimal bytes of its UTF-8 text (any script, whatever the code page), brought to the front.
int TitledPattern(int x, int y, int w, int h, const char* hexTitle) {
    std::string utf8;
    for (size_t i = 0; hexTitle[i] && hexTitle[i + 1]; i += 2) {
        const char pair[3] = {hexTitle[i], hexTitle[i + 1], 0};
        utf8.push_back(static_cast<char>(strtoul(pair, nullptr, 16)));
    }
    std::wstring title(utf8.size() + 1, L'\0');
    title.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                         title.data(), static_cast<int>(title.size()))));
    WNDCLASSW wc{};
    wc.lpfnWndProc = PatternProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PvProbeTitled";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"PvProbeTitled", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, nullptr,
                                nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(hwnd);
    std::printf("%s\n", HandleText(hwnd).c_str());
    std::fflush(stdout);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    return 0;
}

HMODULE RemoteModule(HANDLE proc, const char* name) {
    HMODULE modules[512];
    DWORD needed = 0;
    if (!EnumProcessModules(proc, modules, sizeof modules, &needed)) return nullptr;
    for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
        char base[MAX_PATH] = {};
        if (GetModuleBaseNameA(proc, modules[i], base, MAX_PATH) && lstrcmpiA(base, name) == 0) return modules[i];
    }
    return nullptr;
}

// Menus live in their own process under Wine: load pvmenu.dll into Plenvue to write them out.
int DumpMenus() {
    DWORD pid = 0;
    GetWindowThreadProcessId(MainWindow(), &pid);
    HANDLE proc = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (!proc) return 1;
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string dll = exe;
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "pvmenu.dll";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string out = std::string(temp) + "pvmenu-" + std::to_string(pid) + ".txt";
    DeleteFileA(out.c_str());
    void* remote = VirtualAllocEx(proc, nullptr, dll.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    int rc = 1;
    if (remote && WriteProcessMemory(proc, remote, dll.c_str(), dll.size() + 1, nullptr)) {
        auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA"));
        auto unload = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "FreeLibrary"));
        HANDLE t = CreateRemoteThread(proc, nullptr, 0, load, remote, 0, nullptr);
        if (t) {
            WaitForSingleObject(t, 10000);
            CloseHandle(t);
            // The thread's exit code holds only 32 bits of the module handle: look the module up.
            HMODULE module = RemoteModule(proc, "pvmenu.dll");
            if (module) {
                HANDLE u = CreateRemoteThread(proc, nullptr, 0, unload, module, 0, nullptr);
                if (u) {
                    WaitForSingleObject(u, 10000);
                    CloseHandle(u);
                }
            }
        }
        FILE* f = std::fopen(out.c_str(), "r");
        if (f) {
            char line[512];
            while (std::fgets(line, sizeof line, f)) std::fputs(line, stdout);
            std::fclose(f);
            DeleteFileA(out.c_str());
            rc = 0;
        }
    }
    if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    CloseHandle(proc);
    return rc;
}

// The driver environment of this build's own platform.
constexpr const char* kPrinterEnvironment = sizeof(void*) == 8 ? "Windows x64" : "Windows NT x86";

// A PostScript printer of Wine's own driver that writes every job to `port` (a Unix path).
int AddFilePrinter(const char* name, const char* port) {
    HMODULE spool = LoadLibraryExA("winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC res = spool ? FindResourceA(spool, MAKEINTRESOURCEA(1), "PPDFILE") : nullptr;
    HGLOBAL data = res ? LoadResource(spool, res) : nullptr;
    const char* ppd = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!ppd) return 3;
    DWORD size = SizeofResource(spool, res), length = 0;
    while (length < size && ppd[length]) ++length;
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(kPrinterEnvironment), 1,
                                    reinterpret_cast<BYTE*>(dir), sizeof dir, &needed))
        return 4;
    std::string ppdPath = std::string(dir) + "\\plenvue-test.ppd";
    HANDLE f = CreateFileA(ppdPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 5;
    DWORD written = 0;
    WriteFile(f, ppd, length, &written, nullptr);
    CloseHandle(f);
    DRIVER_INFO_3A di{};
    di.cVersion = 3;
    di.pName = const_cast<char*>("Wine PostScript Driver");
    di.pEnvironment = const_cast<char*>(kPrinterEnvironment);
    di.pDriverPath = const_cast<char*>("wineps.drv");
    di.pDataFile = const_cast<char*>(ppdPath.c_str());
    di.pConfigFile = const_cast<char*>("wineps.drv");
    di.pDefaultDataType = const_cast<char*>("RAW");
    if (!AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&di), APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        std::printf("driver %lu\n", GetLastError());
        return 6;
    }
    PRINTER_INFO_2A pi{};
    pi.pPrinterName = const_cast<char*>(name);
    pi.pPortName = const_cast<char*>(port);
    pi.pDriverName = di.pName;
    pi.pPrintProcessor = const_cast<char*>("WinPrint");
    pi.pDatatype = const_cast<char*>("RAW");
    pi.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&pi));
    if (!printer) {
        std::printf("printer %lu\n", GetLastError());
        return 7;
    }
    ClosePrinter(printer);
    SetDefaultPrinterA(name);
    return 0;
}

int DeletePrinterByName(const char* name) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA(const_cast<char*>(name), &printer, &access)) return 1;
    BOOL ok = DeletePrinter(printer);
    ClosePrinter(printer);
    return ok ? 0 : 1;
}

BOOL CALLBACK FindFolderBrowser(HWND w, LPARAM p) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(w) && FindWindowExA(w, nullptr, "SysTreeView32", nullptr)) {
        *reinterpret_cast<HWND*>(p) = w;
        return FALSE;
    }
    return TRUE;
}

std::string Utf8(const std::wstring& wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

BOOL CALLBACK PrintChildTextUtf8(HWND child, LPARAM) {
    char cls[64] = {};
    wchar_t text[1024] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextW(child, text, 1024);
    std::printf("%s|%d|%s\n", cls, GetDlgCtrlID(child), Utf8(text).c_str());
    return TRUE;
}

// Argument i as the wide command line has it: the narrow argv loses what the ANSI code page lacks.
std::wstring WideArg(int i) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring arg = args && i < count ? args[i] : L"";
    if (args) LocalFree(args);
    return arg;
}

// Selects a folder in another process's folder browser and confirms it.
int ChooseFolder(const std::wstring& path) {
    HWND d = nullptr;
    EnumWindows(FindFolderBrowser, reinterpret_cast<LPARAM>(&d));
    if (!d) return 1;
    // The tree is filled after the dialog shows; a selection before that is lost.
    HWND tree = FindWindowExA(d, nullptr, "SysTreeView32", nullptr);
    for (int i = 0; i < 60 && SendMessageA(tree, TVM_GETCOUNT, 0, 0) == 0; ++i) Sleep(50);
    Sleep(300);
    DWORD pid = 0;
    GetWindowThreadProcessId(d, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return 1;
    void* remote = VirtualAllocEx(proc, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        WriteProcessMemory(proc, remote, path.c_str(), (path.size() + 1) * sizeof(wchar_t), nullptr);
        SendMessageW(d, WM_USER + 103 /* BFFM_SETSELECTIONW */, TRUE, reinterpret_cast<LPARAM>(remote));
        VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    }
    CloseHandle(proc);
    Sleep(200);
    PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    return remote ? 0 : 1;
}

BOOL CALLBACK PrintMonitor(HMONITOR m, HDC, LPRECT, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(m, &info))
        std::printf("%ld %ld %ld %ld %d\n", info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                    info.rcMonitor.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    // Sizes and pixels as they are on the screen: a DPI-unaware reader would be given them scaled
    // down to 96 DPI on a scaled display.
    SetProcessDPIAware();
    std::string cmd = argv[1];
    if (cmd == "main") {
        std::printf("%s\n", HandleText(MainWindow()).c_str());
    } else if (cmd == "find" && argc >= 4) {
        const char* cls = std::string(argv[2]) == "-" ? nullptr : argv[2];
        const char* title = std::string(argv[3]) == "-" ? nullptr : argv[3];
        std::printf("%s\n", HandleText(FindWindowA(cls, title)).c_str());
    } else if (cmd == "text" && argc >= 3) {
        char text[1024] = {};
        GetWindowTextA(ParseHwnd(argv[2]), text, sizeof text);
        std::printf("%s\n", text);
    } else if (cmd == "caption") {
        char text[1024] = {};
        GetWindowTextA(MainWindow(), text, sizeof text);
        std::printf("%s\n", text);
    } else if (cmd == "caption8") {
        // The caption in UTF-8, for names the ANSI code page cannot show.
        wchar_t text[1024] = {};
        GetWindowTextW(MainWindow(), text, 1024);
        std::printf("%s\n", Utf8(text).c_str());
    } else if (cmd == "status") {
        HWND bar = FindChild(MainWindow(), STATUSCLASSNAMEA);
        // "status N": the bar's part N (0, the message, unless told).
        std::printf("%s\n", bar ? RemoteStatusText(bar, argc >= 3 ? atoi(argv[2]) : 0).c_str() : "");
    } else if (cmd == "visible") {
        HWND w = argc >= 3 ? ParseHwnd(argv[2]) : MainWindow();
        std::printf("%d\n", IsWindowVisible(w) ? 1 : 0);
    } else if (cmd == "iconic") {
        std::printf("%d\n", IsIconic(MainWindow()) ? 1 : 0);
    } else if (cmd == "childvisible" && argc >= 3) {
        HWND c = FindChild(MainWindow(), argv[2]);
        std::printf("%d\n", c && IsWindowVisible(c) ? 1 : 0);
    } else if (cmd == "childrect" && argc >= 3) {
        HWND c = FindChild(MainWindow(), argv[2]);
        if (!c) {  // nested, as the toolbar inside the rebar
            std::vector<HWND> nested = Descendants(argv[2]);
            if (!nested.empty()) c = nested.front();
        }
        RECT r{};
        if (c) {
            GetClientRect(c, &r);
            MapWindowPoints(c, nullptr, reinterpret_cast<POINT*>(&r), 2);
        }
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if (cmd == "tbbutton") {
        // The toolbar's button size, which follows the size of its images.
        std::vector<HWND> bars = Descendants(TOOLBARCLASSNAMEA);
        DWORD size = bars.empty() ? 0 : static_cast<DWORD>(SendMessageA(bars.front(), TB_GETBUTTONSIZE, 0, 0));
        std::printf("%u %u\n", LOWORD(size), HIWORD(size));
    } else if (cmd == "dismiss" && argc >= 3) {
        PostMessageA(ParseHwnd(argv[2]), WM_CLOSE, 0, 0);
    } else if (cmd == "dpi") {
        HDC screen = GetDC(nullptr);
        std::printf("%d\n", GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
    } else if (cmd == "rect") {
        RECT r{};
        GetWindowRect(argc >= 3 ? ParseHwnd(argv[2]) : MainWindow(), &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if (cmd == "move" && argc >= 6) {
        SetWindowPos(MainWindow(), nullptr, atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (cmd == "command" && argc >= 3) {
        PostMessageA(MainWindow(), WM_COMMAND, static_cast<WPARAM>(atoi(argv[2])), 0);
    } else if (cmd == "syscommand" && argc >= 3) {
        PostMessageA(MainWindow(), WM_SYSCOMMAND, static_cast<WPARAM>(atoi(argv[2])), 0);
    } else if (cmd == "post" && argc >= 5) {
        PostMessageA(MainWindow(), static_cast<UINT>(strtoul(argv[2], nullptr, 0)),
                     static_cast<WPARAM>(strtoul(argv[3], nullptr, 0)), static_cast<LPARAM>(strtoul(argv[4], nullptr, 0)));
    } else if (cmd == "close") {
        PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
    } else if (cmd == "clearclip") {
        // Empties the clipboard, for Windows programs and X clients alike.
        if (!OpenClipboard(nullptr)) return 1;
        EmptyClipboard();
        CloseClipboard();
    } else if (cmd == "holdlib" && argc >= 3) {
        // Keeps a library loaded, as a program the mouse hook reached keeps Ravelin.dll, until the
        // test ends this process; "loaded" on stdout once it is.
        if (!LoadLibraryA(argv[2])) return 1;
        std::printf("loaded\n");
        std::fflush(stdout);
        Sleep(INFINITE);
    } else if (cmd == "putclip" && argc >= 4) {
        // Puts a file's bytes on the clipboard as "dib" (CF_DIB) or "png", and nothing else, as
        // another program would, however malformed they are.
        const UINT format = std::string(argv[2]) == "dib" ? CF_DIB : RegisterClipboardFormatA("PNG");
        FILE* f = std::fopen(argv[3], "rb");
        if (!f) return 1;
        std::vector<char> bytes;
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
        if (!block) return 1;
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        if (!OpenClipboard(nullptr)) {
            GlobalFree(block);
            return 1;
        }
        EmptyClipboard();
        const bool set = SetClipboardData(format, block) != nullptr;
        CloseClipboard();
        if (!set) {
            GlobalFree(block);
            return 1;
        }
    } else if (cmd == "dialog" && argc >= 3) {
        HWND d = FindWindowA("#32770", argv[2]);
        if (!d) return 1;
        EnumChildWindows(d, PrintChildText, 0);
    } else if (cmd == "dialog8" && argc >= 3) {
        // As "dialog", the texts in UTF-8.
        HWND d = FindWindowA("#32770", argv[2]);
        if (!d) return 1;
        EnumChildWindows(d, PrintChildTextUtf8, 0);
    } else if (cmd == "settext" && argc >= 5) {
        // Types into a dialog's edit as a user would: the text, then the change notification.
        HWND d = FindWindowA("#32770", argv[2]);
        HWND e = d ? GetDlgItem(d, atoi(argv[3])) : nullptr;
        if (!e) return 1;
        SendMessageA(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(atoi(argv[3]), EN_UPDATE), reinterpret_cast<LPARAM>(e));
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(atoi(argv[3]), EN_CHANGE), reinterpret_cast<LPARAM>(e));
    } else if (cmd == "click" && argc >= 4) {
        HWND d = FindWindowA("#32770", argv[2]);
        HWND b = d ? GetDlgItem(d, atoi(argv[3])) : nullptr;
        if (!b) return 1;
        PostMessageA(b, BM_CLICK, 0, 0);
    } else if (cmd == "pixels" && argc >= 6) {
        // Prints the screen's pixels of a rectangle as hex RRGGBB, one row a line.
        int x0 = atoi(argv[2]), y0 = atoi(argv[3]), w = atoi(argv[4]), h = atoi(argv[5]);
        HDC screen = GetDC(nullptr);
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                COLORREF c = GetPixel(screen, x, y);
                std::printf("%02X%02X%02X%s", GetRValue(c), GetGValue(c), GetBValue(c), x + 1 < x0 + w ? " " : "");
            }
            std::printf("\n");
        }
        ReleaseDC(nullptr, screen);
    } else if (cmd == "dlgctl" && argc >= 4) {
        // A dialog control by id: its client rectangle on the screen and its text.
        HWND d = FindWindowA("#32770", argv[2]);
        PrintClient(d ? GetDlgItem(d, atoi(argv[3])) : nullptr);
    } else if (cmd == "trackbar" && argc >= 3) {
        // A dialog's track bar: position, then channel and thumb rectangles on the screen.
        HWND d = FindWindowA("#32770", argv[2]);
        HWND t = d ? FindWindowExA(d, nullptr, TRACKBAR_CLASSA, nullptr) : nullptr;
        if (!t) return 1;
        RECT c = RemoteRect(t, TBM_GETCHANNELRECT), th = RemoteRect(t, TBM_GETTHUMBRECT);
        std::printf("%ld %ld %ld %ld %ld %ld %ld %ld %ld\n", static_cast<long>(SendMessageA(t, TBM_GETPOS, 0, 0)),
                    c.left, c.top, c.right, c.bottom, th.left, th.top, th.right, th.bottom);
    } else if (cmd == "titled" && argc >= 7) {
        return TitledPattern(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), argv[6]);
    } else if (cmd == "clipinfo") {
        // Which forms the clipboard holds: "dib png own" for a picture of the command-line capture.
        std::string forms;
        if (IsClipboardFormatAvailable(CF_DIB)) forms += "dib ";
        if (IsClipboardFormatAvailable(RegisterClipboardFormatA("PNG"))) forms += "png ";
        if (IsClipboardFormatAvailable(RegisterClipboardFormatA("Plenvue.OwnPicture"))) forms += "own ";
        std::printf("%s\n", forms.empty() ? "none" : forms.c_str());
    } else if (cmd == "pattern" && argc >= 6) {
        return Pattern(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    } else if (cmd == "tooltip") {
        // The text of the tooltip window shown for the main window's process; "none" without one.
        TipSearch find{0, nullptr};
        GetWindowThreadProcessId(MainWindow(), &find.pid);
        EnumWindows(FindShownTip, reinterpret_cast<LPARAM>(&find));
        // Asked in Unicode: Wine's tooltip answers an ANSI WM_GETTEXT with an empty text.
        WCHAR wide[256] = {};
        char text[512] = {};
        if (find.shown) SendMessageW(find.shown, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        std::printf("%s\n", find.shown ? text : "none");
    } else if (cmd == "popupmenu") {
        // The items of the open popup menu, one a line ("-" for a separator); "none" without one.
        HWND popup = FindWindowA("#32768", nullptr);
        HMENU menu = popup ? reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0)) : nullptr;
        int count = menu ? GetMenuItemCount(menu) : -1;
        if (count < 0) {
            std::printf("none\n");
            return 1;
        }
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            UINT id = GetMenuItemID(menu, i);
            if (GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION) == 0 && id == 0) std::printf("-\n");
            else std::printf("%u %s\n", id, text);
        }
    } else if (cmd == "menus") {
        // The main window's menu bar and system menu: "depth<TAB>id<TAB>flags<TAB>text" a line.
        return DumpMenus();
    } else if (cmd == "holdhotkey" && argc >= 4) {
        // Holds a system-wide hot key, as another program would, until this process is ended.
        if (!RegisterHotKey(nullptr, 1, static_cast<UINT>(atoi(argv[2])), static_cast<UINT>(atoi(argv[3])))) {
            std::printf("fail\n");
            return 1;
        }
        std::printf("held\n");
        std::fflush(stdout);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        }
    } else if (cmd == "descendants" && argc >= 3) {
        // Windows of a class ("*" for all) below the main window: handle, screen rectangle, visible, class.
        for (HWND w : Descendants(argv[2])) {
            RECT r{};
            GetWindowRect(w, &r);
            char cls[64] = {};
            GetClassNameA(w, cls, sizeof cls);
            std::printf("%s %ld %ld %ld %ld %d %s\n", HandleText(w).c_str(), r.left, r.top, r.right, r.bottom,
                        IsWindowVisible(w) ? 1 : 0, cls);
        }
    } else if (cmd == "drop" && argc >= 4) {
        // drop CLS PATH...: onto the first window of that class below the main window.
        std::vector<HWND> targets = Descendants(argv[2]);
        if (targets.empty() || !PostDrop(targets.front(), argc - 3, argv + 3)) return 1;
    } else if (cmd == "dropw" && argc >= 4) {
        std::vector<HWND> targets = Descendants(argv[2]);
        std::vector<std::wstring> paths;
        for (int i = 3; i < argc; ++i) paths.push_back(WideArg(i));
        if (targets.empty() || !PostDropWide(targets.front(), paths)) return 1;
    } else if (cmd == "listbox") {
        // The history list: line count, selected line, then the lines.
        std::vector<HWND> lists = Descendants("LISTBOX");
        if (lists.empty()) return 1;
        HWND list = lists.front();
        LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        std::printf("%ld %ld\n", static_cast<long>(count), static_cast<long>(SendMessageA(list, LB_GETCURSEL, 0, 0)));
        for (LRESULT i = 0; i < count; ++i) {
            // Marshalled across processes as wide text.
            wchar_t wide[1024] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
            char text[2048] = {};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            std::printf("%s\n", text);
        }
    } else if (cmd == "combo" && argc >= 4) {
        // A dialog's combo box: entry count and chosen entry, then the entries in UTF-8.
        HWND d = FindWindowA("#32770", argv[2]);
        HWND c = d ? GetDlgItem(d, atoi(argv[3])) : nullptr;
        if (!c) return 1;
        LRESULT count = SendMessageW(c, CB_GETCOUNT, 0, 0);
        std::printf("%ld %ld\n", static_cast<long>(count), static_cast<long>(SendMessageW(c, CB_GETCURSEL, 0, 0)));
        for (LRESULT i = 0; i < count; ++i) {
            // Marshalled across processes as wide text, like the list box's lines.
            wchar_t wide[1024] = {};
            if (SendMessageW(c, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= 1024) return 1;
            SendMessageW(c, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
            std::printf("%s\n", Utf8(wide).c_str());
        }
    } else if (cmd == "itemrect" && argc >= 4) {
        // Screen rectangle of a dialog's control, for real clicks into it.
        HWND d = FindWindowA("#32770", argv[2]);
        HWND c = d ? GetDlgItem(d, atoi(argv[3])) : nullptr;
        RECT r{};
        if (c) GetWindowRect(c, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if (cmd == "guiresources") {
        DWORD pid = 0;
        GetWindowThreadProcessId(MainWindow(), &pid);
        HANDLE proc = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
        std::printf("%lu %lu\n", proc ? GetGuiResources(proc, GR_GDIOBJECTS) : 0,
                    proc ? GetGuiResources(proc, GR_USEROBJECTS) : 0);
        if (proc) CloseHandle(proc);
    } else if (cmd == "filenamebox" && argc >= 3) {
        // The name an open or save dialog proposes, and the 0-based type shown in its list.
        HWND d = FindWindowA("#32770", argv[2]);
        HWND e = d ? plenvue::test::FileNameEdit(d) : nullptr;
        if (!e) return 1;
        // GetWindowText does not read an edit of another process: ask the control itself.
        wchar_t text[1024] = {};
        SendMessageW(e, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        std::printf("%s|%ld\n", Utf8(text).c_str(),
                    static_cast<long>(SendDlgItemMessageA(d, 0x470, CB_GETCURSEL, 0, 0)));
    } else if (cmd == "filename" && argc >= 4) {
        // Types a path into an open or save dialog's name box and confirms it.
        HWND d = FindWindowA("#32770", argv[2]);
        HWND e = d ? plenvue::test::FileNameEdit(d) : nullptr;
        if (!e) return 1;
        SendMessageW(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideArg(3).c_str()));
        PostMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    } else if (cmd == "browse" && argc >= 3) {
        return ChooseFolder(WideArg(2));
    } else if (cmd == "addprinter" && argc >= 4) {
        return AddFilePrinter(argv[2], argv[3]);
    } else if (cmd == "delprinter" && argc >= 3) {
        return DeletePrinterByName(argv[2]);
    } else if (cmd == "printers") {
        DWORD needed = 0, count = 0;
        EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &count);
        std::string buffer(needed + 1, '\0');
        if (needed && EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, reinterpret_cast<BYTE*>(buffer.data()), needed,
                                    &needed, &count)) {
            auto* info = reinterpret_cast<PRINTER_INFO_4A*>(buffer.data());
            for (DWORD i = 0; i < count; ++i) std::printf("%s\n", info[i].pPrinterName);
        }
    } else if (cmd == "foreground") {
        std::printf("%s\n", HandleText(GetForegroundWindow()).c_str());
    } else if (cmd == "monitors") {
        // One line per monitor: left top right bottom, then 1 for the primary.
        EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    } else {
        return 2;
    }
    return 0;
}
