// The percussion voices, built from swept sines and filtered noise.
#include "voices.h"

#include "audio_format.h"
#include "envelope.h"
#include "filter.h"
#include "noise.h"
#include "oscillator.h"

#include <algorithm>
#include <cmath>

// Every hit rises over this long (no click at the onset) and is faded out over the last
// tailFade seconds of its buffer, so that truncating its exponential tail is inaudible.
constexpr float hitAttack = 0.0012f;
constexpr float tailFade = 0.02f;

static std::size_t framesFor(double seconds)
{
    return static_cast<std::size_t>(seconds * sampleRate);
}

// Onset rise and tail fade applied to a finished hit.
static void shapeEdges(std::vector<float>& out)
{
    const float attackFrames = hitAttack * sampleRate;
    const std::size_t fadeFrames = std::min(out.size(), framesFor(tailFade));
    for (std::size_t i = 0; i < out.size() && i < static_cast<std::size_t>(attackFrames); ++i) {
        out[i] *= smoothstep(static_cast<float>(i) / attackFrames);
    }
    for (std::size_t i = 0; i < fadeFrames; ++i) {
        out[out.size() - 1 - i] *= smoothstep(static_cast<float>(i) / static_cast<float>(fadeFrames));
    }
}

static float decayAt(float t, float timeConstant)
{
    return std::exp(-t / timeConstant);
}

static std::vector<float> renderKick(const Note& note, Noise& noise)
{
    std::vector<float> out(framesFor(0.6));
    double p = 0.0;
    OnePole clickFilter = makeOnePole(3000.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sampleRate;
        const double f = 46.0 + 120.0 * decayAt(t, 0.035f);
        const float body = sineWave(p) * decayAt(t, 0.3f);
        const float click = 0.3f * highPass(clickFilter, nextNoise(noise)) * decayAt(t, 0.003f);
        out[i] = note.velocity * std::tanh(1.5f * (body + click)) / std::tanh(1.5f);
        p = advancePhase(p, f / sampleRate);
    }
    shapeEdges(out);
    return out;
}

static std::vector<float> renderSnare(const Note& note, Noise& noise)
{
    std::vector<float> out(framesFor(0.4));
    double p1 = 0.0, p2 = 0.0;
    Svf band;
    tuneSvf(band, 2600.0f + 1500.0f * note.tone, 0.7f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sampleRate;
        const double drop = 1.0 + 0.3 * decayAt(t, 0.01f);
        const float body = 0.6f * sineWave(p1) * decayAt(t, 0.08f) + 0.3f * sineWave(p2) * decayAt(t, 0.05f);
        const SvfOutput n = stepSvf(band, nextNoise(noise));
        const float rattle = (n.band + 0.5f * n.high) * decayAt(t, 0.13f);
        out[i] = 0.8f * note.velocity * (body + rattle);
        p1 = advancePhase(p1, 190.0 * drop / sampleRate);
        p2 = advancePhase(p2, 330.0 * drop / sampleRate);
    }
    shapeEdges(out);
    return out;
}

static std::vector<float> renderHiHat(const Note& note, Noise& noise)
{
    const float ring = static_cast<float>(std::max(0.01, note.length));
    std::vector<float> out(framesFor(std::min(2.0, 5.0 * ring + tailFade)));
    // Inharmonic square partials give the metal its colour; the noise gives the hiss.
    constexpr int partialCount = 6;
    const double ratios[partialCount] = {317.0, 449.0, 563.0, 701.0, 829.0, 1031.0};
    double phase[partialCount] = {};
    Svf hp;
    tuneSvf(hp, 7000.0f, 0.7f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sampleRate;
        float metal = 0.0f;
        for (int k = 0; k < partialCount; ++k) {
            metal += phase[k] < 0.5 ? 1.0f : -1.0f;
            phase[k] = advancePhase(phase[k], ratios[k] * 2.3 / sampleRate);
        }
        const float s = stepSvf(hp, 0.12f * metal + nextNoise(noise)).high;
        out[i] = 0.5f * note.velocity * s * decayAt(t, ring);
    }
    shapeEdges(out);
    return out;
}

static std::vector<float> renderCrash(const Note& note, Noise& noise)
{
    const float ring = static_cast<float>(std::max(0.1, note.length));
    std::vector<float> out(framesFor(std::min(6.0, 4.0 * ring)));
    Svf hp, band;
    tuneSvf(hp, 3500.0f, 0.7f);
    tuneSvf(band, 6500.0f, 1.2f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sampleRate;
        const float n = nextNoise(noise);
        const float s = stepSvf(hp, n).high + 0.6f * stepSvf(band, n).band;
        // A fast initial splash over the long wash.
        const float level = 0.6f * decayAt(t, ring) + 0.4f * decayAt(t, 0.08f);
        out[i] = 0.45f * note.velocity * s * level;
    }
    shapeEdges(out);
    return out;
}

struct Membrane {
    float ratios[4];
    float gains[4];
    float decays[4];  // seconds
    float pitchDrop;  // fraction of the pitch at the strike
    float dropTime;   // seconds
    float mallet;     // level of the noise burst of the strike
    double seconds;   // buffer length
};

static std::vector<float> renderMembrane(const Note& note, Noise& noise, const Membrane& m)
{
    std::vector<float> out(framesFor(m.seconds));
    const double f = midiToHz(note.pitch);
    double phase[4] = {};
    OnePole malletFilter = makeOnePole(900.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sampleRate;
        const double bend = 1.0 + m.pitchDrop * decayAt(t, m.dropTime);
        float s = m.mallet * lowPass(malletFilter, nextNoise(noise)) * decayAt(t, 0.012f);
        for (int k = 0; k < 4; ++k) {
            s += m.gains[k] * sineWave(phase[k]) * decayAt(t, m.decays[k]);
            phase[k] = advancePhase(phase[k], f * m.ratios[k] * bend / sampleRate);
        }
        out[i] = note.velocity * s;
    }
    shapeEdges(out);
    return out;
}

static std::vector<float> renderRiser(const Note& note, Noise& noise)
{
    EnvelopeRun env = startEnvelope({0.05f, 1.0f, 1.0f, note.release > 0.0f ? note.release : 0.03f}, note.length);
    std::vector<float> out(envelopeFrames(env));
    Svf band;
    const double span = std::max(note.length, 0.05);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double x = std::min(1.0, static_cast<double>(i) / sampleRate / span);
        if (i % 16 == 0) {
            tuneSvf(band, static_cast<float>(250.0 * std::pow(36.0, x)), 2.5f);
        }
        const float swell = static_cast<float>(x * x);
        out[i] = 0.9f * note.velocity * stepSvf(band, nextNoise(noise)).band * swell * nextEnvelopeLevel(env);
    }
    return out;
}

std::vector<float> renderPercussion(const Note& note, std::uint32_t seed)
{
    Noise noise = makeNoise(seed);
    switch (note.voice) {
    case Voice::Kick: return renderKick(note, noise);
    case Voice::Snare: return renderSnare(note, noise);
    case Voice::HiHat: return renderHiHat(note, noise);
    case Voice::Crash: return renderCrash(note, noise);
    case Voice::Timpani:
        return renderMembrane(note, noise,
                              {{1.0f, 1.504f, 1.742f, 2.0f},
                               {1.0f, 0.5f, 0.25f, 0.2f},
                               {1.4f, 0.9f, 0.6f, 0.5f},
                               0.04f,
                               0.06f,
                               0.5f,
                               3.0});
    case Voice::Tom:
        return renderMembrane(note, noise,
                              {{1.0f, 1.5f, 2.0f, 2.5f},
                               {1.0f, 0.3f, 0.15f, 0.05f},
                               {0.35f, 0.2f, 0.12f, 0.08f},
                               0.5f,
                               0.03f,
                               0.3f,
                               0.8});
    case Voice::Riser: return renderRiser(note, noise);
    default: return {};
    }
}
