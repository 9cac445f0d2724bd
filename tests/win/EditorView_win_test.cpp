// The editor's canvas window: mouse drags reach the document in picture pixels at any zoom, the
// view paints the flattened picture, keys pick tools and nudge, Ctrl+wheel zooms about the pointer.
#include "markup/EditorView_win.h"

#include <gtest/gtest.h>

#include "image/clsDIBSection.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

struct Host {
    HWND parent = nullptr;
    clsDIBSection picture;
    MarkupDocument doc;
    EditorView view;
    int steps = 0;
    Host() {
        parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 320, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        picture.Create(200, 150);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                uint8_t* p = picture.PixelPtr(x, y);
                p[0] = p[1] = p[2] = 240;
            }
        doc.Reset(picture);
        RECT place{0, 0, 400, 300};
        view.Create(parent, 100, place);
        view.StepMade = [this] { ++steps; };
        view.Attach(&doc);
    }
    ~Host() { DestroyWindow(parent); }
    void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { SendMessageW(view.hWnd(), msg, keys, MAKELPARAM(x, y)); }
    void Drag(int x0, int y0, int x1, int y1) {
        Mouse(WM_LBUTTONDOWN, x0, y0, MK_LBUTTON);
        Mouse(WM_MOUSEMOVE, (x0 + x1) / 2, (y0 + y1) / 2, MK_LBUTTON);
        Mouse(WM_MOUSEMOVE, x1, y1, MK_LBUTTON);
        Mouse(WM_LBUTTONUP, x1, y1);
    }
    void Key(WPARAM key) { SendMessageW(view.hWnd(), WM_KEYDOWN, key, 0); }
    COLORREF ScreenPixel(int x, int y) {
        UpdateWindow(view.hWnd());
        HDC dc = GetDC(view.hWnd());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(view.hWnd(), dc);
        return c;
    }
};

}  // namespace

TEST(EditorView, ADragWithTheRectangleToolAddsOneObjectWhereTheMouseWent) {
    Host h;
    h.Key('R');
    EXPECT_EQ(h.view.Controller()->CurrentTool(), Tool::Rect);
    h.Drag(20, 30, 120, 90);
    ASSERT_EQ(h.doc.Items().size(), 1u);
    const MarkupObject& o = h.doc.Items()[0].object;
    EXPECT_EQ(o.type, ObjectType::Rect);
    EXPECT_EQ(o.x, 20);
    EXPECT_EQ(o.y, 30);
    EXPECT_EQ(o.w, 100);
    EXPECT_EQ(o.h, 60);
    EXPECT_EQ(h.steps, 1);
    // The outline is on the screen at 100 %, the inside is the picture.
    EXPECT_EQ(h.ScreenPixel(20, 50), RGB(255, 0, 0));
    EXPECT_EQ(h.ScreenPixel(60, 60), RGB(240, 240, 240));
}

TEST(EditorView, AtTwoHundredPercentTheMouseIsMappedToPicturePixels) {
    Host h;
    h.Key('E');
    // Two notches of Ctrl+wheel about the client's origin: 150 %, then 200 %; the picture's top-left
    // stays under the pointer.
    POINT origin{0, 0};
    ClientToScreen(h.view.hWnd(), &origin);
    for (int i = 0; i < 2; ++i)
        SendMessageW(h.view.hWnd(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), MAKELPARAM(origin.x, origin.y));
    ASSERT_EQ(h.view.Zoom().Percent(), 200);
    EXPECT_EQ(h.view.Zoom().ToPicture(0, 0).x, 0);
    h.Drag(80, 40, 180, 120);
    ASSERT_EQ(h.doc.Items().size(), 1u);
    const MarkupObject& o = h.doc.Items()[0].object;
    EXPECT_EQ(o.type, ObjectType::Ellipse);
    EXPECT_EQ(o.x, 40);
    EXPECT_EQ(o.y, 20);
    EXPECT_EQ(o.w, 50);
    EXPECT_EQ(o.h, 40);
}

TEST(EditorView, SelectNudgeAndDeleteAreStepsAndEscapeDropsADrag) {
    Host h;
    h.Key('R');
    h.Drag(10, 10, 60, 40);
    ASSERT_EQ(h.doc.Items().size(), 1u);
    h.Key('V');
    h.Mouse(WM_LBUTTONDOWN, 10, 20, MK_LBUTTON);  // on the outline
    h.Mouse(WM_LBUTTONUP, 10, 20);
    ASSERT_EQ(h.view.Controller()->Selection().size(), 1u);
    h.Key(VK_RIGHT);
    EXPECT_EQ(h.doc.Items()[0].object.x, 11);
    h.Key(VK_DELETE);
    EXPECT_TRUE(h.doc.Items().empty());
    EXPECT_EQ(h.steps, 3);

    h.Key('L');
    h.Mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    h.Mouse(WM_MOUSEMOVE, 80, 80, MK_LBUTTON);
    h.Key(VK_ESCAPE);
    h.Mouse(WM_LBUTTONUP, 80, 80);
    EXPECT_TRUE(h.doc.Items().empty());
    EXPECT_EQ(h.steps, 3);
}
