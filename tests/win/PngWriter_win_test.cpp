// The PNG writer's buffer arithmetic in this build's address space (32 bits in the shipped build).
#include <gtest/gtest.h>

#include "tests/support/PngLayoutCheck.h"

using namespace plenvue;

TEST(PngWriterWin, LayoutArithmeticHoldsForEveryWidthInThisAddressSpace) {
    for (int32_t bits : {1, 2, 4, 8, 24}) {
        int64_t first = 0;
        EXPECT_EQ(test::PngLayoutFaults(bits, first), 0) << bits << " bits, first at width " << first;
    }
    PngLayout layout;
    // 200 million pixels a row: the filter's candidate rows need 3 GB, more than a 32-bit process
    // can address, and the product of width and pixel bytes no longer fits 32 bits.
    EXPECT_EQ(PngLayoutFor(200000000, 24, layout), sizeof(void*) == 8);
    EXPECT_FALSE(PngLayoutFor(INT32_MAX, 24, layout));
}
