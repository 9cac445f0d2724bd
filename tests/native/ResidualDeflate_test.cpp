#include "image/ResidualDeflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

using namespace plenvue;

namespace {

// zlib's inflate is the reference decoder; `history` is what the stream had before these blocks.
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& raw, const std::vector<uint8_t>& history = {}) {
    z_stream zs{};
    EXPECT_EQ(inflateInit2(&zs, -15), Z_OK);
    if (!history.empty()) {
        EXPECT_EQ(inflateSetDictionary(&zs, history.data(), static_cast<uInt>(history.size())), Z_OK);
    }
    std::vector<uint8_t> out(1 << 16);
    size_t made = 0;
    zs.next_in = const_cast<Bytef*>(raw.data());
    zs.avail_in = static_cast<uInt>(raw.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (made == out.size()) out.resize(out.size() * 2);
        zs.next_out = out.data() + made;
        zs.avail_out = static_cast<uInt>(out.size() - made);
        rc = inflate(&zs, Z_NO_FLUSH);
        made = out.size() - zs.avail_out;
        if (rc == Z_BUF_ERROR && zs.avail_in == 0) break;
    }
    EXPECT_EQ(rc, Z_STREAM_END) << (zs.msg ? zs.msg : "");
    EXPECT_EQ(zs.avail_in, 0u) << "bytes after the final block";
    inflateEnd(&zs);
    out.resize(made);
    return out;
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data, size_t piece = 100000) {
    ResidualDeflater d;
    for (size_t i = 0; i < data.size(); i += piece) d.Add(data.data() + i, std::min(piece, data.size() - i), true);
    d.Finish(true);
    return d.Output();
}

// Small residuals as filtered photos leave them, with chance repeats of every length.
std::vector<uint8_t> Residuals(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = static_cast<uint8_t>(static_cast<int>(rng() % 9) - 4);
    return v;
}

TEST(ResidualDeflate, RoundTripsEveryKindOfInput) {
    std::mt19937 rng(3);
    std::vector<std::vector<uint8_t>> inputs;
    inputs.push_back({});
    inputs.push_back({42});
    inputs.push_back(std::vector<uint8_t>(7, 0));
    inputs.push_back(std::vector<uint8_t>(300000, 0x55));  // the longest matches, back-to-back
    inputs.push_back(Residuals(300000, 1));               // several blocks
    std::vector<uint8_t> noise(60000);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
    inputs.push_back(noise);
    // A phrase repeated at the farthest distance the window allows, and one beyond it.
    std::vector<uint8_t> far = Residuals(70000, 2);
    for (size_t i = 0; i < 300; ++i) far[32768 + i] = far[i], far[65537 + 1000 + i] = far[1000 + i];
    inputs.push_back(far);
    for (size_t k = 0; k < inputs.size(); ++k) {
        SCOPED_TRACE("input " + std::to_string(k));
        for (size_t piece : {size_t(1), size_t(257), size_t(100000)}) {
            if (piece == 1 && inputs[k].size() > 5000) continue;
            EXPECT_EQ(Inflate(Compress(inputs[k], piece)), inputs[k]) << "piece " << piece;
        }
    }
}

TEST(ResidualDeflate, IncompressibleBytesCostLittleMoreThanThemselves) {
    std::mt19937 rng(5);
    std::vector<uint8_t> noise(500000);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
    const std::vector<uint8_t> packed = Compress(noise);
    EXPECT_LE(packed.size(), noise.size() + noise.size() / 1000);
    EXPECT_EQ(Inflate(packed), noise);
}

TEST(ResidualDeflate, MatchesReachIntoHistoryAndRunsEndOnByteBoundaries) {
    // History another encoder handled, then two runs of blocks: the first not final, so that a
    // stream can go on after it; matches in both point back into the history.
    const std::vector<uint8_t> history = Residuals(20000, 4);
    std::vector<uint8_t> first(history.begin() + 100, history.begin() + 9000);
    std::vector<uint8_t> second(history.begin() + 5000, history.begin() + 15000);
    ResidualDeflater d;
    d.Add(history.data(), history.size(), false);
    EXPECT_TRUE(d.Output().empty());
    d.Add(first.data(), first.size(), true);
    d.Finish(false);
    const std::vector<uint8_t> run = d.Output();
    ASSERT_GE(run.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(run.end() - 4, run.end()), (std::vector<uint8_t>{0, 0, 0xFF, 0xFF}));
    EXPECT_LT(run.size(), first.size() / 20) << "the copy of the history was not found";
    d.Add(second.data(), second.size(), true);
    d.Finish(true);
    std::vector<uint8_t> both = first;
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(Inflate(d.Output(), history), both);
}

TEST(ResidualDeflate, CodeLengthsAreCompleteAndWithinTheLimit) {
    // Fibonacci weights make the deepest possible tree; the limit must cut it.
    std::vector<uint32_t> fib(30);
    fib[0] = fib[1] = 1;
    for (size_t i = 2; i < fib.size(); ++i) fib[i] = fib[i - 1] + fib[i - 2];
    for (unsigned limit : {7u, 15u}) {
        const std::vector<uint8_t> len = HuffmanLengths(fib, limit);
        double kraft = 0;
        for (uint8_t l : len) {
            ASSERT_GE(l, 1);
            ASSERT_LE(l, limit);
            kraft += 1.0 / (1u << l);
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0) << "limit " << limit;
    }
    std::vector<uint32_t> one(10, 0);
    one[4] = 9;
    const std::vector<uint8_t> single = HuffmanLengths(one, 15);
    EXPECT_EQ(single[4], 1);
    EXPECT_EQ(std::count(single.begin(), single.end(), 0), 9);
    EXPECT_EQ(HuffmanLengths(std::vector<uint32_t>(5, 0), 15), std::vector<uint8_t>(5, 0));
}

}  // namespace
