// The pitched voices: subtractive saw/pulse voices, FM keys and bell, and the hop "boing".
#include "voices.h"

#include "audio_format.h"
#include "envelope.h"
#include "filter.h"
#include "noise.h"
#include "oscillator.h"

#include <cmath>

// Filters are retuned every this many frames: fast enough for any sweep here, and it keeps
// tan() out of the per-sample loop.
constexpr std::size_t controlFrames = 16;
constexpr double twoPi = 2.0 * pi;

static Envelope withOverrides(Envelope shape, const Note& note)
{
    if (note.attack > 0.0f) {
        shape.attack = note.attack;
    }
    if (note.release > 0.0f) {
        shape.release = note.release;
    }
    return shape;
}

static float seconds(std::size_t frame)
{
    return static_cast<float>(frame) / sampleRate;
}

// Staggered start phases keep unison oscillators from starting in lockstep (a hard "zip").
static double startPhase(Noise& noise)
{
    return 0.5 * (nextNoise(noise) + 1.0f);
}

// One sample of `count` saws at `frequency` times each detune factor and the shared pitch bend,
// advancing each saw's phase.
static float detunedSaws(double* phase, const double* detune, int count, double frequency, double bend)
{
    float s = 0.0f;
    for (int v = 0; v < count; ++v) {
        const double dt = frequency * detune[v] * bend / sampleRate;
        s += sawWave(phase[v], dt);
        phase[v] = advancePhase(phase[v], dt);
    }
    return s;
}

static std::vector<float> renderDrone(const Note& note, Noise& noise)
{
    EnvelopeRun env = startEnvelope(withOverrides({2.0f, 1.0f, 1.0f, 2.0f}, note), note.length);
    std::vector<float> out(envelopeFrames(env));
    const double f = midiToHz(note.pitch);
    const double dtLow = f * 0.9965 / sampleRate;
    const double dtHigh = f * 1.0035 / sampleRate;
    const double dtSub = f / sampleRate;
    double p1 = startPhase(noise), p2 = startPhase(noise), p3 = 0.0;
    Svf lp;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i % controlFrames == 0) {
            const float x = static_cast<float>(i) / static_cast<float>(out.size());
            tuneSvf(lp, 90.0f + note.tone * 1400.0f * x * x, 0.9f);
        }
        const float s = 0.35f * (sawWave(p1, dtLow) + sawWave(p2, dtHigh)) + 0.5f * sineWave(p3);
        out[i] = stepSvf(lp, s).low * nextEnvelopeLevel(env) * note.velocity;
        p1 = advancePhase(p1, dtLow);
        p2 = advancePhase(p2, dtHigh);
        p3 = advancePhase(p3, dtSub);
    }
    return out;
}

static std::vector<float> renderBrass(const Note& note, Noise& noise)
{
    EnvelopeRun env = startEnvelope(withOverrides({0.06f, 0.4f, 0.8f, 0.35f}, note), note.length);
    EnvelopeRun filterEnv = startEnvelope({0.08f, 0.5f, 0.5f, 0.35f}, note.length);
    std::vector<float> out(envelopeFrames(env));
    const double f = midiToHz(note.pitch);
    const double detune[3] = {0.9975, 1.0, 1.0028};
    double phase[3] = {startPhase(noise), startPhase(noise), startPhase(noise)};
    Svf lp;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = seconds(i);
        const float fe = nextEnvelopeLevel(filterEnv);
        if (i % controlFrames == 0) {
            tuneSvf(lp, static_cast<float>(f) * 1.2f + (500.0f + 4000.0f * note.tone) * fe, 0.8f);
        }
        // A brass player's slight scoop into the note, then vibrato once the note has settled.
        const float scoop = -0.3f * std::exp(-t / 0.03f);
        const float vibrato =
            0.12f * smoothstep((t - 0.35f) / 0.4f) * std::sin(static_cast<float>(twoPi) * 5.2f * t);
        const double bend = std::pow(2.0, (scoop + vibrato) / 12.0);
        const float s = detunedSaws(phase, detune, 3, f, bend);
        out[i] = 0.33f * stepSvf(lp, s).low * nextEnvelopeLevel(env) * note.velocity;
    }
    return out;
}

static std::vector<float> renderStrings(const Note& note, Noise& noise)
{
    EnvelopeRun env = startEnvelope(withOverrides({0.4f, 1.0f, 1.0f, 0.8f}, note), note.length);
    std::vector<float> out(envelopeFrames(env));
    const double f = midiToHz(note.pitch);
    constexpr int unisonVoices = 5;
    const double detune[unisonVoices] = {0.989, 0.995, 1.0, 1.006, 1.012};
    double phase[unisonVoices];
    for (double& p : phase) {
        p = startPhase(noise);
    }
    Svf lp;
    tuneSvf(lp, static_cast<float>(f) * 3.0f + 1200.0f + 3000.0f * note.tone, 0.7f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = seconds(i);
        const double bend = 1.0 + 0.0015 * std::sin(twoPi * 5.5 * t);
        const float s = detunedSaws(phase, detune, unisonVoices, f, bend);
        out[i] = 0.2f * stepSvf(lp, s).low * nextEnvelopeLevel(env) * note.velocity;
    }
    return out;
}

static std::vector<float> renderBass(const Note& note, Noise& noise)
{
    EnvelopeRun env = startEnvelope(withOverrides({0.003f, 0.4f, 0.7f, 0.05f}, note), note.length);
    std::vector<float> out(envelopeFrames(env));
    const double f = midiToHz(note.pitch);
    const double dt = f / sampleRate;
    double p = startPhase(noise), sub = 0.0;
    const float pluckFactor = std::exp(-1.0f / (0.12f * sampleRate));
    float pluck = 1.0f;
    Svf lp;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i % controlFrames == 0) {
            tuneSvf(lp, static_cast<float>(f) * 1.5f + 2500.0f * note.tone * pluck, 1.1f);
        }
        pluck *= pluckFactor;
        const float s = 0.5f * sawWave(p, dt) + 0.35f * pulseWave(p, dt, 0.5) + 0.5f * sineWave(sub);
        out[i] = 0.8f * stepSvf(lp, s).low * nextEnvelopeLevel(env) * note.velocity;
        p = advancePhase(p, dt);
        sub = advancePhase(sub, dt);
    }
    return out;
}

static std::vector<float> renderPluck(const Note& note, Noise& noise)
{
    EnvelopeRun env = startEnvelope(withOverrides({0.002f, 0.18f, 0.2f, 0.06f}, note), note.length);
    std::vector<float> out(envelopeFrames(env));
    const double f = midiToHz(note.pitch);
    const double dt = f / sampleRate;
    double p = startPhase(noise);
    const float pluckFactor = std::exp(-1.0f / (0.09f * sampleRate));
    float pluck = 1.0f;
    Svf lp;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i % controlFrames == 0) {
            tuneSvf(lp, static_cast<float>(f) * 1.5f + 6000.0f * note.tone * pluck, 1.4f);
        }
        pluck *= pluckFactor;
        const double width = 0.3 + 0.1 * std::sin(twoPi * 0.7 * seconds(i));
        const float s = pulseWave(p, dt, width) + 0.3f * sawWave(p, dt);
        out[i] = 0.7f * stepSvf(lp, s).low * nextEnvelopeLevel(env) * note.velocity;
        p = advancePhase(p, dt);
    }
    return out;
}

// Two-operator FM: a sine carrier whose phase is pushed by a sine modulator at `ratio` times the
// pitch, with a modulation index that falls from `index` to `floorIndex`.
struct FmShape {
    Envelope envelope;
    double ratio;
    float index;
    float floorIndex;
    float indexDecay;  // seconds
    float gain;
};

static std::vector<float> renderFm(const Note& note, const FmShape& shape)
{
    EnvelopeRun env = startEnvelope(withOverrides(shape.envelope, note), note.length);
    std::vector<float> out(envelopeFrames(env));
    const double f = midiToHz(note.pitch);
    const double dtCarrier = f / sampleRate;
    const double dtModulator = f * shape.ratio / sampleRate;
    double pc = 0.0, pm = 0.0, pOctave = 0.0;
    const float indexFactor = std::exp(-1.0f / (shape.indexDecay * sampleRate));
    float index = shape.index * (0.4f + 0.6f * note.tone);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float mod = (index + shape.floorIndex) * sineWave(pm);
        index *= indexFactor;
        const float s = static_cast<float>(std::sin(twoPi * pc + mod)) + 0.15f * sineWave(pOctave);
        out[i] = shape.gain * s * nextEnvelopeLevel(env) * note.velocity;
        pc = advancePhase(pc, dtCarrier);
        pm = advancePhase(pm, dtModulator);
        pOctave = advancePhase(pOctave, 2.0 * dtCarrier);
    }
    return out;
}

static std::vector<float> renderBlip(const Note& note)
{
    EnvelopeRun env = startEnvelope(withOverrides({0.001f, 0.12f, 0.0f, 0.03f}, note), note.length);
    std::vector<float> out(envelopeFrames(env));
    const double f = midiToHz(note.pitch);
    double p = 0.0, p2 = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        // Starts an octave up and drops onto the pitch within a few milliseconds: a soft thump.
        const double drop = 1.0 + std::exp(-seconds(i) / 0.012f);
        const double dt = f * drop / sampleRate;
        const float s = sineWave(p) + 0.3f * sineWave(p2);
        out[i] = 0.9f * std::tanh(1.6f * s) * nextEnvelopeLevel(env) * note.velocity;
        p = advancePhase(p, dt);
        p2 = advancePhase(p2, 2.0 * dt);
    }
    return out;
}

static std::vector<float> renderBoing(const Note& note)
{
    EnvelopeRun env = startEnvelope(withOverrides({0.004f, 0.3f, 0.6f, 0.08f}, note), note.length);
    std::vector<float> out(envelopeFrames(env));
    const double f = midiToHz(note.pitch);
    const double span = std::max(note.length, 0.01);
    double p = 0.0, pm = 0.0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double x = std::min(1.0, seconds(i) / span);
        const double dt = f * std::pow(2.0, note.glide * std::sin(pi * x) / 12.0) / sampleRate;
        const float s = static_cast<float>(std::sin(twoPi * p + 0.8 * sineWave(pm)));
        out[i] = 0.6f * s * nextEnvelopeLevel(env) * note.velocity;
        p = advancePhase(p, dt);
        pm = advancePhase(pm, 2.0 * dt);
    }
    return out;
}

std::vector<float> renderPitched(const Note& note, std::uint32_t seed)
{
    Noise noise = makeNoise(seed);
    switch (note.voice) {
    case Voice::Drone: return renderDrone(note, noise);
    case Voice::Brass: return renderBrass(note, noise);
    case Voice::Strings: return renderStrings(note, noise);
    case Voice::Bass: return renderBass(note, noise);
    case Voice::Pluck: return renderPluck(note, noise);
    case Voice::Keys: return renderFm(note, {{0.002f, 0.35f, 0.25f, 0.08f}, 1.0, 1.5f, 0.2f, 0.15f, 0.45f});
    case Voice::Bell: return renderFm(note, {{0.002f, 0.9f, 0.0f, 0.3f}, 3.5, 2.5f, 0.3f, 0.25f, 0.4f});
    case Voice::Blip: return renderBlip(note);
    case Voice::Boing: return renderBoing(note);
    default: return {};
    }
}
