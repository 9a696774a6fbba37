// Amplitude envelopes for notes: smooth rise, exponential fall towards a sustain level, smooth
// release to exact silence, so that no note edge clicks.
#pragma once
#include <cstddef>

struct Envelope {
    float attack = 0.005f;  // seconds of smoothstep rise from 0 to 1
    float decay = 0.2f;     // seconds, time constant of the fall from 1 towards sustain
    float sustain = 1.0f;   // level held until the release
    float release = 0.05f;  // seconds of smoothstep fall from wherever the level is to 0
};

// One note's walk through an envelope, advanced a frame at a time.
struct EnvelopeRun {
    std::size_t attackFrames = 1;
    std::size_t holdFrames = 0;
    std::size_t releaseFrames = 1;
    float sustain = 1.0f;
    float decayFactor = 1.0f;
    float decayPart = 1.0f;
    float releaseFrom = 0.0f;
    float level = 0.0f;
    std::size_t frame = 0;
};

EnvelopeRun startEnvelope(const Envelope& shape, double holdSeconds);
// Frames from note on to the end of the release.
std::size_t envelopeFrames(const EnvelopeRun& run);
// The level of the current frame; moves on to the next.
float nextEnvelopeLevel(EnvelopeRun& run);
// 3x^2 - 2x^3 on [0, 1]: the rise and fall shape, flat at both ends.
float smoothstep(float x);
