// What the Windows demo plays, heard through Wine: Wine's audio output is ALSA's file plugin over
// its null device, which takes sound faster than real time, so Wine fills the waits between the
// program's buffers with digital silence. Without those stretches the recording must be the
// decoded soundtrack from its first sample on, block for block: a buffer lost, repeated or
// played out of order would break the match from there on. Where the program's queue ran dry and
// the sound comes back, it comes back faded in, so those few milliseconds are left out of the match.
#include "sound/sound_stream.h"
#include "support/audio.h"
#include "wine_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace {

const std::string soundtrack = std::string(LUMARQ_RUN_DIR) + "/mp3/zarathustra2.mp3";
constexpr int sampleRate = 44100;
// Wine's fill between buffers is exact zeros, a few milliseconds or more; the music has no such
// stretch, and shorter runs of zeros (a waveform crossing) are kept.
constexpr size_t silentStretchFrames = 32;

struct Heard {
    std::vector<double> samples;
    std::vector<size_t> resumedAt;  // where in samples the sound came back after a removed stretch
};

// Interleaved stereo without the runs of silent frames at least silentStretchFrames long, as the
// sum of the two channels.
Heard withoutSilentStretches(const std::vector<int16_t>& stereo)
{
    Heard heard;
    std::vector<double>& kept = heard.samples;
    size_t silentFrom = 0;
    const size_t frames = stereo.size() / 2;
    for (size_t i = 0; i <= frames; ++i) {
        const bool silent = i < frames && stereo[2 * i] == 0 && stereo[2 * i + 1] == 0;
        if (silent) {
            continue;
        }
        if (i - silentFrom < silentStretchFrames) {
            kept.insert(kept.end(), i - silentFrom, 0.0);
        } else if (silentFrom > 0) {
            heard.resumedAt.push_back(kept.size());
        }
        if (i < frames) {
            kept.push_back(static_cast<double>(stereo[2 * i]) + stereo[2 * i + 1]);
        }
        silentFrom = i + 1;
    }
    return heard;
}

// Where the queue ran dry, the first frames of the fade-in come out as zeros too and went with the
// stretch: put back as many as line the sound after the fade up with the file again. At most a
// fade's worth can be put back, so a lost buffer (thousands of frames) stays lost.
void restoreFadedFrames(Heard& heard, const std::vector<double>& decoded, size_t fadeFrames, size_t block)
{
    size_t inserted = 0;
    for (size_t& resumed : heard.resumedAt) {
        resumed += inserted;
        const size_t after = resumed + fadeFrames;
        if (after + block > heard.samples.size() || after + fadeFrames + block > decoded.size()) {
            break;
        }
        size_t missing = 0;
        double bestMatch = -2.0;
        for (size_t k = 0; k <= fadeFrames; ++k) {
            const double match = correlation(decoded, after + k, heard.samples, after, block);
            if (match > bestMatch) {
                bestMatch = match;
                missing = k;
            }
        }
        heard.samples.insert(heard.samples.begin() + static_cast<std::ptrdiff_t>(resumed), missing, 0.0);
        inserted += missing;
    }
}

TEST(WindowsSound, TheDemoPlaysTheSoundtrackThroughWaveOutWithoutALossOrARepeat)
{
    WineRun wine = prepareWineRun(WineAudio::recorded);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = LUMARQ_WINDOWS_RUN_DIR;
    wine.options.setEnv.push_back("LUMARQ_RUN_SECONDS=5");
    const ProcessResult run = runUnderWine(untilEscape(underWine("lumarq-1280x720.exe")), wine.options);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.find("FMOD error!"), std::string::npos) << run.out;

    const WaveFile wave = readWave(wine.recording());
    ASSERT_TRUE(wave.valid) << "Wine recorded nothing at " << wine.recording();
    EXPECT_TRUE(wave.sizesFinal) << "the device was not closed at exit";
    ASSERT_EQ(wave.rate, sampleRate);
    ASSERT_EQ(wave.channels, 2);
    const std::vector<double> decoded = withoutSilentStretches(decodeMp3Start(soundtrack, 60)).samples;
    const size_t block = sampleRate / 20;
    const size_t fadeFrames = sampleRate * soundStreamFadeInMs / 1000;
    Heard recorded = withoutSilentStretches(wave.samples);
    restoreFadedFrames(recorded, decoded, fadeFrames, block);
    const std::vector<double>& heard = recorded.samples;
    ASSERT_GT(heard.size(), static_cast<size_t>(3 * sampleRate)) << "too little of the soundtrack was heard";
    ASSERT_LE(heard.size(), decoded.size());

    // The recording starts where the file starts.
    ASSERT_GT(correlation(decoded, 0, heard, 0, block * 4), 0.99)
        << "the recording does not open with the soundtrack";
    // And every 50 ms block after that lines up with the file at that same place, from the end of
    // any fade-in within it.
    int checked = 0;
    for (size_t at = 0; at + block <= heard.size(); at += block) {
        size_t from = at;
        for (size_t resumed : recorded.resumedAt) {
            if (resumed < at + block && resumed + fadeFrames > at) {
                from = std::max(from, resumed + fadeFrames);
            }
        }
        const size_t length = at + block > from ? at + block - from : 0;
        double energy = 0.0;
        for (size_t i = from; i < from + length; ++i) {
            energy += decoded[i] * decoded[i];
        }
        if (length < block / 2 || energy < length * 200.0 * 200.0) {
            continue;  // near silence, or a sliver, says nothing about alignment
        }
        ASSERT_GT(correlation(decoded, from, heard, from, length), 0.99)
            << "block at " << at * 1000 / sampleRate << " ms, from " << from * 1000 / sampleRate
            << " ms; the sound came back after a gap " << recorded.resumedAt.size() << " times";
        ++checked;
    }
    EXPECT_GT(checked, 40);
}

}  // namespace
