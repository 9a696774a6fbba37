// Comb/allpass reverb; lengths are mutually prime so that the echoes do not pile up.
#include "reverb.h"

#include "audio_format.h"
#include "filter.h"

#include <cstddef>
#include <vector>

constexpr int combCount = 8;
constexpr int allpassCount = 4;
constexpr std::size_t combLengths[combCount] = {1103, 1181, 1277, 1361, 1423, 1493, 1559, 1613};
constexpr std::size_t allpassLengths[allpassCount] = {557, 443, 337, 227};
// The right channel's lines are this many frames longer: decorrelated, so the tail is wide.
constexpr std::size_t stereoSpread = 23;
constexpr float allpassGain = 0.5f;
// The combs sum to a large level; this brings the wet signal back near the send's.
constexpr float wetGain = 0.12f;

struct Comb {
    std::vector<float> line;
    std::size_t index = 0;
    float store = 0.0f;
};

struct Allpass {
    std::vector<float> line;
    std::size_t index = 0;
};

static float stepComb(Comb& comb, float input, float feedback, float damping)
{
    const float out = comb.line[comb.index];
    comb.store = out * (1.0f - damping) + comb.store * damping;
    comb.line[comb.index] = input + comb.store * feedback;
    comb.index = comb.index + 1 == comb.line.size() ? 0 : comb.index + 1;
    return out;
}

static float stepAllpass(Allpass& allpass, float input)
{
    const float delayed = allpass.line[allpass.index];
    const float out = delayed - input;
    allpass.line[allpass.index] = input + delayed * allpassGain;
    allpass.index = allpass.index + 1 == allpass.line.size() ? 0 : allpass.index + 1;
    return out;
}

static void renderChannel(const std::vector<float>& input, std::vector<float>& output, std::size_t spread,
                          const ReverbSettings& settings)
{
    Comb combs[combCount];
    Allpass allpasses[allpassCount];
    for (int c = 0; c < combCount; ++c) {
        combs[c].line.assign(combLengths[c] + spread, 0.0f);
    }
    for (int a = 0; a < allpassCount; ++a) {
        allpasses[a].line.assign(allpassLengths[a] + spread, 0.0f);
    }
    const std::size_t preDelay = static_cast<std::size_t>(settings.preDelaySeconds * sampleRate);
    OnePole lowCut = makeOnePole(settings.lowCutHz);
    for (std::size_t i = 0; i < output.size(); ++i) {
        const float in = i >= preDelay ? highPass(lowCut, input[i - preDelay]) : 0.0f;
        float sum = 0.0f;
        for (Comb& comb : combs) {
            sum += stepComb(comb, in, settings.feedback, settings.damping);
        }
        for (Allpass& allpass : allpasses) {
            sum = stepAllpass(allpass, sum);
        }
        output[i] = wetGain * sum;
    }
}

StereoBuffer renderReverb(const StereoBuffer& send, const ReverbSettings& settings)
{
    const std::size_t frames = frameCount(send);
    std::vector<float> mono(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        mono[i] = 0.5f * (send.left[i] + send.right[i]);
    }
    StereoBuffer wet = makeStereoBuffer(frames);
    renderChannel(mono, wet.left, 0, settings);
    renderChannel(mono, wet.right, stereoSpread, settings);
    return wet;
}
