// Percentiles by linear interpolation between closest ranks, so that the median of an even count
// is the mean of the two middle values and p100 is the maximum.
#include "frame_stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

double percentileOfSorted(const std::vector<double>& sorted, double p)
{
    if (sorted.empty()) {
        return 0.0;
    }
    const double clamped = std::min(100.0, std::max(0.0, p));
    const double rank = clamped / 100.0 * static_cast<double>(sorted.size() - 1);
    const size_t below = static_cast<size_t>(std::floor(rank));
    const size_t above = std::min(below + 1, sorted.size() - 1);
    const double fraction = rank - static_cast<double>(below);
    return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

TimingSummary summarizeTimings(std::vector<double> values)
{
    TimingSummary summary;
    if (values.empty()) {
        return summary;
    }
    std::sort(values.begin(), values.end());
    summary.count = static_cast<int>(values.size());
    summary.median = percentileOfSorted(values, 50.0);
    summary.p95 = percentileOfSorted(values, 95.0);
    summary.p99 = percentileOfSorted(values, 99.0);
    summary.max = values.back();
    summary.mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    return summary;
}
