// Palette and colour-reduction passes beside a copy of the same picture and the column-wise
// reference versions, at 1920x1080 and 3840x2160. The picture is a smooth two-way gradient with
// a little noise, so nearly every pixel is a colour of its own (no help from repeated colours).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <random>

#include "effects/clsColourReduceDIB.h"
#include "effects/clsPalette.h"
#include "image/clsDIBSectionSave.h"
#include "tests/support/ColourReduceReference.h"

using namespace plenvue;

namespace {

void MakePicture(clsDIBSection& d, int32_t w, int32_t h) {
    d.Create(w, h);
    std::mt19937 rng(42);
    for (int32_t row = 0; row < h; ++row) {
        uint8_t* p = d.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * d.BytesPerScanLine();
        for (int32_t x = 0; x < w; ++x, p += 3) {
            int n = static_cast<int>(rng() & 15) - 8;
            p[0] = static_cast<uint8_t>(reference::ClampByte(255 * (x + row) / (w + h) + n));
            p[1] = static_cast<uint8_t>(reference::ClampByte(255 * row / h + n));
            p[2] = static_cast<uint8_t>(reference::ClampByte(255 * x / w - n));
        }
    }
}

struct Fixture {
    clsDIBSection original, from, to;
    Fixture(int32_t w, int32_t h) {
        MakePicture(original, w, h);
        from.Create(w, h);
        to.Create(w, h);
        Restore();
    }
    void Restore() { std::memcpy(from.DIBSectionBitsPtr(), original.DIBSectionBitsPtr(), original.Header().biSizeImage); }
};

// Each iteration also times a copy of the same picture between the same two blocks of memory
// (counter x_memcpy: pass time over copy time), so that load on the machine weighs on both alike.
template <typename Pass>
void Run(benchmark::State& state, Pass pass, bool restore = true) {
    using Clock = std::chrono::steady_clock;
    Fixture f(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
    const size_t bytes = f.original.Header().biSizeImage;
    auto copy = [&] {
        const auto t0 = Clock::now();
        std::memcpy(f.to.DIBSectionBitsPtr(), f.from.DIBSectionBitsPtr(), bytes);
        benchmark::ClobberMemory();
        return std::chrono::duration<double>(Clock::now() - t0).count();
    };
    for (int i = 0; i < 3; ++i) copy();  // touch every page once
    double total = 0, copies = 0;
    for (auto _ : state) {
        if (restore) f.Restore();
        copies += copy();
        if (restore) f.Restore();
        const auto t0 = Clock::now();
        pass(f);
        benchmark::ClobberMemory();
        const double dt = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(dt);
        total += dt;
    }
    state.counters["x_memcpy"] = total / copies;
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

clsPalette Fixed(int colours) {
    clsPalette p;
    if (colours == 16) p.Create16Colour(); else p.CreateWebSafe();
    return p;
}

void BM_Copy(benchmark::State& s) {
    Run(s, [](Fixture& f) { std::memcpy(f.to.DIBSectionBitsPtr(), f.from.DIBSectionBitsPtr(), f.from.Header().biSizeImage); },
        false);
}
void BM_GrayScale(benchmark::State& s) {
    Run(s, [](Fixture& f) { clsColourReduceDIB().GrayScale(f.from); }, false);
}
void BM_GrayScaleReference(benchmark::State& s) {
    Run(s, [](Fixture& f) { reference::GrayScale(f.from); }, false);
}
void BM_BlackAndWhite(benchmark::State& s) {
    Run(s, [](Fixture& f) { clsColourReduceDIB().BlackAndWhite(f.from, f.to); });
}
void BM_BlackAndWhiteReference(benchmark::State& s) {
    Run(s, [](Fixture& f) { reference::BlackAndWhite(f.from, f.to); });
}
template <int Colours, bool Diffuse>
void BM_ApplyPalette(benchmark::State& s) {
    clsPalette p = Fixed(Colours);
    Run(s, [&](Fixture& f) { clsColourReduceDIB().ApplyPalette(f.from, f.to, p, Diffuse); });
}
template <int Colours, bool Diffuse>
void BM_ApplyPaletteReference(benchmark::State& s) {
    clsPalette p = Fixed(Colours);
    Run(s, [&](Fixture& f) { reference::ApplyPalette(f.from, f.to, p, Diffuse); });
}
void BM_OptimalPalette(benchmark::State& s) {
    Run(s, [](Fixture& f) { clsPalette().CreateOptimal(f.from, 236, 6); }, false);
}
void BM_OptimalPaletteReference(benchmark::State& s) {
    Run(s, [](Fixture& f) { reference::Octree().Run(f.from, 236, 6); }, false);
}
template <eOutputColourDepth Depth>
void BM_Writer(benchmark::State& s) {
    Run(s, [](Fixture& f) {
        std::unique_ptr<clsPalette> pal;
        clsDIBSectionSave().Save("/dev/null", f.from, pal, Depth, eReductionNone);
    });
}

#define SIZES ->Args({1920, 1080})->Args({3840, 2160})->UseManualTime()->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Copy) SIZES;
BENCHMARK(BM_GrayScale) SIZES;
BENCHMARK(BM_GrayScaleReference) SIZES;
BENCHMARK(BM_BlackAndWhite) SIZES;
BENCHMARK(BM_BlackAndWhiteReference) SIZES;
BENCHMARK(BM_ApplyPalette<16, false>) SIZES;
BENCHMARK(BM_ApplyPaletteReference<16, false>) SIZES;
BENCHMARK(BM_ApplyPalette<16, true>) SIZES;
BENCHMARK(BM_ApplyPaletteReference<16, true>) SIZES;
BENCHMARK(BM_ApplyPalette<256, false>) SIZES;
BENCHMARK(BM_ApplyPaletteReference<256, false>) SIZES;
BENCHMARK(BM_ApplyPalette<256, true>) SIZES;
BENCHMARK(BM_ApplyPaletteReference<256, true>) SIZES;
BENCHMARK(BM_OptimalPalette) SIZES;
BENCHMARK(BM_OptimalPaletteReference) SIZES;
BENCHMARK(BM_Writer<eOutput1Bit>) SIZES;
BENCHMARK(BM_Writer<eOutput4Bit>) SIZES;
BENCHMARK(BM_Writer<eOutput8Bit>) SIZES;
BENCHMARK(BM_Writer<eOutput24Bit>) SIZES;

}  // namespace
