// The show frames that a timing run measures, alike in lumarq-bench and the page's bench so that
// their figures pair frame for frame: warm-up frames on the tools' grid from show time 0, then the
// measured frames spread evenly from the next grid step to the show's end.
#pragma once
#include "frame_grid.h"

// The music's length (about 88 s), past the last camera segment and hop: every part of the script
// is sampled.
constexpr double timedShowEndMs = 88000.0;
// A second of the show at the demo's rate: the caches and the driver warmed as a viewer's run has.
constexpr int defaultWarmupFrames = 60;

// Show time of warm-up frame `i`, counted from 1.
constexpr double warmupFrameMs(int i)
{
    return i * toolFrameMs;
}

// Show time of measured frame `i` of `frames`, counted from 0, after `warmupFrames`.
constexpr double timedFrameMs(int warmupFrames, int frames, int i)
{
    const double firstMs = warmupFrameMs(warmupFrames + 1);
    return firstMs + (timedShowEndMs - firstMs) / frames * i;
}
