// Ping-pong delay: each repeat crosses to the other side, darker and softer than the one before.
#pragma once
#include "stereo_buffer.h"

struct EchoSettings {
    float delaySeconds = 0.3f;  // a dotted eighth at the finale's 150 bpm: repeats stay on its grid
    float feedback = 0.45f;     // level of each repeat relative to the one before
    float toneHz = 3500.0f;     // low-pass in the loop
};

StereoBuffer renderEcho(const StereoBuffer& send, const EchoSettings& settings);
