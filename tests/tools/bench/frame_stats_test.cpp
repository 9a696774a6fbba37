// Percentiles and summaries of lumarq-bench: interpolation between ranks, order independence.
#include "frame_stats.h"

#include <gtest/gtest.h>

TEST(FrameStats, PercentilesInterpolateBetweenClosestRanks)
{
    const std::vector<double> sorted = {1.0, 2.0, 3.0, 4.0};
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 0.0), 1.0);
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 50.0), 2.5);
    EXPECT_DOUBLE_EQ(percentileOfSorted(sorted, 100.0), 4.0);
    // rank 0.95 * 3 = 2.85: 3 + 0.85 * (4 - 3)
    EXPECT_NEAR(percentileOfSorted(sorted, 95.0), 3.85, 1e-12);
    EXPECT_DOUBLE_EQ(percentileOfSorted({7.0}, 99.0), 7.0);
    EXPECT_DOUBLE_EQ(percentileOfSorted({}, 50.0), 0.0);
}

TEST(FrameStats, SummarySortsItsInputAndFindsTheTail)
{
    // 1..100 shuffled by a fixed stride; one slow frame of 500 replaces 100.
    std::vector<double> values;
    for (int i = 0; i < 100; ++i) {
        values.push_back(static_cast<double>((i * 37) % 100 + 1));
    }
    for (double& v : values) {
        if (v == 100.0) {
            v = 500.0;
        }
    }
    const TimingSummary s = summarizeTimings(values);
    EXPECT_EQ(s.count, 100);
    EXPECT_DOUBLE_EQ(s.median, 50.5);
    EXPECT_NEAR(s.p95, 95.05, 1e-9);
    // rank 98.01 lies between 99 and the 500 outlier
    EXPECT_NEAR(s.p99, 99.0 + 0.01 * 401.0, 1e-9);
    EXPECT_DOUBLE_EQ(s.max, 500.0);
    EXPECT_NEAR(s.mean, (5050.0 - 100.0 + 500.0) / 100.0, 1e-12);
}

TEST(FrameStats, EmptySummaryIsAllZero)
{
    const TimingSummary s = summarizeTimings({});
    EXPECT_EQ(s.count, 0);
    EXPECT_EQ(s.median, 0.0);
    EXPECT_EQ(s.max, 0.0);
}
