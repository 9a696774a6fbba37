// Everything one bench run measured, and the phases that measure the frames.
#pragma once
#include "alloc_counter.h"
#include "bench_session.h"
#include "frame_plan.h"

#include <string>
#include <vector>

// One glFinish-bracketed check frame after this many measured frames: enough samples to judge
// the timer queries, few enough not to lengthen the run much.
constexpr int checkFrameInterval = 5;
// Bare clear-and-swap frames for the driver's floor.
constexpr int bareFrameCount = 120;

struct BenchResults {
    std::string glVendor;
    std::string glRenderer;
    std::string glVersion;
    int width = 0;
    int height = 0;
    std::string variant;  // bench-only switches in effect, "show" when none
    StartupTimes startup;
    bool haveColdStartup = false;
    StartupTimes coldStartup;
    int warmupFrames = 0;
    std::vector<double> frameMs;                       // per measured frame, start to start
    std::vector<ShowStyle> frameStyle;                 // per measured frame
    std::vector<double> passMs[benchPassCount];        // GL timer queries per measured frame
    std::vector<double> checkCpuMs[benchPassCount];    // glFinish-bracketed, per check frame
    std::vector<double> checkTimerMs[benchPassCount];  // timer queries of the same check frames
    std::vector<double> bareMs;
    AllocationCounts allocations;  // over the measured frames, main thread
    double peakRssMiB = 0.0;
    bool haveInstructions = false;
    double instructionsPerFrame = 0.0;
    int instructionFrames = 0;
};

// Warm-up, measured frames (timer queries; allocation counting; callgrind collection when asked),
// interleaved check frames, then the bare frames.
void measureFrames(ToolSession& session, const BenchOptions& options, BenchResults& results);
