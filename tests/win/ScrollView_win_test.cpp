#include "controls/ScrollView_win.h"

#include "controls/ScrollMath.h"
#include "controls/modWndProcEx_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/win/WinTestSupport.h"

using namespace plenvue;
using plenvue::test::ComInit;
using plenvue::test::SolidPicture;

namespace {

class ScrollViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ScrollViewTestHost";
        RegisterClassA(&wc);
        host_ = CreateWindowExA(0, "ScrollViewTestHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 500,
                                nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(host_);
        ASSERT_TRUE(view_.Create(host_, 0, 1));
        MoveWindow(view_.hWnd(), 0, 0, 500, 300, TRUE);
        view_.ViewChange = [this](int32_t n, int32_t o) { changes_.push_back({n, o}); };
    }
    void TearDown() override { DestroyWindow(host_); }

    SCROLLINFO Bar(int bar) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(view_.hWnd(), bar, &si);
        return si;
    }
    bool HasStyle(DWORD bit) { return (GetWindowLongA(view_.hWnd(), GWL_STYLE) & bit) != 0; }
    RECT Client() {
        RECT rc{};
        GetClientRect(view_.hWnd(), &rc);
        return rc;
    }

    HWND host_ = nullptr;
    ScrollView view_;
    std::vector<std::pair<int32_t, int32_t>> changes_;
};

TEST_F(ScrollViewTest, WidePictureScrollsToContentMinusPagePlusOne) {
    view_.SetPicture(SolidPicture(5000, 100, RGB(0, 0, 255)));
    view_.View(1);
    EXPECT_EQ(view_.ContentWidth(), 5000);
    EXPECT_TRUE(HasStyle(WS_HSCROLL));
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
    SCROLLINFO h = Bar(SB_HORZ);
    EXPECT_EQ(h.nMax, 5000);
    EXPECT_EQ(static_cast<LONG>(h.nPage), Client().right);
    const int last = 5000 - static_cast<int>(h.nPage) + 1;

    SendMessageA(view_.hWnd(), WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(Bar(SB_HORZ).nPos, last);
    EXPECT_EQ(view_.Origin().x, last);
    SendMessageA(view_.hWnd(), WM_HSCROLL, SB_PAGEDOWN, 0);
    SendMessageA(view_.hWnd(), WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(Bar(SB_HORZ).nPos, last);
    SendMessageA(view_.hWnd(), WM_HSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(Bar(SB_HORZ).nPos, last - static_cast<int>(h.nPage));
    EXPECT_EQ(view_.Origin().x, Bar(SB_HORZ).nPos);
    SendMessageA(view_.hWnd(), WM_HSCROLL, SB_TOP, 0);
    EXPECT_EQ(view_.Origin().x, 0);
}

TEST_F(ScrollViewTest, NewPictureScrollsBackToTheOrigin) {
    view_.View(1);
    view_.SetPicture(SolidPicture(2000, 2000, RGB(255, 0, 0)));
    SendMessageA(view_.hWnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessageA(view_.hWnd(), WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_GT(view_.Origin().y, 0);
    EXPECT_GT(view_.Origin().x, 0);
    view_.SetPicture(SolidPicture(1500, 1500, RGB(0, 255, 0)));
    EXPECT_EQ(view_.Origin().x, 0);
    EXPECT_EQ(view_.Origin().y, 0);
    EXPECT_EQ(Bar(SB_VERT).nPos, 0);
    EXPECT_EQ(Bar(SB_HORZ).nPos, 0);
}

TEST_F(ScrollViewTest, CtrlKeysScrollAndPlainKeysDoNot) {
    view_.View(1);
    view_.SetPicture(SolidPicture(2000, 2000, RGB(255, 0, 0)));
    SetFocus(view_.hWnd());
    SendMessageA(view_.hWnd(), WM_KEYDOWN, VK_NEXT, 0);  // no Ctrl
    EXPECT_EQ(view_.Origin().y, 0);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(view_.hWnd(), WM_KEYDOWN, VK_END, 0);
    SendMessageA(view_.hWnd(), WM_KEYDOWN, VK_RIGHT, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(view_.Origin().y, 2000 - static_cast<int>(Bar(SB_VERT).nPage) + 1);
    EXPECT_GT(view_.Origin().x, 0);
}

TEST_F(ScrollViewTest, SmallPictureHasNoBarsUnlessAskedForThenDisabled) {
    view_.View(1);
    view_.SetPicture(SolidPicture(50, 40, RGB(1, 2, 3)));
    EXPECT_FALSE(HasStyle(WS_HSCROLL));
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
    view_.ShowDisabledScrollbars(kAlwaysShowHorizontal | kAlwaysShowVertical);
    EXPECT_TRUE(HasStyle(WS_HSCROLL));
    EXPECT_TRUE(HasStyle(WS_VSCROLL));
}

TEST_F(ScrollViewTest, PictureIsDrawnAtTheTopLeftOnTheBackColour) {
    view_.BackColor(RGB(0, 255, 0));
    view_.View(1);
    view_.SetPicture(SolidPicture(20, 20, RGB(0, 0, 255)));
    UpdateWindow(view_.hWnd());
    WindowDC dc = WindowDC::Client(view_.hWnd());
    COLORREF inside = GetPixel(dc.get(), 5, 5);
    COLORREF outside = GetPixel(dc.get(), 60, 60);
    EXPECT_EQ(inside, RGB(0, 0, 255));
    EXPECT_EQ(outside, RGB(0, 255, 0));
}

TEST_F(ScrollViewTest, ViewModeZeroRemovesBarsAndReportsTheChange) {
    view_.View(1);
    view_.SetPicture(SolidPicture(3000, 3000, RGB(1, 2, 3)));
    EXPECT_TRUE(HasStyle(WS_HSCROLL));
    changes_.clear();
    view_.View(0);
    EXPECT_FALSE(HasStyle(WS_HSCROLL));
    EXPECT_FALSE(HasStyle(WS_VSCROLL));
    ASSERT_EQ(changes_.size(), 1u);
    EXPECT_EQ(changes_[0], (std::pair<int32_t, int32_t>{0, 1}));
}

}  // namespace

TEST_F(ScrollViewTest, WindowCarriesOldProcedureAndOwnerUntilDestroyed) {
    HWND w = view_.hWnd();
    EXPECT_NE(GetPropA(w, "OldWndProc"), nullptr);
    EXPECT_EQ(GetPropA(w, "ObjectPtr"), static_cast<HANDLE>(&view_));
    int32_t before = SubclassedScrollViewCount();
    // A second subclassing of the same window changes nothing.
    EXPECT_TRUE(SubclassScrollView(w, ScrollViewWindowProc, &view_));
    EXPECT_EQ(SubclassedScrollViewCount(), before);
    DestroyWindow(w);
    EXPECT_EQ(SubclassedScrollViewCount(), before - 1);
    EXPECT_EQ(view_.hWnd(), nullptr);
}

namespace {
int g_plainSizes = 0;
LRESULT CALLBACK PlainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SIZE) ++g_plainSizes;
    return DefWindowProcA(w, m, wp, lp);
}
}  // namespace

TEST(ScrollViewSubclass, WithoutOwnerTheFirstHandledMessageRestoresTheWindow) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ScrollViewPlain";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "ScrollViewPlain", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             wc.hInstance, nullptr);
    ASSERT_TRUE(w);
    int32_t before = SubclassedScrollViewCount();
    ASSERT_TRUE(SubclassScrollView(w, ScrollViewWindowProc, nullptr));
    EXPECT_EQ(SubclassedScrollViewCount(), before + 1);
    EXPECT_EQ(GetPropA(w, "ObjectPtr"), nullptr);
    g_plainSizes = 0;
    MoveWindow(w, 0, 0, 120, 120, FALSE);
    EXPECT_EQ(g_plainSizes, 1);  // passed on to the old procedure
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(PlainProc));
    EXPECT_EQ(GetPropA(w, "OldWndProc"), nullptr);
    EXPECT_EQ(SubclassedScrollViewCount(), before);
    EXPECT_FALSE(UnsubclassScrollView(w));
    DestroyWindow(w);
}
