// Filters and point effects at 1920x1080 and 3840x2160, each beside a plain copy of the same
// picture (counter x_memcpy: pass time over copy time, both timed in every iteration) and beside the straightforward reference
// (benchmarks named *_reference). The picture is restored between iterations, outside the timing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "effects/clsImageProcessDIB.h"
#include "tests/support/EffectsReference.h"

namespace plenvue {
namespace {

using Clock = std::chrono::steady_clock;
using reference::Pic;

struct Setup {
    Pic img, buf;
    std::vector<uint8_t> original;
    Setup(int32_t w, int32_t h) : img(w, h), buf(w, h) {
        std::mt19937 rng(2024);
        reference::Randomise(img, rng);
        original = img.All();
    }
    // One timed copy of the picture's bytes into the buffer, under the conditions each pass meets:
    // the picture freshly restored, the same two blocks of memory.
    double TimeCopy() {
        img.Set(original);
        const auto t0 = Clock::now();
        std::memcpy(buf.dib.DIBSectionBitsPtr(), img.dib.DIBSectionBitsPtr(), original.size());
        benchmark::ClobberMemory();
        return std::chrono::duration<double>(Clock::now() - t0).count();
    }
};

// The copy is timed in every iteration next to the pass, so that load from other work on the
// machine weighs on both sides of the ratio alike.
void Run(benchmark::State& state, const std::function<void(Pic&, Pic&)>& op) {
    Setup s(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    for (int i = 0; i < 3; ++i) s.TimeCopy();  // touch every page once
    double total = 0, copies = 0;
    for (auto _ : state) {
        copies += s.TimeCopy();
        s.img.Set(s.original);
        const auto t0 = Clock::now();
        op(s.img, s.buf);
        benchmark::ClobberMemory();
        const double dt = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(dt);
        total += dt;
    }
    state.counters["x_memcpy"] = total / copies;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(s.original.size()));
}

void Memcpy(benchmark::State& state) {
    Run(state, [](Pic& a, Pic& b) { std::memcpy(b.dib.DIBSectionBitsPtr(), a.dib.DIBSectionBitsPtr(), a.Bytes()); });
}

const char* kFilterNames[] = {"", "blur", "blur_more", "soften", "soften_more", "sharpen",
                              "sharpen_more", "unsharpen", "emboss", "average", "minimum", "maximum"};

void Filter(benchmark::State& state, int32_t type) {
    clsImageProcessDIB f;
    f.FilterType(type);
    Run(state, [&](Pic& img, Pic& buf) { f.ProcessImage(img.dib, buf.dib); });
}

void FilterReference(benchmark::State& state, int32_t type) {
    clsImageProcessDIB f;
    f.FilterType(type);
    const reference::Kernel k = f.FilterArraySize() ? reference::KernelOf(f) : reference::Kernel{};
    Run(state, [&](Pic& img, Pic& buf) { reference::RefProcess(type, k, img, buf); });
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({1920, 1080})->Args({3840, 2160})->UseManualTime()->Unit(benchmark::kMillisecond);
}

void SizesReference(benchmark::internal::Benchmark* b) {
    Sizes(b);
    b->Iterations(2);  // the references are slow; two runs are enough for a ratio
}

const int kRegistered = [] {
    benchmark::RegisterBenchmark("effects/memcpy", Memcpy)->Apply(Sizes);
    for (int32_t t = 1; t <= 11; ++t) {
        const std::string name = std::string("effects/filter_") + kFilterNames[t];
        benchmark::RegisterBenchmark(name.c_str(), Filter, t)->Apply(Sizes);
        benchmark::RegisterBenchmark((name + "_reference").c_str(), FilterReference, t)->Apply(SizesReference);
    }
    struct Point {
        const char* name;
        std::function<void(Pic&)> fast, ref;
    };
    const Point points[] = {
        {"fade", [](Pic& p) { clsImageProcessDIB().Fade(p.dib, 128); }, [](Pic& p) { reference::RefFade(p, 128); }},
        {"lighten", [](Pic& p) { clsImageProcessDIB().Lighten(p.dib, 30); }, [](Pic& p) { reference::RefLighten(p, 30); }},
        {"colourise", [](Pic& p) { clsImageProcessDIB().Colourise(p.dib, 4.0f, 0.5f); },
         [](Pic& p) { reference::RefColourise(p, 4.0f, 0.5f); }},
        {"noise", [](Pic& p) { clsImageProcessDIB().AddNoise(p.dib, 40, false); },
         [](Pic& p) { reference::RefNoise(p, 40, false); }},
        {"noise_random", [](Pic& p) { clsImageProcessDIB().AddNoise(p.dib, 40, true); },
         [](Pic& p) { reference::RefNoise(p, 40, true); }},
    };
    for (const Point& pt : points) {
        auto fast = pt.fast, ref = pt.ref;
        benchmark::RegisterBenchmark((std::string("effects/") + pt.name).c_str(),
                                     [fast](benchmark::State& st) { Run(st, [&](Pic& a, Pic&) { fast(a); }); })
            ->Apply(Sizes);
        benchmark::RegisterBenchmark((std::string("effects/") + pt.name + "_reference").c_str(),
                                     [ref](benchmark::State& st) { Run(st, [&](Pic& a, Pic&) { ref(a); }); })
            ->Apply(SizesReference);
    }
    return 0;
}();

}  // namespace
}  // namespace plenvue
