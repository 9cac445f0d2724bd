// The JPEG writer beside libjpeg-turbo's TurboJPEG interface (tjCompress2 at the same quality and
// subsampling, its file written the same way), both timed in every iteration on the same 3840 x
// 2160 picture: a screenshot (bench/data/screenshot.png at twice its size) and a photo-like one.
// time_ratio is our time over tjCompress2's (goal: at most 1.2), in CPU time of this thread.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>

#include "image/ImageFileReader.h"
#include "image/clsDIBSection.h"
#include "image/modIntelJPEGLibrary.h"

using namespace plenvue;

namespace {

constexpr int kQuality = 90;

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void MakeScreenshot4k(clsDIBSection& d) {
    clsDIBSection small;
    std::string error;
    if (!ReadImageWithStb(PLENVUE_BENCH_DATA "/screenshot.png", small, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::abort();
    }
    d.Create(small.Width() * 2, small.Height() * 2);
    for (int32_t y = 0; y < d.Height(); ++y)
        for (int32_t x = 0; x < d.Width(); ++x) {
            const uint8_t* s = small.PixelPtr(x / 2, y / 2);
            uint8_t* p = d.PixelPtr(x, y);
            p[0] = s[0];
            p[1] = s[1];
            p[2] = s[2];
        }
}

// Smooth light over large shapes with grain.
void MakePhoto4k(clsDIBSection& d) {
    d.Create(3840, 2160);
    std::mt19937 rng(11);
    for (int32_t y = 0; y < d.Height(); ++y)
        for (int32_t x = 0; x < d.Width(); ++x) {
            const double u = x / 480.0, v = y / 480.0;
            const double light = 0.55 + 0.25 * std::sin(u * 0.9 + 0.4) * std::cos(v * 1.3 - 0.2);
            const int grain = static_cast<int>(rng() % 9) - 4;
            uint8_t* p = d.PixelPtr(x, y);
            const double c[3] = {200 * light * (0.7 + 0.3 * std::sin(v)), 230 * light, 250 * light * (0.8 + 0.2 * std::cos(u))};
            for (int k = 0; k < 3; ++k) {
                const double s = c[k] + grain;
                p[k] = static_cast<uint8_t>(s < 0 ? 0 : s > 255 ? 255 : s);
            }
        }
}

void Compare(benchmark::State& state, clsDIBSection& d) {
    const std::string dir = std::filesystem::temp_directory_path().string();
    const std::string ours = dir + "/plenvue_bench_ours.jpg", theirs = dir + "/plenvue_bench_tj.jpg";
    tjhandle tj = tjInitCompress();
    double oursTime = 0, theirsTime = 0;
    unsigned long theirsSize = 0;
    for (auto _ : state) {
        double t0 = ThreadSeconds();
        SaveJPEG(d, ours, kQuality);
        const double dt = ThreadSeconds() - t0;
        t0 = ThreadSeconds();
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tjCompress2(tj, d.DIBSectionBitsPtr(), d.Width(), d.BytesPerScanLine(), d.Height(), TJPF_BGR, &jpeg, &size,
                        TJSAMP_420, kQuality, TJFLAG_BOTTOMUP) != 0)
            std::abort();
        std::FILE* f = std::fopen(theirs.c_str(), "wb");
        if (!f || std::fwrite(jpeg, 1, size, f) != size) std::abort();
        std::fclose(f);
        tjFree(jpeg);
        theirsTime += ThreadSeconds() - t0;
        theirsSize = size;
        state.SetIterationTime(dt);
        oursTime += dt;
    }
    tjDestroy(tj);
    state.counters["time_ratio"] = oursTime / theirsTime;
    state.counters["jpeg_KiB"] = static_cast<double>(std::filesystem::file_size(ours)) / 1024.0;
    state.counters["tj_KiB"] = static_cast<double>(theirsSize) / 1024.0;
    std::remove(ours.c_str());
    std::remove(theirs.c_str());
}

void BM_JpegScreenshot4k(benchmark::State& state) {
    static clsDIBSection d;
    if (d.IsEmpty()) MakeScreenshot4k(d);
    Compare(state, d);
}
void BM_JpegPhoto4k(benchmark::State& state) {
    static clsDIBSection d;
    if (d.IsEmpty()) MakePhoto4k(d);
    Compare(state, d);
}

}  // namespace

BENCHMARK(BM_JpegScreenshot4k)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegPhoto4k)->UseManualTime()->Unit(benchmark::kMillisecond);
