// The command-line capture's driver over the shared capture engine and forms.
#include "shell/CommandLineCapture_win.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "base/ErrorObject.h"
#include "base/MessageTable.h"
#include "base/MessageText.h"
#include "base/FileNames.h"
#include "base/win/WideText_win.h"
#include "base/win/Wide_win.h"
#include "base/win/modDeclare_win.h"
#include "capture/Monitors_win.h"
#include "capture/clsCapture_win.h"
#include "capture/frmFullScreen_win.h"
#include "capture/frmSnapWindow_win.h"
#include "controls/modCreatePath_win.h"
#include "settings/CurrentSettings.h"
#include "settings/LanguageTag.h"
#include "settings/SaveFolder_win.h"
#include "settings/cMultiLanguage_win.h"
#include "settings/modRegistry_win.h"
#include "shell/AutoSaveName.h"
#include "shell/Clipboard_win.h"
#include "shell/FileCommands_win.h"

namespace plenvue {

namespace {

std::string WithBackslash(std::string s) {
    if (s.empty() || s.back() != '\\') s += '\\';
    return s;
}

void Say(std::FILE* err, const std::string& text) {
    std::fprintf(err, "plenvue-cli: %s\n", text.c_str());
    std::fflush(err);
}

std::string Text(int item, const std::string& value = {}) { return FormatMessageText(Msg(item), value); }

std::string RectText(const ScreenRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(int64_t{r.Right} - r.Left) +
           "," + std::to_string(int64_t{r.Bottom} - r.Top);
}

struct TitleSearch {
    const CaptureRequest* request;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM data) {
    auto* search = reinterpret_cast<TitleSearch*>(data);
    if (!IsWindowVisible(w)) return TRUE;
    if (TitleMatches(WindowTextOf(w), search->request->Title, search->request->MatchContains)) {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

// Top-level windows in their order from the front.
HWND FindTitledWindow(const CaptureRequest& request) {
    TitleSearch search{&request};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ScreenRect ClientScreenRect(HWND w) {
    RECT c{};
    GetClientRect(w, &c);
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    return {origin.x, origin.y, origin.x + c.right, origin.y + c.bottom};
}

ScreenRect FrameOf(HWND w, const MonitorList& monitors) {
    ScreenRect frame = WindowCaptureFrame(w, monitors);
    if (IsEmptyRect(frame)) {
        RECT r{};
        GetWindowRect(w, &r);
        frame = {r.left, r.top, r.right, r.bottom};
    }
    return frame;
}

// A fixed rectangle of the desktop, as region selection and picking take theirs.
Picture CaptureDesktopRect(clsCapture& engine, const ScreenRect& r) {
    engine.CaptureMethod(1);
    engine.SrcLeft(r.Left);
    engine.SrcTop(r.Top);
    engine.SrcWidth(static_cast<double>(int64_t{r.Right} - r.Left));
    engine.SrcHeight(static_cast<double>(int64_t{r.Bottom} - r.Top));
    return engine.Capture();
}

struct Taken {
    Picture picture;
    int32_t left = 0, top = 0;
    CaptureOutcome outcome = CaptureOutcome::Saved;
};

Taken Take(const CaptureRequest& request, std::FILE* err) {
    Taken t;
    clsCapture& engine = SharedCapture();
    engine.hasMouseCursor(request.Cursor);
    engine.TargetWindow(nullptr);
    const MonitorList monitors = DesktopMonitors();
    auto fail = [&](int item, const std::string& value = {}) {
        Say(err, Text(item, value));
        t.outcome = CaptureOutcome::Failed;
        return t;
    };
    switch (request.Mode) {
        case CaptureMode::Screen:
            engine.CaptureMethod(0);
            engine.FullArea(request.Area.value_or(Settings().FullScreen));
            t.picture = engine.Capture();
            t.left = engine.SrcLeft();
            t.top = engine.SrcTop();
            break;
        case CaptureMode::Monitor: {
            const int index = MonitorOfNumber(monitors, request.MonitorNumber);
            if (index == kNoMonitor) return fail(kMsgCliNoMonitor, std::to_string(request.MonitorNumber));
            const ScreenRect r = monitors[static_cast<size_t>(index)].Bounds;
            t.picture = CaptureDesktopRect(engine, r);
            t.left = r.Left;
            t.top = r.Top;
            break;
        }
        case CaptureMode::Region:
            if (!TouchesAnyMonitor(monitors, request.Region))
                return fail(kMsgCliRegionOffMonitors, RectText(request.Region));
            t.picture = CaptureDesktopRect(engine, request.Region);
            t.left = request.Region.Left;
            t.top = request.Region.Top;
            break;
        case CaptureMode::Window: {
            HWND w = FindTitledWindow(request);
            if (!w) return fail(kMsgCliNoWindow, request.Title);
            // Through the desktop, as picking takes a window: another process's window DC is
            // black where something covers it.
            const ScreenRect r = request.Client ? ClientScreenRect(w) : FrameOf(w, monitors);
            if (IsEmptyRect(r)) return fail(kMsgCliCaptureFailed);
            t.picture = CaptureDesktopRect(engine, r);
            t.left = r.Left;
            t.top = r.Top;
            break;
        }
        case CaptureMode::Active: {
            HWND w = GetForegroundWindow();
            if (!w) return fail(kMsgCliNoForeground);
            const ScreenRect r = request.Client ? ClientScreenRect(w) : FrameOf(w, monitors);
            engine.TargetWindow(w);
            engine.CaptureMethod(request.Client ? 4 : 3);
            t.picture = engine.Capture();
            engine.TargetWindow(nullptr);
            t.left = r.Left;
            t.top = r.Top;
            break;
        }
        case CaptureMode::RegionSelect:
        case CaptureMode::Pick: {
            // The interactive forms capture themselves; an empty picture is the user's cancel.
            if (request.Mode == CaptureMode::Pick) {
                frmSnapWindow form;
                form.ShowModal(nullptr);
                t.picture = form.CapturedPicture();
            } else {
                frmFullScreen form;
                form.ShowModal(nullptr);
                t.picture = form.CapturedPicture();
            }
            if (t.picture.Empty()) {
                Say(err, Text(kMsgCliCancelled));
                t.outcome = CaptureOutcome::Cancelled;
                return t;
            }
            t.left = engine.SrcLeft();
            t.top = engine.SrcTop();
            break;
        }
    }
    const SIZE s = t.picture.PixelSize();
    if (t.picture.Empty() || s.cx <= 0 || s.cy <= 0) return fail(kMsgCliCaptureFailed);
    return t;
}

std::string FullPath(const std::string& path) {
    const std::wstring wide = WideName(path);
    DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (need == 0) return path;
    std::wstring full(need, L'\0');
    DWORD got = GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
    if (got == 0 || got >= need) return path;
    full.resize(got);
    std::string text = Narrow(full);
    // The extended-length prefix is ours, not the user's.
    if (text.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + text.substr(8);
    if (text.rfind("\\\\?\\", 0) == 0) return text.substr(4);
    return text;
}

// A message-only window to own the clipboard's contents.
class ClipboardOwner {
public:
    ClipboardOwner() { hwnd_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
    ~ClipboardOwner() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

bool ReadWholeFile(const std::string& path, std::vector<char>& bytes) {
    std::ifstream in(FsPath(path), std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

}  // namespace

void PrepareCommandLineProgram() {
    ProgramState& app = App();
    const std::string exe = ModulePath(nullptr);
    app.ProgramFolder = WithBackslash(exe.substr(0, exe.find_last_of('\\') + 1));
    app.TempFolder = WithBackslash(TempFolderPath());
    auto readName = [](const std::string& path) {
        cMultiLanguage probe;
        probe.LanguagePackageFileName(path);
        return probe.getItemValue(100, "");
    };
    const std::string english = app.ProgramFolder + "Language\\English.dll";
    StartupPackage choice = ChooseStartupPackage(ReadSetting(kValLanguagePackage), english, readName, IsExistingFile);
    app.LanguagePackagePath = choice.ChooserType ? english : choice.Path;
    Settings().LanguagePackagePath = app.LanguagePackagePath;
    app.Language = std::make_unique<cMultiLanguage>();
    app.Language->LanguagePackageFileName(app.LanguagePackagePath);
    app.LanguageName = app.Language->getItemValue(100, "");
    LoadMessageTable(*app.Language);
    SettingReader read = [](std::string_view name) { return ReadSetting(std::string(name)); };
    LoadCurrentSettings(read, DefaultSaveFolder(app.ProgramFolder), Settings());
}

std::string CaptureUsageMessage(const CaptureUsageError& error) { return Text(error.Item, error.Detail); }

CaptureOutcome RunCommandLineCapture(const CaptureRequest& request, std::FILE* out, std::FILE* err) {
    const CurrentSettings& settings = Settings();
    const SaveFormat format =
        ResolveCaptureFormat(request.Format, request.OutPath.value_or(""), settings.AutoSaveFormat);

    // The name is settled before the delay, so that a folder problem is reported at once.
    std::string path;
    std::string folder;
    if (request.ToStdout()) {
        wchar_t temp[MAX_PATH + 1] = {};
        if (!GetTempFileNameW(WideName(App().TempFolder).c_str(), L"pvc", 0, temp)) {
            Say(err, Text(kMsgCliWriteFailed, App().TempFolder + " - " + SystemErrorLine(GetLastError())));
            return CaptureOutcome::Failed;
        }
        path = Narrow(temp);
    } else if (request.OutPath) {
        path = FullPath(*request.OutPath);
    } else {
        folder = WithBackslash(settings.SavePath);
    }

    if (request.DelaySeconds > 0) Sleep(static_cast<DWORD>(request.DelaySeconds) * 1000);

    Taken taken;
    try {
        taken = Take(request, err);
    } catch (const ErrorObject& e) {
        Say(err, Text(kMsgCliCaptureFailed) + " " + ErrorBoxText(e));
        taken.outcome = CaptureOutcome::Failed;
    }
    auto dropTemp = [&] {
        if (request.ToStdout()) DeleteFileW(WideName(path).c_str());
    };
    if (taken.outcome != CaptureOutcome::Saved) {
        dropTemp();
        return taken.outcome;
    }
    const SIZE size = taken.picture.PixelSize();

    if (path.empty()) {
        // The next free name at the moment of writing; a fresh count each run, as auto-save's per run.
        int32_t counter = 0;
        PrepareSaveFolder(folder);
        AutoSaveName name = FindFreeAutoSaveName(folder, settings.PrefixFileName, settings.SuffixFileName, counter,
                                                 PathExists, SaveFormatExtension(format));
        if (name.Overflow) {
            Say(err, Msg(10008));
            return CaptureOutcome::Failed;
        }
        path = name.Path;
    }

    if (request.Clipboard) {
        ClipboardOwner owner;
        uint32_t sequence = 0;
        const ClipboardResult r = PutPictureOnClipboard(owner.get(), taken.picture, sequence, {}, true);
        if (r != ClipboardResult::Ok) {
            Say(err, Msg(r == ClipboardResult::Busy ? kMsgClipboardBusy : kMsgClipboardFailed));
            dropTemp();
            return CaptureOutcome::Failed;
        }
    }

    const FileError error = SavePictureInFormat(taken.picture, path, format, request.Quality);
    if (error) {
        Say(err, Text(kMsgCliWriteFailed, (request.ToStdout() ? std::string("-") : path) + " - " +
                                              std::to_string(error.Number) + " - " + error.Description));
        dropTemp();
        return CaptureOutcome::Failed;
    }

    if (request.ToStdout()) {
        std::vector<char> bytes;
        const bool read = ReadWholeFile(path, bytes);
        dropTemp();
        if (!read || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fflush(out) != 0) {
            Say(err, Text(kMsgCliWriteFailed, "-"));
            return CaptureOutcome::Failed;
        }
        return CaptureOutcome::Saved;
    }

    const MonitorList monitors = DesktopMonitors();
    const ScreenRect area{taken.left, taken.top, static_cast<int32_t>(int64_t{taken.left} + size.cx),
                          static_cast<int32_t>(int64_t{taken.top} + size.cy)};
    if (request.Json) {
        CaptureResultInfo info{path, size.cx, size.cy, taken.left, taken.top, format,
                               NumberOfMonitor(monitors, MonitorOfRect(monitors, area))};
        std::fputs(CaptureResultJson(info).c_str(), out);
    } else {
        std::fprintf(out, "%s\n", path.c_str());
    }
    std::fflush(out);
    return CaptureOutcome::Saved;
}

}  // namespace plenvue
