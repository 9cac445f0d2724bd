// The editor's tools and gestures over a MarkupDocument: drags are shown through overrides and a
// drawing object and reach the document as one step on release; every change of what is shown
// is gathered into a dirty rectangle for the canvas to redraw.
#include "markup/EditorController.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "markup/Raster.h"

namespace plenvue::markup {

namespace {

constexpr const char* kToolNames[] = {"select", "rect", "ellipse", "line", "arrow", "pen",
                                      "highlight", "text", "step", "redact", "crop"};
constexpr char kToolLetters[] = "VRELAPHTNXC";
constexpr double kTan22_5 = 0.41421356237309503;  // sqrt(2) - 1: the 45-degree constraint's split
constexpr double kCoordLimit = 1e9;

bool Finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// Whole picture pixels, the nearest one.
double Snap(double v) { return std::floor(std::clamp(v, -kCoordLimit, kCoordLimit) + 0.5); }
Point Snap(Point p) { return {Snap(p.x), Snap(p.y)}; }
int32_t SnapInt(double v) { return static_cast<int32_t>(Snap(v)); }

double Sign(double v) { return v < 0 ? -1 : 1; }

bool WithinTolerance(Point a, Point b, double tol) { return std::abs(a.x - b.x) <= tol && std::abs(a.y - b.y) <= tol; }

// b moved onto the nearest horizontal, vertical or diagonal through a.
Point Constrain45(Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y, ax = std::abs(dx), ay = std::abs(dy);
    if (ay <= ax * kTan22_5) return {b.x, a.y};
    if (ax <= ay * kTan22_5) return {a.x, b.y};
    const double d = std::max(ax, ay);
    return {a.x + Sign(dx) * d, a.y + Sign(dy) * d};
}

struct Box {
    double l = 0, t = 0, r = 0, b = 0;
};

bool HasBoxHandles(ObjectType t) {
    return t == ObjectType::Rect || t == ObjectType::Ellipse || t == ObjectType::Step || t == ObjectType::Pen ||
           t == ObjectType::Highlight;
}

// The box an object's eight handles sit on.
bool HandleBox(const MarkupObject& o, Box& box) {
    if (o.type == ObjectType::Pen || o.type == ObjectType::Highlight) {
        if (o.points.empty()) return false;
        box = {o.points[0].x, o.points[0].y, o.points[0].x, o.points[0].y};
        for (const Point& p : o.points) {
            box.l = std::min(box.l, p.x);
            box.t = std::min(box.t, p.y);
            box.r = std::max(box.r, p.x);
            box.b = std::max(box.b, p.y);
        }
        return true;
    }
    box = {std::min(o.x, o.x + o.w), std::min(o.y, o.y + o.h), std::max(o.x, o.x + o.w), std::max(o.y, o.y + o.h)};
    return true;
}

void AddBoxHandles(const Box& b, std::vector<HandleSpot>& out) {
    const double mx = (b.l + b.r) / 2, my = (b.t + b.b) / 2;
    out.push_back({Handle::NW, {b.l, b.t}});
    out.push_back({Handle::N, {mx, b.t}});
    out.push_back({Handle::NE, {b.r, b.t}});
    out.push_back({Handle::E, {b.r, my}});
    out.push_back({Handle::SE, {b.r, b.b}});
    out.push_back({Handle::S, {mx, b.b}});
    out.push_back({Handle::SW, {b.l, b.b}});
    out.push_back({Handle::W, {b.l, my}});
}

bool MovesWest(Handle h) { return h == Handle::W || h == Handle::NW || h == Handle::SW; }
bool MovesEast(Handle h) { return h == Handle::E || h == Handle::NE || h == Handle::SE; }
bool MovesNorth(Handle h) { return h == Handle::N || h == Handle::NW || h == Handle::NE; }
bool MovesSouth(Handle h) { return h == Handle::S || h == Handle::SW || h == Handle::SE; }
bool IsCorner(Handle h) { return h == Handle::NW || h == Handle::NE || h == Handle::SW || h == Handle::SE; }

CursorKind SizeCursor(Handle h, const MarkupObject* line) {
    switch (h) {
    case Handle::N:
    case Handle::S:
        return CursorKind::SizeNS;
    case Handle::E:
    case Handle::W:
        return CursorKind::SizeWE;
    case Handle::NW:
    case Handle::SE:
        return CursorKind::SizeNWSE;
    case Handle::NE:
    case Handle::SW:
        return CursorKind::SizeNESW;
    case Handle::Start:
    case Handle::End: {
        if (!line) return CursorKind::SizeNWSE;
        const double dx = line->x2 - line->x1, dy = line->y2 - line->y1;
        if (std::abs(dy) <= std::abs(dx) * kTan22_5) return CursorKind::SizeWE;
        if (std::abs(dx) <= std::abs(dy) * kTan22_5) return CursorKind::SizeNS;
        return (dx > 0) == (dy > 0) ? CursorKind::SizeNWSE : CursorKind::SizeNESW;
    }
    case Handle::Body:
        return CursorKind::Move;
    case Handle::None:
        break;
    }
    return CursorKind::Arrow;
}

PixelRect PointRect(Point p) {
    const int32_t x = static_cast<int32_t>(std::floor(std::clamp(p.x, -kCoordLimit, kCoordLimit)));
    const int32_t y = static_cast<int32_t>(std::floor(std::clamp(p.y, -kCoordLimit, kCoordLimit)));
    return {x, y, x + 1, y + 1};
}

PixelRect Widen(const PixelRect& r, int32_t by) {
    return r.Empty() ? PixelRect{} : PixelRect{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

}  // namespace

const char* ToolName(Tool tool) { return kToolNames[static_cast<size_t>(tool)]; }

std::optional<Tool> ToolForLetter(char letter) {
    const char up = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
    for (int i = 0; i < kToolCount; ++i)
        if (kToolLetters[i] == up) return static_cast<Tool>(i);
    return std::nullopt;
}

std::optional<ObjectType> TypeOfTool(Tool tool) {
    switch (tool) {
    case Tool::Rect:
        return ObjectType::Rect;
    case Tool::Ellipse:
        return ObjectType::Ellipse;
    case Tool::Line:
        return ObjectType::Line;
    case Tool::Arrow:
        return ObjectType::Arrow;
    case Tool::Pen:
        return ObjectType::Pen;
    case Tool::Highlight:
        return ObjectType::Highlight;
    case Tool::Text:
        return ObjectType::Text;
    case Tool::Step:
        return ObjectType::Step;
    case Tool::Redact:
        return ObjectType::Redact;
    case Tool::Select:
    case Tool::Crop:
        break;
    }
    return std::nullopt;
}

EditorController::EditorController(MarkupDocument& doc) : doc_(doc) {
    for (int i = 0; i < kToolCount; ++i) styles_[static_cast<size_t>(i)] = DefaultObject(TypeOfTool(static_cast<Tool>(i)).value_or(ObjectType::Rect));
}

void EditorController::SetTool(Tool tool) {
    const auto chrome = ChromeRects();
    DropDrag();
    if (tool != Tool::Crop) {
        crop_.reset();
        cropAtPress_.reset();
    }
    tool_ = tool;
    MarkChromeChange(chrome);
}

const MarkupObject& EditorController::Style(Tool tool) const { return styles_[static_cast<size_t>(tool)]; }

void EditorController::SetStyle(Tool tool, const MarkupObject& style) {
    MarkupObject& s = styles_[static_cast<size_t>(tool)];
    s = style;
    if (auto type = TypeOfTool(tool)) s.type = *type;
}

bool EditorController::RestyleSelection(const MarkupObject& style) {
    Refresh();
    const auto chrome = ChromeRects();
    bool changed = false;
    const std::vector<uint32_t> ids = selection_;
    for (uint32_t id : ids) {
        const Item* item = doc_.Find(id);
        if (!item) continue;
        MarkupObject o = item->object;
        o.stroke = style.stroke;
        o.fill = style.fill;
        o.width = style.width;
        if (o.type == ObjectType::Text) {
            o.font = style.font;
            o.size = style.size;
            o.bold = style.bold;
            o.outline = style.outline;
        }
        MarkIdsDirty({id});
        if (doc_.Change(id, o, StepKind::Restyle)) changed = true;
        MarkIdsDirty({id});
    }
    MarkChromeChange(chrome);
    return changed;
}

void EditorController::Select(std::vector<uint32_t> ids) {
    const auto chrome = ChromeRects();
    selection_.clear();
    for (uint32_t id : ids)
        if (doc_.Find(id) && std::find(selection_.begin(), selection_.end(), id) == selection_.end()) selection_.push_back(id);
    MarkChromeChange(chrome);
}

void EditorController::SelectAll() {
    std::vector<uint32_t> ids;
    for (const Item& i : doc_.Items()) ids.push_back(i.id);
    Select(std::move(ids));
}

void EditorController::ClearSelection() { Select({}); }

bool EditorController::DeleteSelection() {
    Refresh();
    if (selection_.empty()) return false;
    const auto chrome = ChromeRects();
    DropDrag();
    MarkIdsDirty(selection_);
    doc_.Remove(selection_);
    selection_.clear();
    MarkChromeChange(chrome);
    return true;
}

bool EditorController::Nudge(int32_t dx, int32_t dy) {
    Refresh();
    if (selection_.empty()) return false;
    const auto chrome = ChromeRects();
    DropDrag();
    MarkIdsDirty(selection_);
    const bool moved = doc_.MoveBy(selection_, dx, dy);
    MarkIdsDirty(selection_);
    MarkChromeChange(chrome);
    return moved;
}

void EditorController::Refresh() {
    const auto chrome = ChromeRects();
    std::erase_if(selection_, [&](uint32_t id) { return doc_.Find(id) == nullptr; });
    std::erase_if(overrides_, [&](const Item& i) { return doc_.Find(i.id) == nullptr; });
    if (crop_) {
        const PixelRect r = Intersect(*crop_, {0, 0, doc_.Width(), doc_.Height()});
        crop_ = r.Empty() ? std::nullopt : std::optional<PixelRect>(r);
    }
    MarkChromeChange(chrome);
}

void EditorController::Press(Point p, Modifiers m, double tolerance) {
    if (doc_.Empty() || drag_ != DragKind::None || !Finite(p)) return;
    tolerance_ = std::isfinite(tolerance) && tolerance > 0 ? tolerance : 0;
    start_ = last_ = p;
    moved_ = false;
    handle_ = Handle::None;
    const auto chrome = ChromeRects();
    switch (tool_) {
    case Tool::Select: {
        handle_ = HandleAt(p, tolerance_);
        if (handle_ != Handle::None) {
            original_ = *doc_.Find(selection_[0]);
            overrides_ = {original_};
            drag_ = DragKind::Resize;
            break;
        }
        const uint32_t top = TopAt(p, tolerance_, false);
        if (m.shift && top != 0) {
            auto at = std::find(selection_.begin(), selection_.end(), top);
            if (at != selection_.end())
                selection_.erase(at);
            else
                selection_.push_back(top);
            break;
        }
        bool onSelected = false;
        for (uint32_t id : selection_)
            if (const Item* i = doc_.Find(id); i && HitTest(i->object, p.x, p.y, tolerance_)) onSelected = true;
        if (!onSelected && top != 0) {
            selection_ = {top};
            onSelected = true;
        }
        if (onSelected) {
            drag_ = DragKind::Move;
            overrides_.clear();
            for (uint32_t id : selection_)
                if (const Item* i = doc_.Find(id)) overrides_.push_back(*i);
            break;
        }
        if (!m.shift) selection_.clear();
        drag_ = DragKind::Band;
        band_.reset();
        break;
    }
    case Tool::Crop:
        cropAtPress_ = crop_;
        handle_ = HandleAt(p, tolerance_);
        drag_ = DragKind::Crop;
        break;
    case Tool::Text: {
        const uint32_t id = TopAt(p, tolerance_, true);
        const Item* item = doc_.Find(id);
        text_ = item ? TextRequest{id, {item->object.x, item->object.y}} : TextRequest{0, p};
        break;
    }
    case Tool::Step:
        drawing_ = StepAt(p);
        drag_ = DragKind::Draw;
        break;
    case Tool::Pen:
    case Tool::Highlight:
        drawing_ = Style(tool_);
        drawing_->points = {p};
        drag_ = DragKind::Draw;
        break;
    default:
        drawing_.reset();  // appears once the pointer moves
        drag_ = DragKind::Draw;
        break;
    }
    MarkObjectsDirty();
    MarkChromeChange(chrome);
}

void EditorController::Move(Point p, Modifiers m) {
    if (drag_ == DragKind::None || !Finite(p)) return;
    last_ = p;
    if (!WithinTolerance(p, start_, tolerance_)) moved_ = true;
    UpdateDrag(p, m);
}

void EditorController::UpdateDrag(Point p, Modifiers m) {
    const auto chrome = ChromeRects();
    const std::vector<Item> oldOverrides = overrides_;
    const std::optional<MarkupObject> oldDrawing = drawing_;
    switch (drag_) {
    case DragKind::Draw:
        if (tool_ == Tool::Pen || tool_ == Tool::Highlight) {
            const Point& q = drawing_->points.back();
            if ((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) >= 0.25) drawing_->points.push_back(p);
        } else if (tool_ == Tool::Step) {
            drawing_ = StepAt(p);
        } else {
            drawing_ = BoxObject(tool_, start_, p, m.shift);
        }
        break;
    case DragKind::Move: {
        if (!moved_) break;
        const double dx = Snap(p.x - start_.x), dy = Snap(p.y - start_.y);
        overrides_.clear();
        for (uint32_t id : selection_)
            if (const Item* i = doc_.Find(id)) {
                Item moved = *i;
                Translate(moved.object, dx, dy);
                overrides_.push_back(std::move(moved));
            }
        break;
    }
    case DragKind::Resize:
        if (moved_) overrides_ = {Item{original_.id, Resized(p, m)}};
        break;
    case DragKind::Band: {
        const double l = std::min(start_.x, p.x), t = std::min(start_.y, p.y);
        const double r = std::max(start_.x, p.x), b = std::max(start_.y, p.y);
        const PixelRect band{static_cast<int32_t>(std::floor(std::max(l, -kCoordLimit))),
                             static_cast<int32_t>(std::floor(std::max(t, -kCoordLimit))),
                             static_cast<int32_t>(std::ceil(std::min(r, kCoordLimit))),
                             static_cast<int32_t>(std::ceil(std::min(b, kCoordLimit)))};
        band_ = band;
        break;
    }
    case DragKind::Crop:
        if (handle_ == Handle::None && !moved_) {
            crop_ = cropAtPress_;
        } else {
            const PixelRect r = CropFrom(p);
            crop_ = r.Empty() ? std::nullopt : std::optional<PixelRect>(r);
        }
        break;
    case DragKind::None:
        break;
    }
    if (overrides_ != oldOverrides || drawing_ != oldDrawing) {
        for (const Item& i : oldOverrides) MarkDirty(doc_.ObjectBounds(i.object));
        if (oldDrawing) MarkDirty(doc_.ObjectBounds(*oldDrawing));
        MarkObjectsDirty();
    }
    MarkChromeChange(chrome);
}

void EditorController::Release(Point p, Modifiers m) {
    if (drag_ == DragKind::None) return;
    if (Finite(p)) Move(p, m);
    const auto chrome = ChromeRects();
    MarkObjectsDirty();
    switch (drag_) {
    case DragKind::Draw: {
        if (!drawing_) break;
        const bool click = WithinTolerance(last_, start_, tolerance_);
        if (tool_ == Tool::Redact) {
            if (click || RedactionRect(*drawing_).Empty()) break;
            // The redaction burns the objects it touches into the base: they leave the list.
            std::map<uint32_t, PixelRect> before;
            for (const Item& i : doc_.Items()) before[i.id] = doc_.ObjectBounds(i.object);
            MarkDirty(RedactionRect(*drawing_));
            doc_.Add(*drawing_);
            for (const auto& [id, bounds] : before)
                if (!doc_.Find(id)) MarkDirty(bounds);
            std::erase_if(selection_, [&](uint32_t id) { return doc_.Find(id) == nullptr; });
            break;
        }
        if (click && tool_ != Tool::Step && tool_ != Tool::Pen && tool_ != Tool::Highlight) break;
        if (doc_.ObjectBounds(*drawing_).Empty()) break;  // snapped to nothing
        const uint32_t id = doc_.Add(*drawing_);
        MarkIdsDirty({id});
        break;
    }
    case DragKind::Move: {
        if (!moved_) {
            // A plain click on one of several selected objects keeps just that one.
            const uint32_t top = TopAt(start_, tolerance_, false);
            if (!m.shift && top != 0 && selection_.size() > 1) selection_ = {top};
            break;
        }
        const double dx = Snap(last_.x - start_.x), dy = Snap(last_.y - start_.y);
        MarkIdsDirty(selection_);
        doc_.MoveBy(selection_, dx, dy);
        MarkIdsDirty(selection_);
        break;
    }
    case DragKind::Resize:
        if (moved_ && !overrides_.empty()) {
            MarkIdsDirty({original_.id});
            doc_.Change(original_.id, overrides_[0].object, StepKind::Resize);
            MarkIdsDirty({original_.id});
        }
        break;
    case DragKind::Band:
        if (band_) {
            std::vector<uint32_t> ids = m.shift ? selection_ : std::vector<uint32_t>{};
            for (const Item& i : doc_.Items())
                if (!Intersect(doc_.ObjectBounds(i.object), *band_).Empty() &&
                    std::find(ids.begin(), ids.end(), i.id) == ids.end())
                    ids.push_back(i.id);
            selection_ = std::move(ids);
        }
        break;
    case DragKind::Crop:
        if (handle_ == Handle::None && !moved_) crop_ = cropAtPress_;
        break;
    case DragKind::None:
        break;
    }
    EndDrag();
    MarkChromeChange(chrome);
}

void EditorController::DoubleClick(Point p, double tolerance) {
    if (doc_.Empty() || tool_ != Tool::Select || !Finite(p)) return;
    DropDrag();
    const uint32_t id = TopAt(p, std::isfinite(tolerance) ? tolerance : 0, false);
    const Item* item = doc_.Find(id);
    if (item && item->object.type == ObjectType::Text) text_ = TextRequest{id, {item->object.x, item->object.y}};
}

bool EditorController::Cancel() {
    const auto chrome = ChromeRects();
    bool dropped = true;
    if (drag_ != DragKind::None) {
        DropDrag();
    } else if (tool_ == Tool::Crop) {
        crop_.reset();
        cropAtPress_.reset();
        tool_ = Tool::Select;
    } else if (!selection_.empty()) {
        selection_.clear();
    } else {
        dropped = false;
    }
    MarkChromeChange(chrome);
    return dropped;
}

bool EditorController::Enter() {
    if (!crop_) return false;
    const auto chrome = ChromeRects();
    EndDrag();
    const PixelRect r = *crop_;
    MarkDirty({0, 0, doc_.Width(), doc_.Height()});
    doc_.Crop(r);
    crop_.reset();
    cropAtPress_.reset();
    tool_ = Tool::Select;
    MarkDirty({0, 0, doc_.Width(), doc_.Height()});
    MarkChromeChange(chrome);
    Refresh();
    return true;
}

CursorKind EditorController::CursorAt(Point p, Modifiers m, double tolerance) const {
    (void)m;
    if (doc_.Empty() || !Finite(p)) return CursorKind::Arrow;
    const MarkupObject* single = selection_.size() == 1 ? Shown(selection_[0]) : nullptr;
    switch (drag_) {
    case DragKind::Draw:
        return CursorKind::Cross;
    case DragKind::Move:
        return CursorKind::Move;
    case DragKind::Resize:
        return SizeCursor(handle_, single);
    case DragKind::Band:
        return CursorKind::Arrow;
    case DragKind::Crop:
        return handle_ == Handle::None ? CursorKind::Cross : SizeCursor(handle_, nullptr);
    case DragKind::None:
        break;
    }
    const double tol = std::isfinite(tolerance) && tolerance > 0 ? tolerance : 0;
    switch (tool_) {
    case Tool::Select: {
        const Handle h = HandleAt(p, tol);
        if (h != Handle::None) return SizeCursor(h, single);
        if (TopAt(p, tol, false) != 0) return CursorKind::Move;
        for (uint32_t id : selection_)
            if (const Item* i = doc_.Find(id); i && HitTest(i->object, p.x, p.y, tol)) return CursorKind::Move;
        return CursorKind::Arrow;
    }
    case Tool::Crop: {
        const Handle h = HandleAt(p, tol);
        return h == Handle::None ? CursorKind::Cross : SizeCursor(h, nullptr);
    }
    case Tool::Text:
        return CursorKind::IBeam;
    default:
        return CursorKind::Cross;
    }
}

std::vector<HandleSpot> EditorController::Handles() const {
    std::vector<HandleSpot> out;
    if (tool_ == Tool::Crop) {
        if (crop_) AddBoxHandles({double(crop_->left), double(crop_->top), double(crop_->right), double(crop_->bottom)}, out);
        return out;
    }
    if (selection_.size() != 1) return out;
    const MarkupObject* o = Shown(selection_[0]);
    if (!o) return out;
    if (o->type == ObjectType::Line || o->type == ObjectType::Arrow) {
        out.push_back({Handle::Start, {o->x1, o->y1}});
        out.push_back({Handle::End, {o->x2, o->y2}});
        return out;
    }
    Box b;
    if (HasBoxHandles(o->type) && HandleBox(*o, b)) AddBoxHandles(b, out);
    return out;
}

std::vector<PixelRect> EditorController::SelectionBoxes() const {
    std::vector<PixelRect> out;
    for (uint32_t id : selection_)
        if (const MarkupObject* o = Shown(id)) {
            const PixelRect r = doc_.ObjectBounds(*o);
            if (!r.Empty()) out.push_back(r);
        }
    return out;
}

std::optional<PixelRect> EditorController::RubberBand() const { return band_; }

std::optional<PixelRect> EditorController::CropRect() const { return crop_; }

PixelRect EditorController::TakeDirty(int32_t margin) {
    const PixelRect r = Union(dirty_, Widen(dirtyChrome_, std::clamp(margin, 0, 1 << 20)));
    dirty_ = dirtyChrome_ = PixelRect{};
    return r;
}

std::optional<TextRequest> EditorController::TakeTextRequest() {
    std::optional<TextRequest> t = text_;
    text_.reset();
    return t;
}

void EditorController::FinishText(uint32_t id, Point at, const std::string& text) {
    const auto chrome = ChromeRects();
    if (id == 0) {
        if (text.empty() || !Finite(at)) return;
        MarkupObject o = Style(Tool::Text);
        o.x = Snap(at.x);
        o.y = Snap(at.y);
        o.text = text;
        MarkIdsDirty({doc_.Add(o)});
    } else if (const Item* item = doc_.Find(id)) {
        MarkIdsDirty({id});
        if (text.empty()) {
            doc_.Remove({id});
            std::erase(selection_, id);
        } else {
            MarkupObject o = item->object;
            o.text = text;
            doc_.Change(id, o, StepKind::Restyle);
            MarkIdsDirty({id});
        }
    }
    MarkChromeChange(chrome);
}

void EditorController::MarkDirty(const PixelRect& r) { dirty_ = Union(dirty_, r); }

void EditorController::MarkObjectsDirty() {
    for (const Item& i : overrides_) MarkDirty(doc_.ObjectBounds(i.object));
    if (drawing_) MarkDirty(doc_.ObjectBounds(*drawing_));
}

void EditorController::MarkIdsDirty(const std::vector<uint32_t>& ids) {
    for (uint32_t id : ids)
        if (const Item* i = doc_.Find(id)) MarkDirty(doc_.ObjectBounds(i->object));
}

std::vector<PixelRect> EditorController::ChromeRects() const {
    std::vector<PixelRect> out = SelectionBoxes();
    for (const HandleSpot& h : Handles()) out.push_back(PointRect(h.at));
    if (band_ && !band_->Empty()) out.push_back(*band_);
    if (crop_) out.push_back(*crop_);
    return out;
}

// Only what appeared or went: a selection far from a drag in progress stays out of the dirty area.
void EditorController::MarkChromeChange(const std::vector<PixelRect>& before) {
    const std::vector<PixelRect> after = ChromeRects();
    for (const PixelRect& r : before)
        if (std::find(after.begin(), after.end(), r) == after.end()) dirtyChrome_ = Union(dirtyChrome_, r);
    for (const PixelRect& r : after)
        if (std::find(before.begin(), before.end(), r) == before.end()) dirtyChrome_ = Union(dirtyChrome_, r);
}

void EditorController::DropDrag() {
    if (drag_ == DragKind::None) return;
    MarkObjectsDirty();
    for (const Item& i : overrides_) MarkIdsDirty({i.id});
    if (drag_ == DragKind::Crop) crop_ = cropAtPress_;
    EndDrag();
}

void EditorController::EndDrag() {
    drag_ = DragKind::None;
    handle_ = Handle::None;
    overrides_.clear();
    drawing_.reset();
    band_.reset();
    moved_ = false;
}

const MarkupObject* EditorController::Shown(uint32_t id) const {
    for (const Item& i : overrides_)
        if (i.id == id) return &i.object;
    const Item* item = doc_.Find(id);
    return item ? &item->object : nullptr;
}

uint32_t EditorController::TopAt(Point p, double tolerance, bool textOnly) const {
    const std::vector<Item>& items = doc_.Items();
    for (size_t k = items.size(); k-- > 0;) {
        if (textOnly && items[k].object.type != ObjectType::Text) continue;
        if (HitTest(items[k].object, p.x, p.y, tolerance)) return items[k].id;
    }
    return 0;
}

Handle EditorController::HandleAt(Point p, double tolerance) const {
    Handle best = Handle::None;
    double bestDistance = 0;
    for (const HandleSpot& h : Handles()) {
        const double d = std::max(std::abs(p.x - h.at.x), std::abs(p.y - h.at.y));
        if (d <= tolerance && (best == Handle::None || d < bestDistance)) {
            best = h.kind;
            bestDistance = d;
        }
    }
    if (best == Handle::None && tool_ == Tool::Crop && crop_ && p.x >= crop_->left && p.x < crop_->right &&
        p.y >= crop_->top && p.y < crop_->bottom)
        best = Handle::Body;
    return best;
}

MarkupObject EditorController::BoxObject(Tool tool, Point a, Point b, bool square) const {
    MarkupObject o = Style(tool);
    a = Snap(a);
    b = Snap(b);
    if (tool == Tool::Line || tool == Tool::Arrow) {
        if (square) b = Constrain45(a, b);
        o.x1 = a.x;
        o.y1 = a.y;
        o.x2 = b.x;
        o.y2 = b.y;
        return o;
    }
    if (square) {
        const double side = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        b = {a.x + Sign(b.x - a.x) * side, a.y + Sign(b.y - a.y) * side};
    }
    o.x = std::min(a.x, b.x);
    o.y = std::min(a.y, b.y);
    o.w = std::abs(b.x - a.x);
    o.h = std::abs(b.y - a.y);
    return o;
}

MarkupObject EditorController::StepAt(Point p) const {
    MarkupObject o = Style(Tool::Step);
    const double w = o.w > 0 ? o.w : 32, h = o.h > 0 ? o.h : w;
    o.x = Snap(p.x - w / 2);
    o.y = Snap(p.y - h / 2);
    o.w = w;
    o.h = h;
    // The number it will get: its series counts on from the series' first step.
    int64_t count = 0, first = o.start;
    for (const Item& i : doc_.Items())
        if (i.object.type == ObjectType::Step && i.object.series == o.series) {
            if (count == 0) first = i.object.start;
            ++count;
        }
    o.value = static_cast<int32_t>(std::min<int64_t>(first + count, INT32_MAX));
    return o;
}

MarkupObject EditorController::Resized(Point p, Modifiers m) const {
    MarkupObject o = original_.object;
    const double dx = p.x - start_.x, dy = p.y - start_.y;
    if (handle_ == Handle::Start || handle_ == Handle::End) {
        const bool start = handle_ == Handle::Start;
        Point moved = Snap(Point{(start ? o.x1 : o.x2) + dx, (start ? o.y1 : o.y2) + dy});
        if (m.shift) moved = Constrain45(start ? Point{o.x2, o.y2} : Point{o.x1, o.y1}, moved);
        (start ? o.x1 : o.x2) = moved.x;
        (start ? o.y1 : o.y2) = moved.y;
        return o;
    }
    Box b;
    if (!HandleBox(o, b)) return o;
    double l = b.l, t = b.t, r = b.r, bottom = b.b;
    if (MovesWest(handle_)) l = Snap(b.l + dx);
    if (MovesEast(handle_)) r = Snap(b.r + dx);
    if (MovesNorth(handle_)) t = Snap(b.t + dy);
    if (MovesSouth(handle_)) bottom = Snap(b.b + dy);
    const bool square = o.type == ObjectType::Step || (m.shift && (o.type == ObjectType::Rect || o.type == ObjectType::Ellipse));
    if (square) {
        if (IsCorner(handle_)) {
            // The opposite corner stays; the moved one goes out to the larger side.
            const double side = std::max(std::abs(r - l), std::abs(bottom - t));
            if (MovesWest(handle_))
                l = r - Sign(r - l) * side;
            else
                r = l + Sign(r - l) * side;
            if (MovesNorth(handle_))
                t = bottom - Sign(bottom - t) * side;
            else
                bottom = t + Sign(bottom - t) * side;
        } else if (handle_ == Handle::N || handle_ == Handle::S) {
            const double side = std::abs(bottom - t);
            l = Snap((b.l + b.r - side) / 2);
            r = l + side;
        } else {
            const double side = std::abs(r - l);
            t = Snap((b.t + b.b - side) / 2);
            bottom = t + side;
        }
    }
    if (o.type == ObjectType::Pen || o.type == ObjectType::Highlight) {
        // The points are scaled into the new box; a box turned inside out mirrors them.
        for (Point& q : o.points) {
            q.x = b.r > b.l ? l + (q.x - b.l) * (r - l) / (b.r - b.l) : q.x + (l - b.l);
            q.y = b.b > b.t ? t + (q.y - b.t) * (bottom - t) / (b.b - b.t) : q.y + (t - b.t);
        }
        return o;
    }
    o.x = std::min(l, r);
    o.y = std::min(t, bottom);
    o.w = std::abs(r - l);
    o.h = std::abs(bottom - t);
    return o;
}

PixelRect EditorController::CropFrom(Point p) const {
    const PixelRect picture{0, 0, doc_.Width(), doc_.Height()};
    if (handle_ == Handle::None || !cropAtPress_) {
        const int32_t ax = SnapInt(start_.x), ay = SnapInt(start_.y), bx = SnapInt(p.x), by = SnapInt(p.y);
        return Intersect({std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)}, picture);
    }
    const int32_t dx = SnapInt(p.x - start_.x), dy = SnapInt(p.y - start_.y);
    PixelRect r = *cropAtPress_;
    if (handle_ == Handle::Body) {
        // The rectangle keeps its size and stays on the picture.
        const int32_t x = std::clamp(r.left + dx, 0, std::max(picture.right - r.Width(), 0));
        const int32_t y = std::clamp(r.top + dy, 0, std::max(picture.bottom - r.Height(), 0));
        return Intersect({x, y, x + r.Width(), y + r.Height()}, picture);
    }
    if (MovesWest(handle_)) r.left += dx;
    if (MovesEast(handle_)) r.right += dx;
    if (MovesNorth(handle_)) r.top += dy;
    if (MovesSouth(handle_)) r.bottom += dy;
    return Intersect({std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)},
                     picture);
}

}  // namespace plenvue::markup
