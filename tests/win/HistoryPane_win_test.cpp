#include "shell/HistoryPane_win.h"

#include <gtest/gtest.h>
#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "base/win/Handles_win.h"
#include "controls/Light3D_win.h"
#include "controls/Preview_win.h"

#include "tests/win/WinTestSupport.h"

using namespace plenvue;
using plenvue::test::ComInit;
using plenvue::test::SolidPicture;

namespace {

// Draws a control's surface into a memory bitmap and reads pixels from it.
class Canvas {
public:
    Canvas(int w, int h)
        : dc_(CreateCompatibleDC(nullptr)), bmp_(CreateCompatibleBitmap(WindowDC::Client(nullptr).get(), w, h)),
          selected_(dc_.get(), bmp_.get()) {}
    HDC dc() const { return dc_.get(); }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
    MemoryDC dc_;
    UniqueBitmap bmp_;
    SelectedObject selected_;
};

HWND MakeHost() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HistoryPaneTestHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "HistoryPaneTestHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 500,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

HDROP MakeDrop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const auto& p : paths) size += p.size() + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    char* at = reinterpret_cast<char*>(df) + sizeof(DROPFILES);
    for (const auto& p : paths) {
        std::memcpy(at, p.c_str(), p.size());
        at += p.size() + 1;
    }
    GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

using Opened = std::vector<std::pair<std::string, bool>>;

class HistoryPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = MakeHost();
        ASSERT_TRUE(host_);
        list_ = CreateWindowExA(0, "LISTBOX", nullptr, WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 0, 0, 138, 300, host_,
                                reinterpret_cast<HMENU>(300), GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(pane_.Create(host_, list_, 301, [this](const std::string& p, bool add) {
            opened_.push_back({p, add});
        }));
        MoveWindow(pane_.Scroller(), 140, 0, 138, 300, TRUE);
        ShowWindow(pane_.Scroller(), SW_SHOW);
    }
    void TearDown() override { DestroyWindow(host_); }

    HWND host_ = nullptr;
    HWND list_ = nullptr;
    HistoryPane pane_;
    Opened opened_;
};

}  // namespace

TEST(Light3D, RaisedAndSunkenEdgesFollowTheSize) {
    HWND host = MakeHost();
    Light3D panel;
    ASSERT_TRUE(panel.Create(host, 0, 0, 120, 16));
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    Canvas c(200, 60);
    panel.Draw(c.dc());
    EXPECT_EQ(c.At(0, 0), light);
    EXPECT_EQ(c.At(60, 0), light);
    EXPECT_EQ(c.At(0, 8), light);
    EXPECT_EQ(c.At(119, 8), shadow);
    EXPECT_EQ(c.At(60, 15), shadow);
    EXPECT_EQ(c.At(60, 8), panel.BackColor());
    panel.Style(true);
    panel.Draw(c.dc());
    EXPECT_EQ(c.At(60, 0), shadow);
    EXPECT_EQ(c.At(60, 15), light);
    // After a resize the right and bottom lines stand at the new width - 1 and height - 1.
    MoveWindow(panel.hWnd(), 0, 0, 60, 30, TRUE);
    panel.Draw(c.dc());
    EXPECT_EQ(c.At(59, 20), light);
    EXPECT_EQ(c.At(30, 29), light);
    EXPECT_EQ(c.At(58, 20), panel.BackColor());
    DestroyWindow(host);
}

TEST(Light3D, PressAndReleaseOverThePanelClick) {
    HWND host = MakeHost();
    Light3D panel;
    ASSERT_TRUE(panel.Create(host, 0, 0, 50, 20));
    std::vector<std::string> events;
    panel.MouseDown = [&](int b, int x, int y) { events.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y)); };
    panel.MouseUp = [&](int b, int, int) { events.push_back("up " + std::to_string(b)); };
    panel.Click = [&] { events.push_back("click"); };
    SendMessageA(panel.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    SendMessageA(panel.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    // Released away from the panel: no click.
    SendMessageA(panel.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    SendMessageA(panel.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(80, 6));
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 5,6", "up 1", "click", "down 1 5,6", "up 1"}));
    DestroyWindow(host);
}

TEST(Light3D, KeptPointsAndPictureComeBackUntilCleared) {
    HWND host = MakeHost();
    Light3D panel;
    ASSERT_TRUE(panel.Create(host, 0, 0, 40, 30));
    panel.AutoRedraw(true);
    panel.SetPicture(SolidPicture(5, 5, RGB(0, 0, 255)));
    panel.PSet(20, 10, RGB(255, 0, 0));
    Canvas c(40, 30);
    panel.Draw(c.dc());
    EXPECT_EQ(c.At(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(c.At(20, 10), RGB(255, 0, 0));
    panel.Cls();
    panel.Draw(c.dc());
    EXPECT_EQ(c.At(20, 10), panel.BackColor());
    // Transparent: the background is left as it was.
    panel.BackStyle(0);
    RECT all{0, 0, 40, 30};
    FillRect(c.dc(), &all, UniqueBrush(CreateSolidBrush(RGB(0, 255, 0))).get());
    panel.Draw(c.dc());
    EXPECT_EQ(c.At(20, 10), RGB(0, 255, 0));
    DestroyWindow(host);
}

TEST(Preview, AreasFollowTheTwipRuleOnResize) {
    HWND host = MakeHost();
    Preview item;
    ASSERT_TRUE(item.Create(host, 0, 0, 120, 100, WS_CHILD | WS_VISIBLE));
    const PreviewParts& p = item.PartsTwips();
    int tpp = p.Image.Left / 10;  // 150 twips is 10 pixels at 96 dpi
    ASSERT_EQ(p.Image.Left, 150);
    EXPECT_EQ(p.Image.Top, 150);
    EXPECT_EQ(p.Image.Width, 120 * tpp - 300);
    EXPECT_EQ(p.Label.Width, 120 * tpp - 300);
    EXPECT_EQ(p.Label.Top, 100 * tpp - 10 - p.Label.Height);
    EXPECT_EQ(p.Image.Height, p.Label.Top - 300);
    RECT image = item.ImageRect();
    EXPECT_EQ(image.left, 10);
    EXPECT_EQ(image.right, 110);
    // 20 pixels wide is 300 twips: nothing moves sideways, the image height still follows the label.
    TwipRect label = p.Label;
    MoveWindow(item.hWnd(), 0, 0, 20, 100, TRUE);
    EXPECT_EQ(item.PartsTwips().Label, label);
    EXPECT_EQ(item.PartsTwips().Image.Width, 120 * tpp - 300);
    DestroyWindow(host);
}

TEST(Preview, DrawsThePictureInItsImageAreaAndTheCaptionBelow) {
    HWND host = MakeHost();
    Preview item;
    ASSERT_TRUE(item.Create(host, 0, 0, 120, 100, WS_CHILD | WS_VISIBLE));
    item.SetPicture(SolidPicture(400, 100, RGB(255, 0, 0)));
    item.BackColor(RGB(0, 0, 255));
    EXPECT_TRUE(item.PropertyChanged);
    Canvas c(120, 100);
    item.Draw(c.dc());
    RECT image = item.ImageRect();
    int cx = (image.left + image.right) / 2, cy = (image.top + image.bottom) / 2;
    EXPECT_EQ(c.At(cx, cy), RGB(255, 0, 0));
    EXPECT_EQ(c.At(image.left + 1, cy), RGB(255, 0, 0));  // 4:1 fills the width
    EXPECT_EQ(c.At(cx, image.top + 1), RGB(0, 0, 255));   // and not the height
    EXPECT_EQ(c.At(60, 1), RGB(0, 0, 255));
    int clicks = 0;
    item.Click = [&] { ++clicks; };
    SendMessageA(item.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cx, cy));
    SendMessageA(item.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(cx, cy));
    EXPECT_EQ(clicks, 1);
    DestroyWindow(host);
}

TEST_F(HistoryPaneTest, ListModeAddsStepsChoosesAndClears) {
    for (const char* p : {R"(C:\s\a.bmp)", R"(C:\s\b.bmp)", R"(C:\s\c.bmp)"})
        pane_.AddHistory(HistoryMode::List, p, Picture{});
    EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 3);
    EXPECT_TRUE(opened_.empty());
    pane_.StepHistory(HistoryMode::List, -1);  // nothing selected, nothing above
    EXPECT_TRUE(opened_.empty());
    pane_.StepHistory(HistoryMode::List, 1);
    pane_.StepHistory(HistoryMode::List, 1);
    pane_.StepHistory(HistoryMode::List, 1);
    pane_.StepHistory(HistoryMode::List, 1);  // past the end: nothing
    // The newest is on top.
    EXPECT_EQ(opened_, (Opened{{R"(C:\s\c.bmp)", false}, {R"(C:\s\b.bmp)", false}, {R"(C:\s\a.bmp)", false}}));
    EXPECT_EQ(SendMessageA(list_, LB_GETCURSEL, 0, 0), 2);
    // A path already listed is not listed twice.
    pane_.AddHistory(HistoryMode::List, R"(C:\s\b.bmp)", Picture{}, false);
    EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 3);
    // A click on a line arrives as the list's selection change at the parent.
    opened_.clear();
    SendMessageA(list_, LB_SETCURSEL, 0, 0);
    EXPECT_TRUE(pane_.OnParentCommand(MAKEWPARAM(300, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list_)));
    EXPECT_EQ(opened_, (Opened{{R"(C:\s\c.bmp)", false}}));
    // An entry taken off, and one renamed (a capture saved to a file).
    pane_.RemoveEntry(HistoryMode::List, R"(C:\s\b.bmp)");
    pane_.RenameEntry(HistoryMode::List, R"(C:\s\a.bmp)", R"(C:\s\saved.png)");
    EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 2);
    EXPECT_TRUE(pane_.HasEntry(HistoryMode::List, R"(C:\s\saved.png)"));
    EXPECT_FALSE(pane_.HasEntry(HistoryMode::List, R"(C:\s\a.bmp)"));
    EXPECT_FALSE(pane_.OnParentCommand(MAKEWPARAM(1801, 0), 0));
    pane_.ClearHistory(HistoryMode::List);
    EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 0);
    // Mode none: nothing at all.
    pane_.AddHistory(HistoryMode::None, R"(C:\s\d.bmp)", Picture{});
    EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(pane_.PreviewCount(), 1);
}

TEST_F(HistoryPaneTest, PreviewModeAddsSelectedThumbnailsAndReopensWithoutAdding) {
    Picture red = SolidPicture(1024, 768, RGB(255, 0, 0));
    pane_.AddHistory(HistoryMode::Preview, R"(C:\s\a.bmp)", red);
    pane_.AddHistory(HistoryMode::Preview, R"(C:\s\b.bmp)", red);
    pane_.AddHistory(HistoryMode::Preview, R"(C:\s\c.bmp)", SolidPicture(30, 20, RGB(0, 255, 0)));
    ASSERT_EQ(pane_.PreviewCount(), 4);
    // The newest on top, chosen as it was added.
    EXPECT_EQ(pane_.SelectedPreview(), 1);
    EXPECT_EQ(opened_, (Opened{{R"(C:\s\a.bmp)", false}, {R"(C:\s\b.bmp)", false}, {R"(C:\s\c.bmp)", false}}));
    EXPECT_EQ(pane_.Item(3).Caption(), "a.bmp");
    EXPECT_EQ(pane_.Item(1).Tag(), R"(C:\s\c.bmp)");
    EXPECT_EQ(pane_.Item(1).Top(), 10);
    EXPECT_EQ(pane_.Item(2).Top(), 10 + HistoryPane::kItemHeight + 10);
    EXPECT_EQ(pane_.ClientRect().bottom - pane_.ClientRect().top, (HistoryPane::kItemHeight + 10) * 3 + 10);
    EXPECT_FALSE(pane_.Item(0).Visible());
    EXPECT_TRUE(pane_.Item(1).Visible());
    // The thumbnail is a reduced copy that fits the image area; a small picture keeps its size.
    RECT image = pane_.Item(3).ImageRect();
    SIZE thumb = pane_.Item(3).GetPicture().PixelSize();
    EXPECT_LE(thumb.cx, image.right - image.left);
    EXPECT_LE(thumb.cy, image.bottom - image.top);
    EXPECT_TRUE(thumb.cx == image.right - image.left || thumb.cy == image.bottom - image.top);
    EXPECT_NE(pane_.Item(3).GetPicture().Bitmap(), red.Bitmap());
    EXPECT_EQ(pane_.Item(1).GetPicture().PixelSize().cx, 30);
    // Selection colours: only the chosen item is highlighted.
    EXPECT_EQ(pane_.Item(1).BackColor(), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(pane_.Item(1).ForeColor(), GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(pane_.Item(2).BackColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pane_.Item(2).ForeColor(), GetSysColor(COLOR_BTNTEXT));
    // A click on an item (the oldest, at the bottom).
    opened_.clear();
    HWND item3 = pane_.Item(3).hWnd();
    SendMessageA(item3, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 40));
    SendMessageA(item3, WM_LBUTTONUP, 0, MAKELPARAM(50, 40));
    EXPECT_EQ(pane_.SelectedPreview(), 3);
    EXPECT_EQ(pane_.Item(1).BackColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pane_.Item(3).BackColor(), GetSysColor(COLOR_HIGHLIGHT));
    // Steps stop at the last item and at the first.
    pane_.StepHistory(HistoryMode::Preview, 1);
    pane_.StepHistory(HistoryMode::Preview, -1);
    pane_.StepHistory(HistoryMode::Preview, -1);
    pane_.StepHistory(HistoryMode::Preview, -1);
    EXPECT_EQ(opened_, (Opened{{R"(C:\s\a.bmp)", false}, {R"(C:\s\b.bmp)", false}, {R"(C:\s\c.bmp)", false}}));
    EXPECT_EQ(pane_.SelectedPreview(), 1);
    // Taking the middle entry off moves the ones below it up and keeps the selection on its item.
    pane_.RemoveEntry(HistoryMode::Preview, R"(C:\s\b.bmp)");
    ASSERT_EQ(pane_.PreviewCount(), 3);
    EXPECT_EQ(pane_.Item(2).Tag(), R"(C:\s\a.bmp)");
    EXPECT_EQ(pane_.Item(2).Top(), 10 + HistoryPane::kItemHeight + 10);
    EXPECT_EQ(pane_.SelectedPreview(), 1);
}

TEST_F(HistoryPaneTest, ClearingThePreviewsForgetsTheSelectionSoNewEntriesWork) {
    Picture red = SolidPicture(200, 100, RGB(255, 0, 0));
    for (const char* p : {R"(C:\s\x.bmp)", R"(C:\s\w.bmp)", R"(C:\s\v.bmp)"}) pane_.AddHistory(HistoryMode::Preview, p, red);
    pane_.ClearHistory(HistoryMode::Preview);
    EXPECT_EQ(pane_.PreviewCount(), 1);
    EXPECT_EQ(pane_.SelectedPreview(), 0);
    // Regression: the old selection named an item that no longer existed.
    pane_.AddHistory(HistoryMode::Preview, R"(C:\s\y.bmp)", red);
    EXPECT_EQ(pane_.PreviewCount(), 2);
    EXPECT_EQ(pane_.SelectedPreview(), 1);
    EXPECT_EQ(pane_.Item(1).Top(), 10);
    EXPECT_EQ(pane_.ClientRect().top, pane_.UpperLimit());
    pane_.ClearHistory(HistoryMode::List);  // the list mode leaves the thumbnails alone
    EXPECT_EQ(pane_.PreviewCount(), 2);
}

TEST_F(HistoryPaneTest, ScrollButtonsMoveTheStripToItsLimitsAndStop) {
    Picture red = SolidPicture(64, 64, RGB(255, 0, 0));
    for (int i = 0; i < 5; ++i) pane_.AddHistory(HistoryMode::Preview, "C:\\s\\x" + std::to_string(i) + ".bmp", red);
    RECT inner{};
    GetClientRect(pane_.Scroller(), &inner);
    EXPECT_EQ(pane_.UpperLimit(), HistoryPane::kButtonHeight);
    EXPECT_EQ(pane_.LowerLimit(), inner.bottom - HistoryPane::kButtonHeight);
    // Holding the lower button: the strip rises in steps of at most 20 until its end meets the limit.
    HWND down = pane_.ScrollButton(1).hWnd();
    SendMessageA(down, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(pane_.Scrolling());
    EXPECT_EQ(pane_.ScrollDirection(), -1);
    EXPECT_TRUE(pane_.ScrollButton(1).Style());
    int ticks = 0, lastTop = pane_.ClientRect().top;
    while (pane_.Scrolling() && ticks < 100) {
        SendMessageA(pane_.Scroller(), WM_TIMER, 1, 0);
        int top = pane_.ClientRect().top;
        EXPECT_LE(lastTop - top, 20);
        lastTop = top;
        ++ticks;
    }
    EXPECT_EQ(pane_.ClientRect().bottom, pane_.LowerLimit());
    RECT shown{};
    GetWindowRect(pane_.Client(), &shown);
    MapWindowPoints(nullptr, pane_.Scroller(), reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(shown.bottom, pane_.LowerLimit());
    SendMessageA(down, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(pane_.ScrollButton(1).Style());
    // The upper button brings it back to the upper limit.
    pane_.ScrollPress(0);
    while (pane_.Scrolling() && ticks < 200) {
        pane_.ScrollTick();
        ++ticks;
    }
    pane_.ScrollRelease(0);
    EXPECT_EQ(pane_.ClientRect().top, pane_.UpperLimit());
}

TEST_F(HistoryPaneTest, ShortStripDoesNotScroll) {
    pane_.AddHistory(HistoryMode::Preview, R"(C:\s\x.bmp)", SolidPicture(10, 10, 0));
    int top = pane_.ClientRect().top;
    pane_.ScrollPress(1);
    pane_.ScrollTick();
    EXPECT_FALSE(pane_.Scrolling());
    EXPECT_EQ(pane_.ClientRect().top, top);
    pane_.ScrollRelease(1);
}

// A click on a scroll button did nothing: only holding it (the timer) scrolled.
TEST_F(HistoryPaneTest, OneClickOnAScrollButtonIsOneStep) {
    Picture red = SolidPicture(64, 64, RGB(255, 0, 0));
    for (int i = 0; i < 5; ++i) pane_.AddHistory(HistoryMode::Preview, "C:\\s\\c" + std::to_string(i) + ".bmp", red);
    const int top = pane_.ClientRect().top;
    HWND down = pane_.ScrollButton(1).hWnd();
    SendMessageA(down, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(down, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(pane_.Scrolling());
    EXPECT_EQ(pane_.ClientRect().top, top - 20);
    HWND up = pane_.ScrollButton(0).hWnd();
    SendMessageA(up, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(up, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(pane_.ClientRect().top, top);
}

// The wheel did nothing over the strip. Over a thumbnail it reaches the strip too; a notch is a
// step, finer movements add up, and it stops at the limits.
TEST_F(HistoryPaneTest, WheelOverTheStripScrollsIt) {
    Picture red = SolidPicture(64, 64, RGB(255, 0, 0));
    for (int i = 0; i < 5; ++i) pane_.AddHistory(HistoryMode::Preview, "C:\\s\\w" + std::to_string(i) + ".bmp", red);
    const int top = pane_.ClientRect().top;
    HWND thumbnail = pane_.Item(1).hWnd();
    SendMessageA(thumbnail, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(pane_.ClientRect().top, top - 20);
    SendMessageA(pane_.Scroller(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    EXPECT_EQ(pane_.ClientRect().top, top - 20);
    SendMessageA(pane_.Client(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), 0);
    EXPECT_EQ(pane_.ClientRect().top, top - 40);
    for (int i = 0; i < 100; ++i) SendMessageA(pane_.Scroller(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(pane_.ClientRect().bottom, pane_.LowerLimit());
    // Forward goes back to the top, and not beyond it.
    SendMessageA(pane_.Scroller(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(100 * WHEEL_DELTA)), 0);
    EXPECT_EQ(pane_.ClientRect().top, pane_.UpperLimit());
}

// A new entry went on top while the strip showed its bottom: it was added out of view.
TEST_F(HistoryPaneTest, NewEntryIsScrolledIntoView) {
    Picture red = SolidPicture(64, 64, RGB(255, 0, 0));
    for (int i = 0; i < 5; ++i) pane_.AddHistory(HistoryMode::Preview, "C:\\s\\n" + std::to_string(i) + ".bmp", red);
    for (int i = 0; i < 100; ++i) pane_.ScrollStep(-1);
    ASSERT_LT(pane_.ClientRect().top, pane_.UpperLimit());
    pane_.AddHistory(HistoryMode::Preview, "C:\\s\\newest.bmp", red, false);
    EXPECT_EQ(pane_.ClientRect().top, pane_.UpperLimit());
    RECT item{};
    GetWindowRect(pane_.Item(1).hWnd(), &item);
    MapWindowPoints(nullptr, pane_.Scroller(), reinterpret_cast<POINT*>(&item), 2);
    EXPECT_GE(item.top, pane_.UpperLimit());
    EXPECT_LE(item.bottom, pane_.LowerLimit());
    EXPECT_EQ(pane_.Item(1).Tag(), "C:\\s\\newest.bmp");
}

// The message loop hands the wheel to the strip when the pointer is over it.
TEST_F(HistoryPaneTest, StripContainsOnlyPointsOverItWhileShown) {
    RECT r{};
    GetWindowRect(pane_.Scroller(), &r);
    const POINT inside{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(pane_.StripContains(inside), IsWindowVisible(pane_.Scroller()) != FALSE);
    EXPECT_FALSE(pane_.StripContains(POINT{r.right + 5, r.bottom + 5}));
}

TEST_F(HistoryPaneTest, DroppedPicturesOpenAndEnterTheHistoryOthersAreIgnored) {
    SendMessageA(pane_.Scroller(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({R"(C:\p\a.PCX)", R"(C:\p\b.bmp)"})), 0);
    SendMessageA(pane_.Client(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({R"(C:\p\notes.txt)"})), 0);
    SendMessageA(list_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({R"(C:\p\c.Gif)"})), 0);
    SendMessageA(list_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({R"(C:\p\c.mp)"})), 0);
    EXPECT_EQ(opened_, (Opened{{R"(C:\p\a.PCX)", true}, {R"(C:\p\c.Gif)", true}}));
}

TEST_F(HistoryPaneTest, ThreeHundredFullScreenEntriesKeepMemoryBounded) {
    PROCESS_MEMORY_COUNTERS before{}, after{};
    before.cb = after.cb = sizeof before;
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
    for (int i = 0; i < 300; ++i) {
        // Each capture is a new picture that the canvas drops again at the next one.
        Picture shot = SolidPicture(1024, 768, RGB(i % 256, 0, 255 - i % 256));
        pane_.AddHistory(HistoryMode::Preview, "C:\\s\\cap" + std::to_string(i) + ".bmp", shot);
        if (i % 50 == 0) Pump();
    }
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
    EXPECT_EQ(pane_.PreviewCount(), 301);
    double grownMb = (static_cast<double>(after.PagefileUsage) - static_cast<double>(before.PagefileUsage)) / 1048576.0;
    // The measure itself must see pictures kept whole: 20 of them are 45 MB.
    std::vector<Picture> kept;
    for (int i = 0; i < 20; ++i) kept.push_back(SolidPicture(1024, 768, RGB(0, i, 0)));
    PROCESS_MEMORY_COUNTERS whole{};
    whole.cb = sizeof whole;
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &whole, sizeof whole));
    double keptMb = (static_cast<double>(whole.PagefileUsage) - static_cast<double>(after.PagefileUsage)) / 1048576.0;
    std::printf("300 full-screen entries: private bytes grew by %.1f MB; 20 whole pictures take %.1f MB\n", grownMb,
                keptMb);
    RecordProperty("PrivateGrowthKB", static_cast<int>(grownMb * 1024));
    ASSERT_GT(keptMb, 36.0);
    // Whole copies would take 300 x 2.25 MB = 675 MB; thumbnails take a few.
    EXPECT_LT(grownMb, 40.0);
}
