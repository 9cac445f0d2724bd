#include "markup/MarkupDocument.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <map>

#include "base/ErrorObject.h"
#include "markup/Raster.h"

namespace plenvue::markup {

namespace {

constexpr const char* kStepNames[] = {"Add", "Move", "Resize", "Restyle", "Reorder", "Delete", "Redact", "Crop", "Pixels"};

size_t RectBytes(const PixelRect& r) { return static_cast<size_t>(r.Width()) * static_cast<size_t>(r.Height()) * 3; }

// The rectangle's pixels, rows from the top, 3 bytes each.
std::vector<uint8_t> CopyRect(const PixelView& v, const PixelRect& r) {
    std::vector<uint8_t> out(RectBytes(r));
    const size_t row = static_cast<size_t>(r.Width()) * 3;
    for (int32_t y = r.top; y < r.bottom; ++y)
        std::memcpy(out.data() + static_cast<size_t>(y - r.top) * row, v.Pixel(r.left, y), row);
    return out;
}

void XorRect(const PixelView& v, const PixelRect& r, const uint8_t* bytes) {
    const size_t row = static_cast<size_t>(r.Width()) * 3;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint8_t* p = v.Pixel(r.left, y);
        const uint8_t* d = bytes + static_cast<size_t>(y - r.top) * row;
        for (size_t i = 0; i < row; ++i) p[i] ^= d[i];
    }
}

// The smallest rectangle holding every pixel that differs between two pictures of one size.
PixelRect DifferingRect(const PixelView& a, const PixelView& b) {
    PixelRect r{a.width, a.height, 0, 0};
    const size_t row = static_cast<size_t>(a.width) * 3;
    for (int32_t y = 0; y < a.height; ++y) {
        const uint8_t* pa = a.Row(y);
        const uint8_t* pb = b.Row(y);
        if (std::memcmp(pa, pb, row) == 0) continue;
        size_t first = 0, last = row;
        while (pa[first] == pb[first]) ++first;
        while (pa[last - 1] == pb[last - 1]) --last;
        r.top = std::min(r.top, y);
        r.bottom = y + 1;
        r.left = std::min<int32_t>(r.left, static_cast<int32_t>(first / 3));
        r.right = std::max<int32_t>(r.right, static_cast<int32_t>((last + 2) / 3));
    }
    return r.Empty() ? PixelRect{} : r;
}

size_t ItemBytes(const Item& i) {
    return sizeof(Item) + i.object.points.size() * sizeof(Point) + i.object.text.size() + i.object.font.size();
}

}  // namespace

const char* StepKindName(StepKind kind) { return kStepNames[static_cast<size_t>(kind)]; }

MarkupDocument::MarkupDocument(size_t memoryLimit, std::string tempFolder) : store_(memoryLimit, std::move(tempFolder)) {}

bool MarkupDocument::Reset(const clsDIBSection& picture) { return Reset(picture, {}); }

void MarkupDocument::Clear() {
    for (const Step& s : steps_) ReleaseStep(s);
    steps_.clear();
    position_ = 0;
    items_.clear();
    base_->ClearUp();
}

bool MarkupDocument::Reset(const clsDIBSection& base, const std::vector<MarkupObject>& objects) {
    // The copy first: `base` may be this document's own.
    auto copy = std::make_unique<clsDIBSection>();
    if (base.IsEmpty() || !copy->Create(base.Width(), base.Height())) {
        Clear();
        return false;
    }
    copy->CopyFrom(base);
    Clear();
    base_ = std::move(copy);
    for (const MarkupObject& o : objects) {
        if (o.type == ObjectType::Redact) continue;  // redactions live in the base only
        Item it{nextId_++, o};
        Measure(it.object);
        items_.push_back(std::move(it));
    }
    Renumber();
    return true;
}

std::vector<MarkupObject> MarkupDocument::Objects() const {
    std::vector<MarkupObject> out;
    out.reserve(items_.size());
    for (const Item& i : items_) out.push_back(i.object);
    return out;
}

const Item* MarkupDocument::Find(uint32_t id) const {
    for (const Item& i : items_)
        if (i.id == id) return &i;
    return nullptr;
}

std::optional<size_t> MarkupDocument::IndexOf(uint32_t id) const {
    for (size_t k = 0; k < items_.size(); ++k)
        if (items_[k].id == id) return k;
    return std::nullopt;
}

void MarkupDocument::Measure(MarkupObject& o) const {
    if (o.type != ObjectType::Text || !painter_) return;
    double w = 0, h = 0;
    painter_->Measure(o, w, h);
    o.w = w;
    o.h = h;
}

std::vector<size_t> MarkupDocument::IndicesOf(const std::vector<uint32_t>& ids) const {
    std::vector<size_t> indices;
    for (uint32_t id : ids)
        if (auto k = IndexOf(id)) indices.push_back(*k);
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

uint32_t MarkupDocument::Add(const MarkupObject& o) {
    if (Empty()) return 0;
    // A path without points is nothing, and could not be written to a file.
    if ((o.type == ObjectType::Pen || o.type == ObjectType::Highlight) && o.points.empty()) return 0;
    if (o.type == ObjectType::Redact) {
        Redact(o);
        return 0;
    }
    Step s;
    s.kind = StepKind::Add;
    Item it{nextId_++, o};
    Measure(it.object);
    s.inserted.push_back({items_.size(), it});
    Push(std::move(s));
    return it.id;
}

bool MarkupDocument::Change(uint32_t id, const MarkupObject& o, StepKind kind) {
    auto k = IndexOf(id);
    if (!k || o.type == ObjectType::Redact || o.type != items_[*k].object.type) return false;
    Step s;
    s.kind = kind;
    Item after{id, o};
    Measure(after.object);
    if (after == items_[*k]) return false;
    s.removed.push_back({*k, items_[*k]});
    s.inserted.push_back({*k, std::move(after)});
    Push(std::move(s));
    return true;
}

bool MarkupDocument::MoveBy(const std::vector<uint32_t>& ids, double dx, double dy) {
    if (dx == 0 && dy == 0) return false;
    const std::vector<size_t> indices = IndicesOf(ids);
    if (indices.empty()) return false;
    Step s;
    s.kind = StepKind::Move;
    for (size_t k : indices) {
        s.removed.push_back({k, items_[k]});
        Item moved = items_[k];
        Translate(moved.object, dx, dy);
        s.inserted.push_back({k, std::move(moved)});
    }
    Push(std::move(s));
    return true;
}

bool MarkupDocument::Reorder(uint32_t id, size_t newIndex) {
    auto k = IndexOf(id);
    if (!k) return false;
    newIndex = std::min(newIndex, items_.size() - 1);
    if (newIndex == *k) return false;
    Step s;
    s.kind = StepKind::Reorder;
    s.removed.push_back({*k, items_[*k]});
    s.inserted.push_back({newIndex, items_[*k]});
    Push(std::move(s));
    return true;
}

bool MarkupDocument::Remove(const std::vector<uint32_t>& ids) {
    const std::vector<size_t> indices = IndicesOf(ids);
    if (indices.empty()) return false;
    Step s;
    s.kind = StepKind::Delete;
    for (size_t k : indices) s.removed.push_back({k, items_[k]});
    Push(std::move(s));
    return true;
}

bool MarkupDocument::Redact(const MarkupObject& redaction) {
    if (Empty()) return false;
    const PixelView view = ViewOf(*base_);
    const PixelRect box = Intersect(RedactionRect(redaction), view.Bounds());
    if (box.Empty()) return false;
    Step s;
    s.kind = StepKind::Redact;
    PixelRect touched = box;
    // From the top down: an object is burned when it touches the box, or lies under a burned one.
    std::vector<PixelRect> bounds(items_.size());
    std::vector<bool> burn(items_.size(), false);
    for (size_t k = items_.size(); k-- > 0;) {
        bounds[k] = Intersect(ObjectBounds(items_[k].object), view.Bounds());
        bool hit = !Intersect(bounds[k], box).Empty();
        for (size_t above = k + 1; above < items_.size() && !hit; ++above)
            hit = burn[above] && !Intersect(bounds[k], bounds[above]).Empty();
        burn[k] = hit;
    }
    for (size_t k = 0; k < items_.size(); ++k) {
        if (!burn[k]) continue;
        s.removed.push_back({k, items_[k]});
        touched = Union(touched, bounds[k]);
    }
    const std::vector<uint8_t> before = CopyRect(view, touched);
    for (const Placed& p : s.removed) DrawObject(view, p.item.object, touched);
    MarkupObject burned = redaction;
    burned.type = ObjectType::Redact;
    DrawRedaction(view, burned);
    std::vector<uint8_t> delta = CopyRect(view, touched);
    for (size_t i = 0; i < delta.size(); ++i) delta[i] ^= before[i];
    s.hasDelta = true;
    s.rect = touched;
    s.delta = store_.Put(delta.data(), delta.size());
    ApplyItems(s.removed, {});
    Push(std::move(s), false);
    return true;
}

bool MarkupDocument::Crop(const PixelRect& requested) {
    if (Empty()) return false;
    const PixelRect r = Intersect(requested, ViewOf(*base_).Bounds());
    if (r.Empty() || r == ViewOf(*base_).Bounds()) return false;
    auto cut = std::make_unique<clsDIBSection>();
    if (!cut->Create(r.Width(), r.Height())) return false;
    const PixelView from = ViewOf(*base_);
    // The pixels around r, rows from the top: whole rows above and below, the sides between.
    std::vector<uint8_t> frame;
    frame.reserve(static_cast<size_t>(from.width) * from.height * 3 - RectBytes(r));
    for (int32_t y = 0; y < from.height; ++y) {
        const uint8_t* row = from.Row(y);
        if (y < r.top || y >= r.bottom) {
            frame.insert(frame.end(), row, row + static_cast<size_t>(from.width) * 3);
        } else {
            frame.insert(frame.end(), row, row + static_cast<size_t>(r.left) * 3);
            frame.insert(frame.end(), row + static_cast<size_t>(r.right) * 3, row + static_cast<size_t>(from.width) * 3);
        }
    }
    Step s;
    s.kind = StepKind::Crop;
    s.crop = true;
    s.rect = r;
    s.oldWidth = from.width;
    s.oldHeight = from.height;
    s.frame = store_.Put(frame.data(), frame.size());
    for (size_t k = 0; k < items_.size(); ++k) {
        s.removed.push_back({k, items_[k]});
        Item moved = items_[k];
        Translate(moved.object, -r.left, -r.top);
        s.inserted.push_back({k, std::move(moved)});
    }
    const PixelView to = ViewOf(*cut);
    for (int32_t y = 0; y < r.Height(); ++y)
        std::memcpy(to.Row(y), from.Pixel(r.left, r.top + y), static_cast<size_t>(r.Width()) * 3);
    std::swap(base_, cut);
    ApplyItems(s.removed, s.inserted);
    Push(std::move(s), false);
    return true;
}

bool MarkupDocument::ApplyToBase(const std::function<void(clsDIBSection&)>& command) {
    if (Empty()) return false;
    clsDIBSection before;
    if (!before.Create(base_->Width(), base_->Height())) return false;
    before.CopyFrom(*base_);
    try {
        command(*base_);
    } catch (...) {
        base_->CopyFrom(before);
        throw;
    }
    if (base_->IsEmpty() || base_->Width() != before.Width() || base_->Height() != before.Height()) {
        // A command must keep the size; one that did not is taken back.
        if (!base_->Create(before.Width(), before.Height())) return false;
        base_->CopyFrom(before);
        return false;
    }
    Step s;
    s.kind = StepKind::Pixels;
    const PixelView a = ViewOf(*base_), b = ViewOf(before);
    const PixelRect changed = DifferingRect(a, b);
    if (!changed.Empty()) {
        std::vector<uint8_t> delta = CopyRect(a, changed);
        const std::vector<uint8_t> old = CopyRect(b, changed);
        for (size_t i = 0; i < delta.size(); ++i) delta[i] ^= old[i];
        s.hasDelta = true;
        s.rect = changed;
        s.delta = store_.Put(delta.data(), delta.size());
    }
    Push(std::move(s), false);
    return true;
}

std::optional<StepKind> MarkupDocument::UndoKind() const {
    if (!CanUndo()) return std::nullopt;
    return steps_[position_ - 1].kind;
}

bool MarkupDocument::Undo() {
    if (!CanUndo()) return false;
    Apply(steps_[position_ - 1], false);
    --position_;
    return true;
}

bool MarkupDocument::Redo() {
    if (!CanRedo()) return false;
    Apply(steps_[position_], true);
    ++position_;
    return true;
}

void MarkupDocument::Push(Step step, bool apply) {
    for (size_t k = position_; k < steps_.size(); ++k) ReleaseStep(steps_[k]);
    steps_.resize(position_);
    if (apply) ApplyItems(step.removed, step.inserted);
    steps_.push_back(std::move(step));
    ++position_;
}

void MarkupDocument::ReleaseStep(const Step& s) {
    if (s.hasDelta) store_.Release(s.delta);
    if (s.crop) store_.Release(s.frame);
}

bool MarkupDocument::XorDelta(const Step& s) {
    std::vector<uint8_t> delta;
    if (!store_.Get(s.delta, delta) || delta.size() != RectBytes(s.rect)) return false;
    XorRect(ViewOf(*base_), s.rect, delta.data());
    return true;
}

void MarkupDocument::Apply(const Step& s, bool forward) {
    if (forward) {
        if (s.crop) {
            auto cut = std::make_unique<clsDIBSection>();
            if (!cut->Create(s.rect.Width(), s.rect.Height())) throw ErrorObject(7, kExeName, "Out of memory");
            const PixelView from = ViewOf(*base_), to = ViewOf(*cut);
            for (int32_t y = 0; y < s.rect.Height(); ++y)
                std::memcpy(to.Row(y), from.Pixel(s.rect.left, s.rect.top + y), static_cast<size_t>(s.rect.Width()) * 3);
            std::swap(base_, cut);
        }
        if (s.hasDelta && !XorDelta(s)) throw ErrorObject(kErrDibCantCreateFile, kExeName, "The history cannot be read back");
        ApplyItems(s.removed, s.inserted);
        return;
    }
    ApplyItems(s.inserted, s.removed);
    if (s.hasDelta && !XorDelta(s)) throw ErrorObject(kErrDibCantCreateFile, kExeName, "The history cannot be read back");
    if (s.crop) {
        std::vector<uint8_t> frame;
        if (!store_.Get(s.frame, frame)) throw ErrorObject(kErrDibCantCreateFile, kExeName, "The history cannot be read back");
        auto whole = std::make_unique<clsDIBSection>();
        if (!whole->Create(s.oldWidth, s.oldHeight)) throw ErrorObject(7, kExeName, "Out of memory");
        const PixelView from = ViewOf(*base_), to = ViewOf(*whole);
        const size_t rowBytes = static_cast<size_t>(s.oldWidth) * 3;
        const size_t leftBytes = static_cast<size_t>(s.rect.left) * 3;
        const size_t rightBytes = rowBytes - static_cast<size_t>(s.rect.right) * 3;
        size_t at = 0;
        for (int32_t y = 0; y < s.oldHeight; ++y) {
            uint8_t* row = to.Row(y);
            if (y < s.rect.top || y >= s.rect.bottom) {
                std::memcpy(row, frame.data() + at, rowBytes);
                at += rowBytes;
            } else {
                std::memcpy(row, frame.data() + at, leftBytes);
                at += leftBytes;
                std::memcpy(row + leftBytes, from.Row(y - s.rect.top), static_cast<size_t>(s.rect.Width()) * 3);
                std::memcpy(row + static_cast<size_t>(s.rect.right) * 3, frame.data() + at, rightBytes);
                at += rightBytes;
            }
        }
        std::swap(base_, whole);
    }
}

void MarkupDocument::ApplyItems(const std::vector<Placed>& remove, const std::vector<Placed>& insert) {
    std::vector<size_t> order(remove.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return remove[a].index > remove[b].index; });
    for (size_t i : order) items_.erase(items_.begin() + static_cast<ptrdiff_t>(remove[i].index));
    order.resize(insert.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return insert[a].index < insert[b].index; });
    for (size_t i : order) items_.insert(items_.begin() + static_cast<ptrdiff_t>(insert[i].index), insert[i].item);
    Renumber();
}

void MarkupDocument::Renumber() {
    // Each series counts on from its first step's start, in the order the steps are stacked.
    std::map<int32_t, int32_t> next;
    for (Item& i : items_) {
        if (i.object.type != ObjectType::Step) continue;
        auto [it, fresh] = next.try_emplace(i.object.series, i.object.start);
        i.object.value = it->second;
        if (it->second < INT32_MAX) ++it->second;
    }
}

PixelRect MarkupDocument::ObjectBounds(const MarkupObject& o) const {
    if (o.type == ObjectType::Text) {
        MarkupObject box = o;
        if (box.w <= 0 || box.h <= 0) Measure(box);
        box.type = ObjectType::Redact;  // the whole pixels of its box
        PixelRect r = RedactionRect(box);
        const int32_t pad = 3 + static_cast<int32_t>(std::min(o.size, 4096.0) / 8);  // outline and glyph overhang
        return {r.left - pad, r.top - pad, r.right + pad, r.bottom + pad};
    }
    if (o.type == ObjectType::Redact) return RedactionRect(o);
    return ShapeBounds(o);
}

void MarkupDocument::DrawObject(const PixelView& view, const MarkupObject& o, const PixelRect& clip) const {
    switch (o.type) {
    case ObjectType::Text:
        if (painter_) painter_->Draw(view, o, clip);
        break;
    case ObjectType::Redact:
        DrawRedaction(view, o);
        break;
    default:
        DrawShape(view, o, &clip);
        break;
    }
}

bool MarkupDocument::HasUndrawnText() const {
    if (painter_) return false;
    for (const Item& i : items_)
        if (i.object.type == ObjectType::Text) return true;
    return false;
}

void MarkupDocument::FlattenInto(const PixelView& view, const PixelRect& requested) const {
    const PixelView from = ViewOf(*base_);
    const PixelRect clip = Intersect(Intersect(requested, from.Bounds()), view.Bounds());
    if (clip.Empty()) return;
    for (int32_t y = clip.top; y < clip.bottom; ++y)
        std::memcpy(view.Pixel(clip.left, y), from.Pixel(clip.left, y), static_cast<size_t>(clip.Width()) * 3);
    for (const Item& i : items_)
        if (!Intersect(ObjectBounds(i.object), clip).Empty()) DrawObject(view, i.object, clip);
}

bool MarkupDocument::Flatten(clsDIBSection& out) const {
    if (Empty() || !out.Create(base_->Width(), base_->Height())) return false;
    FlattenInto(ViewOf(out), ViewOf(out).Bounds());
    return true;
}

size_t MarkupDocument::HistoryBytes() const {
    size_t n = store_.MemoryBytes() + store_.FileBytes();
    for (const Step& s : steps_) {
        n += sizeof(Step);
        for (const Placed& p : s.removed) n += sizeof(size_t) + ItemBytes(p.item);
        for (const Placed& p : s.inserted) n += sizeof(size_t) + ItemBytes(p.item);
    }
    return n;
}

void MarkupDocument::Swap(MarkupDocument& other) noexcept {
    std::swap(base_, other.base_);
    std::swap(items_, other.items_);
    std::swap(steps_, other.steps_);
    std::swap(position_, other.position_);
    std::swap(nextId_, other.nextId_);
    store_.Swap(other.store_);
}

}  // namespace plenvue::markup
