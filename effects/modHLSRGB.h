// Conversion between RGB bytes and hue, lightness, saturation in single precision. Hue runs from
// -1 up to 5 in sixths of the colour circle (0 red, 2 green, 4 blue; -1..0 is magenta to red).
// Inline so that the per-pixel effects get the conversions without a call.
#pragma once
#include <cstdint>

#include "base/Arith.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plenvue {

// RoundHalfEven for the per-pixel path: one conversion instruction under the default (nearest,
// ties to even) rounding mode instead of a library call; the same range rule.
inline int32_t RoundChannel(float v) {
#if defined(__SSE2__)
    const double d = static_cast<double>(v);
    if (!(d >= -2147483648.5 && d < 2147483647.5)) throw OverflowError();
    return _mm_cvtsd_si32(_mm_set_sd(d));
#else
    return RoundHalfEven(static_cast<double>(v));
#endif
}

inline float Maximum(float a, float b, float c) {
    float m = a;
    if (b > m) m = b;
    if (c > m) m = c;
    return m;
}

inline float Minimum(float a, float b, float c) {
    float m = a;
    if (b < m) m = b;
    if (c < m) m = c;
    return m;
}

// byte / 255 in single precision, looked up for the bytes and divided for anything else.
inline float ChannelFraction(int32_t v) {
    struct Table {
        float f[256];
        Table() {
            for (int i = 0; i < 256; ++i) f[i] = static_cast<float>(i) / 255.0f;
        }
    };
    static const Table table;
    return (v >= 0 && v <= 255) ? table.f[v] : static_cast<float>(v) / 255.0f;
}

// r, g, b are 0..255; h, s, l as described above. Ties for the maximum go to red, then green.
inline void RGBToHLS(int32_t r, int32_t g, int32_t b, float& h, float& s, float& l) {
    const float rp = ChannelFraction(r);
    const float gp = ChannelFraction(g);
    const float bp = ChannelFraction(b);
    const float mx = Maximum(rp, gp, bp);
    const float mn = Minimum(rp, gp, bp);
    l = (mx + mn) / 2.0f;
    if (mx == mn) {
        s = 0.0f;
        h = 0.0f;
        return;
    }
    const float d = mx - mn;
    s = (l <= 0.5f) ? d / (mx + mn) : d / (2.0f - mx - mn);
    if (rp == mx) {
        h = (gp - bp) / d;
    } else if (gp == mx) {
        h = 2.0f + (bp - rp) / d;
    } else {
        h = 4.0f + (rp - gp) / d;
    }
}

// Channels rounded half to even. Out-of-range hues fall into the first or last sixth; results
// outside the 32-bit range (or NaN) raise an overflow error.
inline void HLSToRGB(float h, float s, float l, int32_t& r, int32_t& g, int32_t& b) {
    float rp, gp, bp;
    if (s == 0.0f) {
        rp = gp = bp = l;
    } else {
        const float mn = (l <= 0.5f) ? l * (1.0f - s) : l - s * (1.0f - l);
        const float mx = 2.0f * l - mn;
        const float d = mx - mn;
        if (h < 1.0f) {
            rp = mx;
            if (h < 0.0f) {
                gp = mn;
                bp = mn - h * d;
            } else {
                bp = mn;
                gp = mn + h * d;
            }
        } else if (h < 3.0f) {
            gp = mx;
            if (h < 2.0f) {
                bp = mn;
                rp = mn - (h - 2.0f) * d;
            } else {
                rp = mn;
                bp = mn + (h - 2.0f) * d;
            }
        } else {
            bp = mx;
            if (h < 4.0f) {
                rp = mn;
                gp = mn - (h - 4.0f) * d;
            } else {
                gp = mn;
                rp = mn + (h - 4.0f) * d;
            }
        }
    }
    r = RoundChannel(rp * 255.0f);
    g = RoundChannel(gp * 255.0f);
    b = RoundChannel(bp * 255.0f);
}

}  // namespace plenvue
