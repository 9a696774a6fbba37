// Trapezoidal-integrator state-variable filter and one-pole coefficients.
#include "filter.h"

#include "audio_format.h"

#include <algorithm>
#include <cmath>

// Keeps tan() away from its pole; above this the filter is fully open anyway.
constexpr float maxCutoffFraction = 0.45f;

void tuneSvf(Svf& filter, float cutoffHz, float q)
{
    const float cutoff = std::clamp(cutoffHz, 10.0f, maxCutoffFraction * sampleRate);
    const float g = static_cast<float>(std::tan(pi * cutoff / sampleRate));
    filter.k = 1.0f / std::max(q, 0.05f);
    filter.a1 = 1.0f / (1.0f + g * (g + filter.k));
    filter.a2 = g * filter.a1;
    filter.a3 = g * filter.a2;
}

SvfOutput stepSvf(Svf& filter, float input)
{
    const float v3 = input - filter.ic2;
    const float v1 = filter.a1 * filter.ic1 + filter.a2 * v3;
    const float v2 = filter.ic2 + filter.a2 * filter.ic1 + filter.a3 * v3;
    filter.ic1 = 2.0f * v1 - filter.ic1;
    filter.ic2 = 2.0f * v2 - filter.ic2;
    return {v2, v1, input - filter.k * v1 - v2};
}

OnePole makeOnePole(float cutoffHz)
{
    OnePole filter;
    filter.coefficient = static_cast<float>(1.0 - std::exp(-2.0 * pi * cutoffHz / sampleRate));
    return filter;
}
