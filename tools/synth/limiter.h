// Look-ahead peak limiter: the gain starts falling before a peak arrives, so no sample of the
// output exceeds the ceiling and the gain never jumps.
#pragma once
#include "stereo_buffer.h"

struct LimiterSettings {
    float ceiling = 0.84f;            // linear; -1.5 dBFS leaves room for the MP3 coder's overshoot
    float lookAheadSeconds = 0.003f;  // long enough for a smooth gain ramp, short enough to be inaudible
    float releaseSeconds = 0.08f;     // time constant of the gain's return to unity
};

void limitPeaks(StereoBuffer& audio, const LimiterSettings& settings);
