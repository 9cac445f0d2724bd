// The editor's canvas window: mouse drags reach the document in picture pixels at any zoom, the
// view paints the flattened picture, keys pick tools and nudge, Ctrl+wheel zooms about the pointer.
#include "markup/EditorView_win.h"

#include <gtest/gtest.h>

#include "image/clsDIBSection.h"

#include <optional>

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

namespace {
// Runs what the window posted to itself (the text box's end), as the message loop would.
void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}
HWND TextBoxOf(HWND view) { return FindWindowExW(view, nullptr, L"EDIT", nullptr); }
}  // namespace

TEST(EditorView, AHandleResizesAndTheBodyMovesTheSelectedBox) {
    Host h;
    h.Key('R');
    h.Drag(20, 20, 80, 60);
    h.Key('V');
    h.Mouse(WM_LBUTTONDOWN, 20, 40, MK_LBUTTON);
    h.Mouse(WM_LBUTTONUP, 20, 40);
    // The bottom-right handle sits on the corner: dragged 20 right and 10 down, the box grows.
    h.Drag(80, 60, 100, 70);
    const MarkupObject& o = h.doc.Items()[0].object;
    EXPECT_EQ(o.x, 20);
    EXPECT_EQ(o.w, 80);
    EXPECT_EQ(o.h, 50);
    // Its outline moves it, and the cursor there says so.
    h.Drag(20, 40, 30, 45);
    EXPECT_EQ(h.doc.Items()[0].object.x, 30);
    EXPECT_EQ(h.doc.Items()[0].object.y, 25);
    EXPECT_EQ(h.view.Controller()->CursorAt({30, 33}, {}, 2), CursorKind::Move);
    EXPECT_EQ(h.doc.UndoKind(), StepKind::Move);
}

TEST(EditorView, TextIsTypedInPlaceAndEndsWithCtrlEnterOrAClickOutside) {
    Host h;
    h.Key('T');
    h.Mouse(WM_LBUTTONDOWN, 30, 40, MK_LBUTTON);
    h.Mouse(WM_LBUTTONUP, 30, 40);
    HWND box = TextBoxOf(h.view.hWnd());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(h.view.IsTextBox(box));
    SetWindowTextW(box, L"Grüße\r\nzwei");
    SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);  // Enter alone is a new line: the box stays
    Pump();
    EXPECT_NE(TextBoxOf(h.view.hWnd()), nullptr);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    Pump();
    EXPECT_EQ(TextBoxOf(h.view.hWnd()), nullptr);
    ASSERT_EQ(h.doc.Items().size(), 1u);
    EXPECT_EQ(h.doc.Items()[0].object.text, "Gr\xC3\xBC\xC3\x9F" "e\nzwei");
    EXPECT_EQ(h.doc.Items()[0].object.x, 30);

    // An empty box makes nothing, however it ends.
    h.Mouse(WM_LBUTTONDOWN, 150, 100, MK_LBUTTON);
    h.Mouse(WM_LBUTTONUP, 150, 100);
    ASSERT_NE(TextBoxOf(h.view.hWnd()), nullptr);
    h.Mouse(WM_LBUTTONDOWN, 10, 130, MK_LBUTTON);  // outside the box
    h.Mouse(WM_LBUTTONUP, 10, 130);
    Pump();
    EXPECT_EQ(TextBoxOf(h.view.hWnd()), nullptr);
    EXPECT_EQ(h.doc.Items().size(), 1u);
}

TEST(EditorView, CropIsShownReportedAndAppliedByEnterThenTheToolGoesBackToSelect) {
    Host h;
    std::optional<PixelRect> reported;
    int toolChanges = 0;
    h.view.CropChanged = [&](const PixelRect* r) { reported = r ? std::optional<PixelRect>(*r) : std::nullopt; };
    h.view.ToolChanged = [&] { ++toolChanges; };
    h.Key('C');
    EXPECT_EQ(toolChanges, 1);
    h.Drag(10, 20, 110, 70);
    ASSERT_TRUE(reported.has_value());
    EXPECT_EQ(reported->Width(), 100);
    EXPECT_EQ(reported->Height(), 50);
    h.Key(VK_RETURN);
    EXPECT_EQ(h.doc.Width(), 100);
    EXPECT_EQ(h.doc.Height(), 50);
    EXPECT_FALSE(reported.has_value());
    EXPECT_EQ(h.view.CurrentTool(), Tool::Select);
    EXPECT_EQ(toolChanges, 2);
    // The view follows the new size: its scroll range is the cropped picture's.
    EXPECT_EQ(h.view.Zoom().ContentW(), 100);
}

TEST(EditorView, ANewPictureKeepsTheToolAndTheStyles) {
    Host h;
    h.Key('A');
    MarkupObject style = h.view.Style(Tool::Arrow);
    style.width = 8;
    h.view.SetStyle(Tool::Arrow, style);
    MarkupDocument other;
    other.Reset(h.picture);
    h.view.Attach(&other);
    EXPECT_EQ(h.view.Controller()->CurrentTool(), Tool::Arrow);
    EXPECT_EQ(h.view.Controller()->Style(Tool::Arrow).width, 8);
    h.Drag(10, 10, 50, 10);
    ASSERT_EQ(other.Items().size(), 1u);
    EXPECT_EQ(other.Items()[0].object.width, 8);
    EXPECT_TRUE(h.doc.Items().empty());
}
