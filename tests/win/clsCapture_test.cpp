#include "capture/clsCapture_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/win/Handles_win.h"
#include "capture/Monitors_win.h"

using namespace plenvue;

namespace {

constexpr COLORREF kTopLeft = RGB(200, 30, 40);
constexpr COLORREF kRest = RGB(20, 160, 90);

LRESULT CALLBACK PatternProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, UniqueBrush(CreateSolidBrush(kRest)).get());
        RECT q{0, 0, rc.right / 2, rc.bottom / 2};
        FillRect(dc, &q, UniqueBrush(CreateSolidBrush(kTopLeft)).get());
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, w, l);
}

// A framed window painted with a known pattern, in the foreground.
class PatternWindow {
public:
    PatternWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PatternProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = "CaptureTestPattern";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(WS_EX_TOPMOST, "CaptureTestPattern", "Pattern", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               100, 100, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(hwnd);
        Pump();
    }
    ~PatternWindow() { DestroyWindow(hwnd); }
    static void Pump() {
        for (int i = 0; i < 20; ++i) {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            Sleep(20);
        }
    }
    HWND hwnd;
};

COLORREF PixelOf(const Picture& p, int x, int y) {
    WindowDC screen = WindowDC::Client(nullptr);
    MemoryDC mem(CreateCompatibleDC(screen.get()));
    SelectedObject selected(mem.get(), p.Bitmap());
    return GetPixel(mem.get(), x, y);
}

}  // namespace

TEST(clsCapture, FullScreenCoversPrimaryDisplayWithScreenPixels) {
    PatternWindow w;
    clsCapture engine;
    Picture p = engine.Capture();
    ASSERT_FALSE(p.Empty());
    SIZE s = p.PixelSize();
    EXPECT_EQ(s.cx, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(s.cy, GetSystemMetrics(SM_CYSCREEN));
    POINT origin{0, 0};
    ClientToScreen(w.hwnd, &origin);
    EXPECT_EQ(PixelOf(p, origin.x + 5, origin.y + 5), kTopLeft);
    EXPECT_EQ(PixelOf(p, origin.x + 250, origin.y + 5), kRest);
    EXPECT_EQ(engine.SrcWidth(), s.cx);
    EXPECT_EQ(engine.SrcLeft(), 0);
}

TEST(clsCapture, ClientAreaAndWholeWindowOfForegroundWindow) {
    PatternWindow w;
    RECT client{}, whole{};
    GetClientRect(w.hwnd, &client);
    GetWindowRect(w.hwnd, &whole);
    ASSERT_EQ(GetForegroundWindow(), w.hwnd);
    clsCapture engine;
    engine.CaptureMethod(4);
    Picture c = engine.Capture();
    ASSERT_FALSE(c.Empty());
    EXPECT_EQ(c.PixelSize().cx, client.right);
    EXPECT_EQ(c.PixelSize().cy, client.bottom);
    EXPECT_EQ(engine.SrcWidth(), client.right);
    EXPECT_EQ(PixelOf(c, 3, 3), kTopLeft);
    EXPECT_EQ(PixelOf(c, client.right - 3, client.bottom - 3), kRest);

    engine.CaptureMethod(3);
    Picture f = engine.Capture();
    EXPECT_EQ(f.PixelSize().cx, whole.right - whole.left);
    EXPECT_EQ(f.PixelSize().cy, whole.bottom - whole.top);
    EXPECT_EQ(engine.SrcTop(), 0);
}

// The rectangle properties round halves to the even neighbour, and the capture takes exactly
// that rectangle: the pattern's colour edge lands on the column the rounding predicts.
TEST(clsCapture, RegionRectangleRoundsHalvesToEvenAndTakesThoseScreenPixels) {
    PatternWindow w;
    POINT origin{0, 0};
    ClientToScreen(w.hwnd, &origin);
    RECT client{};
    GetClientRect(w.hwnd, &client);
    const int edge = origin.x + client.right / 2;  // first screen column of kRest in the top half
    const int even = (edge - 2) & ~1;               // two or three columns left of the edge
    const int odd = (origin.y + 5) | 1;
    clsCapture engine;
    engine.CaptureMethod(1);
    // Halves go to the even neighbour: down from an even number, up from an odd one.
    engine.SrcLeft(even + 0.5);
    engine.SrcTop(odd + 0.5);
    engine.SrcWidth(20.5);
    engine.SrcHeight(9.5);
    EXPECT_EQ(engine.SrcLeft(), even);
    EXPECT_EQ(engine.SrcTop(), odd + 1);
    EXPECT_EQ(engine.SrcWidth(), 20);
    EXPECT_EQ(engine.SrcHeight(), 10);
    Picture p = engine.Capture();
    ASSERT_FALSE(p.Empty());
    EXPECT_EQ(p.PixelSize().cx, 20);
    EXPECT_EQ(p.PixelSize().cy, 10);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(PixelOf(p, x, 5), even + x < edge ? kTopLeft : kRest) << "column " << x;

    engine.SrcLeft(-2.5);
    EXPECT_EQ(engine.SrcLeft(), -2);
}

// Repeat calls Capture with nothing set: the same screen rectangle again, showing what is there now.
TEST(clsCapture, RepeatAfterRegionTakesSameScreenRectangle) {
    PatternWindow w;
    POINT origin{0, 0};
    ClientToScreen(w.hwnd, &origin);
    clsCapture engine;
    engine.CaptureMethod(1);
    engine.SrcLeft(origin.x + 10);
    engine.SrcTop(origin.y + 10);
    engine.SrcWidth(20);
    engine.SrcHeight(10);
    Picture first = engine.Capture();
    ASSERT_FALSE(first.Empty());
    EXPECT_EQ(PixelOf(first, 2, 2), kTopLeft);

    // The window moves away to the right: the top-left quarter no longer covers the rectangle,
    // its right half (kRest) does.
    RECT client{};
    GetClientRect(w.hwnd, &client);
    SetWindowPos(w.hwnd, nullptr, 100 - client.right / 2 - 20, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PatternWindow::Pump();
    POINT moved{0, 0};
    ClientToScreen(w.hwnd, &moved);
    ASSERT_GE(origin.x + 10, moved.x + client.right / 2);
    ASSERT_LE(origin.x + 30, moved.x + client.right);
    Picture repeat = engine.Capture();
    ASSERT_FALSE(repeat.Empty());
    EXPECT_EQ(engine.CaptureMethod(), 1);
    EXPECT_EQ(engine.SrcLeft(), origin.x + 10);
    EXPECT_EQ(engine.SrcTop(), origin.y + 10);
    EXPECT_EQ(repeat.PixelSize().cx, 20);
    EXPECT_EQ(repeat.PixelSize().cy, 10);
    for (int x : {0, 10, 19})
        for (int y : {0, 9}) EXPECT_EQ(PixelOf(repeat, x, y), kRest) << x << "," << y;
}

TEST(clsCapture, CursorIsDrawnAtOffsetAndClippedAtEdge) {
    PatternWindow w;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    POINT origin{0, 0};
    ClientToScreen(w.hwnd, &origin);
    SetCursorPos(origin.x + 40, origin.y + 40);
    clsCapture engine;
    engine.CaptureMethod(4);
    Picture plain = engine.Capture();
    engine.hasMouseCursor(true);
    Picture withCursor = engine.Capture();
    int differ = 0;
    for (int y = 40; y < 60; ++y)
        for (int x = 40; x < 52; ++x) differ += PixelOf(plain, x, y) != PixelOf(withCursor, x, y);
    EXPECT_GT(differ, 0) << "no cursor drawn at the offset";
    EXPECT_EQ(PixelOf(plain, 5, 5), PixelOf(withCursor, 5, 5));

    // At the screen's corner the cursor is clipped by the bitmap: the picture keeps the screen's
    // size, the cursor's top-left pixel lands on the last pixel and nothing else changes.
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(w.hwnd, nullptr, cx - 200, cy - 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PatternWindow::Pump();
    SetCursorPos(cx - 1, cy - 1);
    engine.CaptureMethod(0);
    engine.hasMouseCursor(false);
    Picture cornerPlain = engine.Capture();
    engine.hasMouseCursor(true);
    Picture corner = engine.Capture();
    ASSERT_FALSE(corner.Empty());
    EXPECT_EQ(corner.PixelSize().cx, cx);
    EXPECT_EQ(corner.PixelSize().cy, cy);
    EXPECT_EQ(PixelOf(cornerPlain, cx - 1, cy - 1), kRest);
    EXPECT_NE(PixelOf(corner, cx - 1, cy - 1), kRest) << "no cursor at the corner";
    int elsewhere = 0;
    for (int y = cy - 40; y < cy; ++y)
        for (int x = cx - 40; x < cx; ++x)
            if (x != cx - 1 || y != cy - 1) elsewhere += PixelOf(cornerPlain, x, y) != PixelOf(corner, x, y);
    EXPECT_EQ(elsewhere, 0) << "the cursor was drawn away from its position";
}

TEST(clsCapture, ReleasingPicturesFreesTheirBitmaps) {
    // Wine's GetGuiResources reports 0, so follow each captured handle instead.
    clsCapture engine;
    engine.hasMouseCursor(true);
    for (int i = 0; i < 60; ++i) {
        engine.CaptureMethod(i % 2 ? 0 : 1);
        engine.SrcWidth(64);
        engine.SrcHeight(48);
        Picture p = engine.Capture();
        ASSERT_FALSE(p.Empty());
        HBITMAP bitmap = p.Bitmap();
        ASSERT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
        p.Reset();
        EXPECT_EQ(GetObjectType(bitmap), 0u) << "capture " << i << " leaked its bitmap";
    }
}

namespace {
// Two monitors made up on the one test screen: a tall one on the left, a short primary on the
// right, and the corner under the short one uncovered.
MonitorList TallAndShort() {
    MonitorInfo tall, shortOne;
    tall.Bounds = tall.WorkArea = {0, 0, 600, 768};
    shortOne.Bounds = shortOne.WorkArea = {600, 0, 1024, 400};
    shortOne.Primary = true;
    return {tall, shortOne};
}
}  // namespace

TEST(clsCapture, FullScreenTakesEveryMonitorWithTheGapBetweenThemBlack) {
    PatternWindow w;
    SetWindowPos(w.hwnd, nullptr, 650, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // in the gap
    PatternWindow::Pump();
    ScopedMonitorList fake(TallAndShort());
    clsCapture engine;
    Picture p = engine.Capture();
    ASSERT_FALSE(p.Empty());
    EXPECT_EQ(p.PixelSize().cx, 1024);
    EXPECT_EQ(p.PixelSize().cy, 768);
    POINT origin{0, 0};
    ClientToScreen(w.hwnd, &origin);
    EXPECT_EQ(PixelOf(p, origin.x + 5, origin.y + 5), RGB(0, 0, 0)) << "the gap is not black";
    EXPECT_EQ(PixelOf(p, 1023, 767), RGB(0, 0, 0));
    SetWindowPos(w.hwnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PatternWindow::Pump();
    p = engine.Capture();
    ClientToScreen(w.hwnd, &(origin = {0, 0}));
    EXPECT_EQ(PixelOf(p, origin.x + 5, origin.y + 5), kTopLeft) << "a monitor's pixels are missing";
}

TEST(clsCapture, FullScreenTakesTheMonitorUnderThePointerOrThePrimaryAsChosen) {
    PatternWindow w;
    SetWindowPos(w.hwnd, nullptr, 620, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PatternWindow::Pump();
    ScopedMonitorList fake(TallAndShort());
    clsCapture engine;
    engine.FullArea(FullScreenArea::MonitorUnderPointer);
    SetCursorPos(10, 700);
    Picture left = engine.Capture();
    EXPECT_EQ(left.PixelSize().cx, 600);
    EXPECT_EQ(left.PixelSize().cy, 768);
    EXPECT_EQ(engine.SrcLeft(), 0);
    SetCursorPos(900, 300);
    Picture right = engine.Capture();
    EXPECT_EQ(right.PixelSize().cx, 424);
    EXPECT_EQ(right.PixelSize().cy, 400);
    EXPECT_EQ(engine.SrcLeft(), 600);
    POINT origin{0, 0};
    ClientToScreen(w.hwnd, &origin);
    EXPECT_EQ(PixelOf(right, origin.x - 600 + 5, origin.y + 5), kTopLeft) << "not 1:1 from the monitor's corner";
    engine.FullArea(FullScreenArea::PrimaryMonitor);
    SetCursorPos(10, 700);
    Picture primary = engine.Capture();
    EXPECT_EQ(primary.PixelSize().cx, 424);
    EXPECT_EQ(engine.SrcLeft(), 600);
}
