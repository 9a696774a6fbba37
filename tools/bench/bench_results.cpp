// The measuring phases. Every buffer a measured frame writes to is sized beforehand, so the bench
// adds no allocation of its own to the frames it counts.
#include "bench_results.h"

#include <valgrind/callgrind.h>

void measureFrames(ToolSession& session, const BenchOptions& options, BenchResults& results)
{
    const int frames = options.frames;
    results.warmupFrames = options.warmupFrames;
    results.frameMs.assign(static_cast<size_t>(frames), 0.0);
    results.frameStyle.assign(static_cast<size_t>(frames), ShowStyle::toon);

    for (int i = 1; i <= options.warmupFrames; ++i) {
        runBenchFrame(session, options, warmupFrameMs(i), nullptr, 0, nullptr);
    }

    // Under callgrind only the demo's own frames run: no queries, no check frames.
    const bool checks = !options.callgrind;
    PassTimers timers;
    PassTimers checkTimers;
    const int checkFrames = checks ? frames / checkFrameInterval : 0;
    if (checks) {
        createPassTimers(timers, frames);
        createPassTimers(checkTimers, checkFrames);
        for (int pass = 0; pass < benchPassCount; ++pass) {
            results.checkCpuMs[pass].assign(static_cast<size_t>(checkFrames), 0.0);
        }
    }

    int checkIndex = 0;
    if (options.callgrind) {
        CALLGRIND_START_INSTRUMENTATION;
    } else {
        setAllocationCounting(true);
    }
    for (int i = 0; i < frames; ++i) {
        const double showMs = timedFrameMs(options.warmupFrames, frames, i);
        results.frameStyle[static_cast<size_t>(i)] = currentShowStyle(*session.scene);
        const double start = benchClock();
        runBenchFrame(session, options, showMs, checks ? &timers : nullptr, i, nullptr);
        results.frameMs[static_cast<size_t>(i)] = (benchClock() - start) * 1000.0;

        if (checks && (i + 1) % checkFrameInterval == 0 && checkIndex < checkFrames) {
            // The same show time again: the same picture, with every pass finished and timed.
            setAllocationCounting(false);
            double cpu[benchPassCount] = {};
            runBenchFrame(session, options, showMs, &checkTimers, checkIndex, cpu);
            for (int pass = 0; pass < benchPassCount; ++pass) {
                results.checkCpuMs[pass][static_cast<size_t>(checkIndex)] = cpu[pass];
            }
            ++checkIndex;
            setAllocationCounting(true);
        }
    }
    if (options.callgrind) {
        CALLGRIND_STOP_INSTRUMENTATION;
    }
    setAllocationCounting(false);
    results.allocations = allocationCounts();

    if (checks) {
        drainPassTimers(timers);
        drainPassTimers(checkTimers);
        for (int pass = 0; pass < benchPassCount; ++pass) {
            results.passMs[pass] = timers.ms[pass];
            results.checkTimerMs[pass] = checkTimers.ms[pass];
        }
        deletePassTimers(timers);
        deletePassTimers(checkTimers);

        results.bareMs.assign(bareFrameCount, 0.0);
        runBareFrame(session);
        for (double& ms : results.bareMs) {
            const double start = benchClock();
            runBareFrame(session);
            ms = (benchClock() - start) * 1000.0;
        }
    }
}
