// A marked-up picture: the base pixels, the editable objects above them, and the history of every
// step (objects added, moved, restyled, reordered, deleted; redactions; crops; commands on the base
// pixels), undone and redone without a fixed depth. Object steps keep their objects; pixel steps keep
// only what changed, compressed (BlobStore).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/clsDIBSection.h"
#include "markup/BlobStore.h"
#include "markup/MarkupObject.h"

namespace plenvue::markup {

// The platform's font engine, for text objects (the portable core lays out and draws no text).
class TextPainter {
public:
    virtual ~TextPainter() = default;
    // The laid-out box of the text: its width and height in pixels from (x, y).
    virtual void Measure(const MarkupObject& text, double& w, double& h) = 0;
    // Draws the text object (background box, outline, letters) onto the view within clip.
    virtual void Draw(const PixelView& view, const MarkupObject& text, const PixelRect& clip) = 0;
};

// What a step did, for "Undo <what>".
enum class StepKind : uint8_t { Add, Move, Resize, Restyle, Reorder, Delete, Redact, Crop, Pixels };
const char* StepKindName(StepKind kind);

struct Item {
    uint32_t id = 0;
    MarkupObject object;
    bool operator==(const Item&) const = default;
};

class MarkupDocument {
public:
    explicit MarkupDocument(size_t memoryLimit = size_t{256} << 20, std::string tempFolder = {});
    MarkupDocument(const MarkupDocument&) = delete;
    MarkupDocument& operator=(const MarkupDocument&) = delete;

    // A new picture: a copy of the pixels as base, no objects, an empty history. False when the
    // picture is empty or no memory can be had.
    bool Reset(const clsDIBSection& picture);
    // No picture, no objects, no history.
    void Clear();
    // The same, with objects already on it (an editable file re-opened); ids are given afresh.
    bool Reset(const clsDIBSection& base, const std::vector<MarkupObject>& objects);

    // Exchanges pictures, objects and histories with another document; each keeps its painter.
    void Swap(MarkupDocument& other) noexcept;

    void SetTextPainter(TextPainter* painter) { painter_ = painter; }
    TextPainter* Painter() const { return painter_; }

    bool Empty() const { return base_->IsEmpty(); }
    int32_t Width() const { return base_->Width(); }
    int32_t Height() const { return base_->Height(); }
    const clsDIBSection& Base() const { return *base_; }
    const std::vector<Item>& Items() const { return items_; }
    std::vector<MarkupObject> Objects() const;
    const Item* Find(uint32_t id) const;
    std::optional<size_t> IndexOf(uint32_t id) const;

    // Each of these is one step of the history (nothing happens and false for an empty document or
    // an unknown id). A text is measured by the painter. Add gives the new object's id; a Redact
    // object goes to Redact and has none (0).
    uint32_t Add(const MarkupObject& o);
    bool Change(uint32_t id, const MarkupObject& o, StepKind kind);  // Move, Resize or Restyle
    bool MoveBy(const std::vector<uint32_t>& ids, double dx, double dy);
    bool Reorder(uint32_t id, size_t newIndex);
    bool Remove(const std::vector<uint32_t>& ids);
    // Burns the objects that the redaction touches into the base, with those below them that they
    // overlap (so the picture looks the same), then the redaction.
    bool Redact(const MarkupObject& redaction);
    // Cuts the base to r (clipped to the picture; false when nothing is left or nothing would
    // change) and moves the objects with it.
    bool Crop(const PixelRect& r);
    // Runs a command on the base pixels in place (an Image-menu command); the picture keeps its
    // size. A command that throws leaves the base as it was, and the exception goes on.
    bool ApplyToBase(const std::function<void(clsDIBSection&)>& command);

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    std::optional<StepKind> UndoKind() const;
    bool Undo();
    bool Redo();
    size_t StepCount() const { return steps_.size(); }

    // The flattened picture: base with every object drawn in order (text through the painter, if
    // any). FlattenInto draws the part within clip onto a view of the picture's size.
    bool Flatten(clsDIBSection& out) const;
    void FlattenInto(const PixelView& view, const PixelRect& clip) const;
    // Every pixel the object may change (text: its box, with its outline).
    PixelRect ObjectBounds(const MarkupObject& o) const;
    void DrawObject(const PixelView& view, const MarkupObject& o, const PixelRect& clip) const;
    // Whether a text object cannot be drawn here (no painter): callers say so.
    bool HasUndrawnText() const;

    // Bytes the history keeps: object records, and compressed pixels in memory and in its file.
    size_t HistoryBytes() const;
    const BlobStore& Store() const { return store_; }

private:
    struct Placed {
        size_t index;
        Item item;
    };
    struct Step {
        StepKind kind = StepKind::Add;
        std::vector<Placed> removed;   // indices in the list before the step
        std::vector<Placed> inserted;  // indices in the list after the step
        // Pixel delta: the XOR of the base before and after over rect.
        bool hasDelta = false;
        PixelRect rect;
        BlobStore::Handle delta = 0;
        // Crop: the rectangle cut out of the old picture, its old size, and the pixels around it.
        bool crop = false;
        int32_t oldWidth = 0, oldHeight = 0;
        BlobStore::Handle frame = 0;
    };

    // The places of the known ids among the objects, in stacking order, each once.
    std::vector<size_t> IndicesOf(const std::vector<uint32_t>& ids) const;
    void Push(Step step, bool apply = true);
    void Apply(const Step& s, bool forward);
    void ApplyItems(const std::vector<Placed>& remove, const std::vector<Placed>& insert);
    bool XorDelta(const Step& s);
    bool StoreDelta(const clsDIBSection& before, const PixelRect& rect, Step& s);
    void Renumber();
    void Measure(MarkupObject& o) const;
    void ReleaseStep(const Step& s);

    std::unique_ptr<clsDIBSection> base_ = std::make_unique<clsDIBSection>();  // never null
    std::vector<Item> items_;
    std::vector<Step> steps_;
    size_t position_ = 0;
    uint32_t nextId_ = 1;
    BlobStore store_;
    TextPainter* painter_ = nullptr;
};

}  // namespace plenvue::markup
