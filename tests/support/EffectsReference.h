// Straightforward references for the filters and point effects, shared by the tests and the
// benchmarks: columns outer, rows inner, checked 32-bit arithmetic, every step as described.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

#include "effects/clsImageProcessDIB.h"
#include "base/Arith.h"
#include "image/Rnd.h"

namespace plenvue::reference {

// ---- helpers ---------------------------------------------------------------------------------

struct Pic {
    clsDIBSection dib;
    Pic(int32_t w, int32_t h) { dib.Create(w, h); }
    uint8_t* Row(int32_t y) { return dib.DIBSectionBitsPtr() + y * dib.BytesPerScanLine(); }
    size_t Bytes() const { return static_cast<size_t>(dib.BytesPerScanLine()) * dib.Height(); }
    std::vector<uint8_t> All() const {
        return std::vector<uint8_t>(dib.DIBSectionBitsPtr(), dib.DIBSectionBitsPtr() + Bytes());
    }
    void Set(const std::vector<uint8_t>& v) { std::memcpy(dib.DIBSectionBitsPtr(), v.data(), Bytes()); }
    uint8_t* Px(int32_t x, int32_t y) { return Row(y) + 3 * x; }
};

// Random bytes everywhere, padding included, so that a pass touching padding shows up.
inline void Randomise(Pic& p, std::mt19937& rng) {
    std::vector<uint8_t> v(p.Bytes());
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    p.Set(v);
}

inline void Fill(Pic& p, uint8_t b, uint8_t g, uint8_t r) {
    for (int32_t y = 0; y < p.dib.Height(); ++y)
        for (int32_t x = 0; x < p.dib.Width(); ++x) {
            p.Px(x, y)[0] = b;
            p.Px(x, y)[1] = g;
            p.Px(x, y)[2] = r;
        }
}

struct Recorder : IProgressListener {
    std::vector<int32_t> init, steps;
    int completes = 0;
    void InitProgress(int32_t lMax) override { init.push_back(lMax); }
    void Progress(int32_t lPosition) override { steps.push_back(lPosition); }
    void Complete(int32_t) override { ++completes; }
};

struct Kernel {
    int32_t half = 0;
    int32_t weight = 0;
    std::vector<int32_t> cells;  // (j + half) * size + (i + half)
    int32_t At(int32_t i, int32_t j) const { return cells.at((j + half) * (2 * half + 1) + (i + half)); }
};

inline Kernel KernelOf(const clsImageProcessDIB& f) {
    Kernel k;
    k.half = f.FilterArraySize() / 2;
    k.weight = f.FilterWeight();
    for (int32_t j = -k.half; j <= k.half; ++j)
        for (int32_t i = -k.half; i <= k.half; ++i) k.cells.push_back(f.FilterValue(i, j));
    return k;
}

inline uint8_t Clamp(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

inline void RefCopy(Pic& from, Pic& to, int32_t w, int32_t h) {
    for (int32_t y = 0; y < h; ++y)
        for (int32_t b = 0; b < 3 * w; ++b) to.Row(y)[b] = from.Row(y)[b];
}

inline void RefKernel(const Kernel& k, Pic& src, Pic& dst) {
    const int32_t W = src.dib.Width(), H = src.dib.Height(), h = k.half;
    for (int32_t x = 3 * h; x <= 3 * (W - 1 - h); x += 3)
        for (int32_t y = h; y <= H - 1 - h; ++y) {
            int32_t sum[3] = {0, 0, 0};
            for (int32_t i = -h; i <= h; ++i)
                for (int32_t j = -h; j <= h; ++j)
                    for (int c = 0; c < 3; ++c)
                        sum[c] = CheckedAdd(sum[c], CheckedMul(k.At(i, j), src.Row(y + j)[x + 3 * i + c]));
            for (int c = 0; c < 3; ++c) dst.Row(y)[x + c] = Clamp(CheckedDiv(sum[c], k.weight));
        }
}

inline void RefNeighbourhood(int32_t type, Pic& src, Pic& dst) {
    const int32_t W = src.dib.Width(), H = src.dib.Height();
    for (int32_t x = 3; x <= 3 * W - 6; x += 3)
        for (int32_t y = 1; y <= H - 2; ++y)
            for (int c = 0; c < 3; ++c) {
                int32_t v = type == eAverage ? 0 : type == eMinimum ? 255 : 0;
                for (int32_t j = -1; j <= 1; ++j)
                    for (int32_t i = -1; i <= 1; ++i) {
                        const int32_t s = src.Row(y + j)[x + 3 * i + c];
                        if (type == eAverage) v += s;
                        else if (type == eMinimum) v = std::min(v, s);
                        else v = std::max(v, s);
                    }
                if (type == eAverage) v /= 9;
                dst.Row(y)[x + c] = Clamp(v);
            }
}

inline void RefAddImages(Pic& from, Pic& to, int32_t fm, int32_t fr, int32_t fg, int32_t fb, int32_t tm,
                  int32_t tr, int32_t tg, int32_t tb) {
    const int32_t fo[3] = {fr, fg, fb}, too[3] = {tr, tg, tb};
    for (int32_t x = 0; x <= 3 * (to.dib.Width() - 1); x += 3)
        for (int32_t y = 0; y < to.dib.Height(); ++y)
            for (int c = 0; c < 3; ++c) {
                const int32_t v = CheckedAdd(CheckedMul(CheckedAdd(from.Row(y)[x + c], fo[c]), fm),
                                             CheckedMul(CheckedAdd(to.Row(y)[x + c], too[c]), tm));
                to.Row(y)[x + c] = Clamp(v);
            }
}

// ProcessImage spelled out step by step. Returns the error number, if the pass raised one.
inline std::optional<int32_t> RefProcess(int32_t type, const Kernel& k, Pic& img, Pic& buf) {
    const int32_t W = img.dib.Width(), H = img.dib.Height();
    try {
        if (type == eUnsharpen) {
            Kernel box{1, 9, std::vector<int32_t>(9, 1)};
            RefCopy(img, buf, W, H);
            RefKernel(box, img, buf);
            RefAddImages(buf, img, -1, 0, 0, 0, 2, 0, 0, 0);
        } else if (type == eEmboss) {
            RefCopy(img, buf, W, H);
            RefKernel(k, img, buf);
            RefAddImages(buf, img, 1, 127, 127, 127, 0, 0, 0, 0);
        } else if (type >= eAverage && type <= eMaximum) {
            RefCopy(img, buf, W, H);
            RefNeighbourhood(type, img, buf);
            RefCopy(buf, img, W, H);
        } else if (type != 12) {
            RefCopy(img, buf, W, H);
            RefKernel(k, img, buf);
            RefCopy(buf, img, W, H);
        }
    } catch (const ErrorObject& e) {
        return e.Number;
    }
    return std::nullopt;
}

inline void RefFade(Pic& p, int32_t a) {
    for (int32_t x = 0; x <= 3 * (p.dib.Width() - 1); x += 3)
        for (int32_t y = 0; y < p.dib.Height(); ++y)
            for (int c = 0; c < 3; ++c) {
                const int32_t v = CheckedMul(p.Row(y)[x + c], a) / 255;
                if (v < 0 || v > 255) throw OverflowError();
                p.Row(y)[x + c] = static_cast<uint8_t>(v);
            }
}

// HLS conversion written out again from its formulas, step by step in single precision, so
// that the effects are compared with something other than the program's own conversion.
inline void RefRGBToHLS(int32_t r, int32_t g, int32_t b, float& h, float& s, float& l) {
    const float R = static_cast<float>(r) / 255.0f, G = static_cast<float>(g) / 255.0f, B = static_cast<float>(b) / 255.0f;
    const float mx = std::max(std::max(R, G), B), mn = std::min(std::min(R, G), B);
    l = (mx + mn) / 2.0f;
    if (mx == mn) {
        s = h = 0.0f;
        return;
    }
    s = l <= 0.5f ? (mx - mn) / (mx + mn) : (mx - mn) / (2.0f - mx - mn);
    const float d = mx - mn;
    if (R == mx)
        h = (G - B) / d;
    else if (G == mx)
        h = 2.0f + (B - R) / d;
    else
        h = 4.0f + (R - G) / d;
}

// Nearest integer, halves to even (the default rounding mode); beyond 32 bits an overflow.
inline int32_t RefRound(float v) {
    const double d = std::nearbyint(static_cast<double>(v));
    if (!(d >= -2147483648.0 && d <= 2147483647.0)) throw OverflowError();
    return static_cast<int32_t>(d);
}

inline void RefHLSToRGB(float h, float s, float l, int32_t& r, int32_t& g, int32_t& b) {
    float R = l, G = l, B = l;
    if (s != 0.0f) {
        const float mn = l <= 0.5f ? l * (1.0f - s) : l - s * (1.0f - l);
        const float mx = 2.0f * l - mn, d = mx - mn;
        if (h < 1.0f) {
            R = mx;
            G = h < 0.0f ? mn : mn + h * d;
            B = h < 0.0f ? mn - h * d : mn;
        } else if (h < 3.0f) {
            G = mx;
            B = h < 2.0f ? mn : mn + (h - 2.0f) * d;
            R = h < 2.0f ? mn - (h - 2.0f) * d : mn;
        } else {
            B = mx;
            R = h < 4.0f ? mn : mn + (h - 4.0f) * d;
            G = h < 4.0f ? mn - (h - 4.0f) * d : mn;
        }
    }
    r = RefRound(R * 255.0f);
    g = RefRound(G * 255.0f);
    b = RefRound(B * 255.0f);
}

template <class F>
inline void RefHls(Pic& p, F f) {
    for (int32_t x = 0; x <= 3 * (p.dib.Width() - 1); x += 3)
        for (int32_t y = 0; y < p.dib.Height(); ++y) {
            uint8_t* q = p.Row(y) + x;
            float h, s, l;
            RefRGBToHLS(q[2], q[1], q[0], h, s, l);
            int32_t r, g, b;
            f(h, s, l, r, g, b);
            // Stored red, green, blue; a channel outside a byte stops the pass at that store.
            const int32_t out[3] = {r, g, b};
            for (int c = 0; c < 3; ++c) {
                if (out[c] < 0 || out[c] > 255) throw OverflowError();
                q[2 - c] = static_cast<uint8_t>(out[c]);
            }
        }
}

inline void RefLighten(Pic& p, int32_t a) {
    RefHls(p, [a](float h, float s, float l, int32_t& r, int32_t& g, int32_t& b) {
        l = static_cast<float>(l * (1 + a / 100.0));
        if (l > 1) l = 1;
        RefHLSToRGB(h, s, l, r, g, b);
    });
}

inline void RefColourise(Pic& p, float hue, float sat) {
    RefHls(p, [=](float h, float s, float l, int32_t& r, int32_t& g, int32_t& b) {
        if (h == 0) s = sat;
        RefHLSToRGB(hue, s, l, r, g, b);
    });
}

inline void RefNoise(Pic& p, int32_t percent, bool random) {
    const int32_t range = percent * 128 / 100, half = range / 2;
    for (int32_t x = 0; x <= 3 * (p.dib.Width() - 1); x += 3)
        for (int32_t y = 0; y < p.dib.Height(); ++y) {
            if (random && !(Rnd() * 100 > percent)) continue;
            for (int c = 0; c < 3; ++c) {
                const double u = Rnd();
                p.Row(y)[x + c] = Clamp(RoundHalfEven(u * range + (p.Row(y)[x + c] - half)));
            }
        }
}

}  // namespace plenvue::reference
