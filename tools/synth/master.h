// The last stage of the mix: DC removal, levelling to a loudness target, peak limiting and a
// fade into silence at the very end.
#pragma once
#include "limiter.h"
#include "stereo_buffer.h"

struct MasterSettings {
    double targetLufs = -16.0;    // streaming-style level, with headroom for the hits
    float fadeOutSeconds = 0.4f;  // the last reverb tail ends in digital silence
    LimiterSettings limiter;
};

struct MasterReport {
    double loudness;  // LUFS after mastering
    float peak;       // largest absolute sample after mastering
};

MasterReport masterMix(StereoBuffer& mix, const MasterSettings& settings);
