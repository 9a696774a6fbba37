// Band-limited oscillators: phase in [0, 1) advanced by frequency / sample rate, with polyBLEP
// corrections at the waveform's jumps so that high notes do not alias.
#pragma once
#include <cmath>

inline double advancePhase(double phase, double step)
{
    phase += step;
    return phase >= 1.0 ? phase - std::floor(phase) : phase;
}

// Correction for a unit step at phase 0, spread over one sample on either side.
inline float polyBlep(double t, double dt)
{
    if (t < dt) {
        const double x = t / dt;
        return static_cast<float>(x + x - x * x - 1.0);
    }
    if (t > 1.0 - dt) {
        const double x = (t - 1.0) / dt;
        return static_cast<float>(x * x + x + x + 1.0);
    }
    return 0.0f;
}

inline float sawWave(double phase, double dt)
{
    return static_cast<float>(2.0 * phase - 1.0) - polyBlep(phase, dt);
}

// Difference of two saws, the second shifted by the pulse width.
inline float pulseWave(double phase, double dt, double width)
{
    double shifted = phase + width;
    if (shifted >= 1.0) {
        shifted -= 1.0;
    }
    return 0.5f * (sawWave(phase, dt) - sawWave(shifted, dt));
}

inline float sineWave(double phase)
{
    return static_cast<float>(std::sin(6.283185307179586 * phase));
}

inline float midiToHz(float note)
{
    return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f);
}
