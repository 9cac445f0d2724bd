// PCG32 (XSH RR): small, fast and with identical output on every compiler, unlike the standard
// library's distributions.
#include "image/Rnd.h"

#include <ctime>

namespace plenvue {
namespace {

constexpr uint64_t kMultiplier = 6364136223846793005ULL;
constexpr uint64_t kIncrement = 1442695040888963407ULL;

uint64_t g_state = 0x853c49e6748fea9bULL;

uint32_t Next32() {
    uint64_t old = g_state;
    g_state = old * kMultiplier + kIncrement;
    uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

}  // namespace

double Rnd() {
    // 32 random bits over 2^32: never reaches 1.
    return static_cast<double>(Next32()) * (1.0 / 4294967296.0);
}

void Randomize(uint32_t seed) {
    g_state = 0;
    Next32();
    g_state += seed;
    Next32();
}

void RandomizeFromClock() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    Randomize(static_cast<uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec));
}

}  // namespace plenvue
