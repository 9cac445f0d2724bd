#include "shell/HistoryRules.h"

#include <gtest/gtest.h>

using namespace plenvue;

TEST(HistoryStep, ListStepsStayWithinTheLines) {
    EXPECT_EQ(ListStepTarget(-1, 1, 3), 0);  // nothing selected: +1 picks the first line
    EXPECT_EQ(ListStepTarget(0, 1, 3), 1);
    EXPECT_EQ(ListStepTarget(2, 1, 3), std::nullopt);
    EXPECT_EQ(ListStepTarget(0, -1, 3), std::nullopt);
    EXPECT_EQ(ListStepTarget(-1, 1, 0), std::nullopt);
}

TEST(HistoryStep, PreviewStepsNeverReachTheTemplate) {
    EXPECT_EQ(PreviewStepTarget(0, 1, 3), 1);
    EXPECT_EQ(PreviewStepTarget(1, -1, 3), std::nullopt);
    EXPECT_EQ(PreviewStepTarget(2, 1, 3), std::nullopt);
    EXPECT_EQ(PreviewStepTarget(2, -1, 3), 1);
    EXPECT_EQ(PreviewStepTarget(0, 1, 1), std::nullopt);
}
