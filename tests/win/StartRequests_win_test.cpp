// What the main window does with a second start's command line, and the clipboard mark of the
// command-line capture.
#include <gtest/gtest.h>

#include <string>

#include "shell/Clipboard_win.h"
#include "shell/FileCommands_win.h"
#include "shell/StartSwitches.h"
#include "tests/support/MainWindow_win.h"
#include "tests/support/TempFolder.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;

namespace {

LRESULT SendRecord(HWND to, ULONG_PTR tag, const std::string& record) {
    COPYDATASTRUCT data{};
    data.dwData = tag;
    data.cbData = static_cast<DWORD>(record.size());
    data.lpData = const_cast<char*>(record.data());
    return SendMessageW(to, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

void Pump() {
    MSG m;
    for (int i = 0; i < 50; ++i) {
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        Sleep(10);
    }
}

TEST(SecondStart, HandedOverEditAndCaptureRunFromTheMessageLoop) {
    test::MainWindow w;
    ASSERT_TRUE(w.loaded);
    Settings().AutoSaveAtStart = 0;
    Settings().CopyEveryCapture = 0;
    w.form.CaptureSleep = [](uint32_t) {};
    test::TempFolder dir("handover");
    const std::string file = dir / "blue.bmp";
    std::string written;
    ASSERT_FALSE(SavePictureFile(test::SolidPicture(7, 5, RGB(0, 0, 255)), file, written));

    EXPECT_TRUE(SendRecord(w.hWnd(), kHandOverTag, EncodeHandOver({"/edit", file})));
    EXPECT_EQ(w.form.CurrentFile(), "") << "run later, not inside the sender's call";
    Pump();
    EXPECT_EQ(w.form.CurrentFile(), file);
    EXPECT_EQ(w.form.WorkingPicture().PixelSize().cx, 7);

    EXPECT_TRUE(SendRecord(w.hWnd(), kHandOverTag, EncodeHandOver({"/capture", "screen"})));
    Pump();
    EXPECT_EQ(w.form.CurrentFile(), "");
    EXPECT_EQ(w.form.WorkingPicture().PixelSize().cx, GetSystemMetrics(SM_CXSCREEN));
}

TEST(SecondStart, RecordsWithAnotherTagOrMalformedTextAreRefused) {
    test::MainWindow w;
    ASSERT_TRUE(w.loaded);
    EXPECT_FALSE(SendRecord(w.hWnd(), kHandOverTag + 1, EncodeHandOver({"/tray"})));
    EXPECT_FALSE(SendRecord(w.hWnd(), kHandOverTag, std::string("/edit\0\xFF\xFE", 8)));
    EXPECT_FALSE(SendRecord(w.hWnd(), kHandOverTag, "/tray"));  // no closing zero
    EXPECT_TRUE(SendRecord(w.hWnd(), kHandOverTag, EncodeHandOver({"/tray"})));
    Pump();
    EXPECT_FALSE(IsWindowVisible(w.hWnd()));
}

TEST(Clipboard, OnlyTheMarkedCopyCarriesTheOwnPictureMark) {
    test::ComInit com;
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    uint32_t sequence = 0;
    ASSERT_EQ(PutPictureOnClipboard(owner, test::SolidPicture(3, 3, RGB(1, 2, 3)), sequence), ClipboardResult::Ok);
    EXPECT_FALSE(ClipboardMarkedOwn());
    ASSERT_EQ(PutPictureOnClipboard(owner, test::SolidPicture(3, 3, RGB(1, 2, 3)), sequence, {}, true),
              ClipboardResult::Ok);
    EXPECT_TRUE(ClipboardMarkedOwn());
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    DestroyWindow(owner);
    test::EmptyTheClipboard();
}

}  // namespace
