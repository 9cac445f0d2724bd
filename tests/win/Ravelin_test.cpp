// Ravelin.dll as Plenvue binds it: undecorated exports, one hook system-wide.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace plenvue {
namespace {

using SetHookFn = HHOOK(WINAPI*)(HWND, UINT);
using FreeHookFn = BOOL(WINAPI*)();

std::string BinDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

struct Ravelin {
    HMODULE module = LoadLibraryA((BinDir() + "Ravelin.dll").c_str());
    SetHookFn set = module ? reinterpret_cast<SetHookFn>(
                                 reinterpret_cast<void*>(GetProcAddress(module, "SetGlobalMouseHook")))
                           : nullptr;
    FreeHookFn free = module ? reinterpret_cast<FreeHookFn>(
                                   reinterpret_cast<void*>(GetProcAddress(module, "FreeGlobalMouseHook")))
                             : nullptr;
    ~Ravelin() {
        if (module) FreeLibrary(module);
    }
};

// Run in a second process: exit code 0 when that process was refused the hook.
TEST(RavelinChild, SecondProcessIsRefusedWhileHooked) {
    if (!std::getenv("RAVELIN_CHILD")) GTEST_SKIP() << "runs only as the child of the test below";
    Ravelin r;
    ASSERT_TRUE(r.set);
    HHOOK h = r.set(GetDesktopWindow(), 0);
    if (h) r.free();
    std::exit(h ? 3 : 0);
}

TEST(Ravelin, ExportsAreUndecoratedAndOneHookAtATime) {
    Ravelin r;
    ASSERT_NE(r.module, nullptr);
    ASSERT_NE(r.set, nullptr);
    ASSERT_NE(r.free, nullptr);
    EXPECT_EQ(GetProcAddress(r.module, "SetGlobalMouseHook@8"), nullptr);
    EXPECT_EQ(GetProcAddress(r.module, "_SetGlobalMouseHook@8"), nullptr);

    HHOOK first = r.set(GetDesktopWindow(), WM_LBUTTONDOWN);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(r.set(GetDesktopWindow(), 0), nullptr);  // already hooked: refused, first stays
    EXPECT_TRUE(r.free());
    EXPECT_FALSE(r.free());  // no hook left to remove

    HHOOK again = r.set(GetDesktopWindow(), 0);
    EXPECT_NE(again, nullptr);
    EXPECT_TRUE(r.free());
}

// The hook handle lives in a section shared by every process that maps the library.
TEST(Ravelin, HookHeldHereRefusesAnotherProcess) {
    Ravelin r;
    ASSERT_NE(r.set, nullptr);
    ASSERT_NE(r.set(GetDesktopWindow(), 0), nullptr);

    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd = std::string("\"") + exe + "\" --gtest_filter=RavelinChild.*";
    SetEnvironmentVariableA("RAVELIN_CHILD", "1");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA("RAVELIN_CHILD", nullptr);
    DWORD code = 99;
    if (started) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    r.free();
    ASSERT_TRUE(started);
    EXPECT_EQ(code, 0u) << "the second process got a hook of its own";
}

}  // namespace
}  // namespace plenvue
