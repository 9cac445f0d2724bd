#include "markup/EditorController.h"

#include <gtest/gtest.h>

#include <cstring>

#include "markup/Raster.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

constexpr double kTol = 2;
constexpr Modifiers kNone{};
constexpr Modifiers kShift{true, false};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { Open(400, 300); }
    void Open(int32_t w, int32_t h) {
        clsDIBSection pic;
        ASSERT_TRUE(pic.Create(w, h));
        std::memset(pic.DIBSectionBitsPtr(), 200, static_cast<size_t>(pic.BytesPerScanLine()) * h);
        ASSERT_TRUE(doc.Reset(pic));
    }
    void Drag(Point a, Point b, Modifiers m = kNone, int steps = 4) {
        ed.Press(a, m, kTol);
        for (int i = 1; i <= steps; ++i) ed.Move({a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps}, m);
        ed.Release(b, m);
    }
    uint32_t AddRect(double x, double y, double w, double h) {
        MarkupObject o = DefaultObject(ObjectType::Rect);
        o.x = x;
        o.y = y;
        o.w = w;
        o.h = h;
        o.fill = {0, 0, 255, 255};
        return doc.Add(o);
    }
    const MarkupObject& Last() const { return doc.Items().back().object; }

    MarkupDocument doc;
    EditorController ed{doc};
};

bool Contains(const PixelRect& outer, const PixelRect& inner) {
    return inner.Empty() || (outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right && outer.bottom >= inner.bottom);
}

}  // namespace

TEST(EditorTools, LettersNamesAndTypes) {
    const char* letters = "VRELAPHTNXC";
    for (int i = 0; i < kToolCount; ++i) {
        EXPECT_EQ(ToolForLetter(letters[i]), static_cast<Tool>(i));
        EXPECT_EQ(ToolForLetter(static_cast<char>(letters[i] - 'A' + 'a')), static_cast<Tool>(i));
    }
    EXPECT_FALSE(ToolForLetter('Q'));
    EXPECT_FALSE(ToolForLetter('1'));
    EXPECT_STREQ(ToolName(Tool::Highlight), "highlight");
    EXPECT_STREQ(ToolName(Tool::Crop), "crop");
    EXPECT_EQ(TypeOfTool(Tool::Step), ObjectType::Step);
    EXPECT_EQ(TypeOfTool(Tool::Redact), ObjectType::Redact);
    EXPECT_FALSE(TypeOfTool(Tool::Select));
    EXPECT_FALSE(TypeOfTool(Tool::Crop));
}

TEST_F(EditorTest, ADragDrawsOneSnappedShapeAndNothingReachesTheDocumentBeforeRelease) {
    ed.SetTool(Tool::Rect);
    ed.Press({10.3, 20.6}, kNone, kTol);
    ed.Move({30.2, 40.1}, kNone);
    ASSERT_TRUE(ed.Drawing());
    EXPECT_TRUE(ed.Dragging());
    EXPECT_TRUE(doc.Items().empty());
    EXPECT_EQ(ed.Drawing()->x, 10);
    EXPECT_EQ(ed.Drawing()->w, 20);
    ed.Release({50.4, 60.2}, kNone);
    EXPECT_FALSE(ed.Drawing());
    EXPECT_FALSE(ed.Dragging());
    ASSERT_EQ(doc.Items().size(), 1u);
    EXPECT_EQ(doc.StepCount(), 1u);
    const MarkupObject& o = Last();
    EXPECT_EQ(o.type, ObjectType::Rect);
    EXPECT_EQ(o.x, 10);
    EXPECT_EQ(o.y, 21);
    EXPECT_EQ(o.w, 40);
    EXPECT_EQ(o.h, 39);
    EXPECT_EQ(o.stroke, ed.Style(Tool::Rect).stroke);
    // Dragged up and to the left, the box still has a positive size.
    Drag({100, 100}, {80, 70});
    EXPECT_EQ(Last().x, 80);
    EXPECT_EQ(Last().h, 30);
}

TEST_F(EditorTest, AClickWithABoxToolDrawsNothingAndEscapeDropsTheDrag) {
    for (Tool t : {Tool::Rect, Tool::Ellipse, Tool::Line, Tool::Arrow, Tool::Redact}) {
        ed.SetTool(t);
        Drag({50, 50}, {51.5, 48.5});
        ed.Press({50, 50}, kNone, kTol);
        ed.Move({90, 90}, kNone);
        EXPECT_TRUE(ed.Cancel());
        EXPECT_FALSE(ed.Dragging());
        EXPECT_FALSE(ed.Drawing());
        ed.Release({90, 90}, kNone);
    }
    EXPECT_EQ(doc.StepCount(), 0u);
}

TEST_F(EditorTest, ShiftKeepsSquaresCirclesAndFortyFiveDegreeLines) {
    ed.SetTool(Tool::Ellipse);
    Drag({10, 10}, {40, 25}, kShift);
    EXPECT_EQ(Last().w, 30);
    EXPECT_EQ(Last().h, 30);
    ed.SetTool(Tool::Line);
    Drag({100, 100}, {150, 110}, kShift);
    EXPECT_EQ(Last().y2, 100);
    EXPECT_EQ(Last().x2, 150);
    Drag({100, 100}, {140, 64}, kShift);
    EXPECT_EQ(Last().x2, 140);
    EXPECT_EQ(Last().y2, 60);
    ed.SetTool(Tool::Arrow);
    Drag({100, 100}, {103, 160}, kShift);
    EXPECT_EQ(Last().x2, 100);
    EXPECT_EQ(Last().type, ObjectType::Arrow);
}

TEST_F(EditorTest, PenKeepsItsPointsAndSkipsMovesUnderHalfAPixel) {
    ed.SetTool(Tool::Pen);
    ed.Press({10.25, 10.25}, kNone, kTol);
    ed.Move({10.5, 10.5}, kNone);  // 0.35 away: skipped
    ed.Move({11.0, 10.25}, kNone);
    ed.Move({20.75, 30.5}, kNone);
    ed.Release({20.75, 30.5}, kNone);
    ASSERT_EQ(doc.Items().size(), 1u);
    const std::vector<Point> want{{10.25, 10.25}, {11.0, 10.25}, {20.75, 30.5}};
    EXPECT_EQ(Last().points, want);
    ed.SetTool(Tool::Highlight);
    Drag({50, 50}, {90, 60});
    EXPECT_EQ(Last().type, ObjectType::Highlight);
    EXPECT_EQ(Last().points.size(), 5u);
}

TEST_F(EditorTest, StepClicksPlaceNumberedBadgesCentredOnTheClick) {
    ed.SetTool(Tool::Step);
    ed.Press({100, 100}, kNone, kTol);
    ASSERT_TRUE(ed.Drawing());
    EXPECT_EQ(ed.Drawing()->value, 1);
    ed.Release({100, 100}, kNone);
    ed.Press({200.4, 150}, kNone, kTol);
    EXPECT_EQ(ed.Drawing()->value, 2);  // the preview shows the number it will get
    ed.Release({200.4, 150}, kNone);
    ASSERT_EQ(doc.Items().size(), 2u);
    const MarkupObject& first = doc.Items()[0].object;
    EXPECT_EQ(first.x, 84);
    EXPECT_EQ(first.y, 84);
    EXPECT_EQ(first.w, 32);
    EXPECT_EQ(Last().value, 2);
    EXPECT_EQ(Last().x, 184);
    MarkupObject letters = ed.Style(Tool::Step);
    letters.series = 1;
    letters.label = StepLabel::Letters;
    letters.start = 3;
    letters.w = letters.h = 20;
    ed.SetStyle(Tool::Step, letters);
    Drag({50, 250}, {50, 250});
    EXPECT_EQ(Last().series, 1);
    EXPECT_EQ(Last().value, 3);
    EXPECT_EQ(StepText(Last()), "C");
    EXPECT_EQ(Last().x, 40);
}

TEST_F(EditorTest, RedactDragsBurnSolidOrMosaicRedactions) {
    const uint32_t under = AddRect(20, 20, 30, 30);
    ed.SetTool(Tool::Redact);
    Drag({10, 10}, {40, 40});
    EXPECT_EQ(doc.UndoKind(), StepKind::Redact);
    EXPECT_EQ(doc.Find(under), nullptr);
    EXPECT_EQ(doc.Base().PixelPtr(15, 300 - 1 - 15)[0], 0);  // black, the solid default
    MarkupObject mosaic = ed.Style(Tool::Redact);
    mosaic.style = RedactStyle::Mosaic;
    ed.SetStyle(Tool::Redact, mosaic);
    const size_t steps = doc.StepCount();
    Drag({100, 100}, {150, 140});
    EXPECT_EQ(doc.StepCount(), steps + 1);
    EXPECT_EQ(doc.UndoKind(), StepKind::Redact);
}

TEST_F(EditorTest, ClickSelectsTheTopObjectAndShiftTogglesIt) {
    const uint32_t a = AddRect(10, 10, 50, 50);
    const uint32_t b = AddRect(40, 40, 50, 50);
    const uint32_t c = AddRect(200, 200, 20, 20);
    ed.Press({45, 45}, kNone, kTol);
    ed.Release({45, 45}, kNone);
    EXPECT_EQ(ed.Selection(), std::vector<uint32_t>{b});
    ed.Press({205, 205}, kShift, kTol);
    ed.Release({205, 205}, kShift);
    EXPECT_EQ(ed.Selection(), (std::vector<uint32_t>{b, c}));
    ed.Press({45, 45}, kShift, kTol);
    ed.Release({45, 45}, kShift);
    EXPECT_EQ(ed.Selection(), std::vector<uint32_t>{c});
    ed.Press({15, 15}, kNone, kTol);
    ed.Release({15, 15}, kNone);
    EXPECT_EQ(ed.Selection(), std::vector<uint32_t>{a});
    ed.Press({300, 100}, kNone, kTol);  // empty space
    ed.Release({300, 100}, kNone);
    EXPECT_TRUE(ed.Selection().empty());
    EXPECT_EQ(doc.StepCount(), 3u);
}

TEST_F(EditorTest, ABandSelectsEveryObjectItsBoundsMeet) {
    const uint32_t a = AddRect(10, 10, 20, 20);
    const uint32_t b = AddRect(100, 100, 20, 20);
    AddRect(300, 200, 20, 20);
    ed.Press({5, 5}, kNone, kTol);
    ed.Move({60, 60}, kNone);
    ASSERT_TRUE(ed.RubberBand());
    EXPECT_EQ(*ed.RubberBand(), (PixelRect{5, 5, 60, 60}));
    ed.Move({105, 105}, kNone);
    ed.Release({105, 105}, kNone);
    EXPECT_EQ(ed.Selection(), (std::vector<uint32_t>{a, b}));
    EXPECT_FALSE(ed.RubberBand());
    EXPECT_EQ(ed.SelectionBoxes().size(), 2u);
    EXPECT_TRUE(ed.Handles().empty());  // handles only for one object
    ed.SelectAll();
    EXPECT_EQ(ed.Selection().size(), 3u);
}

TEST_F(EditorTest, DraggingASelectedBodyMovesTheSelectionAsOneStep) {
    const uint32_t a = AddRect(10, 10, 20, 20);
    const uint32_t b = AddRect(100, 100, 20, 20);
    ed.Select({a, b, 999});
    EXPECT_EQ(ed.Selection(), (std::vector<uint32_t>{a, b}));
    const size_t steps = doc.StepCount();
    ed.Press({15, 15}, kNone, kTol);
    ed.Move({25.4, 20}, kNone);
    ASSERT_EQ(ed.Overrides().size(), 2u);
    EXPECT_EQ(ed.Overrides()[1].object.x, 110);
    EXPECT_EQ(doc.Find(b)->object.x, 100);  // not yet
    ed.Release({35.4, 14.6}, kNone);
    EXPECT_TRUE(ed.Overrides().empty());
    EXPECT_EQ(doc.StepCount(), steps + 1);
    EXPECT_EQ(doc.UndoKind(), StepKind::Move);
    EXPECT_EQ(doc.Find(a)->object.x, 30);
    EXPECT_EQ(doc.Find(a)->object.y, 10);
    EXPECT_EQ(doc.Find(b)->object.x, 120);
    // A drag cancelled part-way leaves everything where it was.
    ed.Press({35, 15}, kNone, kTol);
    ed.Move({80, 80}, kNone);
    EXPECT_TRUE(ed.Cancel());
    ed.Release({80, 80}, kNone);
    EXPECT_EQ(doc.StepCount(), steps + 1);
    EXPECT_EQ(doc.Find(a)->object.x, 30);
    // A jiggle within the tolerance is a click, not a move.
    ed.Press({35, 15}, kNone, kTol);
    ed.Release({36, 16}, kNone);
    EXPECT_EQ(doc.StepCount(), steps + 1);
    EXPECT_EQ(ed.Selection(), std::vector<uint32_t>{a});
}

TEST_F(EditorTest, HandlesResizeInOneStep) {
    const uint32_t r = AddRect(10, 10, 40, 30);
    ed.Select({r});
    const auto handles = ed.Handles();
    ASSERT_EQ(handles.size(), 8u);
    ed.Press({50, 40}, kNone, kTol);  // the south-east corner
    ed.Move({70.3, 45}, kNone);
    ASSERT_EQ(ed.Overrides().size(), 1u);
    EXPECT_EQ(ed.Handles()[4].at, (Point{70, 45}));  // handles follow the drag
    ed.Release({70.3, 45}, kNone);
    EXPECT_EQ(doc.UndoKind(), StepKind::Resize);
    EXPECT_EQ(doc.Find(r)->object.w, 60);
    EXPECT_EQ(doc.Find(r)->object.h, 35);
    ed.Press({10, 27}, kNone, kTol);  // west edge, dragged past the east one
    ed.Release({90, 27}, kNone);
    EXPECT_EQ(doc.Find(r)->object.x, 70);
    EXPECT_EQ(doc.Find(r)->object.w, 20);

    MarkupObject line = DefaultObject(ObjectType::Arrow);
    line.x1 = 100;
    line.y1 = 100;
    line.x2 = 200;
    line.y2 = 100;
    const uint32_t l = doc.Add(line);
    ed.Select({l});
    ASSERT_EQ(ed.Handles().size(), 2u);
    EXPECT_EQ(ed.Handles()[1].kind, Handle::End);
    EXPECT_EQ(ed.CursorAt({200, 100}, kNone, kTol), CursorKind::SizeWE);
    ed.Press({200, 101}, kNone, kTol);
    ed.Release({220.2, 150.7}, kNone);
    EXPECT_EQ(doc.Find(l)->object.x2, 220);
    EXPECT_EQ(doc.Find(l)->object.y2, 150);  // the grab's offset from the handle is kept
    EXPECT_EQ(doc.Find(l)->object.x1, 100);
}

TEST_F(EditorTest, StepsStaySquarePenPointsScaleTextOnlyMoves) {
    MarkupObject s = DefaultObject(ObjectType::Step);
    s.x = 100;
    s.y = 100;
    const uint32_t step = doc.Add(s);
    ed.Select({step});
    ed.Press({132, 132}, kNone, kTol);
    ed.Release({152, 142}, kNone);
    EXPECT_EQ(doc.Find(step)->object.w, 52);
    EXPECT_EQ(doc.Find(step)->object.h, 52);

    MarkupObject pen = DefaultObject(ObjectType::Pen);
    pen.points = {{10, 10}, {20, 30}, {30, 20}};
    const uint32_t p = doc.Add(pen);
    ed.Select({p});
    ed.Press({30, 30}, kNone, kTol);  // the south-east handle of the points' box
    ed.Release({50, 50}, kNone);
    const std::vector<Point> want{{10, 10}, {30, 50}, {50, 30}};
    EXPECT_EQ(doc.Find(p)->object.points, want);

    MarkupObject text = DefaultObject(ObjectType::Text);
    text.x = 200;
    text.y = 200;
    text.text = "x";
    const uint32_t t = doc.Add(text);
    ed.Select({t});
    EXPECT_TRUE(ed.Handles().empty());
}

TEST_F(EditorTest, NudgeDeleteAndRestyleAreSingleSteps) {
    EXPECT_FALSE(ed.Nudge(1, 0));
    EXPECT_FALSE(ed.DeleteSelection());
    const uint32_t a = AddRect(10, 10, 20, 20);
    const uint32_t b = AddRect(50, 50, 20, 20);
    ed.SelectAll();
    const size_t steps = doc.StepCount();
    EXPECT_TRUE(ed.Nudge(-10, 1));
    EXPECT_EQ(doc.StepCount(), steps + 1);
    EXPECT_EQ(doc.Find(a)->object.x, 0);
    EXPECT_EQ(doc.Find(b)->object.y, 51);
    MarkupObject style = ed.Style(Tool::Rect);
    style.stroke = {1, 2, 3, 255};
    style.width = 9;
    EXPECT_TRUE(ed.RestyleSelection(style));
    EXPECT_EQ(doc.UndoKind(), StepKind::Restyle);
    EXPECT_EQ(doc.Find(b)->object.width, 9);
    EXPECT_FALSE(ed.RestyleSelection(style));
    EXPECT_TRUE(ed.DeleteSelection());
    EXPECT_TRUE(doc.Items().empty());
    EXPECT_TRUE(ed.Selection().empty());
    EXPECT_EQ(doc.UndoKind(), StepKind::Delete);
    doc.Undo();
    ed.Select({a});
    EXPECT_EQ(doc.UndoKind(), StepKind::Restyle);
    doc.Undo();  // one restyle for each object
    doc.Undo();
    doc.Undo();  // the nudge
    doc.Undo();  // b's addition
    ed.Refresh();
    EXPECT_EQ(ed.Selection(), std::vector<uint32_t>{a});
    doc.Undo();
    ed.Refresh();
    EXPECT_TRUE(ed.Selection().empty());
}

TEST_F(EditorTest, TheCursorShowsWhatADragWouldDo) {
    const uint32_t r = AddRect(10, 10, 40, 30);
    AddRect(100, 100, 20, 20);
    EXPECT_EQ(ed.CursorAt({300, 250}, kNone, kTol), CursorKind::Arrow);
    EXPECT_EQ(ed.CursorAt({105, 105}, kNone, kTol), CursorKind::Move);
    ed.Select({r});
    EXPECT_EQ(ed.CursorAt({50, 40}, kNone, kTol), CursorKind::SizeNWSE);
    EXPECT_EQ(ed.CursorAt({50, 10}, kNone, kTol), CursorKind::SizeNESW);
    EXPECT_EQ(ed.CursorAt({30, 41}, kNone, kTol), CursorKind::SizeNS);
    EXPECT_EQ(ed.CursorAt({9, 25}, kNone, kTol), CursorKind::SizeWE);
    EXPECT_EQ(ed.CursorAt({30, 25}, kNone, kTol), CursorKind::Move);
    ed.SetTool(Tool::Rect);
    EXPECT_EQ(ed.CursorAt({30, 25}, kNone, kTol), CursorKind::Cross);
    ed.SetTool(Tool::Text);
    EXPECT_EQ(ed.CursorAt({30, 25}, kNone, kTol), CursorKind::IBeam);
}

TEST_F(EditorTest, TextIsRequestedAddedEditedAndDeleted) {
    ed.SetTool(Tool::Text);
    ed.Press({40.6, 50.2}, kNone, kTol);
    ed.Release({40.6, 50.2}, kNone);
    auto req = ed.TakeTextRequest();
    ASSERT_TRUE(req);
    EXPECT_EQ(req->id, 0u);
    EXPECT_EQ(req->at, (Point{40.6, 50.2}));
    EXPECT_FALSE(ed.TakeTextRequest());
    ed.FinishText(0, req->at, "");
    EXPECT_TRUE(doc.Items().empty());
    ed.FinishText(0, req->at, "Hello");
    ASSERT_EQ(doc.Items().size(), 1u);
    const uint32_t id = doc.Items()[0].id;
    EXPECT_EQ(Last().text, "Hello");
    EXPECT_EQ(Last().x, 41);
    EXPECT_EQ(Last().stroke, ed.Style(Tool::Text).stroke);

    ed.Press({41, 50}, kNone, kTol);  // over the text: edit it
    ed.Release({41, 50}, kNone);
    req = ed.TakeTextRequest();
    ASSERT_TRUE(req);
    EXPECT_EQ(req->id, id);
    ed.SetTool(Tool::Select);
    ed.DoubleClick({41, 50}, kTol);
    req = ed.TakeTextRequest();
    ASSERT_TRUE(req);
    EXPECT_EQ(req->id, id);
    EXPECT_EQ(req->at, (Point{41, 50}));
    ed.FinishText(id, req->at, "Bye");
    EXPECT_EQ(doc.Find(id)->object.text, "Bye");
    ed.Select({id});
    ed.FinishText(id, req->at, "");
    EXPECT_EQ(doc.Find(id), nullptr);
    EXPECT_TRUE(ed.Selection().empty());
}

TEST_F(EditorTest, CropRectangleIsDraggedAdjustedAndApplied) {
    ed.SetTool(Tool::Crop);
    EXPECT_FALSE(ed.Enter());
    Drag({-20, 30.4}, {200.6, 150});
    ASSERT_TRUE(ed.CropRect());
    EXPECT_EQ(*ed.CropRect(), (PixelRect{0, 30, 201, 150}));
    EXPECT_EQ(ed.Handles().size(), 8u);
    EXPECT_EQ(ed.CursorAt({100, 100}, kNone, kTol), CursorKind::Move);
    EXPECT_EQ(ed.CursorAt({201, 150}, kNone, kTol), CursorKind::SizeNWSE);
    Drag({100, 100}, {110, 90});  // the body
    EXPECT_EQ(*ed.CropRect(), (PixelRect{10, 20, 211, 140}));
    Drag({211, 80}, {250, 80});  // the east edge
    EXPECT_EQ(*ed.CropRect(), (PixelRect{10, 20, 250, 140}));
    Drag({100, 100}, {1000, 100});  // kept on the picture
    EXPECT_EQ(*ed.CropRect(), (PixelRect{160, 20, 400, 140}));
    EXPECT_EQ(doc.StepCount(), 0u);
    EXPECT_TRUE(ed.Enter());
    EXPECT_EQ(doc.UndoKind(), StepKind::Crop);
    EXPECT_EQ(doc.Width(), 240);
    EXPECT_EQ(doc.Height(), 120);
    EXPECT_EQ(ed.CurrentTool(), Tool::Select);
    EXPECT_FALSE(ed.CropRect());

    ed.SetTool(Tool::Crop);
    Drag({10, 10}, {50, 50});
    EXPECT_TRUE(ed.Cancel());  // Escape leaves the crop
    EXPECT_EQ(ed.CurrentTool(), Tool::Select);
    EXPECT_FALSE(ed.CropRect());
    EXPECT_EQ(doc.StepCount(), 1u);
    EXPECT_FALSE(ed.Cancel());
}

TEST_F(EditorTest, TheDirtyAreaOfADragOnALargePictureIsTheShapesOldAndNewPlaces) {
    Open(3840, 2160);
    for (int i = 0; i < 10; ++i) AddRect(100 + 300 * i, 1500, 60, 60);
    const uint32_t r = AddRect(1000, 1000, 40, 30);
    ed.Select({r});
    ed.TakeDirty(4);
    ed.Press({1020, 1015}, kNone, kTol);
    EXPECT_LE(ed.TakeDirty(4).Width(), 40 + 2 * 4);
    const PixelRect old = doc.ObjectBounds(doc.Find(r)->object);
    ed.Move({1030, 1025}, kNone);
    const PixelRect now = doc.ObjectBounds(ed.Overrides()[0].object);
    const PixelRect dirty = ed.TakeDirty(4);
    EXPECT_TRUE(Contains(dirty, old));
    EXPECT_TRUE(Contains(dirty, now));
    EXPECT_LE(dirty.Width(), 40 + 10 + 2 * 4 + 2);
    EXPECT_LE(dirty.Height(), 30 + 10 + 2 * 4 + 2);
    EXPECT_TRUE(ed.TakeDirty(4).Empty());
    ed.Move({1030, 1025}, kNone);
    EXPECT_TRUE(ed.TakeDirty(4).Empty());
    ed.Release({1030, 1025}, kNone);
    EXPECT_TRUE(Contains(ed.TakeDirty(4), now));

    // Drawing with another tool leaves the far-off selection out of it.
    ed.SetTool(Tool::Ellipse);
    ed.TakeDirty(4);
    ed.Press({3000, 200}, kNone, kTol);
    ed.Move({3050, 260}, kNone);
    ed.Move({3060, 270}, kNone);
    const PixelRect drawn = ed.TakeDirty(4);
    EXPECT_FALSE(drawn.Empty());
    EXPECT_GE(drawn.left, 2990);
    EXPECT_LE(drawn.bottom, 280);
    ed.Release({3060, 270}, kNone);
    ed.Cancel();  // nothing to drop: clears the selection
    EXPECT_TRUE(Contains(ed.TakeDirty(0), now));
}
