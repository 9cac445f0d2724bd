// The program's arithmetic rules: 32-bit signed with overflow detection, truncating division,
// round-half-even conversion from floating point.
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/ErrorObject.h"

namespace plenvue {

// Nearest integer, halves to the even neighbour; outside the 32-bit range is an overflow.
inline int32_t RoundHalfEven(double v) {
    if (!(v >= -2147483648.5 && v < 2147483647.5)) throw OverflowError();
    double r = std::nearbyint(v);  // default rounding mode is to nearest, ties to even
    if (r < -2147483648.0 || r > 2147483647.0) throw OverflowError();
    return static_cast<int32_t>(r);
}

// Byte conversion of a value already known to lie in 0..255 after rounding.
inline uint8_t RoundHalfEvenByte(double v) { return static_cast<uint8_t>(RoundHalfEven(v)); }

inline int32_t CheckedAdd(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_add_overflow(a, b, &r)) throw OverflowError();
    return r;
}
inline int32_t CheckedSub(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) throw OverflowError();
    return r;
}
inline int32_t CheckedMul(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_mul_overflow(a, b, &r)) throw OverflowError();
    return r;
}
// Truncating division; by zero is an error, as is the one overflowing quotient.
inline int32_t CheckedDiv(int32_t a, int32_t b) {
    if (b == 0) throw DivisionByZeroError();
    if (a == std::numeric_limits<int32_t>::min() && b == -1) throw OverflowError();
    return a / b;
}

}  // namespace plenvue
