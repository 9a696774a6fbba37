// Building blocks of the soundtrack synthesizer: envelopes, oscillators, filters, the voices'
// note edges, panning, the delay, the loudness meter and the limiter.
#include "audio_format.h"
#include "echo.h"
#include "envelope.h"
#include "filter.h"
#include "limiter.h"
#include "loudness.h"
#include "mix.h"
#include "noise.h"
#include "oscillator.h"
#include "voices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

StereoBuffer sine(double hz, float amplitude, double seconds)
{
    StereoBuffer b = makeStereoBuffer(static_cast<std::size_t>(seconds * sampleRate));
    for (std::size_t i = 0; i < frameCount(b); ++i) {
        b.left[i] = b.right[i] = amplitude * static_cast<float>(std::sin(2.0 * pi * hz * i / sampleRate));
    }
    return b;
}

float rms(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        sum += x[i] * x[i];
    }
    return static_cast<float>(std::sqrt(sum / (to - from)));
}

TEST(Envelope, RisesHoldsAndReleasesToSilenceWithoutJumps)
{
    EnvelopeRun run = startEnvelope({0.01f, 0.05f, 0.5f, 0.02f}, 0.3);
    const std::size_t frames = envelopeFrames(run);
    EXPECT_EQ(frames, static_cast<std::size_t>(std::lround(0.32 * sampleRate)));
    std::vector<float> levels(frames);
    for (float& l : levels) {
        l = nextEnvelopeLevel(run);
    }
    EXPECT_EQ(levels.front(), 0.0f);
    EXPECT_NEAR(levels.back(), 0.0f, 1e-5f);
    EXPECT_NEAR(*std::max_element(levels.begin(), levels.end()), 1.0f, 0.01f);
    EXPECT_NEAR(levels[static_cast<std::size_t>(0.29 * sampleRate)], 0.5f, 0.01f);
    // The steepest step of a 10 ms smoothstep rise is 1.5 / 441: anything bigger is a click.
    for (std::size_t i = 1; i < frames; ++i) {
        ASSERT_LT(std::fabs(levels[i] - levels[i - 1]), 1.6f / 441.0f) << "at frame " << i;
    }
}

TEST(Envelope, NoteReleasedDuringAttackFallsFromWhereItIs)
{
    EnvelopeRun run = startEnvelope({0.1f, 1.0f, 1.0f, 0.01f}, 0.02);
    float previous = 0.0f, peak = 0.0f, biggestStep = 0.0f;
    for (std::size_t i = 0; i < envelopeFrames(run); ++i) {
        const float l = nextEnvelopeLevel(run);
        peak = std::max(peak, l);
        biggestStep = std::max(biggestStep, std::fabs(l - previous));
        previous = l;
    }
    EXPECT_LT(peak, 0.2f);
    EXPECT_LT(biggestStep, 0.01f);
    EXPECT_NEAR(previous, 0.0f, 1e-5f);
}

TEST(Oscillator, SawHasThePitchAskedForAndStaysBounded)
{
    const double hz = midiToHz(69.0f);
    EXPECT_NEAR(hz, 440.0, 1e-3);
    EXPECT_NEAR(midiToHz(81.0f), 880.0, 1e-2);
    double phase = 0.25;
    int wraps = 0;
    float peak = 0.0f;
    for (int i = 0; i < sampleRate; ++i) {
        const double next = advancePhase(phase, hz / sampleRate);
        wraps += next < phase ? 1 : 0;
        phase = next;
        peak = std::max(peak, std::fabs(sawWave(phase, hz / sampleRate)));
    }
    EXPECT_EQ(wraps, 440);
    EXPECT_LT(peak, 1.1f);
}

TEST(Filter, LowPassKeepsTheBassAndRemovesTheTreble)
{
    auto gainThrough = [](double hz) {
        Svf f;
        tuneSvf(f, 500.0f, 0.707f);
        std::vector<float> out(sampleRate / 2);
        const StereoBuffer in = sine(hz, 1.0f, 0.5);
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = stepSvf(f, in.left[i]).low;
        }
        return rms(out, out.size() / 2, out.size()) / rms(in.left, in.left.size() / 2, in.left.size());
    };
    EXPECT_NEAR(gainThrough(100.0), 1.0f, 0.05f);
    EXPECT_NEAR(gainThrough(500.0), 0.707f, 0.05f);
    EXPECT_LT(gainThrough(8000.0), 0.01f);
}

TEST(Noise, SameSeedSameSequenceAndCentred)
{
    Noise a = makeNoise(7), b = makeNoise(7), c = makeNoise(8);
    double sum = 0.0;
    int differ = 0;
    for (int i = 0; i < 100000; ++i) {
        const float x = nextNoise(a);
        ASSERT_EQ(x, nextNoise(b));
        differ += x != nextNoise(c) ? 1 : 0;
        ASSERT_GE(x, -1.0f);
        ASSERT_LT(x, 1.0f);
        sum += x;
    }
    EXPECT_GT(differ, 99000);
    EXPECT_NEAR(sum / 100000.0, 0.0, 0.01);
}

// Every voice, at a few pitches: finite, audible, bounded, and silent at both ends.
TEST(Voices, EveryVoiceStartsAndEndsInSilence)
{
    for (int v = static_cast<int>(Voice::Drone); v <= static_cast<int>(Voice::Riser); ++v) {
        for (float pitch : {26.0f, 50.0f, 86.0f}) {
            Note note;
            note.voice = static_cast<Voice>(v);
            note.length = 0.3;
            note.pitch = pitch;
            note.glide = 7.0f;
            // Short enough for the pitched voices' own slow swells to reach full level.
            note.attack = 0.02f;
            const std::vector<float> s = renderNote(note, 99);
            SCOPED_TRACE("voice " + std::to_string(v) + " pitch " + std::to_string(pitch));
            ASSERT_GT(s.size(), static_cast<std::size_t>(0.1 * sampleRate));
            float peak = 0.0f;
            for (float x : s) {
                ASSERT_TRUE(std::isfinite(x));
                peak = std::max(peak, std::fabs(x));
            }
            EXPECT_GT(peak, 0.01f);
            EXPECT_LT(peak, 2.0f);
            EXPECT_LT(std::fabs(s.front()), 0.02f * peak);
            EXPECT_LT(std::fabs(s.back()), 0.001f * peak);
        }
    }
}

TEST(Voices, SameSeedRendersTheSameSamples)
{
    Note snare;
    snare.voice = Voice::Snare;
    EXPECT_EQ(renderNote(snare, 5), renderNote(snare, 5));
    EXPECT_NE(renderNote(snare, 5), renderNote(snare, 6));
}

TEST(Mix, PanningKeepsPowerAndPlacesTheSound)
{
    for (float pan : {-1.0f, -0.3f, 0.0f, 0.6f, 1.0f}) {
        float l = 0.0f, r = 0.0f;
        panGains(pan, l, r);
        EXPECT_NEAR(l * l + r * r, 1.0f, 1e-5f);
    }
    float l = 0.0f, r = 0.0f;
    panGains(-1.0f, l, r);
    EXPECT_NEAR(r, 0.0f, 1e-6f);
    panGains(0.5f, l, r);
    EXPECT_GT(r, l);
}

TEST(Echo, RepeatsAlternateSidesAndFade)
{
    StereoBuffer send = makeStereoBuffer(sampleRate);
    send.left[100] = send.right[100] = 1.0f;
    const EchoSettings settings{0.1f, 0.5f, 20000.0f};
    const StereoBuffer wet = renderEcho(send, settings);
    const std::size_t d = static_cast<std::size_t>(0.1f * sampleRate);
    auto energyNear = [](const std::vector<float>& x, std::size_t at) {
        float e = 0.0f;
        for (std::size_t i = at - 5; i < at + 20; ++i) {
            e += std::fabs(x[i]);
        }
        return e;
    };
    EXPECT_GT(energyNear(wet.left, 100 + d), 0.5f);
    EXPECT_LT(energyNear(wet.right, 100 + d), 0.01f);
    EXPECT_GT(energyNear(wet.right, 100 + 2 * d), 0.2f);
    EXPECT_LT(energyNear(wet.left, 100 + 2 * d), 0.01f);
    EXPECT_LT(energyNear(wet.left, 100 + 3 * d), energyNear(wet.left, 100 + d));
    EXPECT_EQ(wet.left[50], 0.0f);
}

TEST(Loudness, SineLevelsMatchTheReferenceAndSilenceIsGated)
{
    // A 1 kHz sine at 0 dBFS in both channels reads 0 LUFS; K-weighting is flat there to 0.1 dB.
    EXPECT_NEAR(integratedLoudness(sine(997.0, 1.0f, 5.0)), 0.0, 0.15);
    EXPECT_NEAR(integratedLoudness(sine(997.0, 0.1f, 5.0)), -20.0, 0.15);
    // The shelf lifts 8 kHz by 3.4 dB (ffmpeg's ebur128 reads -16.6 for this sine); the high pass
    // takes the deep bass down.
    EXPECT_NEAR(integratedLoudness(sine(8000.0, 0.1f, 5.0)), -16.6, 0.15);
    EXPECT_LT(integratedLoudness(sine(25.0, 0.1f, 5.0)), -22.0);
    EXPECT_EQ(integratedLoudness(makeStereoBuffer(5 * sampleRate)), silenceLufs);
}

TEST(Loudness, QuietStretchesAreGatedOut)
{
    StereoBuffer b = sine(997.0, 0.1f, 10.0);
    for (std::size_t i = 0; i < frameCount(b) / 2; ++i) {
        b.left[i] *= 0.001f;
        b.right[i] *= 0.001f;
    }
    EXPECT_NEAR(integratedLoudness(b), -20.0, 0.2);
}

TEST(Limiter, HoldsTheCeilingWithoutTouchingQuietPassages)
{
    StereoBuffer b = sine(220.0, 0.5f, 2.0);
    Noise noise = makeNoise(3);
    const std::size_t burst = sampleRate;
    for (std::size_t i = burst; i < burst + 2000; ++i) {
        b.left[i] = 3.0f * nextNoise(noise);
        b.right[i] = -b.left[i];
    }
    const StereoBuffer original = b;
    const LimiterSettings settings;
    limitPeaks(b, settings);
    float peak = 0.0f, biggestGainStep = 0.0f, previousGain = 1.0f;
    for (std::size_t i = 0; i < frameCount(b); ++i) {
        peak = std::max({peak, std::fabs(b.left[i]), std::fabs(b.right[i])});
        if (std::fabs(original.left[i]) > 0.05f) {
            const float gain = b.left[i] / original.left[i];
            biggestGainStep = std::max(biggestGainStep, std::fabs(gain - previousGain));
            previousGain = gain;
        }
    }
    EXPECT_LE(peak, settings.ceiling);
    EXPECT_LT(biggestGainStep, 0.1f);
    // Well before the burst and long after it the signal passes unchanged.
    EXPECT_EQ(b.left[burst / 2], original.left[burst / 2]);
    EXPECT_NEAR(b.left[burst + 2000 + sampleRate / 2] / original.left[burst + 2000 + sampleRate / 2], 1.0f, 0.01f);
}

}  // namespace
