#include "shell/frmMain_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <string>

#include "base/win/modDeclare_win.h"
#include "capture/clsCapture_win.h"
#include "settings/CurrentSettings.h"
#include "settings/Hotkey_win.h"
#include "settings/cMultiLanguage_win.h"
#include "settings/modRegistry_win.h"
#include "shell/MainMenu.h"

#include <vector>

#include "tests/support/MainWindow_win.h"
#include "tests/support/TempFolder.h"
#include "tests/win/WinTestSupport.h"

using namespace plenvue;

namespace {

// The main window with known capture captions; captures stay in memory.
class MainWindow : public plenvue::test::MainWindow {
public:
    MainWindow()
        : plenvue::test::MainWindow([] {
              for (int i = 0; i < kCaptureKinds; ++i) App().CaptureCaptions[i] = "Capture " + std::to_string(i);
          }) {
        // A first start saves every capture automatically; these tests keep captures in memory.
        Settings().AutoSaveAtStart = 0;
    }
};

int CountIds(HMENU menu, UINT first, UINT last) {
    int n = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        UINT id = GetMenuItemID(menu, i);
        if (id >= first && id <= last) ++n;
    }
    return n;
}

int CountSeparators(HMENU menu) {
    int n = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoA(menu, i, TRUE, &info) && (info.fType & MFT_SEPARATOR)) ++n;
    }
    return n;
}

}  // namespace

TEST(frmMain, RepeatedCapMenuKeepsOneSetOfCaptureEntriesAndOthersEntries) {
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    HMENU sys = GetSystemMenu(h, FALSE);
    ASSERT_NE(sys, nullptr);
    // An entry someone else added (Wine adds its own too) survives every rebuild.
    AppendMenuA(sys, MF_STRING, 0x7770, "Other");
    int separators = CountSeparators(sys);
    int items = GetMenuItemCount(sys);
    for (int i = 0; i < 3; ++i) w.form.setCapMenu();
    EXPECT_EQ(CountIds(sys, 1861, 1866), 6);
    EXPECT_EQ(CountIds(sys, 0x7770, 0x7770), 1);
    EXPECT_EQ(CountSeparators(sys), separators);
    EXPECT_EQ(GetMenuItemCount(sys), items);
    char text[64] = {};
    GetMenuStringA(sys, 1863, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Capture 2");
}

TEST(frmMain, RawMessagesGoThroughItsMessageTargetUntilUnload) {
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    EXPECT_GT(reinterpret_cast<INT_PTR>(GetPropA(h, "Prop_HookID")), 0);
    MINMAXINFO mm{};
    SendMessageA(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
    EXPECT_EQ(mm.ptMinTrackSize.x, 400);
    EXPECT_EQ(mm.ptMinTrackSize.y, 300);
    // Ordinary messages still reach the window's own procedure.
    SetWindowTextA(h, "changed");
    char text[32] = {};
    GetWindowTextA(h, text, sizeof text);
    EXPECT_STREQ(text, "changed");
    // Closing unloads: the window goes and the slot procedure is no longer in the way.
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
}

namespace {
// Live GDI objects of this process: a handle's low word indexes the table, and a high word of 0
// matches any generation, so every slot can be asked for its object type.
int LiveGdiObjects() {
    int n = 0;
    for (UINT_PTR i = 1; i <= 0xFFFF; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0) ++n;
    return n;
}
}  // namespace

TEST(frmMain, RepeatedFullScreenCapturesLeaveNoGdiObjectBehind) {
    // Each capture is an entry with its thumbnail: at most two are kept, so the count must stand.
    MainWindow w;
    Settings().KeptPictures = "2";
    ASSERT_NE(w.form.hWnd(), nullptr);
    // What is counted does not depend on the screen being redrawn: no need to wait for it.
    w.form.CaptureSleep = [](uint32_t) {};
    // The first captures create what is kept for later ones, up to a full history.
    for (int i = 0; i < 3; ++i) w.form.SnapIt(0);
    int before = LiveGdiObjects();
    ASSERT_GT(before, 0) << "GDI objects cannot be counted this way here";
    for (int i = 0; i < 100; ++i) w.form.SnapIt(0);
    w.form.Kept().Flush();
    EXPECT_EQ(LiveGdiObjects(), before);
    EXPECT_EQ(w.form.History().PreviewCount(), 1 + 2);
    EXPECT_FALSE(w.form.WorkingPicture().Empty());
}

namespace {

std::string PackagePath(const char* name) {
    std::string p = "Z:" + std::string(PLENVUE_BIN_DIR) + "/Language/" + name;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

void UsePackage(const char* name) {
    App().Language = std::make_unique<cMultiLanguage>();
    App().Language->LanguagePackageFileName(PackagePath(name));
}

struct ChildSearch {
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindChildOfClass(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<ChildSearch*>(p);
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    if (lstrcmpiA(name, s->cls) != 0) return TRUE;
    s->found = w;
    return FALSE;
}

HWND Child(HWND parent, const char* cls) {
    ChildSearch s{cls, nullptr};
    EnumChildWindows(parent, FindChildOfClass, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The simple-mode line: part 255 on Windows; Wine keeps it in part 0.
std::string StatusText(HWND main) {
    HWND bar = Child(main, STATUSCLASSNAMEA);
    char text[512] = {};
    SendMessageA(bar, SB_GETTEXTA, 255, reinterpret_cast<LPARAM>(text));
    if (!text[0]) SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

void SelectMenuEntry(HWND main, UINT number, UINT flags, HMENU menu) {
    SendMessageA(main, WM_MENUSELECT, MAKEWPARAM(number, flags), reinterpret_cast<LPARAM>(menu));
}

}  // namespace

TEST(frmMain, SelectingMenuTitlesAndEntriesShowsTheirHelpInTheCurrentLanguage) {
    UsePackage("English.dll");
    ASSERT_EQ(App().Language->getItemValue(100), "English");
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    HMENU bar = GetMenu(h);
    HMENU image = GetSubMenu(bar, 5);
    const ILanguage& en = *App().Language;
    auto help = [&](int n) { return en.getItemValue(n); };

    // File, Edit, View, Draw, Tools, Image, Help: each keeps its help wherever it stands.
    const int titles[] = {1800, 12600, 1830, 12630, 1860, 1890, 1920};
    for (int g = 0; g < 7; ++g) {
        SelectMenuEntry(h, g, MF_POPUP | MF_HILITE | MF_MOUSESELECT, bar);
        EXPECT_EQ(StatusText(h), help(titles[g])) << "title " << g;
    }
    // Submenu titles inside the Image menu, by their position there.
    SelectMenuEntry(h, 0, MF_POPUP | MF_HILITE, image);
    EXPECT_EQ(StatusText(h), help(1891));
    SelectMenuEntry(h, 4, MF_POPUP | MF_HILITE, image);
    EXPECT_EQ(StatusText(h), help(1903));
    SelectMenuEntry(h, 5, MF_POPUP | MF_HILITE, image);
    EXPECT_EQ(StatusText(h), help(1907));
    // A plain entry by its number.
    SelectMenuEntry(h, kCmdOpen, MF_HILITE, GetSubMenu(bar, 0));
    EXPECT_EQ(StatusText(h), help(1801));
    // The system menu and the closing menu leave the line alone.
    SelectMenuEntry(h, 1861, MF_HILITE | MF_SYSMENU, GetSystemMenu(h, FALSE));
    EXPECT_EQ(StatusText(h), help(1801));
    SelectMenuEntry(h, 0xFFFF, 0xFFFF, nullptr);
    EXPECT_EQ(StatusText(h), help(1801));

    // The English object goes with the switch: keep its text first.
    const std::string english1830 = help(1830);
    UsePackage("German.dll");
    ASSERT_EQ(App().Language->getItemValue(100), "Deutsch");
    SelectMenuEntry(h, 2, MF_POPUP | MF_HILITE, bar);
    EXPECT_EQ(StatusText(h), App().Language->getItemValue(1830));
    EXPECT_NE(StatusText(h), english1830);
    App().Language.reset();
}

TEST(frmMain, ToolbarTipComesFromTheInfoTipNotificationWithTheStatusPartInTheStatusBar) {
    UsePackage("English.dll");
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    HWND toolbar = Child(h, TOOLBARCLASSNAMEA);
    ASSERT_NE(toolbar, nullptr);

    char buffer[80] = {};
    NMTBGETINFOTIPA tip{};
    tip.hdr.hwndFrom = toolbar;
    tip.hdr.code = TBN_GETINFOTIPA;
    tip.pszText = buffer;
    tip.cchTextMax = sizeof buffer;
    tip.iItem = 6;
    EXPECT_EQ(SendMessageA(h, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip)), 1);
    EXPECT_STREQ(buffer, "Capture Full Screen");
    EXPECT_EQ(StatusText(h), "Capture the whole screen");
    // Cut to the buffer's capacity.
    tip.cchTextMax = 5;
    tip.iItem = 1;
    SendMessageA(h, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(buffer, "Open");
    tip.cchTextMax = 4;
    SendMessageA(h, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(buffer, "Ope");

    // A tooltip request of some other window is not answered with a toolbar tip.
    NMTTDISPINFOA other{};
    other.hdr.hwndFrom = h;
    other.hdr.idFrom = 6;
    other.hdr.code = TTN_GETDISPINFOA;
    EXPECT_EQ(SendMessageA(h, WM_NOTIFY, 6, reinterpret_cast<LPARAM>(&other)), 0);
    EXPECT_STREQ(other.szText, "");

    // The toolbar's own tooltip asks the toolbar, which asks the main window.
    w.form.SetStatus("");
    HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    NMTTDISPINFOW need{};
    need.hdr.hwndFrom = tips;
    need.hdr.idFrom = 12;
    need.hdr.code = TTN_GETDISPINFOW;
    need.lpszText = need.szText;
    SendMessageW(toolbar, WM_NOTIFY, 12, reinterpret_cast<LPARAM>(&need));
    ASSERT_NE(need.lpszText, nullptr);
    EXPECT_STREQ(need.lpszText, L"History");
    EXPECT_EQ(StatusText(h), "Show or hide the history pane");
    App().Language.reset();
}

namespace {
bool HistoryButtonPressed(HWND toolbar) { return SendMessageA(toolbar, TB_ISBUTTONCHECKED, 12, 0) != 0; }

// A click with the mouse messages the toolbar itself reacts to.
void ClickHistoryButton(HWND toolbar) {
    RECT r{};
    SendMessageA(toolbar, TB_GETRECT, 12, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(toolbar, WM_LBUTTONUP, 0, at);
}
}  // namespace

TEST(frmMain, HistoryButtonFlipsWithThePaneAndKeepsItsLookWhenThereIsNoPane) {
    {
        MainWindow w;
        HWND toolbar = Child(w.form.hWnd(), TOOLBARCLASSNAMEA);
        ASSERT_NE(toolbar, nullptr);
        ASSERT_TRUE(HistoryButtonPressed(toolbar));
        ClickHistoryButton(toolbar);
        EXPECT_FALSE(HistoryButtonPressed(toolbar));  // the pane went
        ClickHistoryButton(toolbar);
        EXPECT_TRUE(HistoryButtonPressed(toolbar));
    }
    plenvue::test::SettingsKeyRestore registry;
    WriteSetting(kValHistoryListStatus, "NONE");
    MainWindow w;
    HWND toolbar = Child(w.form.hWnd(), TOOLBARCLASSNAMEA);
    ASSERT_NE(toolbar, nullptr);
    bool before = HistoryButtonPressed(toolbar);
    ClickHistoryButton(toolbar);
    EXPECT_EQ(HistoryButtonPressed(toolbar), before);
    ClickHistoryButton(toolbar);
    EXPECT_EQ(HistoryButtonPressed(toolbar), before);
}

TEST(frmMain, SplitterStandsBetweenPaneAndCanvasWithTheSizingPointer) {
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    SetWindowPos(h, nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    HWND split = Child(h, "PlenvueSplitter");
    ASSERT_NE(split, nullptr);
    HWND pane = w.form.History().Scroller();
    HWND canvas = Child(h, markup::EditorView::kClassName);
    ASSERT_NE(canvas, nullptr);
    auto rectIn = [&](HWND c) {
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT s = rectIn(split), p = rectIn(pane), client{};
    GetClientRect(h, &client);
    EXPECT_EQ(s.left, 138);
    EXPECT_EQ(s.right - s.left, 3);
    EXPECT_EQ(s.top, p.top);
    EXPECT_EQ(s.bottom, p.bottom);
    EXPECT_EQ(p.right, 138);
    RECT c = rectIn(canvas);
    EXPECT_EQ(c.left, 141);
    EXPECT_EQ(c.right, client.right);
    // Over the bar the pointer is the left-right sizing one.
    SetCursor(nullptr);
    SendMessageA(split, WM_SETCURSOR, reinterpret_cast<WPARAM>(split), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE)));
    // It does not drag: the panes keep their widths.
    SendMessageA(split, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 5));
    SendMessageA(split, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
    SendMessageA(split, WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
    EXPECT_EQ(rectIn(split).left, 138);
    EXPECT_EQ(rectIn(pane).right, 138);
    // Hiding the pane moves the bar to the left edge.
    SendMessageA(h, WM_COMMAND, kCmdHistory, 0);
    EXPECT_EQ(rectIn(split).left, 0);
    EXPECT_TRUE(IsWindowVisible(split) || !IsWindowVisible(h));
}

namespace {
SIZE ToolbarButton(HWND toolbar) {
    auto packed = static_cast<DWORD>(SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0));
    return {LOWORD(packed), HIWORD(packed)};
}
LONG HeightOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r.bottom - r.top;
}
}  // namespace

// A move to a monitor of another scaling arrives as WM_DPICHANGED with the new DPI and the place
// the platform suggests: the window takes that place and lays its bars and panes out for the DPI;
// back at 96 DPI everything has its first sizes again.
TEST(frmMain, DpiChangeTakesTheSuggestedPlaceAndRescalesBarsAndPanes) {
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    SetWindowPos(h, nullptr, 0, 0, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    HWND toolbar = Child(h, TOOLBARCLASSNAMEA);
    HWND rebar = Child(h, REBARCLASSNAMEA);
    HWND status = Child(h, STATUSCLASSNAMEA);
    HWND split = Child(h, "PlenvueSplitter");
    ASSERT_TRUE(toolbar && rebar && status && split);
    const SIZE button96 = ToolbarButton(toolbar);
    const LONG rebar96 = HeightOf(rebar), status96 = HeightOf(status);
    auto splitLeft = [&] {
        RECT r{};
        GetWindowRect(split, &r);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };

    RECT suggested{50, 40, 50 + 960, 40 + 720};
    SendMessageA(h, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(h, &now);
    EXPECT_EQ(now.left, 50);
    EXPECT_EQ(now.top, 40);
    EXPECT_EQ(now.right - now.left, 960);
    EXPECT_EQ(now.bottom - now.top, 720);
    // 24-pixel images instead of 16: the buttons are the images and the toolbar's padding.
    const auto padding = static_cast<DWORD>(SendMessageA(toolbar, TB_GETPADDING, 0, 0));
    const SIZE button144 = ToolbarButton(toolbar);
    EXPECT_EQ(button144.cx - button96.cx, 8);
    EXPECT_EQ(button144.cy, 24 + HIWORD(padding));
    EXPECT_GE(HeightOf(rebar), 38 - 2);
    EXPECT_GT(HeightOf(rebar), rebar96);
    EXPECT_GE(HeightOf(status), status96);
    RECT bar = splitLeft();
    EXPECT_EQ(bar.left, 207);
    EXPECT_EQ(bar.right - bar.left, 5);
    EXPECT_EQ(w.form.History().ButtonHeight(), 24);
    EXPECT_EQ(w.form.History().ItemSize().cx, 180);
    // The canvas still starts right of the splitter and below the rebar.
    HWND canvas = Child(h, markup::EditorView::kClassName);
    RECT c{};
    GetWindowRect(canvas, &c);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&c), 2);
    EXPECT_EQ(c.left, bar.right);

    suggested = {50, 40, 50 + 640, 40 + 480};
    SendMessageA(h, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ToolbarButton(toolbar).cx, button96.cx);
    EXPECT_EQ(ToolbarButton(toolbar).cy, 16 + HIWORD(padding));
    EXPECT_EQ(HeightOf(rebar), rebar96);
    EXPECT_EQ(splitLeft().left, 138);
    EXPECT_EQ(w.form.History().ButtonHeight(), 16);
}

TEST(frmMain, CaptureErrorIsShownAsNumberAndDescription) {
    MainWindow w;
    ASSERT_NE(w.form.hWnd(), nullptr);
    clsCapture& engine = SharedCapture();
    SetCursorPos(100, 100);
    engine.CaptureMethod(1);
    // An earlier capture's size would make this a region off every monitor, which is said otherwise.
    engine.SrcTop(0);
    engine.SrcWidth(0);
    engine.SrcHeight(0);
    engine.SrcLeft(-2147483647.0);  // the pointer's offset from it overflows
    std::string text;
    {
        plenvue::test::MessageBoxCloser closer;
        w.form.SnapIt(5);
        text = closer.Wait();
        EXPECT_EQ(closer.Caption(), "Plenvue");
    }
    engine.CaptureMethod(0);
    engine.SrcLeft(0);
    EXPECT_EQ(text, "6 - Overflow");
    EXPECT_TRUE(w.form.WorkingPicture().Empty());
}

// Before every capture that reads the screen directly the window hides and the program waits
// (500 ms unless changed) so the screen is redrawn without it; only then is the picture taken.
TEST(frmMain, CaptureWaitsTheDelayWithTheWindowHiddenBeforeCapturing) {
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(w.form.CaptureHideDelayMs, 500u);
    struct Wait {
        uint32_t ms;
        bool windowVisible;
        bool pictureTaken;
    };
    std::vector<Wait> waits;
    w.form.CaptureSleep = [&](uint32_t ms) {
        waits.push_back({ms, IsWindowVisible(h) != FALSE, !w.form.WorkingPicture().Empty()});
    };
    for (int index : {0, 2, 3, 5}) {
        SendMessageA(h, WM_COMMAND, kCmdClearCanvas, 0);  // no picture before the capture
        ASSERT_TRUE(w.form.WorkingPicture().Empty());
        ShowWindow(h, SW_SHOWNA);
        waits.clear();
        w.form.SnapIt(index);
        ASSERT_EQ(waits.size(), 1u) << "capture " << index;
        EXPECT_EQ(waits[0].ms, 500u) << "capture " << index;
        EXPECT_FALSE(waits[0].windowVisible) << "capture " << index << " waited with the window shown";
        EXPECT_FALSE(waits[0].pictureTaken) << "capture " << index << " took the picture before waiting";
        EXPECT_TRUE(IsWindowVisible(h)) << "capture " << index << " left the window hidden";
    }
    EXPECT_FALSE(w.form.WorkingPicture().Empty());
    w.form.CaptureHideDelayMs = 20;
    waits.clear();
    w.form.SnapIt(0);
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].ms, 20u);
}

namespace {
// A plain window of this test's own, to try a registration the main window holds.
class OtherWindow {
public:
    OtherWindow()
        : hwnd_(CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)) {}
    ~OtherWindow() { DestroyWindow(hwnd_); }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    HWND hWnd() const { return hwnd_; }

private:
    HWND hwnd_;
};
}  // namespace

// Closing the window unloads it: each registration the load made is undone.
TEST(frmMain, UnloadUndoesTheHotKeysTheViewerChainAndTheBeepFile) {
    plenvue::test::TempFolder folder("unload");
    // Start-up makes the file (the tests have no wave resource to fill it with).
    const std::string beep = folder.Write("beep.wav", "");
    const std::string savedBeep = App().BeepFile;
    App().BeepFile = beep;
    MainWindow w;
    HWND h = w.form.hWnd();
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(folder.Has("beep.wav"));
    ASSERT_NE(Settings().ClipboardMonitorAtStart, 0) << "the monitor is on at a first start";
    EXPECT_EQ(GetClipboardViewer(), h);
    int index = 0;
    while (index < kCaptureKinds && Settings().HotkeyKeys[index] == 0) ++index;
    ASSERT_LT(index, kCaptureKinds) << "no hot key was registered";
    const int32_t modifier = Settings().HotkeyModifiers[index], key = Settings().HotkeyKeys[index];
    OtherWindow other;
    EXPECT_FALSE(RegisterCaptureHotKey(other.hWnd(), 1, modifier, key)) << "the main window holds it";

    w.Close();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_NE(GetClipboardViewer(), h);
    EXPECT_FALSE(folder.Has("beep.wav"));
    EXPECT_TRUE(RegisterCaptureHotKey(other.hWnd(), 1, modifier, key)) << "still held after unload";
    UnregisterHotKey(other.hWnd(), 1);
    App().BeepFile = savedBeep;
}

// A hot key another program holds no longer stops the start with a message box: the window
// loads, the status bar names the key, and the stored key stays to be registered at the next
// start once the other program has let it go.
TEST(frmMain, HotKeyHeldElsewhereIsReportedWithoutABoxAndKeptForTheNextStart) {
    OtherWindow other;
    ASSERT_TRUE(RegisterCaptureHotKey(other.hWnd(), 1, 6, '0'));
    const auto stored = [] {
        WriteSetting("Hotkey0Prefix", "6");
        WriteSetting("Hotkey0Value", "48");
    };
    {
        plenvue::test::MainWindow w(stored);  // a box would keep this waiting
        ASSERT_TRUE(w.loaded);
        const std::string status = StatusText(w.hWnd());
        EXPECT_NE(status.find("Ctrl+Alt+0 ("), std::string::npos) << status;
        EXPECT_EQ(status.find("Ctrl+Alt+1"), std::string::npos) << status;
        EXPECT_TRUE(Settings().HotkeyInUse[0]);
        EXPECT_FALSE(Settings().HotkeyInUse[1]);
        EXPECT_EQ(Settings().HotkeyKeys[0], 48);
        EXPECT_EQ(Settings().HotkeyModifiers[0], 6);
        EXPECT_EQ(ReadSetting("Hotkey0Value"), "48");
        EXPECT_EQ(ReadSetting("Hotkey0Prefix"), "6");
        UnregisterHotKey(other.hWnd(), 1);
    }
    plenvue::test::MainWindow next(stored);
    ASSERT_TRUE(next.loaded);
    EXPECT_FALSE(Settings().HotkeyInUse[0]);
    EXPECT_FALSE(RegisterCaptureHotKey(other.hWnd(), 1, 6, '0')) << "the next start holds it";
}
