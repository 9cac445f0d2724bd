#include "image/Rnd.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(Rnd, SameSeedGivesSameSequenceInUnitInterval) {
    Randomize(42);
    double first[64];
    for (double& v : first) {
        v = Rnd();
        EXPECT_GE(v, 0.0);
        EXPECT_LT(v, 1.0);
    }
    Randomize(42);
    for (double v : first) EXPECT_EQ(Rnd(), v);
    Randomize(43);
    EXPECT_NE(Rnd(), first[0]);
}

TEST(Rnd, ValuesSpreadOverTheInterval) {
    Randomize(7);
    int buckets[10] = {};
    for (int i = 0; i < 10000; ++i) buckets[static_cast<int>(Rnd() * 10)]++;
    for (int b : buckets) {
        EXPECT_GT(b, 800);
        EXPECT_LT(b, 1200);
    }
}
