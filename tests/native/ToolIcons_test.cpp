#include "markup/ToolIcons.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace plenvue::markup;

namespace {

constexpr int32_t kSizes[] = {16, 20, 24, 32, 48};
constexpr int32_t kGuard = 3;
constexpr Rgba kInk{0, 0, 0, 255};

using Bgr = std::array<uint8_t, 3>;
constexpr Bgr kWhite{255, 255, 255};

Tool ToolAt(int i) { return static_cast<Tool>(i); }

// A view inside a guard ring of a fixed byte in the same buffer, so a write past any edge shows.
struct IconCanvas {
    static constexpr uint8_t kGuardByte = 0x5A;
    int32_t width, height;
    std::vector<uint8_t> bytes;
    PixelView view;

    IconCanvas(int32_t w, int32_t h, Bgr background = kWhite)
        : width(w), height(h), bytes(static_cast<size_t>(w + 2 * kGuard) * 3 * (h + 2 * kGuard), kGuardByte) {
        view.stride = static_cast<ptrdiff_t>(w + 2 * kGuard) * 3;
        view.bits = bytes.data() + kGuard * view.stride + kGuard * 3;
        view.width = w;
        view.height = h;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) std::copy(background.begin(), background.end(), view.Pixel(x, y));
    }
    Bgr At(int32_t x, int32_t y) const {
        const uint8_t* p = view.Pixel(x, y);
        return {p[0], p[1], p[2]};
    }
    bool GuardIntact() const {
        for (int32_t y = -kGuard; y < height + kGuard; ++y)
            for (int32_t x = -kGuard; x < width + kGuard; ++x)
                if ((x < 0 || x >= width || y < 0 || y >= height) && At(x, y) != Bgr{kGuardByte, kGuardByte, kGuardByte})
                    return false;
        return true;
    }
    std::vector<Bgr> Pixels() const {
        std::vector<Bgr> px;
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) px.push_back(At(x, y));
        return px;
    }
};

IconCanvas Icon(Tool tool, int32_t n, Rgba ink = kInk) {
    IconCanvas c(n, n);
    DrawToolIcon(tool, c.view, ink);
    return c;
}

int Changed(const IconCanvas& c) {
    int count = 0;
    for (const Bgr& p : c.Pixels()) count += p != kWhite;
    return count;
}

}  // namespace

TEST(ToolIcons, EveryIconMarksItsSquareAndKeepsOffItsEdge) {
    for (int32_t n : kSizes)
        for (int i = 0; i < kToolCount; ++i) {
            SCOPED_TRACE(testing::Message() << ToolName(ToolAt(i)) << " at " << n);
            const IconCanvas c = Icon(ToolAt(i), n);
            EXPECT_TRUE(c.GuardIntact());
            // Enough ink to read: at least a twentieth of the square.
            EXPECT_GE(Changed(c), n * n / 20);
            // Nothing runs into the outermost pixels, where a clipped shape would show.
            int edge = 0;
            for (int32_t k = 0; k < n; ++k)
                edge += (c.At(k, 0) != kWhite) + (c.At(k, n - 1) != kWhite) + (c.At(0, k) != kWhite) + (c.At(n - 1, k) != kWhite);
            EXPECT_EQ(edge, 0);
        }
}

TEST(ToolIcons, NoTwoToolsLookAlike) {
    for (int32_t n : {16, 32}) {
        std::vector<std::vector<Bgr>> icons;
        for (int i = 0; i < kToolCount; ++i) icons.push_back(Icon(ToolAt(i), n).Pixels());
        for (int i = 0; i < kToolCount; ++i)
            for (int j = i + 1; j < kToolCount; ++j) {
                int differing = 0;
                for (size_t k = 0; k < icons[i].size(); ++k) differing += icons[i][k] != icons[j][k];
                // More than a stray pixel or two: a line's worth of the icon.
                EXPECT_GE(differing, n) << ToolName(ToolAt(i)) << " and " << ToolName(ToolAt(j)) << " at " << n;
            }
    }
}

TEST(ToolIcons, BoxIconsLandOnWholePixels) {
    // Outlines and bars snapped to the pixel grid leave no half-tone fringe at any size.
    for (Tool tool : {Tool::Rect, Tool::Text, Tool::Redact, Tool::Crop})
        for (int32_t n : kSizes) {
            const IconCanvas c = Icon(tool, n);
            for (const Bgr& p : c.Pixels()) ASSERT_TRUE(p == kWhite || p == (Bgr{0, 0, 0})) << ToolName(tool) << " at " << n;
        }
}

TEST(ToolIcons, SymmetricIconsAreCentred) {
    // An odd-width stem on an even square (or the reverse) would sit half a pixel off.
    for (Tool tool : {Tool::Rect, Tool::Ellipse, Tool::Text})
        for (int32_t n : {15, 16, 20, 24, 25, 32, 48}) {
            const IconCanvas c = Icon(tool, n);
            for (int32_t y = 0; y < n; ++y)
                for (int32_t x = 0; x < n / 2; ++x)
                    ASSERT_EQ(c.At(x, y), c.At(n - 1 - x, y)) << ToolName(tool) << " at " << n << ": " << x << "," << y;
        }
}

TEST(ToolIcons, LinesThickenWithTheSize) {
    const auto leftEdge = [](int32_t n) {
        const IconCanvas c = Icon(Tool::Rect, n);
        int32_t x = 0, run = 0;
        while (c.At(x, n / 2) == kWhite) ++x;
        while (c.At(x + run, n / 2) != kWhite) ++run;
        return run;
    };
    EXPECT_EQ(leftEdge(16), 1);
    EXPECT_GE(leftEdge(32), 2);
    EXPECT_GE(leftEdge(48), 4);
}

TEST(ToolIcons, InkColoursTheIcon) {
    const Rgba ink{200, 40, 10, 255};
    for (int i = 0; i < kToolCount; ++i) {
        bool full = false;
        for (const Bgr& p : Icon(ToolAt(i), 32, ink).Pixels()) full = full || p == Bgr{10, 40, 200};
        EXPECT_EQ(full, ToolAt(i) != Tool::Highlight) << ToolName(ToolAt(i));  // the marker is translucent
    }
    EXPECT_EQ(Changed(Icon(Tool::Rect, 24, Rgba{0, 0, 0, 0})), 0);
    // The step's "1" stands out of a dark or light badge.
    for (const Rgba badge : {Rgba{0, 0, 0, 255}, Rgba{255, 255, 255, 255}}) {
        IconCanvas c(32, 32, {128, 128, 128});
        DrawToolIcon(Tool::Step, c.view, badge);
        int label = 0;
        for (int32_t y = 10; y < 22; ++y)
            for (int32_t x = 10; x < 22; ++x) label += c.At(x, y) != Bgr{badge.b, badge.g, badge.r};
        EXPECT_GT(label, 4) << int(badge.r);
    }
}

TEST(ToolIcons, WideViewCentresTheSquare) {
    IconCanvas wide(48, 32);
    DrawToolIcon(Tool::Ellipse, wide.view, kInk);
    const IconCanvas square = Icon(Tool::Ellipse, 32);
    for (int32_t y = 0; y < 32; ++y)
        for (int32_t x = 0; x < 48; ++x) {
            const Bgr want = x >= 8 && x < 40 ? square.At(x - 8, y) : kWhite;
            ASSERT_EQ(wide.At(x, y), want) << x << "," << y;
        }
    EXPECT_TRUE(wide.GuardIntact());
}
