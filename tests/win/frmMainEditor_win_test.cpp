// The editor in the main window: every opened picture is editable at once, drawing and the Edit
// menu's Undo/Redo keep the working picture the flattened document, the status bar's parts, and
// the tools' styles remembered in the settings (odd values give the defaults).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/win/Handles_win.h"
#include "base/win/Wide_win.h"
#include "markup/ToolStyles.h"
#include "settings/modRegistry_win.h"
#include "shell/FileCommands_win.h"
#include "shell/ImageCommands_win.h"
#include "shell/MainMenu.h"
#include "shell/frmMain_win.h"

#include "tests/support/MainWindow_win.h"
#include "tests/support/TempFolder.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

using plenvue::test::MainWindow;
using Folder = plenvue::test::TempFolder;

std::string MakeWhiteBitmapFile(const Folder& f, const char* name, int w, int h) {
    WindowDC screen = WindowDC::Client(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen.get(), w, h);
    {
        MemoryDC dc(CreateCompatibleDC(screen.get()));
        SelectedObject keep(dc.get(), bmp);
        RECT r{0, 0, w, h};
        FillRect(dc.get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    std::string path = f / name, written;
    SavePictureFile(Picture::FromBitmap(bmp, nullptr), path, written);
    return written;
}

std::string StatusPart(HWND main, int part) {
    HWND bar = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    wchar_t text[256] = {};
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

void Command(HWND h, int id) { SendMessageW(h, WM_COMMAND, static_cast<WPARAM>(id), 0); }

void Drag(HWND canvas, int x0, int y0, int x1, int y1) {
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y0));
    SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1, y1));
    SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(x1, y1));
}

// The working picture's pixel as the user would copy or save it.
COLORREF WorkingPixel(const frmMain& form, int x, int y) {
    clsDIBSection dib;
    if (!DibFromPicture(form.WorkingPicture(), dib)) return CLR_INVALID;
    const uint8_t* p = ViewOf(dib).Pixel(x, y);
    return RGB(p[2], p[1], p[0]);
}

}  // namespace

TEST(frmMainEditor, AnOpenedPictureIsEditedAtOnceAndTheWorkingPictureIsTheFlattenedDocument) {
    Folder f("editor");
    const std::string file = MakeWhiteBitmapFile(f, "white.bmp", 120, 80);
    MainWindow w;
    const HWND h = w.form.hWnd();
    ASSERT_TRUE(w.form.OpenPicture(file, false));
    ASSERT_NE(w.form.Editor().Controller(), nullptr);
    EXPECT_EQ(StatusPart(h, 2), "100 %");
    EXPECT_EQ(StatusPart(h, 1), "");

    Command(h, kCmdToolFirst + 1);  // Rectangle
    EXPECT_EQ(w.form.Editor().CurrentTool(), Tool::Rect);
    Drag(w.form.Editor().hWnd(), 10, 10, 50, 40);
    ASSERT_EQ(w.form.Document().Items().size(), 1u);
    {
        const MarkupObject& o = w.form.Document().Items()[0].object;
        EXPECT_EQ(o.x, 10);
        EXPECT_EQ(o.y, 10);
        EXPECT_EQ(o.w, 40);
        EXPECT_EQ(o.h, 30);
    }
    EXPECT_EQ(StatusPart(h, 1), "Undo: Draw");
    EXPECT_EQ(WorkingPixel(w.form, 11, 25), RGB(255, 0, 0));
    EXPECT_TRUE(w.form.HasUnsavedObjects());

    Command(h, kCmdEditUndo);
    EXPECT_TRUE(w.form.Document().Items().empty());
    EXPECT_EQ(WorkingPixel(w.form, 11, 25), RGB(255, 255, 255));
    Command(h, kCmdRedo);
    EXPECT_EQ(w.form.Document().Items().size(), 1u);
    EXPECT_EQ(WorkingPixel(w.form, 11, 25), RGB(255, 0, 0));

    // Delete takes the selection when there is one, and leaves the file alone.
    Command(h, kCmdSelectAll);
    EXPECT_EQ(w.form.Editor().Controller()->Selection().size(), 1u);
    Command(h, kCmdEditDelete);
    EXPECT_TRUE(w.form.Document().Items().empty());
    EXPECT_NE(GetFileAttributesW(Widen(file).c_str()), INVALID_FILE_ATTRIBUTES);

    // Saved as PNG with an object, the file is editable and the question on close is gone.
    Drag(w.form.Editor().hWnd(), 60, 10, 100, 30);  // still the Rectangle tool
    ASSERT_TRUE(w.form.SavePic(f / "marked.png"));
    EXPECT_FALSE(w.form.HasUnsavedObjects());
    ASSERT_TRUE(w.form.OpenPicture(f / "white.bmp", false));
    ASSERT_TRUE(w.form.OpenPicture(f / "marked.png", false));
    ASSERT_EQ(w.form.Document().Items().size(), 1u);
    EXPECT_EQ(w.form.Document().Items()[0].object.x, 60);
}

TEST(frmMainEditor, StylesAreRememberedPerToolAndOddValuesGiveTheDefaults) {
    Folder f("editor");
    const std::string file = MakeWhiteBitmapFile(f, "white.bmp", 60, 40);
    {
        MainWindow w([] {
            WriteSetting("Draw Style Rectangle", "stroke=#00ff00;width=5;");
            WriteSetting("Draw Style Arrow", "\x01garbage;width=-4;stroke=#zzz");
            WriteSetting("Recent Colors", "#123456,bogus");
        });
        const EditorView& editor = w.form.Editor();
        EXPECT_EQ(editor.Style(Tool::Rect).width, 5);
        EXPECT_EQ(editor.Style(Tool::Rect).stroke, (Rgba{0, 255, 0, 255}));
        const MarkupObject arrow = DefaultObject(ObjectType::Arrow);
        EXPECT_EQ(editor.Style(Tool::Arrow).width, arrow.width);
        EXPECT_EQ(editor.Style(Tool::Arrow).stroke, arrow.stroke);

        // A width chosen from the Draw menu for the current tool is written at once, and the
        // selected object takes it too.
        ASSERT_TRUE(w.form.OpenPicture(file, false));
        Command(w.hWnd(), kCmdToolFirst + 4);  // Arrow
        Command(w.hWnd(), kCmdWidthFirst + 4);  // 8 px
        EXPECT_EQ(ParseToolStyle(Tool::Arrow, ReadSetting("Draw Style Arrow")).width, 8);
        EXPECT_EQ(editor.Style(Tool::Arrow).width, 8);
        Command(w.hWnd(), kCmdMosaic);
        EXPECT_EQ(ParseToolStyle(Tool::Redact, ReadSetting("Draw Style Redact")).style, RedactStyle::Mosaic);
        // Loaded again: the chosen width is back.
        w.Close();
        MainWindow again;
        EXPECT_EQ(again.form.Editor().Style(Tool::Arrow).width, 8);
    }
}

// A capture, Open or Paste never asks: the picture being edited stays in the history, and its
// entry gives it back with its objects and every step. A paste never saved is kept as an editable
// PNG of its own for its entry.
TEST(frmMainEditor, APictureBeingEditedStaysInTheHistoryWithItsObjectsAndSteps) {
    Folder f("editor");
    const std::string a = MakeWhiteBitmapFile(f, "a.bmp", 80, 60);
    const std::string b = MakeWhiteBitmapFile(f, "b.bmp", 70, 50);
    // The paste below is not to be saved automatically: it has no file of its own.
    MainWindow w([] { WriteSetting("Set Auto Save When Startup", "0"); });
    const HWND h = w.form.hWnd();
    ASSERT_TRUE(w.form.OpenPicture(a, true));
    Command(h, kCmdToolFirst + 1);
    Drag(w.form.Editor().hWnd(), 5, 5, 30, 20);
    ASSERT_TRUE(w.form.OpenPicture(b, true));
    EXPECT_TRUE(w.form.Document().Items().empty());
    EXPECT_TRUE(w.form.HasUnsavedObjects());  // a's drawing, set aside
    ASSERT_TRUE(w.form.OpenPicture(a, false));  // its entry chosen
    ASSERT_EQ(w.form.Document().Items().size(), 1u);
    EXPECT_EQ(w.form.CurrentFile(), a);
    EXPECT_EQ(WorkingPixel(w.form, 6, 10), RGB(255, 0, 0));
    Command(h, kCmdEditUndo);
    EXPECT_TRUE(w.form.Document().Items().empty());
    Command(h, kCmdRedo);
    EXPECT_EQ(w.form.Document().Items().size(), 1u);

    // A pasted picture with a drawing, replaced by an opened file.
    ASSERT_TRUE(plenvue::test::PutBitmapOnClipboard(h, 40, 30));
    w.form.PastePicture();
    EXPECT_EQ(w.form.CurrentFile(), "");
    // The paste has its entry at once, first (the newest on top), its picture kept in the store.
    const int32_t entries = w.form.History().PreviewCount();
    const std::string kept = w.form.History().Item(1).Tag();
    EXPECT_EQ(kept.rfind(w.form.HistoryFolder + "\\", 0), 0u) << kept;
    Drag(w.form.Editor().hWnd(), 2, 2, 20, 20);
    ASSERT_EQ(w.form.Document().Items().size(), 1u);
    ASSERT_TRUE(w.form.OpenPicture(b, false));
    EXPECT_EQ(w.form.History().PreviewCount(), entries);
    w.form.Kept().Flush();
    EXPECT_NE(GetFileAttributesW(Widen(kept).c_str()), INVALID_FILE_ATTRIBUTES);
    w.form.History().ClickItem(1);
    EXPECT_EQ(w.form.CurrentFile(), "");
    ASSERT_EQ(w.form.Document().Items().size(), 1u);
    EXPECT_TRUE(w.form.Document().CanUndo());

    // Saved, nothing is left to ask about on close.
    ASSERT_TRUE(w.form.SavePic(f / "pasted.png"));
    ASSERT_TRUE(w.form.OpenPicture(a, false));
    ASSERT_TRUE(w.form.SavePic(f / "a.png"));
    EXPECT_FALSE(w.form.HasUnsavedObjects());
    // Saved, the paste's entry is its file and its kept copy is gone.
    w.form.Kept().Flush();
    EXPECT_EQ(GetFileAttributesW(Widen(kept).c_str()), INVALID_FILE_ATTRIBUTES);
}

// Closing the window with the notification-area setting (or after a /tray start) only hides it:
// the drawings stay and nothing is asked; Exit asks and ends.
TEST(frmMainEditor, CloseHidesInTheNotificationAreaAndOnlyExitAsksAboutDrawings) {
    Folder f("tray");
    ScopedSettings scoped;  // the record as it was, whatever the test leaves
    const std::string file = MakeWhiteBitmapFile(f, "white.bmp", 60, 40);
    MainWindow w;
    const HWND h = w.form.hWnd();
    int asked = 0;
    w.form.AskToSaveDrawings = [&] {
        ++asked;
        return IDNO;
    };
    ASSERT_TRUE(w.form.OpenPicture(file, false));
    Command(h, kCmdToolFirst + 1);
    Drag(w.form.Editor().hWnd(), 5, 5, 30, 20);
    ASSERT_TRUE(w.form.HasUnsavedObjects());

    Settings().CloseToTray = true;
    ShowWindow(h, SW_SHOW);
    SendMessageW(h, WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(h));
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(w.form.HasUnsavedObjects());
    // A click on the icon brings it back.
    SendMessageW(h, NotifyIcon::kCallbackMessage, 0, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_FALSE(IsIconic(h));

    // A /tray start behaves as if the setting were on, for that run.
    Settings().CloseToTray = false;
    w.form.TrayStart = true;
    SendMessageW(h, WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(h));
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_EQ(asked, 0);

    // The icon menu's Exit ends the program, asking first; Cancel keeps it.
    w.form.AskToSaveDrawings = [&] {
        ++asked;
        return IDCANCEL;
    };
    SendMessageW(h, WM_SYSCOMMAND, kSysExit, 0);
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(IsWindow(h));
    EXPECT_TRUE(IsWindowVisible(h)) << "asked with the picture in view";
    w.form.AskToSaveDrawings = [&] {
        ++asked;
        return IDNO;
    };
    SendMessageW(h, WM_SYSCOMMAND, kSysExit, 0);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(IsWindow(h));
}

TEST(frmMainEditor, CloseEndsTheProgramWithTheSettingOff) {
    ScopedSettings scoped;
    MainWindow w;
    const HWND h = w.form.hWnd();
    ASSERT_FALSE(Settings().CloseToTray) << "off on a fresh machine";
    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
}
