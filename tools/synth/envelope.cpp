// Envelope stepping: attack and release are smoothsteps, the decay is a per-frame multiplier.
#include "envelope.h"

#include "audio_format.h"

#include <algorithm>
#include <cmath>

float smoothstep(float x)
{
    x = std::clamp(x, 0.0f, 1.0f);
    return x * x * (3.0f - 2.0f * x);
}

static std::size_t secondsToFrames(double seconds)
{
    return static_cast<std::size_t>(std::max(0.0, std::round(seconds * sampleRate)));
}

EnvelopeRun startEnvelope(const Envelope& shape, double holdSeconds)
{
    EnvelopeRun run;
    run.attackFrames = std::max<std::size_t>(1, secondsToFrames(shape.attack));
    run.holdFrames = secondsToFrames(holdSeconds);
    run.releaseFrames = std::max<std::size_t>(1, secondsToFrames(shape.release));
    run.sustain = shape.sustain;
    run.decayFactor = shape.decay > 0.0f ? static_cast<float>(std::exp(-1.0 / (shape.decay * sampleRate))) : 0.0f;
    return run;
}

std::size_t envelopeFrames(const EnvelopeRun& run)
{
    return run.holdFrames + run.releaseFrames;
}

float nextEnvelopeLevel(EnvelopeRun& run)
{
    const std::size_t f = run.frame++;
    if (f < run.holdFrames) {
        float rise = 1.0f;
        if (f < run.attackFrames) {
            rise = smoothstep(static_cast<float>(f) / static_cast<float>(run.attackFrames));
        } else {
            run.decayPart *= run.decayFactor;
        }
        run.level = rise * (run.sustain + (1.0f - run.sustain) * run.decayPart);
        return run.level;
    }
    if (f == run.holdFrames) {
        run.releaseFrom = run.level;
    }
    const float x = static_cast<float>(f - run.holdFrames) / static_cast<float>(run.releaseFrames);
    return run.releaseFrom * (1.0f - smoothstep(x));
}
