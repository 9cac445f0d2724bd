#include "effects/clsPalette.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "effects/PaletteLookup.h"
#include "effects/clsColourReduceDIB.h"
#include "tests/support/ColourReduceReference.h"

using namespace plenvue;
namespace fs = std::filesystem;

namespace {

std::string TempPath(const std::string& name) {
    return (fs::temp_directory_path() / ("plenvue_palette_" + std::to_string(::getpid()) + "_" + name)).string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::vector<std::array<int, 3>> Colours(const clsPalette& p) {
    std::vector<std::array<int, 3>> out;
    for (int32_t i = 1; i <= p.count(); ++i) out.push_back({p.Red(i), p.Green(i), p.Blue(i)});
    return out;
}

void MakePicture(clsDIBSection& d, const std::vector<std::array<uint8_t, 3>>& rgb) {
    ASSERT_TRUE(d.Create(static_cast<int32_t>(rgb.size()), 1));
    for (size_t i = 0; i < rgb.size(); ++i) {
        uint8_t* p = d.DIBSectionBitsPtr() + 3 * i;
        p[0] = rgb[i][2];
        p[1] = rgb[i][1];
        p[2] = rgb[i][0];
    }
}

}  // namespace

TEST(Palette, SixteenColourOrder) {
    clsPalette p;
    p.Create16Colour();
    std::vector<std::array<int, 3>> expected = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
        {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    EXPECT_EQ(Colours(p), expected);
    p.CreateMono();
    EXPECT_EQ(Colours(p), (std::vector<std::array<int, 3>>{{0, 0, 0}, {255, 255, 255}}));
}

TEST(Palette, HalfToneIsFiveLevelCubeRedInnermost) {
    clsPalette p;
    p.CreateHalfTone();
    ASSERT_EQ(p.count(), 256);
    auto c = Colours(p);
    EXPECT_EQ(c[0], (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(c[1], (std::array<int, 3>{64, 0, 0}));
    EXPECT_EQ(c[5], (std::array<int, 3>{0, 64, 0}));
    EXPECT_EQ(c[25], (std::array<int, 3>{0, 0, 64}));
    EXPECT_EQ(c[4], (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(c[124], (std::array<int, 3>{255, 255, 255}));
    for (int i = 125; i < 256; ++i) EXPECT_EQ(c[static_cast<size_t>(i)], (std::array<int, 3>{0, 0, 0}));
}

TEST(Palette, WebSafeLayout) {
    clsPalette p;
    p.CreateWebSafe();
    ASSERT_EQ(p.count(), 256);
    auto c = Colours(p);
    EXPECT_EQ(c[0], (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(c[1], (std::array<int, 3>{128, 0, 0}));
    EXPECT_EQ(c[7], (std::array<int, 3>{192, 192, 192}));
    EXPECT_EQ(c[8], (std::array<int, 3>{51, 0, 0}));       // first cube colour after black
    EXPECT_EQ(c[11], (std::array<int, 3>{204, 0, 0}));     // 255,0,0 is a corner and left out
    EXPECT_EQ(c[12], (std::array<int, 3>{0, 51, 0}));
    EXPECT_EQ(c[215], (std::array<int, 3>{204, 255, 255}));
    EXPECT_EQ(c[216], (std::array<int, 3>{8, 8, 8}));
    EXPECT_EQ(c[246], (std::array<int, 3>{248, 248, 248}));
    EXPECT_EQ(c[247], (std::array<int, 3>{128, 128, 128}));
    EXPECT_EQ(c[254], (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(c[255], (std::array<int, 3>{0, 0, 0}));
}

TEST(Palette, ClosestIndexIsCityBlockWithTiesToLowest) {
    clsPalette p;
    p.Create16Colour();
    EXPECT_EQ(p.ClosestIndex(100, 100, 100), 9);  // grey at 84, not silver at 276
    EXPECT_EQ(p.ClosestIndex(255, 255, 255), 16);
    clsPalette dup;
    dup.Add(10, 10, 10);
    dup.Add(20, 20, 20);
    dup.Add(10, 10, 10);
    EXPECT_EQ(dup.ClosestIndex(10, 10, 10), 1);
    EXPECT_EQ(dup.ClosestIndex(15, 15, 15), 1);  // tie 15/15 goes to the lower index
    clsPalette white;
    white.Add(255, 255, 255);
    EXPECT_EQ(white.ClosestIndex(0, 0, 0), 0);  // distance 765 never qualifies
    EXPECT_EQ(white.ClosestIndex(0, 0, 1), 1);
    EXPECT_EQ(clsPalette().ClosestIndex(1, 2, 3), 0);
}

TEST(Palette, ComponentOutsideListIsSubscriptError) {
    clsPalette p;
    p.CreateMono();
    EXPECT_EQ(p.Red(2), 255);
    try {
        p.Green(3);
        FAIL();
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 9);
    }
    EXPECT_THROW(p.Blue(0), ErrorObject);
    EXPECT_THROW(p.Add(256, 0, 0), ErrorObject);
}

TEST(PaletteLookup, MatchesClosestIndexOnRandomPalettes) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int trial = 0; trial < 40; ++trial) {
        clsPalette p;
        int n = trial < 4 ? trial * 3 + 1 : 1 + static_cast<int>(rng() % 300);
        for (int i = 0; i < n; ++i) {
            if (i > 0 && rng() % 8 == 0)
                p.Add(p.Red(i), p.Green(i), p.Blue(i));  // repeats must not win
            else
                p.Add(byte(rng), byte(rng), byte(rng));
        }
        PaletteLookup lookup(p);
        for (int k = 0; k < 3000; ++k) {
            uint8_t r = static_cast<uint8_t>(byte(rng)), g = static_cast<uint8_t>(byte(rng)),
                    b = static_cast<uint8_t>(byte(rng));
            ASSERT_EQ(lookup.Closest(r, g, b), p.ClosestIndex(r, g, b)) << "trial " << trial;
        }
    }
    clsPalette white;
    white.Add(255, 255, 255);
    PaletteLookup lookup(white);
    EXPECT_EQ(lookup.Closest(0, 0, 0), 0);
}

// Palettes full of ties: entries on a coarse lattice in a small corner, repeats, the fixed
// palettes; queried on a lattice through the whole cube, so every cell shape meets its
// boundaries, against the linear search.
TEST(PaletteLookup, MatchesClosestIndexOnTiePronePalettesAcrossTheCube) {
    std::mt19937 rng(11);
    std::vector<std::pair<clsPalette, int>> cases;  // palette, query stride
    for (int trial = 0; trial < 6; ++trial) {
        clsPalette p;
        const int n = 2 + static_cast<int>(rng() % 30), step = 1 + static_cast<int>(rng() % 16);
        for (int i = 0; i < n; ++i)
            p.Add(static_cast<int>(rng() % 9) * step, static_cast<int>(rng() % 9) * step, static_cast<int>(rng() % 9) * step);
        cases.emplace_back(p, 7);
    }
    clsPalette fixed[4];
    fixed[0].Create16Colour();
    fixed[1].CreateMono();
    fixed[2].CreateWebSafe();
    fixed[3].CreateHalfTone();
    cases.emplace_back(fixed[0], 6);
    cases.emplace_back(fixed[1], 6);
    cases.emplace_back(fixed[2], 11);
    cases.emplace_back(fixed[3], 11);
    for (const auto& [p, stride] : cases) {
        PaletteLookup lookup(p);
        for (int r = 0; r < 256; r += stride)
            for (int g = 255; g >= 0; g -= stride)
                for (int b = 0; b < 256; b += stride) {
                    const uint8_t R = static_cast<uint8_t>(r), G = static_cast<uint8_t>(g), B = static_cast<uint8_t>(b);
                    ASSERT_EQ(lookup.Closest(R, G, B), p.ClosestIndex(R, G, B))
                        << p.count() << " entries, colour " << r << "," << g << "," << b;
                }
    }
}

// A small cell holding more entries than one search group takes the searched path; a palette
// with ambiguous cells everywhere runs out of answer tables and searches the rest.
TEST(PaletteLookup, LongListsAndTablesRunningOutStillMatchClosestIndex) {
    clsPalette dense;
    for (int r = 0; r < 4; ++r)
        for (int g = 0; g < 4; ++g)
            for (int b = 0; b < 4; ++b) dense.Add(r * 2, g, 3 - b);
    PaletteLookup denseLookup(dense);
    for (int r = 0; r < 12; ++r)
        for (int g = 0; g < 12; ++g)
            for (int b = 0; b < 12; ++b)
                ASSERT_EQ(denseLookup.Closest(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)),
                          dense.ClosestIndex(r, g, b)) << r << "," << g << "," << b;

    std::mt19937 rng(13);
    clsPalette many;
    for (int i = 0; i < 1000; ++i)
        many.Add(static_cast<int>(rng() % 256), static_cast<int>(rng() % 256), static_cast<int>(rng() % 256));
    PaletteLookup lookup(many);
    int32_t n = 0;
    for (int r = 1; r < 256; r += 4)
        for (int g = 2; g < 256; g += 4)
            for (int b = 3; b < 256; b += 4, ++n) {
                const uint8_t R = static_cast<uint8_t>(r), G = static_cast<uint8_t>(g), B = static_cast<uint8_t>(b);
                const int32_t got = lookup.Closest(R, G, B);
                if (n % 7 == 0) {
                    ASSERT_EQ(got, many.ClosestIndex(R, G, B)) << r << "," << g << "," << b;
                }
            }
}

// Indices past what 16 bits hold: a long text palette or a large optimal palette gives them. The
// early entries are repeats, so the answers that count all come from beyond index 32767, in
// cells of one answer, in tables and in searched cells alike.
TEST(PaletteLookup, IndicesBeyondSixteenBitsComeBackWhole) {
    clsPalette p;
    for (int i = 0; i < 70000; ++i) p.Add(0, 0, 0);
    p.Add(255, 255, 255);  // 70001: alone in its corner
    std::mt19937 rng(17);
    for (int i = 0; i < 600; ++i)  // crowded around the middle: tables and searches
        p.Add(100 + static_cast<int>(rng() % 40), 100 + static_cast<int>(rng() % 40), 100 + static_cast<int>(rng() % 40));
    for (int r = 0; r < 256; ++r) p.Add(r, 7, 250);
    PaletteLookup lookup(p);
    EXPECT_EQ(lookup.Closest(250, 250, 250), 70001);
    EXPECT_EQ(lookup.Closest(0, 0, 0), 1);
    auto check = [&](int from, int to, int step) {
        for (int r = from; r < to; r += step)
            for (int g = from + 1; g < to; g += step)
                for (int b = from + 2; b < to; b += step) {
                    const uint8_t R = static_cast<uint8_t>(r), G = static_cast<uint8_t>(g), B = static_cast<uint8_t>(b);
                    ASSERT_EQ(lookup.Closest(R, G, B), p.ClosestIndex(R, G, B)) << r << "," << g << "," << b;
                }
    };
    check(0, 256, 19);
    check(96, 144, 5);

    clsDIBSection from, to;
    ASSERT_TRUE(from.Create(2, 1));
    ASSERT_TRUE(to.Create(2, 1));
    from.PixelPtr(0, 0)[0] = from.PixelPtr(0, 0)[1] = from.PixelPtr(0, 0)[2] = 240;
    from.PixelPtr(1, 0)[0] = 255;  // blue 255, green 7, red 0: entry 70602
    from.PixelPtr(1, 0)[1] = 7;
    clsColourReduceDIB reduce;
    reduce.ApplyPalette(from, to, p, false);
    EXPECT_EQ(to.PixelPtr(0, 0)[0], 255);
    EXPECT_EQ(to.PixelPtr(0, 0)[2], 255);
    EXPECT_EQ(to.PixelPtr(1, 0)[0], 250);
    EXPECT_EQ(to.PixelPtr(1, 0)[1], 7);
    EXPECT_EQ(to.PixelPtr(1, 0)[2], 0);
}

TEST(PaletteOptimal, SplitsAt128AndAveragesHalfToEven) {
    clsDIBSection d;
    MakePicture(d, {{127, 127, 127}, {128, 128, 128}, {129, 129, 129}});
    clsPalette p;
    p.CreateOptimal(d, 236, 6);
    // 127 and 128 share a leaf (average 127.5 rounds to 128); 129 goes to the high half.
    EXPECT_EQ(Colours(p), (std::vector<std::array<int, 3>>{{128, 128, 128}, {129, 129, 129}}));
    p.CreateOptimal(d, 236, 1);
    EXPECT_EQ(Colours(p), (std::vector<std::array<int, 3>>{{128, 128, 128}, {129, 129, 129}}));
}

TEST(PaletteOptimal, SingleColourGivesThatColour) {
    clsDIBSection d;
    ASSERT_TRUE(d.Create(7, 5));
    for (int32_t row = 0; row < 5; ++row)
        for (int32_t x = 0; x < 7; ++x) {
            uint8_t* p = reference::Px(d, 3 * x, row);
            p[0] = 30, p[1] = 20, p[2] = 10;
        }
    clsPalette p;
    p.CreateOptimal(d, 16, 8);
    EXPECT_EQ(Colours(p), (std::vector<std::array<int, 3>>{{10, 20, 30}}));
}

TEST(PaletteOptimal, MatchesReferenceOctreeOnRandomPictures) {
    std::mt19937 rng(11);
    const int sizes[][2] = {{1, 1}, {2, 3}, {9, 1}, {1, 9}, {5, 7}, {33, 17}, {64, 40}, {120, 90}};
    const int params[][2] = {{236, 6}, {16, 4}, {8, 8}, {255, 3}, {40, 5}, {2, 2}};
    for (auto& s : sizes)
        for (auto& pr : params)
            for (bool few : {false, true}) {
                clsDIBSection d;
                ASSERT_TRUE(d.Create(s[0], s[1]));
                reference::FillRandom(d, rng, few);
                clsPalette p;
                p.CreateOptimal(d, pr[0], pr[1]);
                int32_t tableSize = 0;
                auto expected = reference::Octree().Run(d, pr[0], pr[1], &tableSize);
                ASSERT_EQ(p.count(), static_cast<int32_t>(expected.size()));
                for (int32_t i = 1; i <= p.count(); ++i) {
                    const auto& e = expected[static_cast<size_t>(i - 1)];
                    ASSERT_EQ(p.Red(i), e.peRed);
                    ASSERT_EQ(p.Green(i), e.peGreen);
                    ASSERT_EQ(p.Blue(i), e.peBlue);
                }
                EXPECT_EQ(p.NodeTableSize(), tableSize);
                EXPECT_LE(p.count(), std::max(pr[0], 8));
            }
}

TEST(PaletteOptimal, UnreducibleTreeAsksAndCanAbandon) {
    clsDIBSection d;
    MakePicture(d, {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}});
    clsPalette p;
    int asked = 0;
    p.OnReduceFailure = [&] { return ++asked, true; };
    p.CreateOptimal(d, 1, 6);
    EXPECT_EQ(asked, 2);  // after the second and the third pixel
    EXPECT_EQ(p.count(), 3);
    p.OnReduceFailure = [] { return false; };
    EXPECT_THROW(p.CreateOptimal(d, 1, 6), ErrorObject);
    EXPECT_THROW(p.CreateOptimal(d, 1, 9), ErrorObject);
}

TEST(PaletteOptimal, RaisesProgressPerRowAndNode) {
    struct Recorder : IProgressListener {
        std::vector<int32_t> init, progress, complete;
        void InitProgress(int32_t v) override { init.push_back(v); }
        void Progress(int32_t v) override { progress.push_back(v); }
        void Complete(int32_t v) override { complete.push_back(v); }
    } rec;
    clsDIBSection d;
    ASSERT_TRUE(d.Create(2, 3));
    clsPalette p;
    p.SetProgressListener(&rec);
    p.CreateOptimal(d, 10, 6);
    EXPECT_EQ(rec.init, std::vector<int32_t>{12});
    ASSERT_EQ(rec.progress.size(), 3u + 50u);
    EXPECT_EQ(rec.progress[2], 2);
    EXPECT_EQ(rec.progress[3], 1);
    EXPECT_EQ(rec.complete.size(), 1u);
    p.EraseNodes();
    EXPECT_EQ(p.NodeTableSize(), 0);
}

TEST(PaletteText, SixteenColourFileBytes) {
    clsPalette p;
    p.Create16Colour();
    std::string path = TempPath("16.pal");
    WriteAll(path, "old contents that are longer than nothing");
    ASSERT_TRUE(p.SaveToJASCFile(path));
    std::string expected = "JASC\r\n0100\r\n16\r\n0 0 0\r\n128 0 0\r\n0 128 0\r\n128 128 0\r\n0 0 128\r\n"
                           "128 0 128\r\n0 128 128\r\n192 192 192\r\n128 128 128\r\n255 0 0\r\n0 255 0\r\n"
                           "255 255 0\r\n0 0 255\r\n255 0 255\r\n0 255 255\r\n255 255 255";
    EXPECT_EQ(ReadAll(path), expected);
    clsPalette q;
    ASSERT_TRUE(q.LoadFromJASCFile(path));
    EXPECT_EQ(Colours(q), Colours(p));
    WriteAll(path, "RIFF-PAL\r\n" + expected.substr(6));
    ASSERT_TRUE(q.LoadFromJASCFile(path));
    EXPECT_EQ(Colours(q), Colours(p));
    std::remove(path.c_str());
}

TEST(PaletteText, LinesWithOtherThanThreePiecesAreSkipped) {
    clsPalette p;
    p.LoadFromJASCText("JASC\r\n0100\r\n9\r\n1 2\r\n1 2 3 4\r\n4 5 6 \r\n7  8 9\r\n10 11 12\r\n");
    EXPECT_EQ(Colours(p), (std::vector<std::array<int, 3>>{{10, 11, 12}}));
    p.LoadFromJASCText("1 2 3\n4 5 6\n");  // line feeds alone: one line of many pieces
    EXPECT_EQ(p.count(), 0);
    p.LoadFromJASCText("12.5 +3 1e2");  // converted as numbers are, halves to even
    EXPECT_EQ(Colours(p), (std::vector<std::array<int, 3>>{{12, 3, 100}}));
}

TEST(PaletteText, BadPiecesFailAndEmptyThePalette) {
    clsPalette p;
    p.Create16Colour();
    try {
        p.LoadFromJASCText("1 2 3\r\n4 5 300");
        FAIL();
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrOverflow);
        EXPECT_EQ(e.Source, "Plenvue.clsPalette");
    }
    EXPECT_EQ(p.count(), 0);
    p.Create16Colour();
    try {
        p.LoadFromJASCText("1 2 ");  // three pieces, the last one empty
        FAIL();
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrTypeMismatch);
    }
    EXPECT_EQ(p.count(), 0);
    EXPECT_THROW(p.LoadFromJASCText("1 x 3"), ErrorObject);
    EXPECT_THROW(p.LoadFromJASCText("1 2 -1"), ErrorObject);
    try {
        p.LoadFromJASCFile(TempPath("missing.pal"));
        FAIL();
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, 53);
        EXPECT_EQ(e.Source, "Plenvue.clsPalette");
    }
    EXPECT_THROW(p.SaveToJASCFile(TempPath("no_such_dir/x.pal")), ErrorObject);
}

TEST(PaletteBinary, RoundTripAdvancesPosition) {
    std::string path = TempPath("bin.pal");
    clsPalette p;
    p.Create16Colour();
    int32_t pos = 0;
    ASSERT_TRUE(p.Save(path, pos));
    EXPECT_EQ(pos, 68);
    std::string bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 68u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x10\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(bytes.substr(8, 4), std::string("\x80\0\0\0", 4));
    clsPalette mono;
    mono.CreateMono();
    ASSERT_TRUE(mono.Save(path, pos));  // appended after the first palette, which stays
    EXPECT_EQ(pos, 80);
    clsPalette q;
    pos = -5;
    ASSERT_TRUE(q.Load(path, pos));
    EXPECT_EQ(pos, 68);
    EXPECT_EQ(Colours(q), Colours(p));
    ASSERT_TRUE(q.Load(path, pos));
    EXPECT_EQ(Colours(q), Colours(mono));
    EXPECT_FALSE(q.Load(path, pos));  // nothing left
    std::remove(path.c_str());
}

TEST(PaletteBinary, CountOutOfRangeOrShortReadFails) {
    std::string path = TempPath("bad.pal");
    clsPalette p;
    int32_t pos = 0;
    WriteAll(path, std::string("\0\0\0\0", 4));
    EXPECT_FALSE(p.Load(path, pos));
    WriteAll(path, std::string("\x02\x10\0\0", 4) + std::string(4098 * 4, '\0'));
    EXPECT_FALSE(p.Load(path, pos));
    WriteAll(path, std::string("\x03\0\0\0\x01\x02\x03\0\x04", 9));
    EXPECT_FALSE(p.Load(path, pos));
    EXPECT_EQ(pos, 0);
    ASSERT_EQ(p.count(), 3);  // sized anew, holding what arrived
    EXPECT_EQ(p.Red(1), 1);
    EXPECT_EQ(p.Red(2), 4);
    EXPECT_EQ(p.Red(3), 0);
    EXPECT_FALSE(p.Load(TempPath("missing.pal"), pos));
    EXPECT_FALSE(p.Save(TempPath("no_such_dir/x.pal"), pos));
    std::remove(path.c_str());
}
