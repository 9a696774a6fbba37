// Levelling is iterated because the limiter takes a little loudness away from the first pass.
#include "master.h"

#include "audio_format.h"
#include "envelope.h"
#include "filter.h"
#include "loudness.h"

#include <algorithm>
#include <cmath>

// Below the lowest note of the piece: removes offset without touching the bass.
constexpr float dcCutHz = 15.0f;
constexpr int levelPasses = 3;
constexpr double levelTolerance = 0.1;  // LU

static void scale(StereoBuffer& audio, float gain)
{
    for (std::size_t i = 0; i < frameCount(audio); ++i) {
        audio.left[i] *= gain;
        audio.right[i] *= gain;
    }
}

MasterReport masterMix(StereoBuffer& mix, const MasterSettings& settings)
{
    OnePole dcLeft = makeOnePole(dcCutHz), dcRight = makeOnePole(dcCutHz);
    for (std::size_t i = 0; i < frameCount(mix); ++i) {
        mix.left[i] = highPass(dcLeft, mix.left[i]);
        mix.right[i] = highPass(dcRight, mix.right[i]);
    }
    const std::size_t fade =
        std::min(frameCount(mix), static_cast<std::size_t>(settings.fadeOutSeconds * sampleRate));
    for (std::size_t i = 0; i < fade; ++i) {
        const float g = smoothstep(static_cast<float>(i) / static_cast<float>(fade));
        mix.left[frameCount(mix) - 1 - i] *= g;
        mix.right[frameCount(mix) - 1 - i] *= g;
    }
    const StereoBuffer unlimited = mix;
    double loudness = integratedLoudness(mix);
    float gain = 1.0f;
    for (int pass = 0; pass < levelPasses && loudness > silenceLufs; ++pass) {
        gain *= static_cast<float>(std::pow(10.0, (settings.targetLufs - loudness) / 20.0));
        mix = unlimited;
        scale(mix, gain);
        limitPeaks(mix, settings.limiter);
        loudness = integratedLoudness(mix);
        if (std::fabs(loudness - settings.targetLufs) < levelTolerance) {
            break;
        }
    }
    float peak = 0.0f;
    for (std::size_t i = 0; i < frameCount(mix); ++i) {
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    }
    return {loudness, peak};
}
