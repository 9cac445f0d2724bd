// The editor's redraw costs on a 3840x2160 screenshot-like picture (bench/data/screenshot.png
// tiled 2x2). BM_DragRedraw: a rectangle dragged in 50 moves among 30 objects, each move drawing
// only its dirty rectangle into a 1920x1080 client at 100 %, beside one whole-client redraw in the
// same iteration (counters bytes_per_move, x_full = bytes drawn per move over a whole redraw's,
// us_per_move, us_full). BM_CaptureToCanvas: a capture made editable as the window does it (the
// document reset with it, the zoom reset for the client, one whole redraw), beside a plain copy of
// the picture's bytes (counters ms, x_copy).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "image/ImageFileReader.h"
#include "image/clsDIBSection.h"
#include "markup/EditorController.h"
#include "markup/ViewRender.h"

namespace plenvue::markup {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int32_t kClientW = 1920, kClientH = 1080;
constexpr std::array<uint8_t, 3> kBackground{128, 128, 128};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

const clsDIBSection& Screenshot4K() {
    static const std::unique_ptr<clsDIBSection> picture = [] {
        clsDIBSection tile;
        std::string error;
        if (!ReadImageWithStb(PLENVUE_BENCH_DATA "/screenshot.png", tile, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        auto big = std::make_unique<clsDIBSection>();
        if (!big->Create(tile.Width() * 2, tile.Height() * 2)) std::abort();
        const PixelView from = ViewOf(tile), to = ViewOf(*big);
        for (int32_t y = 0; y < to.height; ++y)
            for (int32_t half = 0; half < 2; ++half)
                std::memcpy(to.Pixel(half * from.width, y), from.Row(y % from.height), static_cast<size_t>(from.width) * 3);
        return big;
    }();
    return *picture;
}

std::vector<MarkupObject> ThirtyObjects(int32_t width, int32_t height) {
    std::mt19937 rng(30);
    auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); };
    const ObjectType kinds[] = {ObjectType::Rect, ObjectType::Ellipse, ObjectType::Arrow, ObjectType::Pen, ObjectType::Highlight, ObjectType::Step};
    std::vector<MarkupObject> out;
    for (int i = 0; i < 30; ++i) {
        MarkupObject o = DefaultObject(kinds[i % std::size(kinds)]);
        const double size = uniform(60, 500), x = uniform(0, width - size), y = uniform(0, height - size);
        switch (o.type) {
        case ObjectType::Rect:
        case ObjectType::Ellipse:
            o.x = std::floor(x);
            o.y = std::floor(y);
            o.w = std::floor(size);
            o.h = std::floor(size / 2);
            if (i % 2) o.fill = {255, 255, 255, 200};
            break;
        case ObjectType::Arrow:
            o.x1 = std::floor(x);
            o.y1 = std::floor(y);
            o.x2 = std::floor(x + size);
            o.y2 = std::floor(y + size / 3);
            break;
        case ObjectType::Pen:
        case ObjectType::Highlight:
            for (int k = 0; k < 40; ++k) o.points.push_back({x + size * k / 39.0, y + uniform(0, size / 4)});
            break;
        default:
            o.x = std::floor(x);
            o.y = std::floor(y);
            break;
        }
        out.push_back(std::move(o));
    }
    return out;
}

struct Client {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(static_cast<size_t>(kClientW) * kClientH * 3);
    PixelView view{bytes.data(), static_cast<ptrdiff_t>(kClientW) * 3, kClientW, kClientH};
};

void BM_DragRedraw(benchmark::State& state) {
    const clsDIBSection& picture = Screenshot4K();
    MarkupDocument doc;
    if (!doc.Reset(picture, ThirtyObjects(picture.Width(), picture.Height()))) std::abort();
    MarkupObject moving = DefaultObject(ObjectType::Rect);
    moving.x = 1500;
    moving.y = 900;
    moving.w = 120;
    moving.h = 80;
    moving.fill = {255, 230, 0, 160};
    const uint32_t id = doc.Add(moving);
    EditorController ed(doc);
    ZoomState zoom;
    zoom.ResetForPicture(picture.Width(), picture.Height(), kClientW, kClientH);
    zoom.ZoomAbout(1.0, 0, 0);
    zoom.ScrollTo(1000, 500);
    Client client;
    RenderView(doc, zoom, {}, nullptr, client.view, client.view.Bounds(), kBackground);

    constexpr int kMoves = 50;
    double moveSeconds = 0, fullSeconds = 0;
    int64_t pixels = 0, moves = 0;
    for (auto _ : state) {
        ed.Select({id});
        ed.TakeDirty(4);
        const auto t0 = Clock::now();
        ed.Press({1560, 940}, {}, 2);
        for (int i = 1; i <= kMoves; ++i) {
            ed.Move({1560.0 + 7 * i, 940.0 + 3 * i}, {});
            const PixelRect clip = Intersect(zoom.ClientRectOf(ed.TakeDirty(4)), client.view.Bounds());
            const MarkupObject* drawing = ed.Drawing() ? &*ed.Drawing() : nullptr;
            RenderView(doc, zoom, ed.Overrides(), drawing, client.view, clip, kBackground);
            pixels += int64_t{clip.Width()} * clip.Height();
        }
        const auto t1 = Clock::now();
        RenderView(doc, zoom, ed.Overrides(), nullptr, client.view, client.view.Bounds(), kBackground);
        const auto t2 = Clock::now();
        ed.Cancel();
        moveSeconds += Seconds(t1 - t0);
        fullSeconds += Seconds(t2 - t1);
        moves += kMoves;
        benchmark::ClobberMemory();
    }
    const double bytesPerMove = 3.0 * static_cast<double>(pixels) / static_cast<double>(moves);
    state.counters["bytes_per_move"] = bytesPerMove;
    state.counters["x_full"] = bytesPerMove / (3.0 * kClientW * kClientH);
    state.counters["us_per_move"] = 1e6 * moveSeconds / static_cast<double>(moves);
    state.counters["us_full"] = 1e6 * fullSeconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DragRedraw)->Unit(benchmark::kMillisecond);

void BM_CaptureToCanvas(benchmark::State& state) {
    const clsDIBSection& capture = Screenshot4K();
    const size_t bytes = static_cast<size_t>(capture.BytesPerScanLine()) * capture.Height();
    std::vector<uint8_t> copy(bytes);
    MarkupDocument doc;
    Client client;
    double pathSeconds = 0, copySeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (!doc.Reset(capture)) std::abort();
        ZoomState zoom;
        zoom.ResetForPicture(doc.Width(), doc.Height(), kClientW, kClientH);
        RenderView(doc, zoom, {}, nullptr, client.view, client.view.Bounds(), kBackground);
        const auto t1 = Clock::now();
        std::memcpy(copy.data(), capture.DIBSectionBitsPtr(), bytes);
        benchmark::ClobberMemory();
        const auto t2 = Clock::now();
        pathSeconds += Seconds(t1 - t0);
        copySeconds += Seconds(t2 - t1);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ms"] = 1e3 * pathSeconds / n;
    state.counters["x_copy"] = pathSeconds / copySeconds;
}
BENCHMARK(BM_CaptureToCanvas)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plenvue::markup
