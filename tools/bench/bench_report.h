// The bench's report: the targets judged against the measured figures, and the printed table.
#pragma once
#include "bench_results.h"
#include "frame_stats.h"

#include <string>
#include <vector>

// Targets on the reference machine (2 cores, llvmpipe): a 60 Hz frame in every style, steady
// frames, a lean frame loop, no heap traffic after warm-up, and a quick start.
constexpr double targetFrameMs = 16.7;
constexpr double targetP99OverMedian = 2.0;
constexpr double targetInstructionsPerFrame = 100000.0;
constexpr double targetAllocationsPerFrame = 0.0;
constexpr double targetStartupMs = 1000.0;

struct TargetCheck {
    std::string name;
    std::string unit;
    double limit = 0.0;
    double value = 0.0;
    bool measured = false;  // false: the run did not measure it (e.g. no callgrind figures)
    bool pass = false;
};

// How the per-pass times were taken: timer queries when they agree with glFinish-bracketed CPU
// timing on the check frames, otherwise the bracketed timing itself.
struct PassTiming {
    bool timerQueriesMeaningful = false;
    double agreement = 0.0;  // median over check frames of (timer sum / bracketed sum)
    TimingSummary pass[benchPassCount];
};

// Timer and bracketed sums agree within this factor when the queries time the real work.
constexpr double timerAgreementFactor = 2.0;

PassTiming choosePassTiming(const BenchResults& results);
TimingSummary styleSummary(const BenchResults& results, ShowStyle style);
std::vector<TargetCheck> evaluateTargets(const BenchResults& results);

std::string formatTable(const BenchResults& results);
