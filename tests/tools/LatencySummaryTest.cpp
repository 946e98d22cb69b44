// The figures the terminal reports for quote latency.

#include <gtest/gtest.h>

#include "TerminalSink.h"

namespace term {
namespace {

TEST(LatencySummaryTest, MedianPercentileAndWorstOfUnsortedSamples) {
    const LatencyFigures odd = SummariseLatency({9000, 1000, 5000, 3000, 7000});
    EXPECT_EQ(odd.count, 5u);
    EXPECT_DOUBLE_EQ(odd.medianMs, 5.0);
    EXPECT_DOUBLE_EQ(odd.worstMs, 9.0);

    std::vector<long long> hundred;
    for (int i = 100; i >= 1; --i) {
        hundred.push_back(i * 1000LL);
    }
    const LatencyFigures even = SummariseLatency(hundred);
    EXPECT_DOUBLE_EQ(even.medianMs, 50.5);
    EXPECT_DOUBLE_EQ(even.p90Ms, 91.0);
    EXPECT_DOUBLE_EQ(even.worstMs, 100.0);

    EXPECT_EQ(SummariseLatency({}).count, 0u);
}

}  // namespace
}  // namespace term
