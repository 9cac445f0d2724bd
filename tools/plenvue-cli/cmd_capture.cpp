// plenvue-cli capture: the Windows build captures through the program's own engine and forms; the
// native build has no screen to capture and says so.
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <ole2.h>

#include "image/clsDIBSection_win.h"
#include "shell/CommandLineCapture_win.h"
#endif

#include "shell/CaptureCommand.h"
#include "tools/plenvue-cli/Cli.h"

namespace plenvue::cli {

namespace {

static_assert(kExitOk == 0 && kExitCancelled == 1 && kExitUsage == 2 && kExitFailure == 3,
              "the capture's outcomes map onto the tool's exit statuses");

int ExitFor(CaptureOutcome outcome) { return CaptureExitStatus(outcome); }

#ifdef _WIN32
// Physical pixels on every monitor, as Plenvue.exe declares in its manifest.
void BePerMonitorDpiAware() {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    if (!setContext || !setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) SetProcessDPIAware();
}

int RunCapture(const std::vector<std::string>& args) {
    const CaptureParse parse = ParseCaptureArguments(args);
    if (parse.Request && parse.Request->Help) {
        std::fputs(CaptureUsageText(), stdout);
        return kExitOk;
    }
    BePerMonitorDpiAware();
    PrepareCommandLineProgram();
    if (!parse.Request) {
        std::fprintf(stderr, "plenvue-cli: %s\nusage: plenvue-cli capture MODE [options] (plenvue-cli capture --help)\n",
                     CaptureUsageMessage(parse.Error).c_str());
        return ExitFor(CaptureOutcome::Usage);
    }
    // The picture's bytes and the path go out as they are: no line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
    // Messages and paths are UTF-8; the console gets its own code page back at the end.
    const UINT consoleCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    OleInitialize(nullptr);
    InstallWin32ImageServices();
    const CaptureOutcome outcome = RunCommandLineCapture(*parse.Request, stdout, stderr);
    OleUninitialize();
    if (consoleCodePage) SetConsoleOutputCP(consoleCodePage);
    return ExitFor(outcome);
}
#else
int RunCapture(const std::vector<std::string>& args) {
    const CaptureParse parse = ParseCaptureArguments(args);
    if (parse.Request && parse.Request->Help) {
        std::fputs(CaptureUsageText(), stdout);
        return kExitOk;
    }
    std::fprintf(stderr, "plenvue-cli: capture needs the Windows build of plenvue-cli (plenvue-cli.exe)\n");
    return ExitFor(CaptureOutcome::Usage);
}
#endif

const Registrar capture({"capture", "MODE [options] (capture --help)", RunCapture});

}  // namespace
}  // namespace plenvue::cli
