// Straightforward versions of the pixel passes, written the way they are described (columns
// outer, rows inner, every share applied as it is sent), to hold the fast passes against.
#pragma once
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "effects/clsPalette.h"
#include "base/Arith.h"
#include "image/clsDIBSection.h"

namespace plenvue::reference {

inline uint8_t* Px(clsDIBSection& d, int32_t x, int32_t row) {
    return d.DIBSectionBitsPtr() + static_cast<ptrdiff_t>(row) * d.BytesPerScanLine() + x;
}
inline int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

inline void CopyInto(clsDIBSection& from, clsDIBSection& to) {
    for (int32_t row = 0; row < to.Height(); ++row)
        std::memcpy(Px(from, 0, row), Px(to, 0, row), static_cast<size_t>(to.Width()) * 3);
}

inline void GrayScale(clsDIBSection& d) {
    const int32_t X = 3 * (d.Width() - 1);
    for (int32_t x = 0; x <= X; x += 3)
        for (int32_t row = 0; row < d.Height(); ++row) {
            uint8_t* p = Px(d, x, row);
            uint8_t g = static_cast<uint8_t>(RoundHalfEven((222.0 * p[2] + 707.0 * p[1] + 71.0 * p[0]) / 1000.0));
            p[0] = p[1] = p[2] = g;
        }
}

inline void BlackAndWhite(clsDIBSection& from, clsDIBSection& to) {
    GrayScale(from);
    const int32_t X = 3 * (to.Width() - 1), H = to.Height();
    auto spread = [&](int32_t x, int32_t row, int e, int w) {
        uint8_t* p = Px(from, x, row);
        p[0] = p[1] = p[2] = static_cast<uint8_t>(ClampByte(p[0] + e * w / 16));
    };
    for (int32_t x = 0; x <= X; x += 3)
        for (int32_t row = 0; row < H; ++row) {
            int v = Px(from, x, row)[0], e;
            uint8_t* t = Px(to, x, row);
            if (v <= 128) {
                t[0] = t[1] = t[2] = 0;
                e = v <= 16 ? 0 : v;
            } else {
                t[0] = t[1] = t[2] = 255;
                e = 127 - v;
            }
            if (x < X - 3) spread(x + 3, row, e, 7);
            if (row < H - 1) {
                if (x - 3 > 0 && x - 3 < X) spread(x - 3, row + 1, e, 3);
                if (x > 0 && x < X) spread(x, row + 1, e, 5);
                if (x + 3 > 0 && x + 3 < X) spread(x + 3, row + 1, e, 1);
            }
        }
    CopyInto(from, to);
}

inline void ApplyPalette(clsDIBSection& from, clsDIBSection& to, const clsPalette& pal, bool diffuse) {
    const int32_t X = 3 * (to.Width() - 1), H = to.Height();
    auto spread = [&](int32_t x, int32_t row, const int e[3], int w) {
        uint8_t* p = Px(from, x, row);
        for (int ch = 0; ch < 3; ++ch) p[ch] = static_cast<uint8_t>(ClampByte(p[ch] + e[ch] * w / 16));
    };
    for (int32_t x = 0; x <= X; x += 3)
        for (int32_t row = 0; row < H; ++row) {
            uint8_t* f = Px(from, x, row);
            uint8_t* t = Px(to, x, row);
            int32_t i = pal.ClosestIndex(f[2], f[1], f[0]);
            t[0] = pal.Blue(i);
            t[1] = pal.Green(i);
            t[2] = pal.Red(i);
            if (!diffuse) continue;
            int e[3] = {f[0] - t[0], f[1] - t[1], f[2] - t[2]};
            if (std::abs(e[0]) + std::abs(e[1]) + std::abs(e[2]) <= 3) continue;
            if (x < X - 3) spread(x + 3, row, e, 7);
            if (row < H - 1) {
                if (x - 3 > 0 && x - 3 < X) spread(x - 3, row + 1, e, 0);
                if (x > 0 && x < X) spread(x, row + 1, e, 4);
                if (x + 3 > 0 && x + 3 < X) spread(x + 3, row + 1, e, 0);
            }
        }
    CopyInto(from, to);
}

// The octree as described, node by node, without shortcuts. Returns the palette's colours.
class Octree {
public:
    std::vector<PaletteEntry> Run(clsDIBSection& d, int32_t palSize, int32_t levels, int32_t* tableSize = nullptr) {
        levels_ = levels;
        nodes_.assign(51, Node{});
        nodeCount_ = 1;
        freeHead_ = 0;
        leaves_ = 0;
        for (auto& h : lists_) h = 0;
        for (int32_t row = 0; row < d.Height(); ++row)
            for (int32_t x = 0; x <= 3 * (d.Width() - 1); x += 3) {
                uint8_t* p = Px(d, x, row);
                Add(1, 1, 0, 255, 0, 255, 0, 255, p[2], p[1], p[0]);
                while (leaves_ > palSize)
                    if (!Reduce()) break;
            }
        std::vector<PaletteEntry> out;
        for (size_t i = 1; i < nodes_.size(); ++i)
            if (nodes_[i].leaf) {
                double c = nodes_[i].count;
                out.push_back({static_cast<uint8_t>(RoundHalfEven(nodes_[i].r / c)),
                               static_cast<uint8_t>(RoundHalfEven(nodes_[i].g / c)),
                               static_cast<uint8_t>(RoundHalfEven(nodes_[i].b / c)), 0});
            }
        if (tableSize) *tableSize = static_cast<int32_t>(nodes_.size()) - 1;
        return out;
    }

private:
    struct Node {
        bool leaf = false, listed = false;
        int64_t r = 0, g = 0, b = 0;
        int32_t count = 0, child[8] = {}, next = 0;
    };
    static int32_t Mid(int32_t lo, int32_t hi) { return RoundHalfEven(lo / 2.0 + hi / 2.0); }
    int32_t GetFree() {
        ++nodeCount_;
        if (freeHead_) {
            int32_t n = freeHead_;
            freeHead_ = nodes_[static_cast<size_t>(n)].next;
            for (auto& c : nodes_[static_cast<size_t>(n)].child) c = 0;
            return n;
        }
        if (nodeCount_ > static_cast<int32_t>(nodes_.size()) - 1)
            nodes_.resize(static_cast<size_t>(RoundHalfEven(nodeCount_ * 1.1)) + 1);
        return nodeCount_;
    }
    void Free(int32_t n) {
        nodes_[static_cast<size_t>(n)].next = freeHead_;
        freeHead_ = n;
        nodes_[static_cast<size_t>(n)].leaf = nodes_[static_cast<size_t>(n)].listed = false;
        --nodeCount_;
    }
    void Add(int32_t node, int32_t level, int32_t rl, int32_t rh, int32_t gl, int32_t gh, int32_t bl, int32_t bh,
             int r, int g, int b) {
        int32_t rm = Mid(rl, rh), gm = Mid(gl, gh), bm = Mid(bl, bh);
        int rb = r > rm, gb = g > gm, bb = b > bm;
        if (rb) rl = rm; else rh = rm;
        if (gb) gl = gm; else gh = gm;
        if (bb) bl = bm; else bh = bm;
        int slot = rb + 2 * gb + 4 * bb;
        if (!nodes_[static_cast<size_t>(node)].child[slot]) {
            int32_t c = GetFree();
            nodes_[static_cast<size_t>(node)].child[slot] = c;
            Node& n = nodes_[static_cast<size_t>(c)];
            n.r = n.g = n.b = 0;
            n.count = 0;
            n.next = 0;
            n.leaf = level == levels_;
        }
        int32_t c = nodes_[static_cast<size_t>(node)].child[slot];
        Node& n = nodes_[static_cast<size_t>(c)];
        if (n.leaf) {
            if (n.count == 0) ++leaves_;
            ++n.count;
            n.r += r;
            n.g += g;
            n.b += b;
            return;
        }
        if (!n.listed) {
            n.next = lists_[level];
            lists_[level] = c;
            n.listed = true;
        }
        Add(c, level + 1, rl, rh, gl, gh, bl, bh, r, g, b);
    }
    bool Reduce() {
        int32_t level = levels_;
        while (level >= 1 && !lists_[level]) --level;
        if (level < 1) return false;
        int32_t n = lists_[level];
        lists_[level] = nodes_[static_cast<size_t>(n)].next;
        int64_t r = 0, g = 0, b = 0;
        int32_t count = 0;
        for (int s = 0; s < 8; ++s) {
            int32_t c = nodes_[static_cast<size_t>(n)].child[s];
            if (!c) continue;
            r += nodes_[static_cast<size_t>(c)].r;
            g += nodes_[static_cast<size_t>(c)].g;
            b += nodes_[static_cast<size_t>(c)].b;
            count += nodes_[static_cast<size_t>(c)].count;
            Free(c);
            --leaves_;
            nodes_[static_cast<size_t>(n)].child[s] = 0;
        }
        Node& node = nodes_[static_cast<size_t>(n)];
        node.leaf = true;
        node.r = r;
        node.g = g;
        node.b = b;
        node.count = count;
        ++leaves_;
        return true;
    }
    std::vector<Node> nodes_;
    int32_t levels_ = 0, nodeCount_ = 0, freeHead_ = 0, leaves_ = 0, lists_[9] = {};
};

// Pictures for the property tests: noise, or a few colours in runs with a little noise.
inline void FillRandom(clsDIBSection& d, std::mt19937& rng, bool fewColours) {
    std::uniform_int_distribution<int> byte(0, 255);
    uint8_t base[8][3];
    for (auto& c : base)
        for (auto& v : c) v = static_cast<uint8_t>(byte(rng));
    for (int32_t row = 0; row < d.Height(); ++row)
        for (int32_t x = 0; x < d.Width(); ++x) {
            uint8_t* p = Px(d, 3 * x, row);
            if (!fewColours) {
                p[0] = static_cast<uint8_t>(byte(rng));
                p[1] = static_cast<uint8_t>(byte(rng));
                p[2] = static_cast<uint8_t>(byte(rng));
            } else {
                const uint8_t* c = base[(x / 3 + row / 2) % 8];
                for (int ch = 0; ch < 3; ++ch) p[ch] = static_cast<uint8_t>(ClampByte(c[ch] + byte(rng) % 7 - 3));
            }
        }
}

}  // namespace plenvue::reference
