// Drawing 100 mixed mark-up objects on a 3840x2160 picture, beside a plain copy of the picture's
// bytes timed in the same iteration (counter x_copy: draw time over copy time). The picture is
// restored between iterations, outside the timing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "markup/Raster.h"

namespace plenvue::markup {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<MarkupObject> MixedObjects(int32_t width, int32_t height) {
    std::mt19937 rng(77);
    auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); };
    auto colour = [&](uint8_t alpha) {
        return Rgba{static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), alpha};
    };
    const ObjectType kinds[] = {ObjectType::Rect, ObjectType::Rect,  ObjectType::Ellipse,   ObjectType::Line,
                                ObjectType::Arrow, ObjectType::Pen, ObjectType::Highlight, ObjectType::Step};
    std::vector<MarkupObject> out;
    for (int i = 0; i < 100; ++i) {
        const ObjectType kind = kinds[i % std::size(kinds)];
        MarkupObject o = DefaultObject(kind);
        const double size = uniform(50, 800);
        const double x = uniform(0, width - size), y = uniform(0, height - size);
        o.stroke = colour(i % 3 ? 255 : 160);
        o.width = uniform(2, 12);
        switch (kind) {
        case ObjectType::Rect:
        case ObjectType::Ellipse:
            o.x = x;
            o.y = y;
            o.w = size;
            o.h = uniform(50, size);
            if (i % 2) o.fill = colour(i % 4 ? 255 : 128);
            o.radius = i % 5 ? 0 : 12;
            break;
        case ObjectType::Line:
        case ObjectType::Arrow:
            o.x1 = x;
            o.y1 = y;
            o.x2 = x + size;
            o.y2 = y + uniform(0, size);
            break;
        case ObjectType::Pen:
        case ObjectType::Highlight:
            for (int k = 0; k < 50; ++k) o.points.push_back({x + size * k / 49.0, y + uniform(0, size)});
            if (kind == ObjectType::Highlight) o.width = uniform(12, 30);
            break;
        case ObjectType::Step:
            o.x = x;
            o.y = y;
            o.w = o.h = uniform(24, 64);
            o.value = i;
            break;
        default:
            break;
        }
        out.push_back(o);
    }
    return out;
}

void BM_Draw100Objects(benchmark::State& state) {
    const int32_t width = 3840, height = 2160;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 3;
    std::vector<uint8_t> original(static_cast<size_t>(stride) * height), picture, copy(original.size());
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = original.data() + y * stride + 3 * x;
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>(x + y);
        }
    picture = original;
    const PixelView view{picture.data(), stride, width, height};
    const std::vector<MarkupObject> objects = MixedObjects(width, height);
    double drawn = 0, copied = 0;
    for (auto _ : state) {
        std::memcpy(picture.data(), original.data(), original.size());
        auto t0 = Clock::now();
        std::memcpy(copy.data(), picture.data(), picture.size());
        benchmark::ClobberMemory();
        copied += std::chrono::duration<double>(Clock::now() - t0).count();
        t0 = Clock::now();
        for (const MarkupObject& o : objects) DrawShape(view, o);
        benchmark::ClobberMemory();
        const double dt = std::chrono::duration<double>(Clock::now() - t0).count();
        drawn += dt;
        state.SetIterationTime(dt);
    }
    state.counters["x_copy"] = drawn / copied;
}
BENCHMARK(BM_Draw100Objects)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plenvue::markup
