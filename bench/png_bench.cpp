// The PNG writer beside libpng at its default settings (zlib level 6, all five filters tried per
// row), both timed in every iteration on the same picture: a screenshot of text and flat UI
// (bench/data/screenshot.png, drawn by bench/data/make_screenshot.sh) and a photo-like picture
// (smooth colour gradients with fine noise). Counters: size_ratio is our file size over libpng's,
// speed_ratio is libpng's time over ours, both in CPU time of the benchmark's thread.
#include <benchmark/benchmark.h>
#include <png.h>

#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "image/ImageFileReader.h"
#include "image/PngWriter.h"
#include "image/clsDIBSection.h"

using namespace plenvue;

namespace {

// Light falling across large soft shapes, with film-like grain: noise shared by the channels and
// softened over neighbouring pixels as a camera's demosaicing and scaling leave it, plus a little
// independent noise in red and blue.
void MakePhoto(clsDIBSection& d, int32_t w, int32_t h) {
    d.Create(w, h);
    std::mt19937 rng(7);
    std::vector<int> noise(static_cast<size_t>(w + 1) * (h + 1));
    for (int& v : noise) v = static_cast<int>(rng() % 9) - 4;
    auto at = [&](int32_t x, int32_t y) { return noise[static_cast<size_t>(y) * (w + 1) + x]; };
    auto clamp = [](double c) { return static_cast<uint8_t>(c < 0 ? 0 : c > 255 ? 255 : c); };
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const double u = x / 240.0, v = y / 240.0;
            const double light = 0.55 + 0.25 * std::sin(u * 0.9 + 0.4) * std::cos(v * 1.3 - 0.2) +
                                 0.15 * std::sin(u * 0.3 + v * 0.5);
            const double grain = (at(x, y) + at(x + 1, y) + at(x, y + 1) + at(x + 1, y + 1)) / 2.0;
            const double r = 255 * light * (0.8 + 0.2 * std::sin(u * 0.7 + v));
            const double g = 255 * light * (0.7 + 0.25 * std::cos(u * 0.5 - v * 0.8));
            const double b = 255 * light * (0.6 + 0.3 * std::sin(v * 0.6 + 1.0));
            uint8_t* p = d.PixelPtr(x, y);
            p[0] = clamp(b + grain + static_cast<int>(rng() % 3) - 1);
            p[1] = clamp(g + grain);
            p[2] = clamp(r + grain + static_cast<int>(rng() % 3) - 1);
        }
    }
}

void LoadScreenshot(clsDIBSection& d) {
    std::string error;
    if (!ReadImageWithStb(PLENVUE_BENCH_DATA "/screenshot.png", d, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::abort();
    }
}

class MemorySink : public PngSink {
public:
    bool Put(const uint8_t* data, size_t count) override {
        bytes.insert(bytes.end(), data, data + count);
        return true;
    }
    std::vector<uint8_t> bytes;
};

void PngWriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void PngFlush(png_structp) {}

// libpng at its defaults, reading the same bottom-up BGR rows through row pointers.
size_t LibpngEncode(const clsDIBSection& d, std::vector<uint8_t>& out) {
    out.clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::abort();
    }
    png_set_write_fn(png, &out, PngWriteToVector, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(d.Width()), static_cast<png_uint_32>(d.Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    std::vector<png_bytep> rows(static_cast<size_t>(d.Height()));
    for (int32_t y = 0; y < d.Height(); ++y) rows[static_cast<size_t>(y)] = d.PixelPtr(0, d.Height() - 1 - y);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out.size();
}

// Time on this thread's CPU: other work on a shared machine then weighs on neither side.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void Compare(benchmark::State& state, const clsDIBSection& d) {
    MemorySink ours;
    std::vector<uint8_t> theirs;
    double oursTime = 0, theirsTime = 0;
    size_t oursSize = 0, theirsSize = 0;
    for (auto _ : state) {
        ours.bytes.clear();
        std::string reason;
        double t0 = ThreadSeconds();
        if (EncodePng(d.DIBSectionBitsPtr(), d.Width(), d.Height(), static_cast<size_t>(d.BytesPerScanLine()), ours,
                      reason) != 0)
            std::abort();
        const double dt = ThreadSeconds() - t0;
        t0 = ThreadSeconds();
        theirsSize = LibpngEncode(d, theirs);
        theirsTime += ThreadSeconds() - t0;
        state.SetIterationTime(dt);
        oursTime += dt;
        oursSize = ours.bytes.size();
    }
    state.counters["size_ratio"] = static_cast<double>(oursSize) / static_cast<double>(theirsSize);
    state.counters["speed_ratio"] = theirsTime / oursTime;
    state.counters["png_KiB"] = static_cast<double>(oursSize) / 1024.0;
    state.counters["libpng_KiB"] = static_cast<double>(theirsSize) / 1024.0;
    state.SetItemsProcessed(state.iterations() * d.Width() * d.Height());
}

void BM_PngScreenshot(benchmark::State& state) {
    static clsDIBSection d;
    if (d.IsEmpty()) LoadScreenshot(d);
    Compare(state, d);
}
void BM_PngPhoto(benchmark::State& state) {
    static clsDIBSection d;
    if (d.IsEmpty()) MakePhoto(d, 1920, 1080);
    Compare(state, d);
}

}  // namespace

BENCHMARK(BM_PngScreenshot)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngPhoto)->UseManualTime()->Unit(benchmark::kMillisecond);
