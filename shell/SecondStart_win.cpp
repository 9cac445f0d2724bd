// Finding the running instance and handing it the command line.
#include "shell/SecondStart_win.h"

#include <shellapi.h>

#include "base/Utf.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"
#include "shell/StartSwitches.h"

namespace plenvue {

namespace {

std::wstring LowerPath(std::wstring s) {
    CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::wstring ProcessImage(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return {};
    std::wstring name(32768, L'\0');
    DWORD size = static_cast<DWORD>(name.size());
    const BOOL ok = QueryFullProcessImageNameW(process, 0, name.data(), &size);
    CloseHandle(process);
    if (!ok) return {};
    name.resize(size);
    return LowerPath(name);
}

struct InstanceSearch {
    std::wstring image;
    HWND found = nullptr;
};

// Only a main window of our own class in a process of our own program file: a window of that
// class name elsewhere never gets the command line.
BOOL CALLBACK MatchInstance(HWND w, LPARAM data) {
    auto* search = reinterpret_cast<InstanceSearch*>(data);
    wchar_t cls[64] = {};
    if (!GetClassNameW(w, cls, 64) || std::wstring_view(cls) != kMainWindowClassW) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId() || ProcessImage(pid) != search->image) return TRUE;
    search->found = w;
    return FALSE;
}

}  // namespace

bool ProgramArgumentsUtf8(std::vector<std::string>& args) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return false;
    bool ok = true;
    for (int i = 1; i < count && ok; ++i) {
        std::optional<std::string> text = NarrowChecked(wide[i]);
        if (text) args.push_back(std::move(*text));
        else ok = false;
    }
    LocalFree(wide);
    return ok;
}

std::string AbsoluteFilePath(const std::string& path) {
    const std::wstring wide = WideName(path);
    const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (need == 0) return path;
    std::wstring full(need, L'\0');
    const DWORD got = GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return path;
    full.resize(got);
    std::string text = Narrow(full);
    if (text.rfind("\\\\?\\", 0) == 0 && text.rfind("\\\\?\\UNC\\", 0) != 0) text = text.substr(4);
    return text;
}

bool HandOverToRunningInstance(const std::vector<std::string>& args, DWORD waitMs) {
    InstanceSearch search{LowerPath(Widen(ModulePath(nullptr)))};
    const DWORD start = GetTickCount();
    for (;;) {
        search.found = nullptr;
        EnumWindows(MatchInstance, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= waitMs) break;
        Sleep(100);
    }
    if (!search.found) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(search.found, &pid);
    // The running instance may come to the front only with our leave: we are the foreground process.
    AllowSetForegroundWindow(pid);
    const std::string record = EncodeHandOver(args);
    COPYDATASTRUCT data{};
    data.dwData = kHandOverTag;
    data.cbData = static_cast<DWORD>(record.size());
    data.lpData = record.empty() ? nullptr : const_cast<char*>(record.data());
    DWORD_PTR answer = 0;
    const LRESULT sent = SendMessageTimeoutW(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                             SMTO_ABORTIFHUNG, 10000, &answer);
    return sent != 0 && answer != 0;
}

}  // namespace plenvue
