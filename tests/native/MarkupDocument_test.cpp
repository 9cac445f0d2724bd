#include "markup/MarkupDocument.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "effects/clsImageProcessDIB.h"
#include "effects/modMirror.h"
#include "markup/Raster.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

// Flat panels with a few edges and some noise: something for filters and crops to change.
void MakePicture(clsDIBSection& d, int32_t w, int32_t h, uint32_t seed) {
    ASSERT_TRUE(d.Create(w, h));
    std::mt19937 rng(seed);
    const PixelView v = ViewOf(d);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = v.Pixel(x, y);
            const bool panel = (x / 16 + y / 12) % 3 == 0;
            p[0] = static_cast<uint8_t>(panel ? 240 : x * 3);
            p[1] = static_cast<uint8_t>(panel ? 240 : y * 5);
            p[2] = static_cast<uint8_t>(panel ? 235 : rng() & 0xFF);
        }
}

std::vector<uint8_t> Bytes(const clsDIBSection& d) {
    const PixelView v = ViewOf(d);
    std::vector<uint8_t> out;
    out.push_back(static_cast<uint8_t>(d.Width()));
    out.push_back(static_cast<uint8_t>(d.Height()));
    for (int32_t y = 0; y < v.height; ++y) out.insert(out.end(), v.Row(y), v.Row(y) + 3 * v.width);
    return out;
}

std::vector<uint8_t> Flattened(const MarkupDocument& doc) {
    clsDIBSection f;
    EXPECT_TRUE(doc.Flatten(f));
    return Bytes(f);
}

MarkupObject Box(ObjectType type, double x, double y, double w, double h) {
    MarkupObject o = DefaultObject(type);
    o.x = x;
    o.y = y;
    o.w = w;
    o.h = h;
    return o;
}

MarkupObject Arrow(double x1, double y1, double x2, double y2) {
    MarkupObject o = DefaultObject(ObjectType::Arrow);
    o.x1 = x1;
    o.y1 = y1;
    o.x2 = x2;
    o.y2 = y2;
    return o;
}

}  // namespace

TEST(MarkupDocument, UndoingEveryStepGivesBackEachPictureByteForByteAndRedoTheLast) {
    clsDIBSection capture;
    MakePicture(capture, 96, 80, 1);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(capture));
    std::vector<std::vector<uint8_t>> flats{Flattened(doc)};
    std::vector<std::vector<uint8_t>> bases{Bytes(doc.Base())};
    auto record = [&](bool did) {
        ASSERT_TRUE(did) << "step " << flats.size();
        flats.push_back(Flattened(doc));
        bases.push_back(Bytes(doc.Base()));
    };
    const uint32_t a = doc.Add(Box(ObjectType::Rect, 10, 10, 30, 20));
    record(a != 0);
    const uint32_t b = doc.Add(Box(ObjectType::Ellipse, 40, 30, 30, 30));
    record(b != 0);
    const uint32_t c = doc.Add(Arrow(5, 70, 90, 5));
    record(c != 0);
    record(doc.MoveBy({a, b}, 3.5, -2));
    MarkupObject restyled = doc.Find(b)->object;
    restyled.fill = {0, 200, 0, 128};
    record(doc.Change(b, restyled, StepKind::Restyle));
    record(doc.Reorder(c, 0));
    record(doc.ApplyToBase([](clsDIBSection& d) {
        clsImageProcessDIB fx;
        fx.FilterType(eBlur);
        clsDIBSection scratch;
        scratch.Create(d.Width(), d.Height());
        fx.ProcessImage(d, scratch);
    }));
    record(doc.Crop({8, 4, 88, 70}));
    record(doc.ApplyToBase([](clsDIBSection& d) { MirrorDIB(d, eMirrorLeftRight); }));
    record(doc.Redact(Box(ObjectType::Redact, 30.5, 20.25, 12, 9)));
    const uint32_t d = doc.Add(Box(ObjectType::Rect, 50, 40, 6, 6));
    record(d != 0);
    record(doc.Remove({d}));
    record(doc.Crop({2, 2, 60, 50}));
    record(doc.Add(Box(ObjectType::Step, 5, 5, 24, 24)) != 0);

    for (size_t k = flats.size() - 1; k-- > 0;) {
        ASSERT_TRUE(doc.Undo());
        EXPECT_EQ(Flattened(doc), flats[k]) << "after undoing step " << k + 1;
        EXPECT_EQ(Bytes(doc.Base()), bases[k]) << "after undoing step " << k + 1;
    }
    EXPECT_EQ(Bytes(doc.Base()), Bytes(capture));
    EXPECT_TRUE(doc.Items().empty());
    EXPECT_FALSE(doc.Undo());  // nothing left: nothing happens
    EXPECT_EQ(Bytes(doc.Base()), Bytes(capture));
    for (size_t k = 1; k < flats.size(); ++k) {
        ASSERT_TRUE(doc.Redo());
        EXPECT_EQ(Flattened(doc), flats[k]) << "after redoing step " << k;
    }
    EXPECT_FALSE(doc.Redo());
}

TEST(MarkupDocument, ANewStepAfterUndoDropsTheRedoBranchAndItsPixels) {
    clsDIBSection capture;
    MakePicture(capture, 40, 30, 2);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(capture));
    ASSERT_TRUE(doc.ApplyToBase([](clsDIBSection& d) { NegativeDIB(d); }));
    ASSERT_TRUE(doc.Crop({0, 0, 20, 20}));
    EXPECT_EQ(doc.Store().Count(), 2u);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    doc.Add(Box(ObjectType::Rect, 1, 1, 5, 5));
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(doc.Store().Count(), 0u);
    EXPECT_EQ(doc.StepCount(), 1u);
}

TEST(MarkupDocument, StepsNumberThemselvesPerSeriesAndDeletingRenumbersTheLaterOnes) {
    clsDIBSection capture;
    MakePicture(capture, 64, 64, 3);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(capture));
    std::vector<uint32_t> ids;
    for (int i = 0; i < 4; ++i) ids.push_back(doc.Add(Box(ObjectType::Step, i * 10.0, 0, 10, 10)));
    MarkupObject letter = Box(ObjectType::Step, 0, 40, 10, 10);
    letter.series = 1;
    letter.label = StepLabel::Letters;
    const uint32_t l1 = doc.Add(letter);
    const uint32_t l2 = doc.Add(letter);
    auto value = [&](uint32_t id) { return doc.Find(id)->object.value; };
    EXPECT_EQ(value(ids[0]), 1);
    EXPECT_EQ(value(ids[3]), 4);
    EXPECT_EQ(StepText(doc.Find(l2)->object), "B");
    ASSERT_TRUE(doc.Remove({ids[1]}));
    EXPECT_EQ(value(ids[2]), 2);
    EXPECT_EQ(value(ids[3]), 3);
    EXPECT_EQ(value(l1), 1);  // another series is not touched
    ASSERT_TRUE(doc.Reorder(ids[3], 0));
    EXPECT_EQ(value(ids[3]), 1);
    EXPECT_EQ(value(ids[0]), 2);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(value(ids[1]), 2);
    EXPECT_EQ(value(ids[3]), 4);
}

TEST(MarkupDocument, ARedactionBurnsTheObjectsItTouchesAndTheBaseHoldsNoCoveredPixel) {
    clsDIBSection capture;
    MakePicture(capture, 80, 60, 4);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(capture));
    const uint32_t under = doc.Add(Box(ObjectType::Rect, 10, 10, 30, 30));
    const uint32_t below = doc.Add(Box(ObjectType::Ellipse, 0, 0, 14, 14));   // overlaps `under` only
    const uint32_t apart = doc.Add(Box(ObjectType::Rect, 60, 40, 10, 10));  // touches neither
    ASSERT_TRUE(doc.Reorder(below, 0));
    const std::vector<uint8_t> before = Flattened(doc);
    ASSERT_TRUE(doc.Redact(Box(ObjectType::Redact, 20.6, 20.2, 10.1, 5.5)));
    EXPECT_EQ(doc.Find(under), nullptr);
    EXPECT_EQ(doc.Find(below), nullptr);  // under a burned one: burned too, so nothing moves in view
    EXPECT_NE(doc.Find(apart), nullptr);
    // Snapped outward: 20..31 by 20..26, every pixel black in the base itself.
    const PixelView v = ViewOf(doc.Base());
    for (int32_t y = 20; y < 26; ++y)
        for (int32_t x = 20; x < 31; ++x) EXPECT_EQ(v.Pixel(x, y)[0] | v.Pixel(x, y)[1] | v.Pixel(x, y)[2], 0) << x << "," << y;
    // Outside the box the flattened picture is as it was.
    const std::vector<uint8_t> after = Flattened(doc);
    for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 80; ++x) {
            if (x >= 20 && x < 31 && y >= 20 && y < 26) continue;
            const size_t at = 2 + (static_cast<size_t>(y) * 80 + x) * 3;
            ASSERT_EQ(after[at], before[at]) << x << "," << y;
        }
    ASSERT_TRUE(doc.Undo());
    EXPECT_NE(doc.Find(under), nullptr);
    EXPECT_EQ(Flattened(doc), before);
}

TEST(MarkupDocument, CropMovesTheObjectsAndClipsToThePicture) {
    clsDIBSection capture;
    MakePicture(capture, 50, 40, 5);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(capture));
    const uint32_t id = doc.Add(Box(ObjectType::Rect, 20, 15, 10, 10));
    EXPECT_FALSE(doc.Crop({0, 0, 50, 40}));     // the whole picture: no step
    EXPECT_FALSE(doc.Crop({60, 60, 90, 90}));   // nothing left
    ASSERT_TRUE(doc.Crop({10, -5, 200, 30}));    // clipped to 10..50 x 0..30
    EXPECT_EQ(doc.Width(), 40);
    EXPECT_EQ(doc.Height(), 30);
    EXPECT_EQ(doc.Find(id)->object.x, 10);
    EXPECT_EQ(doc.Find(id)->object.y, 15);
    EXPECT_EQ(doc.UndoKind(), StepKind::Crop);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Width(), 50);
    EXPECT_EQ(doc.Find(id)->object.x, 20);
}

TEST(MarkupDocument, ACommandThatThrowsLeavesTheBaseAndHistoryAsTheyWere) {
    clsDIBSection capture;
    MakePicture(capture, 20, 20, 6);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(capture));
    EXPECT_THROW(doc.ApplyToBase([](clsDIBSection& d) {
        NegativeDIB(d);
        throw OverflowError();
    }),
                 ErrorObject);
    EXPECT_EQ(Bytes(doc.Base()), Bytes(capture));
    EXPECT_FALSE(doc.CanUndo());
}

TEST(MarkupDocument, OldPixelStepsMoveToTheTemporaryFileAndStillUndoExactly) {
    clsDIBSection capture;
    MakePicture(capture, 200, 150, 7);
    MarkupDocument doc(1024);  // a tiny budget: nearly everything goes to the file
    ASSERT_TRUE(doc.Reset(capture));
    std::vector<std::vector<uint8_t>> bases{Bytes(doc.Base())};
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(doc.ApplyToBase([i](clsDIBSection& d) {
            if (i % 2) NegativeDIB(d);
            else MirrorDIB(d, i % 3);
        }));
        bases.push_back(Bytes(doc.Base()));
    }
    EXPECT_GT(doc.Store().FileBytes(), 0u);
    EXPECT_LE(doc.Store().MemoryBytes(), 1024u + 200 * 150 * 3);
    for (size_t k = bases.size() - 1; k-- > 0;) {
        ASSERT_TRUE(doc.Undo());
        EXPECT_EQ(Bytes(doc.Base()), bases[k]);
    }
}

TEST(MarkupDocument, ResetFromItsOwnBaseKeepsThePixelsAndDropsTheRest) {
    clsDIBSection capture;
    MakePicture(capture, 30, 20, 8);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(capture));
    doc.Add(Box(ObjectType::Rect, 1, 1, 5, 5));
    ASSERT_TRUE(doc.Reset(doc.Base()));
    EXPECT_EQ(Bytes(doc.Base()), Bytes(capture));
    EXPECT_TRUE(doc.Items().empty());
    EXPECT_FALSE(doc.CanUndo());
}

TEST(MarkupDocument, AnEmptyDocumentTakesNoStep) {
    MarkupDocument doc;
    EXPECT_EQ(doc.Add(Box(ObjectType::Rect, 0, 0, 5, 5)), 0u);
    EXPECT_FALSE(doc.Crop({0, 0, 1, 1}));
    EXPECT_FALSE(doc.Redact(Box(ObjectType::Redact, 0, 0, 5, 5)));
    EXPECT_FALSE(doc.ApplyToBase([](clsDIBSection&) {}));
    EXPECT_FALSE(doc.Undo());
    clsDIBSection out;
    EXPECT_FALSE(doc.Flatten(out));
}

TEST(BlobStore, KeepsWhatWasPutAcrossMemoryAndFile) {
    BlobStore store(100);
    std::mt19937 rng(9);
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<BlobStore::Handle> handles;
    for (int i = 0; i < 8; ++i) {
        std::vector<uint8_t> b(1000 + i * 37);
        for (uint8_t& x : b) x = static_cast<uint8_t>(i % 2 ? rng() : 0);
        handles.push_back(store.Put(b.data(), b.size()));
        blocks.push_back(std::move(b));
    }
    EXPECT_GT(store.FileBytes(), 0u);
    store.Release(handles[3]);
    for (int i = 0; i < 8; ++i) {
        std::vector<uint8_t> got;
        if (i == 3) {
            EXPECT_FALSE(store.Get(handles[i], got));
            continue;
        }
        ASSERT_TRUE(store.Get(handles[i], got)) << i;
        EXPECT_EQ(got, blocks[i]) << i;
    }
    const BlobStore::Handle empty = store.Put(nullptr, 0);
    std::vector<uint8_t> got{1};
    EXPECT_TRUE(store.Get(empty, got));
    EXPECT_TRUE(got.empty());
}

// A document set aside for another and taken up again keeps its pixels, objects and every step,
// pixel deltas in a spilled history file included.
TEST(MarkupDocument, SwappedDocumentsKeepTheirPicturesObjectsAndHistories) {
    clsDIBSection a, b;
    MakePicture(a, 64, 48, 1);
    MakePicture(b, 30, 20, 2);
    MarkupDocument first(1), second(1);  // a tiny budget: the deltas go to the file
    ASSERT_TRUE(first.Reset(a));
    ASSERT_TRUE(second.Reset(b));
    first.Add(Box(ObjectType::Rect, 4, 4, 20, 10));
    ASSERT_TRUE(first.ApplyToBase([](clsDIBSection& d) { d.PixelPtr(3, 3)[0] ^= 0xFF; }));
    const std::vector<uint8_t> firstFlat = Flattened(first);
    first.Swap(second);
    EXPECT_EQ(first.Width(), 30);
    EXPECT_TRUE(first.Items().empty());
    EXPECT_FALSE(first.CanUndo());
    first.Add(Box(ObjectType::Ellipse, 2, 2, 8, 8));
    first.Swap(second);
    EXPECT_EQ(Flattened(first), firstFlat);
    ASSERT_TRUE(first.Undo());
    ASSERT_TRUE(first.Undo());
    EXPECT_EQ(Flattened(first), Bytes(a));
    EXPECT_EQ(second.Items().size(), 1u);
    EXPECT_EQ(second.Items()[0].object.type, ObjectType::Ellipse);
}
