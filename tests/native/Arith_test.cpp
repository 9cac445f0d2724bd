#include "base/Arith.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(Arith, RoundHalfEvenGoesToEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2147483647.0), 2147483647);
    EXPECT_THROW(RoundHalfEven(2147483648.0), ErrorObject);
    EXPECT_THROW(RoundHalfEven(std::nan("")), ErrorObject);
}

TEST(Arith, OverflowAndDivisionRaiseErrors) {
    EXPECT_THROW(CheckedMul(65536, 65536), ErrorObject);
    EXPECT_THROW(CheckedAdd(2147483647, 1), ErrorObject);
    EXPECT_THROW(CheckedDiv(1, 0), ErrorObject);
    EXPECT_EQ(CheckedDiv(-7, 2), -3);
    try {
        CheckedDiv(1, 0);
    } catch (const ErrorObject& e) {
        EXPECT_EQ(e.Number, kErrDivisionByZero);
    }
}
