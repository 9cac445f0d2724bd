// The mark-up history's memory and the editable PNG's cost.
// BM_HistoryRatio: 200 mixed steps on a 3840 x 2160 screenshot (the 1080p screenshot tiled 2 x 2):
// objects added, moved and restyled, two crops, and ten whole-picture Image-menu commands. The
// counter history_ratio is the history's bytes (objects, compressed pixels in memory and in its
// file) over the picture's bytes; the goal is below 1.5.
// BM_EditablePngSave / BM_EditablePngOpen: an editable PNG of twenty objects on the 1080p screenshot
// saved and re-opened, each beside the plain PNG writer on the flattened picture in the same
// iteration (x_plain: our time over the plain writer's).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "effects/clsColourReduceDIB.h"
#include "effects/clsImageProcessDIB.h"
#include "effects/modMirror.h"
#include "image/ImageFileReader.h"
#include "image/PngWriter.h"
#include "image/clsDIBSectionSave.h"
#include "markup/MarkupFile.h"

using namespace plenvue;
using namespace plenvue::markup;

namespace {

const clsDIBSection& Screenshot() {
    static clsDIBSection d;
    if (d.IsEmpty()) {
        std::string error;
        if (!ReadImageWithStb(std::string(PLENVUE_BENCH_DATA) + "/screenshot.png", d, error)) std::abort();
    }
    return d;
}

void Tile4K(clsDIBSection& out) {
    const clsDIBSection& s = Screenshot();
    out.Create(s.Width() * 2, s.Height() * 2);
    const PixelView from = ViewOf(s), to = ViewOf(out);
    for (int32_t y = 0; y < to.height; ++y)
        for (int32_t half = 0; half < 2; ++half)
            std::copy(from.Row(y % from.height), from.Row(y % from.height) + 3 * from.width, to.Row(y) + 3 * half * from.width);
}

MarkupObject Object(int i, int32_t w, int32_t h) {
    static const ObjectType kinds[] = {ObjectType::Rect, ObjectType::Ellipse, ObjectType::Arrow, ObjectType::Line,
                                       ObjectType::Pen, ObjectType::Step, ObjectType::Highlight};
    MarkupObject o = DefaultObject(kinds[i % 7]);
    const double x = (i * 397) % (w - 400), y = (i * 211) % (h - 300);
    o.x = x;
    o.y = y;
    o.w = 120 + (i * 37) % 260;
    o.h = 80 + (i * 53) % 200;
    o.x1 = x;
    o.y1 = y;
    o.x2 = x + o.w;
    o.y2 = y + o.h;
    for (int k = 0; k < 40; ++k) o.points.push_back({x + k * 6, y + (k * k) % 90});
    if (i % 3 == 0) o.fill = {255, 200, 0, 90};
    return o;
}

void ImageMenuCommand(clsDIBSection& d, int which) {
    clsImageProcessDIB fx;
    clsDIBSection scratch;
    auto filter = [&](int32_t type) {
        fx.FilterType(type);
        scratch.Create(d.Width(), d.Height());
        fx.ProcessImage(d, scratch);
    };
    switch (which) {
    case 0: filter(eBlur); break;
    case 1: filter(eSharpen); break;
    case 2: filter(eEmboss); break;
    case 3: filter(eSoften); break;
    case 4: fx.Lighten(d, 20); break;
    case 5: NegativeDIB(d); break;
    case 6: clsColourReduceDIB().GrayScale(d); break;
    case 7: MirrorDIB(d, eMirrorLeftRight); break;
    case 8: MirrorDIB(d, eMirrorTopBottom); break;
    default: {
        const std::string path = (std::filesystem::temp_directory_path() / "plenvue-bench-depth.bmp").string();
        std::unique_ptr<clsPalette> none;
        clsDIBSectionSave().Save(path, d, none, eOutput8Bit, eReductionNone);
        std::filesystem::remove(path);
    }
    }
}

void BM_HistoryRatio(benchmark::State& state) {
    clsDIBSection picture;
    Tile4K(picture);
    const double pictureBytes = 3.0 * picture.Width() * picture.Height();
    double ratio = 0, memory = 0, file = 0;
    for (auto _ : state) {
        MarkupDocument doc;
        doc.Reset(picture);
        std::vector<uint32_t> ids;
        int command = 0, crops = 0;
        for (int step = 0; step < 200; ++step) {
            if (step % 19 == 9 && command < 10) {
                doc.ApplyToBase([&](clsDIBSection& d) { ImageMenuCommand(d, command); });
                ++command;
            } else if ((step == 60 || step == 140) && crops < 2) {
                doc.Crop({24, 16, doc.Width() - 24, doc.Height() - 16});
                ++crops;
            } else if (ids.size() > 4 && step % 5 == 1) {
                doc.MoveBy({ids[static_cast<size_t>(step) % ids.size()]}, 7, -3);
            } else if (ids.size() > 4 && step % 5 == 3) {
                const uint32_t id = ids[static_cast<size_t>(step * 7) % ids.size()];
                MarkupObject o = doc.Find(id)->object;
                o.width += 1;
                o.stroke = {0, 120, 255, 255};
                doc.Change(id, o, StepKind::Restyle);
            } else {
                ids.push_back(doc.Add(Object(step, doc.Width(), doc.Height())));
            }
        }
        if (command != 10 || crops != 2 || doc.StepCount() != 200) state.SkipWithError("the steps did not all apply");
        ratio = static_cast<double>(doc.HistoryBytes()) / pictureBytes;
        memory = static_cast<double>(doc.Store().MemoryBytes());
        file = static_cast<double>(doc.Store().FileBytes());
    }
    state.counters["history_ratio"] = ratio;
    state.counters["memory_MiB"] = memory / (1 << 20);
    state.counters["file_MiB"] = file / (1 << 20);
}
BENCHMARK(BM_HistoryRatio)->Unit(benchmark::kMillisecond)->Iterations(1);

MarkupDocument& TwentyObjects() {
    static MarkupDocument doc;
    if (doc.Empty()) {
        doc.Reset(Screenshot());
        for (int i = 0; i < 20; ++i) doc.Add(Object(i, doc.Width(), doc.Height()));
    }
    return doc;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_EditablePngSave(benchmark::State& state) {
    MarkupDocument& doc = TwentyObjects();
    clsDIBSection flat;
    doc.Flatten(flat);
    double ours = 0, plain = 0;
    size_t oursSize = 0, plainSize = 0;
    for (auto _ : state) {
        std::vector<uint8_t> a, b;
        std::string reason;
        const auto t0 = std::chrono::steady_clock::now();
        EncodeEditablePng(doc, a, reason);
        const auto t1 = std::chrono::steady_clock::now();
        EncodePngToMemory(flat, b, reason);
        const auto t2 = std::chrono::steady_clock::now();
        ours += Seconds(t1 - t0);
        plain += Seconds(t2 - t1);
        oursSize = a.size();
        plainSize = b.size();
    }
    state.counters["x_plain"] = ours / plain;
    state.counters["size_ratio"] = static_cast<double>(oursSize) / static_cast<double>(plainSize);
}
BENCHMARK(BM_EditablePngSave)->Unit(benchmark::kMillisecond);

void BM_EditablePngOpen(benchmark::State& state) {
    MarkupDocument& doc = TwentyObjects();
    std::vector<uint8_t> png;
    std::string reason;
    EncodeEditablePng(doc, png, reason);
    clsDIBSection pixels;
    doc.Flatten(pixels);
    double ours = 0, plain = 0;
    for (auto _ : state) {
        MarkupDocument back;
        OpenOutcome outcome;
        const auto t0 = std::chrono::steady_clock::now();
        OpenEditablePng(png.data(), png.size(), pixels, back, outcome, reason);
        const auto t1 = std::chrono::steady_clock::now();
        std::vector<uint8_t> plainPng;
        EncodePngToMemory(pixels, plainPng, reason);
        const auto t2 = std::chrono::steady_clock::now();
        if (outcome.kind != OpenKind::Editable) state.SkipWithError("the file did not open editable");
        ours += Seconds(t1 - t0);
        plain += Seconds(t2 - t1);
    }
    state.counters["x_plain_write"] = ours / plain;
}
BENCHMARK(BM_EditablePngOpen)->Unit(benchmark::kMillisecond);

}  // namespace
