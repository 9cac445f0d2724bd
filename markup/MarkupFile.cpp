#include "markup/MarkupFile.h"

#include <cstring>
#include <memory>

#include "base/ErrorObject.h"
#include "base/FileNames.h"
#include "image/PngWriter.h"
#include "image/SafeFile.h"
#include "image/modIntelJPEGLibrary.h"
#include "markup/EditablePng.h"
#include "markup/ObjectsJson.h"

namespace plenvue::markup {

namespace {

// Rectangles that together hold every given one and overlap nowhere: overlapping ones are merged,
// so each pixel's difference is stored (and applied) once.
std::vector<PixelRect> DisjointCover(std::vector<PixelRect> rects) {
    bool merged = true;
    while (merged) {
        merged = false;
        for (size_t i = 0; i < rects.size() && !merged; ++i)
            for (size_t j = i + 1; j < rects.size() && !merged; ++j)
                if (!Intersect(rects[i], rects[j]).Empty()) {
                    rects[i] = Union(rects[i], rects[j]);
                    rects.erase(rects.begin() + static_cast<ptrdiff_t>(j));
                    merged = true;
                }
    }
    return rects;
}

[[noreturn]] void Fail(int32_t code, const std::string& detail) {
    std::string text = "Failed to save to PNG " + std::to_string(code);
    if (!detail.empty()) text += ": " + detail;
    throw ErrorObject(kErrPng, PngErrorSource(), text);
}

}  // namespace

bool EncodeEditablePng(const MarkupDocument& doc, std::vector<uint8_t>& out, std::string& reason) {
    out.clear();
    clsDIBSection flat;
    if (!doc.Flatten(flat)) {
        reason = "there is no picture";
        return false;
    }
    std::vector<uint8_t> plain;
    if (!EncodePngToMemory(flat, plain, reason)) return false;
    if (doc.Items().empty()) {
        out = std::move(plain);
        return true;
    }
    const PixelView base = ViewOf(doc.Base()), flatView = ViewOf(flat);
    std::vector<PixelRect> rects;
    for (const Item& i : doc.Items()) {
        const PixelRect r = Intersect(doc.ObjectBounds(i.object), base.Bounds());
        if (!r.Empty()) rects.push_back(r);
    }
    MarkupChunk chunk;
    chunk.digest = PixelDigest(flatView);
    chunk.objectsJson = WriteObjectList(doc.Objects());
    for (const PixelRect& r : DisjointCover(std::move(rects))) {
        // Only the pixels an object changed: the rest of the rectangle is the flattened picture.
        MarkupPatch patch;
        patch.rect = r;
        patch.mask.assign(static_cast<size_t>(r.Width()) * static_cast<size_t>(r.Height()), 0);
        size_t k = 0;
        for (int32_t y = r.top; y < r.bottom; ++y)
            for (int32_t x = r.left; x < r.right; ++x, ++k) {
                const uint8_t* a = base.Pixel(x, y);
                const uint8_t* b = flatView.Pixel(x, y);
                if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) continue;
                patch.mask[k] = 1;
                patch.bytes.insert(patch.bytes.end(), a, a + 3);
            }
        if (patch.bytes.empty()) continue;
        if (patch.bytes.size() == patch.mask.size() * 3) patch.mask.clear();
        chunk.patches.push_back(std::move(patch));
    }
    const std::vector<uint8_t> data = EncodeMarkupChunk(chunk);
    out = ReplaceChunk(plain.data(), plain.size(), kMarkupChunkType, &data);
    return true;
}

bool SaveEditablePng(const MarkupDocument& doc, const std::string& path) {
    if (doc.Empty()) Fail(kPngCodeNoImage, "there is no picture");
    FileFailure failure;
    if (!FileSystem().CheckReplaceable(path, failure)) throw ErrorObject(kErrPathFileAccess, kExeName, "Path/File access error");
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!EncodeEditablePng(doc, bytes, reason)) Fail(kPngCodeEncodeFailed, reason);
    std::unique_ptr<ReplacementFile> file = FileSystem().CreateBeside(path, failure);
    if (!file) Fail(kPngCodeCreateFailed, failure.text);
    size_t done = 0;
    while (done < bytes.size()) {
        const uint32_t piece = static_cast<uint32_t>(std::min<size_t>(bytes.size() - done, 1u << 24));
        uint32_t written = 0;
        if (!file->Write(bytes.data() + done, piece, written) || written != piece) Fail(kPngCodeWriteFailed, "the file could not be written");
        done += piece;
    }
    if (!file->Commit(true, failure)) Fail(kPngCodeReplaceFailed, failure.text);
    return true;
}

bool OpenEditablePng(const uint8_t* png, size_t size, const clsDIBSection& pixels, MarkupDocument& doc,
                     OpenOutcome& outcome, std::string& reason) {
    outcome = {};
    PngStructure structure;
    if (!ReadPngStructure(png, size, structure, reason)) return false;
    if (pixels.IsEmpty() || pixels.Width() != structure.width || pixels.Height() != structure.height) {
        reason = "the picture could not be decoded";
        return false;
    }
    const PngChunkInfo* found = nullptr;
    for (const PngChunkInfo& c : structure.chunks)
        if (std::memcmp(c.type.data(), kMarkupChunkType, 4) == 0) found = &c;
    auto plain = [&](OpenKind kind, std::string notice) {
        outcome.kind = kind;
        outcome.notice = std::move(notice);
        if (!doc.Reset(pixels)) {
            reason = "Out of memory";
            return false;
        }
        return true;
    };
    if (!found) return plain(OpenKind::Plain, {});
    if (!found->crcOk) return plain(OpenKind::BadChunk, "The mark-up in this file is damaged (bad checksum); it opens as a plain picture.");
    MarkupChunk chunk;
    std::string why;
    if (!DecodeMarkupChunk(png + found->dataOffset, found->length, structure.width, structure.height, chunk, why))
        return plain(OpenKind::BadChunk, "The mark-up in this file is damaged (" + why + "); it opens as a plain picture.");
    if (chunk.digest != PixelDigest(ViewOf(pixels)))
        return plain(OpenKind::Stale, "The picture was changed by another program; its mark-up is dropped and it opens as a plain picture.");
    std::vector<ListEntry> entries;
    JsonError jsonError;
    if (!ParseObjectList(chunk.objectsJson, entries, jsonError))
        return plain(OpenKind::BadChunk, "The mark-up in this file is damaged (objects, line " + std::to_string(jsonError.line) +
                                             ": " + jsonError.message + "); it opens as a plain picture.");
    std::vector<MarkupObject> objects;
    for (ListEntry& e : entries) {
        if (e.isCrop || e.object.type == ObjectType::Redact)
            return plain(OpenKind::BadChunk, "The mark-up in this file is damaged (a crop or redaction among its objects); it opens as a plain picture.");
        objects.push_back(std::move(e.object));
    }
    clsDIBSection base;
    if (!base.Create(pixels.Width(), pixels.Height())) {
        reason = "Out of memory";
        return false;
    }
    base.CopyFrom(pixels);
    const PixelView view = ViewOf(base);
    std::vector<PixelRect> seen;
    for (const MarkupPatch& p : chunk.patches) {
        for (const PixelRect& s : seen)
            if (!Intersect(s, p.rect).Empty())
                return plain(OpenKind::BadChunk, "The mark-up in this file is damaged (overlapping patches); it opens as a plain picture.");
        seen.push_back(p.rect);
        const uint8_t* d = p.bytes.data();
        size_t k = 0;
        for (int32_t y = p.rect.top; y < p.rect.bottom; ++y)
            for (int32_t x = p.rect.left; x < p.rect.right; ++x, ++k) {
                if (!p.mask.empty() && !p.mask[k]) continue;
                std::memcpy(view.Pixel(x, y), d, 3);
                d += 3;
            }
    }
    if (!doc.Reset(base, objects)) {
        reason = "Out of memory";
        return false;
    }
    outcome.kind = OpenKind::Editable;
    return true;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out, std::string& reason, size_t limit) {
    out.clear();
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(OpenFileUtf8(path, "rb"), std::fclose);
    if (!f) {
        reason = "cannot open " + path;
        return false;
    }
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        if (out.size() + n > limit) {
            reason = path + ": the file is too large";
            return false;
        }
        out.insert(out.end(), buffer, buffer + n);
    }
    if (std::ferror(f.get())) {
        reason = "cannot read " + path;
        return false;
    }
    return true;
}

}  // namespace plenvue::markup
