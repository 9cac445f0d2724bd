// The mark-up editor's behaviour without a window: the tools, what a press, drag and release do
// with each, selection and its handles, nudging, the crop rectangle, the text requests, the cursor
// a drag would show, and which part of the picture must be drawn again. The canvas window feeds it
// input in picture coordinates and draws what it reports.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "markup/MarkupDocument.h"

namespace plenvue::markup {

enum class Tool : uint8_t { Select, Rect, Ellipse, Line, Arrow, Pen, Highlight, Text, Step, Redact, Crop };
inline constexpr int kToolCount = 11;

// "select", "rect", "ellipse", "line", "arrow", "pen", "highlight", "text", "step", "redact", "crop".
const char* ToolName(Tool tool);
// The one-letter keys: V R E L A P H T N X C (either case).
std::optional<Tool> ToolForLetter(char letter);
// The object type a drawing tool makes (Select and Crop make none).
std::optional<ObjectType> TypeOfTool(Tool tool);

enum class CursorKind : uint8_t { Arrow, Cross, Move, SizeNS, SizeWE, SizeNWSE, SizeNESW, IBeam };

// A handle of the selection or the crop rectangle.
enum class Handle : uint8_t { None, Body, N, S, E, W, NE, NW, SE, SW, Start, End };

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
};

struct HandleSpot {
    Handle kind = Handle::None;
    Point at;  // picture coordinates of the handle's centre
};

// Where a text edit box is to open: for a new text (id 0) at `at`, or over text object `id`.
struct TextRequest {
    uint32_t id = 0;
    Point at;
};

class EditorController {
public:
    explicit EditorController(MarkupDocument& doc);

    Tool CurrentTool() const { return tool_; }
    // Drops a drag in progress; leaving Crop drops the crop rectangle.
    void SetTool(Tool tool);

    // The style a drawing tool gives new objects (colours, width, fill, radius, heads, font,
    // size, bold, outline, step label and start, redaction style and cell). Starts as
    // DefaultObject of the tool's type.
    const MarkupObject& Style(Tool tool) const;
    void SetStyle(Tool tool, const MarkupObject& style);
    // Gives the selected objects the style's colours, width and fill (text: also font, size,
    // bold, outline), one Restyle step per object; false when nothing changed.
    bool RestyleSelection(const MarkupObject& style);

    const std::vector<uint32_t>& Selection() const { return selection_; }
    void Select(std::vector<uint32_t> ids);  // unknown ids are left out
    void SelectAll();
    void ClearSelection();
    // Removes the selected objects (one Delete step); false when nothing is selected.
    bool DeleteSelection();
    // Moves the selection by whole pixels (one Move step); false when nothing is selected.
    bool Nudge(int32_t dx, int32_t dy);
    // Drops selected ids that the document no longer has (after Undo, Redo, a redaction).
    void Refresh();

    // Mouse input in picture coordinates. `tolerance`: how far, in picture pixels, a handle or
    // a line reaches for the pointer (the window passes a few screen pixels over the zoom).
    void Press(Point p, Modifiers m, double tolerance);
    void Move(Point p, Modifiers m);
    void Release(Point p, Modifiers m);
    void DoubleClick(Point p, double tolerance);
    bool Dragging() const { return drag_ != DragKind::None; }

    // Escape: drops the drag in progress; else leaves the crop (back to Select); else clears
    // the selection. False when there was nothing to drop.
    bool Cancel();
    // Enter: applies the crop rectangle (one Crop step) and goes back to Select. False when no
    // crop rectangle is set.
    bool Enter();

    // What a press at p would do, as a cursor.
    CursorKind CursorAt(Point p, Modifiers m, double tolerance) const;

    // What to draw: the document's objects, with these in place of the ones of the same id
    // (objects being moved or resized), and the object being drawn above them all.
    const std::vector<Item>& Overrides() const { return overrides_; }
    const std::optional<MarkupObject>& Drawing() const { return drawing_; }
    // Handles of a single selected object, or of the crop rectangle while cropping.
    std::vector<HandleSpot> Handles() const;
    // Boxes of the selected objects (each object's bounds).
    std::vector<PixelRect> SelectionBoxes() const;
    std::optional<PixelRect> RubberBand() const;
    std::optional<PixelRect> CropRect() const;

    // The part of the picture that changed since the last call (objects, handles, bands; in
    // picture pixels, widened by `margin` pixels around handles and outlines); empty when none.
    PixelRect TakeDirty(int32_t margin);
    // A text edit box to open, once.
    std::optional<TextRequest> TakeTextRequest();
    // Ends a text edit: id 0 adds a new text object at `at` with the Text tool's style (nothing
    // for an empty text); otherwise sets that object's text (an empty text deletes it).
    void FinishText(uint32_t id, Point at, const std::string& text);

private:
    enum class DragKind : uint8_t { None, Draw, Move, Resize, Band, Crop };
    void MarkDirty(const PixelRect& r);
    void MarkObjectsDirty();
    // Outlines, handles, band and crop, each a rectangle; what changed is widened by the margin
    // when taken.
    std::vector<PixelRect> ChromeRects() const;
    void MarkChromeChange(const std::vector<PixelRect>& before);
    void MarkIdsDirty(const std::vector<uint32_t>& ids);
    void DropDrag();
    const MarkupObject* Shown(uint32_t id) const;  // an override, else the document's object
    uint32_t TopAt(Point p, double tolerance, bool textOnly) const;
    Handle HandleAt(Point p, double tolerance) const;
    void UpdateDrag(Point p, Modifiers m);
    void EndDrag();
    MarkupObject BoxObject(Tool tool, Point a, Point b, bool square) const;
    MarkupObject StepAt(Point p) const;
    MarkupObject Resized(Point p, Modifiers m) const;
    PixelRect CropFrom(Point p) const;

    MarkupDocument& doc_;
    Tool tool_ = Tool::Select;
    std::array<MarkupObject, kToolCount> styles_;
    std::vector<uint32_t> selection_;
    DragKind drag_ = DragKind::None;
    Handle handle_ = Handle::None;
    Point start_, last_;
    std::vector<Item> overrides_;
    std::optional<MarkupObject> drawing_;
    std::optional<PixelRect> band_;
    std::optional<PixelRect> crop_;
    std::optional<PixelRect> cropAtPress_;
    std::optional<TextRequest> text_;
    PixelRect dirty_;
    PixelRect dirtyChrome_;
    double tolerance_ = 2;
    bool moved_ = false;  // the pointer left the press's tolerance
    Item original_;       // the object being resized, as it was at the press
};

}  // namespace plenvue::markup
