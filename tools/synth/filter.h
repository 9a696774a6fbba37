// Filters for the voices and the mix: a state-variable filter (low, band and high outputs at once,
// stable under fast cutoff sweeps) and one-pole smoothers.
#pragma once

struct Svf {
    float a1 = 0.0f;
    float a2 = 0.0f;
    float a3 = 0.0f;
    float k = 1.0f;
    float ic1 = 0.0f;
    float ic2 = 0.0f;
};

struct SvfOutput {
    float low;
    float band;
    float high;
};

// Sets the cutoff (clamped below Nyquist) and resonance, keeping the filter's state.
void tuneSvf(Svf& filter, float cutoffHz, float q);
SvfOutput stepSvf(Svf& filter, float input);

struct OnePole {
    float coefficient = 0.0f;
    float state = 0.0f;
};

OnePole makeOnePole(float cutoffHz);
inline float lowPass(OnePole& filter, float input)
{
    filter.state += filter.coefficient * (input - filter.state);
    return filter.state;
}
inline float highPass(OnePole& filter, float input)
{
    return input - lowPass(filter, input);
}
