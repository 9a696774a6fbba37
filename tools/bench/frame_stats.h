// Order statistics of a set of timings: median, p95, p99, max, as the bench reports them.
#pragma once
#include <vector>

struct TimingSummary {
    int count = 0;
    double median = 0.0;
    double p95 = 0.0;
    double p99 = 0.0;
    double max = 0.0;
    double mean = 0.0;
};

// The p-th percentile (0..100) of values sorted ascending, interpolating linearly between the two
// nearest ranks; 0 for an empty set.
double percentileOfSorted(const std::vector<double>& sorted, double p);

TimingSummary summarizeTimings(std::vector<double> values);
