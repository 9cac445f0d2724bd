#include "markup/MarkupFile.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "image/ImageFileReader.h"
#include "image/PngWriter.h"
#include "markup/EditablePng.h"
#include "markup/ObjectsJson.h"
#include "tests/support/TempFolder.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

void MakePicture(clsDIBSection& d, int32_t w, int32_t h) {
    ASSERT_TRUE(d.Create(w, h));
    const PixelView v = ViewOf(d);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = v.Pixel(x, y);
            p[0] = static_cast<uint8_t>((x / 8) * 20);
            p[1] = static_cast<uint8_t>((y / 8) * 30);
            p[2] = static_cast<uint8_t>(x ^ y);
        }
}

MarkupObject Box(ObjectType type, double x, double y, double w, double h) {
    MarkupObject o = DefaultObject(type);
    o.x = x;
    o.y = y;
    o.w = w;
    o.h = h;
    return o;
}

// Decodes a PNG in memory with an independent decoder.
bool Decode(const std::vector<uint8_t>& png, clsDIBSection& out) {
    int w = 0, h = 0, n = 0;
    stbi_uc* px = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &n, 3);
    if (!px) return false;
    if (!out.Create(w, h)) return false;
    const PixelView v = ViewOf(out);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const stbi_uc* s = px + (static_cast<size_t>(y) * w + x) * 3;
            uint8_t* d = v.Pixel(x, y);
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
        }
    stbi_image_free(px);
    return true;
}

bool Reopen(const std::vector<uint8_t>& png, MarkupDocument& doc, OpenOutcome& outcome) {
    clsDIBSection pixels;
    std::string reason;
    return Decode(png, pixels) && OpenEditablePng(png.data(), png.size(), pixels, doc, outcome, reason);
}

std::vector<uint8_t> Pixels(const clsDIBSection& d) {
    const PixelView v = ViewOf(d);
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < v.height; ++y) out.insert(out.end(), v.Row(y), v.Row(y) + 3 * v.width);
    return out;
}

// The same edit on a picture: objects, a solid and a mosaic redaction touching some of them, one above.
std::vector<uint8_t> EditAndExport(const clsDIBSection& picture) {
    MarkupDocument doc;
    EXPECT_TRUE(doc.Reset(picture));
    doc.Add(Box(ObjectType::Rect, 5, 5, 40, 30));
    MarkupObject ellipse = Box(ObjectType::Ellipse, 50, 10, 30, 30);
    ellipse.fill = {10, 200, 30, 160};
    doc.Add(ellipse);
    doc.Redact(Box(ObjectType::Redact, 20.5, 12.25, 30, 10.5));
    MarkupObject mosaic = Box(ObjectType::Redact, 60, 50, 25, 18);
    mosaic.style = RedactStyle::Mosaic;
    mosaic.seed = 77;
    doc.Redact(mosaic);
    MarkupObject marker = DefaultObject(ObjectType::Highlight);
    marker.points = {{0, 40}, {100, 45}};
    doc.Add(marker);
    MarkupObject over = Box(ObjectType::Rect, 55, 45, 40, 30);  // above the mosaic: its base patch is burned pixels
    doc.Add(over);
    std::vector<uint8_t> png;
    std::string reason;
    EXPECT_TRUE(EncodeEditablePng(doc, png, reason)) << reason;
    return png;
}

}  // namespace

TEST(MarkupFile, RandomisingThePixelsUnderEveryRedactionLeavesTheFileByteForByte) {
    clsDIBSection picture;
    MakePicture(picture, 100, 80);
    const std::vector<uint8_t> first = EditAndExport(picture);
    std::mt19937 rng(5);
    const PixelView v = ViewOf(picture);
    for (int trial = 0; trial < 3; ++trial) {
        for (const PixelRect& r : {PixelRect{20, 12, 51, 23}, PixelRect{60, 50, 85, 68}})
            for (int32_t y = r.top; y < r.bottom; ++y)
                for (int32_t x = r.left; x < r.right; ++x)
                    for (int c = 0; c < 3; ++c) v.Pixel(x, y)[c] = static_cast<uint8_t>(rng());
        EXPECT_EQ(EditAndExport(picture), first) << "trial " << trial;
    }
}

TEST(MarkupFile, AnEditablePngIsAPlainPictureToOthersAndComesBackEditable) {
    clsDIBSection picture;
    MakePicture(picture, 120, 90);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(picture));
    doc.Add(Box(ObjectType::Rect, 10, 10, 50, 40));
    MarkupObject step = Box(ObjectType::Step, 70, 20, 28, 28);
    step.start = 4;
    doc.Add(step);
    MarkupObject pen = DefaultObject(ObjectType::Pen);
    pen.points = {{5, 80}, {30, 60}, {60, 85}, {110, 50}};
    doc.Add(pen);
    std::vector<uint8_t> png;
    std::string reason;
    ASSERT_TRUE(EncodeEditablePng(doc, png, reason)) << reason;
    clsDIBSection seen, flat;
    ASSERT_TRUE(Decode(png, seen));
    ASSERT_TRUE(doc.Flatten(flat));
    EXPECT_EQ(Pixels(seen), Pixels(flat));  // what any viewer shows

    MarkupDocument back;
    OpenOutcome outcome;
    ASSERT_TRUE(Reopen(png, back, outcome));
    EXPECT_EQ(outcome.kind, OpenKind::Editable);
    EXPECT_EQ(back.Objects(), doc.Objects());
    EXPECT_EQ(Pixels(back.Base()), Pixels(doc.Base()));
    EXPECT_EQ(back.Find(back.Items()[1].id)->object.value, 4);
    EXPECT_FALSE(back.CanUndo());
}

TEST(MarkupFile, PixelsChangedByAnotherProgramOpenPlainWithANotice) {
    clsDIBSection picture;
    MakePicture(picture, 40, 30);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(picture));
    doc.Add(Box(ObjectType::Rect, 2, 2, 20, 20));
    std::vector<uint8_t> png;
    std::string reason;
    ASSERT_TRUE(EncodeEditablePng(doc, png, reason));
    // Another program keeps the chunk but writes other pixels.
    PngStructure s;
    ASSERT_TRUE(ReadPngStructure(png.data(), png.size(), s, reason));
    std::vector<uint8_t> chunk;
    for (const PngChunkInfo& c : s.chunks)
        if (std::memcmp(c.type.data(), kMarkupChunkType, 4) == 0)
            chunk.assign(png.begin() + static_cast<ptrdiff_t>(c.dataOffset), png.begin() + static_cast<ptrdiff_t>(c.dataOffset + c.length));
    ASSERT_FALSE(chunk.empty());
    clsDIBSection edited;
    ASSERT_TRUE(Decode(png, edited));
    ViewOf(edited).Pixel(30, 25)[1] ^= 1;
    std::vector<uint8_t> other;
    ASSERT_TRUE(EncodePngToMemory(edited, other, reason));
    other = ReplaceChunk(other.data(), other.size(), kMarkupChunkType, &chunk);

    MarkupDocument back;
    OpenOutcome outcome;
    ASSERT_TRUE(Reopen(other, back, outcome));
    EXPECT_EQ(outcome.kind, OpenKind::Stale);
    EXPECT_FALSE(outcome.notice.empty());
    EXPECT_TRUE(back.Items().empty());
    EXPECT_EQ(Pixels(back.Base()), Pixels(edited));
    // The next save drops the stale chunk: nothing to keep, a plain PNG.
    std::vector<uint8_t> resaved;
    ASSERT_TRUE(EncodeEditablePng(back, resaved, reason));
    ASSERT_TRUE(ReadPngStructure(resaved.data(), resaved.size(), s, reason));
    for (const PngChunkInfo& c : s.chunks) EXPECT_NE(std::memcmp(c.type.data(), kMarkupChunkType, 4), 0);
}

TEST(MarkupFile, ADamagedChunkOpensPlainAndABrokenFileNotAtAll) {
    clsDIBSection picture;
    MakePicture(picture, 40, 30);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(picture));
    doc.Add(Box(ObjectType::Ellipse, 2, 2, 20, 20));
    std::vector<uint8_t> png;
    std::string reason;
    ASSERT_TRUE(EncodeEditablePng(doc, png, reason));
    PngStructure s;
    ASSERT_TRUE(ReadPngStructure(png.data(), png.size(), s, reason));
    size_t at = 0;
    for (const PngChunkInfo& c : s.chunks)
        if (std::memcmp(c.type.data(), kMarkupChunkType, 4) == 0) at = c.dataOffset;
    ASSERT_NE(at, 0u);

    std::vector<uint8_t> badCrc = png;
    badCrc[at + 3] ^= 0x40;
    MarkupDocument back;
    OpenOutcome outcome;
    ASSERT_TRUE(Reopen(badCrc, back, outcome));
    EXPECT_EQ(outcome.kind, OpenKind::BadChunk);
    EXPECT_TRUE(back.Items().empty());

    std::vector<uint8_t> broken = png;
    broken[1] = 'Q';  // the signature
    clsDIBSection pixels;
    ASSERT_TRUE(Decode(png, pixels));
    EXPECT_FALSE(OpenEditablePng(broken.data(), broken.size(), pixels, back, outcome, reason));
    EXPECT_FALSE(reason.empty());
    std::vector<uint8_t> noIdat = png;
    for (const PngChunkInfo& c : s.chunks)
        if (std::memcmp(c.type.data(), "IDAT", 4) == 0) noIdat[c.dataOffset] ^= 1;  // its CRC no longer holds
    EXPECT_FALSE(OpenEditablePng(noIdat.data(), noIdat.size(), pixels, back, outcome, reason));
}

TEST(MarkupFile, SavingOverALongerFileLeavesNoOldBytesAndACropShrinksTheFile) {
    test::TempFolder folder("markupfile");
    const std::string path = folder / "shot.png";
    clsDIBSection picture;
    MakePicture(picture, 160, 120);
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(picture));
    doc.Add(Box(ObjectType::Rect, 10, 10, 100, 80));
    ASSERT_TRUE(SaveEditablePng(doc, path));
    const auto big = std::filesystem::file_size(path);
    ASSERT_TRUE(doc.Crop({0, 0, 40, 30}));
    ASSERT_TRUE(SaveEditablePng(doc, path));
    std::vector<uint8_t> expected;
    std::string reason;
    ASSERT_TRUE(EncodeEditablePng(doc, expected, reason));
    std::vector<uint8_t> onDisk;
    ASSERT_TRUE(ReadFileBytes(path, onDisk, reason));
    EXPECT_EQ(onDisk, expected);
    EXPECT_LT(onDisk.size(), big);
    int w = 0, h = 0, n = 0;
    ASSERT_TRUE(stbi_info_from_memory(onDisk.data(), static_cast<int>(onDisk.size()), &w, &h, &n));
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 30);
}

TEST(MarkupFile, TwentyObjectsOnAScreenshotCostAtMostAQuarterMoreThanThePlainPng) {
    clsDIBSection shot;
    std::string error;
    ASSERT_TRUE(ReadImageWithStb(std::string(PLENVUE_SOURCE_DIR) + "/bench/data/screenshot.png", shot, error)) << error;
    MarkupDocument doc;
    ASSERT_TRUE(doc.Reset(shot));
    // About 15 % of 1920 x 1080 in boxes, outlines, arrows and steps, a few filled.
    double covered = 0;
    for (int i = 0; i < 20; ++i) {
        const double x = 40 + (i % 5) * 370, y = 40 + (i / 5) * 250;
        MarkupObject o;
        switch (i % 4) {
        case 0:
            o = Box(ObjectType::Rect, x, y, 300, 180);
            o.fill = {255, 255, 0, 60};
            break;
        case 1: o = Box(ObjectType::Ellipse, x, y, 260, 160); break;
        case 2:
            o = DefaultObject(ObjectType::Arrow);
            o.x1 = x;
            o.y1 = y;
            o.x2 = x + 280;
            o.y2 = y + 150;
            break;
        default: o = Box(ObjectType::Step, x, y, 40, 40); break;
        }
        covered += i % 4 == 0 ? 300 * 180 : i % 4 == 1 ? 260 * 160 : i % 4 == 2 ? 280 * 150 : 40 * 40;
        doc.Add(o);
    }
    EXPECT_GT(covered / (1920.0 * 1080), 0.12);
    std::vector<uint8_t> editable, plain;
    ASSERT_TRUE(EncodeEditablePng(doc, editable, error)) << error;
    clsDIBSection flat;
    ASSERT_TRUE(doc.Flatten(flat));
    ASSERT_TRUE(EncodePngToMemory(flat, plain, error));
    EXPECT_LE(static_cast<double>(editable.size()), 1.25 * plain.size())
        << editable.size() << " bytes against " << plain.size();
}
