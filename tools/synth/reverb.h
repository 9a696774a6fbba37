// Stereo hall reverb: parallel damped combs into series allpasses, with different delay lengths
// per channel so that the tail is wide.
#pragma once
#include "stereo_buffer.h"

struct ReverbSettings {
    float feedback = 0.84f;         // comb feedback: about a two-second tail
    float damping = 0.3f;           // high-frequency loss per comb pass
    float preDelaySeconds = 0.02f;  // keeps the dry onset clear of the wash
    float lowCutHz = 180.0f;        // no low-end mud in the tail
};

StereoBuffer renderReverb(const StereoBuffer& send, const ReverbSettings& settings);
