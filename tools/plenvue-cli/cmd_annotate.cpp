// plenvue-cli annotate, objects and render: mark-up objects from JSON drawn on a picture, the
// objects of an editable PNG listed, and an editable PNG flattened again from its base and objects.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/ErrorObject.h"
#include "image/PngWriter.h"
#include "image/modIntelJPEGLibrary.h"
#include "markup/EditablePng.h"
#include "markup/MarkupFile.h"
#include "markup/ObjectsJson.h"
#include "tools/plenvue-cli/Cli.h"

#ifdef _WIN32
#include "markup/TextPainter_win.h"
#endif

namespace plenvue::cli {

namespace {

using namespace plenvue::markup;

// A failure to read or write: reported once, exit 3.
struct IoFailure {
    std::string message;
};

bool HasPngSignature(const std::vector<uint8_t>& bytes) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

std::string LowerExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

enum class OutKind { Png, Jpeg, Bmp };
OutKind OutputKind(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == ".png") return OutKind::Png;
    if (ext == ".jpg" || ext == ".jpeg") return OutKind::Jpeg;
    if (ext == ".bmp") return OutKind::Bmp;
    throw UsageError{"OUT must end in .png, .jpg, .jpeg or .bmp: " + path};
}

// Opens IN as a document: an editable PNG with its objects, any other picture plain. A notice
// about a stale or damaged mark-up goes to stderr.
void OpenDocument(const std::string& path, MarkupDocument& doc, OpenOutcome& outcome) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!ReadFileBytes(path, bytes, reason)) throw IoFailure{reason};
    clsDIBSection pixels;
    if (HasPngSignature(bytes)) {
        // The structure first: a broken file is not opened at all, whatever a decoder makes of it.
        PngStructure structure;
        if (!ReadPngStructure(bytes.data(), bytes.size(), structure, reason))
            throw IoFailure{path + ": not a valid PNG file: " + reason};
        if (!LoadImageFile(path, pixels, reason)) throw IoFailure{reason};
        if (!OpenEditablePng(bytes.data(), bytes.size(), pixels, doc, outcome, reason))
            throw IoFailure{path + ": " + reason};
        if (!outcome.notice.empty()) std::fprintf(stderr, "plenvue-cli: %s: %s\n", path.c_str(), outcome.notice.c_str());
        return;
    }
    if (!LoadImageFile(path, pixels, reason)) throw IoFailure{reason};
    if (!doc.Reset(pixels)) throw IoFailure{path + ": out of memory"};
}

void WriteDocument(const MarkupDocument& doc, const std::string& path, OutKind kind, bool editable) {
    if (kind == OutKind::Png && editable) {
        SaveEditablePng(doc, path);  // failures raise
        return;
    }
    clsDIBSection flat;
    if (!doc.Flatten(flat)) throw IoFailure{"out of memory"};
    std::string error;
    switch (kind) {
    case OutKind::Png: SavePNG(flat, path); break;
    case OutKind::Jpeg: SaveJPEG(flat, path, 90); break;
    case OutKind::Bmp:
        if (!SaveBmpFile(flat, path, error)) throw IoFailure{error};
        break;
    }
}

void NoteUndrawnText(const MarkupDocument& doc) {
    if (doc.HasUndrawnText())
        std::fprintf(stderr, "plenvue-cli: text objects are kept but not drawn: this build has no font engine\n");
}

PixelRect CropRect(const ListEntry& e) {
    auto clamp = [](double v) { return v < -1e9 ? -1e9 : v > 1e9 ? 1e9 : v; };
    return {static_cast<int32_t>(std::floor(clamp(e.cropX))), static_cast<int32_t>(std::floor(clamp(e.cropY))),
            static_cast<int32_t>(std::ceil(clamp(e.cropX + e.cropW))), static_cast<int32_t>(std::ceil(clamp(e.cropY + e.cropH)))};
}

template <class Body>
int Guarded(Body body) {
    try {
        return body();
    } catch (const IoFailure& f) {
        std::fprintf(stderr, "plenvue-cli: %s\n", f.message.c_str());
        return kExitFailure;
    }
}

struct Painter {
#ifdef _WIN32
    GdiTextPainter gdi;
    void Attach(MarkupDocument& doc) { doc.SetTextPainter(&gdi); }
#else
    void Attach(MarkupDocument&) {}
#endif
};

int RunAnnotate(const std::vector<std::string>& args) {
    Options o = ParseOptions(args, {"--objects"}, {"--replace"});
    if (o.positional.size() != 2) throw UsageError{"annotate needs IN and OUT"};
    if (!o.Has("--objects")) throw UsageError{"annotate needs --objects FILE.json"};
    const std::string& in = o.positional[0];
    const std::string& out = o.positional[1];
    const std::string jsonPath = o.Get("--objects", "");
    const OutKind kind = OutputKind(out);
    return Guarded([&] {
        std::vector<uint8_t> json;
        std::string reason;
        if (!ReadFileBytes(jsonPath, json, reason, size_t{256} << 20)) throw IoFailure{reason};
        std::vector<ListEntry> entries;
        JsonError error;
        if (!ParseObjectList(std::string_view(reinterpret_cast<const char*>(json.data()), json.size()), entries, error)) {
            std::fprintf(stderr, "plenvue-cli: %s:%d:%d: %s\n", jsonPath.c_str(), error.line, error.column, error.message.c_str());
            return kExitUsage;
        }
        MarkupDocument doc;
        Painter painter;
        painter.Attach(doc);
        OpenOutcome outcome;
        OpenDocument(in, doc, outcome);
        if (o.Has("--replace")) {
            std::vector<uint32_t> ids;
            for (const Item& i : doc.Items()) ids.push_back(i.id);
            doc.Remove(ids);
        }
        for (size_t k = 0; k < entries.size(); ++k) {
            const ListEntry& e = entries[k];
            if (!e.isCrop) {
                doc.Add(e.object);
                continue;
            }
            const PixelRect r = Intersect(CropRect(e), {0, 0, doc.Width(), doc.Height()});
            if (r.Empty()) {
                std::fprintf(stderr, "plenvue-cli: %s: object %zu: the crop lies outside the picture\n", jsonPath.c_str(), k + 1);
                return kExitUsage;
            }
            doc.Crop(r);
        }
        NoteUndrawnText(doc);
        WriteDocument(doc, out, kind, true);
        return kExitOk;
    });
}

int RunObjects(const std::vector<std::string>& args) {
    Options o = ParseOptions(args, {}, {});
    if (o.positional.size() != 1) throw UsageError{"objects needs FILE"};
    return Guarded([&] {
        MarkupDocument doc;
        OpenOutcome outcome;
        OpenDocument(o.positional[0], doc, outcome);
        const std::string text = WriteObjectList(doc.Objects());
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
    });
}

int RunRender(const std::vector<std::string>& args) {
    Options o = ParseOptions(args, {}, {});
    if (o.positional.size() != 2) throw UsageError{"render needs FILE and OUT"};
    const OutKind kind = OutputKind(o.positional[1]);
    return Guarded([&] {
        MarkupDocument doc;
        Painter painter;
        painter.Attach(doc);
        OpenOutcome outcome;
        OpenDocument(o.positional[0], doc, outcome);
        NoteUndrawnText(doc);
        WriteDocument(doc, o.positional[1], kind, false);
        return kExitOk;
    });
}

const Registrar annotate({"annotate", "IN OUT --objects FILE.json [--replace]", RunAnnotate});
const Registrar objects({"objects", "FILE", RunObjects});
const Registrar render({"render", "FILE OUT", RunRender});

}  // namespace
}  // namespace plenvue::cli
