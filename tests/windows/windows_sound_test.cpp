// What the Windows demo plays, heard through Wine: Wine's audio output is ALSA's file plugin over
// its null device, which takes sound faster than real time, so Wine fills the waits between the
// program's buffers with digital silence. Without those stretches the recording must be the
// decoded soundtrack from its first sample on, block for block: a buffer lost, repeated or
// played out of order would break the match from there on.
#include "support/audio.h"
#include "wine_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string soundtrack = std::string(LUMARQ_RUN_DIR) + "/mp3/zarathustra2.mp3";
constexpr int sampleRate = 44100;
// Wine's fill between buffers is exact zeros, a few milliseconds or more; the music has no such
// stretch, and shorter runs of zeros (a waveform crossing) are kept.
constexpr size_t silentStretchFrames = 32;

// Interleaved stereo without the runs of silent frames at least silentStretchFrames long, as the
// sum of the two channels.
std::vector<double> withoutSilentStretches(const std::vector<int16_t>& stereo)
{
    std::vector<double> kept;
    size_t silentFrom = 0;
    const size_t frames = stereo.size() / 2;
    for (size_t i = 0; i <= frames; ++i) {
        const bool silent = i < frames && stereo[2 * i] == 0 && stereo[2 * i + 1] == 0;
        if (silent) {
            continue;
        }
        if (i - silentFrom < silentStretchFrames) {
            kept.insert(kept.end(), i - silentFrom, 0.0);
        }
        if (i < frames) {
            kept.push_back(static_cast<double>(stereo[2 * i]) + stereo[2 * i + 1]);
        }
        silentFrom = i + 1;
    }
    return kept;
}

TEST(WindowsSound, TheDemoPlaysTheSoundtrackThroughWaveOutWithoutALossOrARepeat)
{
    WineRun wine = prepareWineRun(WineAudio::recorded);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = LUMARQ_WINDOWS_RUN_DIR;
    wine.options.setEnv.push_back("LUMARQ_RUN_SECONDS=5");
    const ProcessResult run = runProcess(untilEscape(underWine("lumarq-1280x720.exe")), wine.options);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.find("FMOD error!"), std::string::npos) << run.out;

    const WaveFile wave = readWave(wine.recording());
    ASSERT_TRUE(wave.valid) << "Wine recorded nothing at " << wine.recording();
    EXPECT_TRUE(wave.sizesFinal) << "the device was not closed at exit";
    ASSERT_EQ(wave.rate, sampleRate);
    ASSERT_EQ(wave.channels, 2);
    const std::vector<double> heard = withoutSilentStretches(wave.samples);
    const std::vector<double> decoded = withoutSilentStretches(decodeMp3Start(soundtrack, 60));
    ASSERT_GT(heard.size(), static_cast<size_t>(3 * sampleRate)) << "too little of the soundtrack was heard";
    ASSERT_LE(heard.size(), decoded.size());

    // The recording starts where the file starts.
    const size_t block = sampleRate / 20;
    ASSERT_GT(correlation(decoded, 0, heard, 0, block * 4), 0.99)
        << "the recording does not open with the soundtrack";
    // And every 50 ms block after that lines up with the file at that same place.
    int checked = 0;
    for (size_t at = 0; at + block <= heard.size(); at += block) {
        double energy = 0.0;
        for (size_t i = at; i < at + block; ++i) {
            energy += decoded[i] * decoded[i];
        }
        if (energy < block * 200.0 * 200.0) {
            continue;  // near silence says nothing about alignment
        }
        ASSERT_GT(correlation(decoded, at, heard, at, block), 0.99)
            << "block at " << at * 1000 / sampleRate << " ms";
        ++checked;
    }
    EXPECT_GT(checked, 40);
}

}  // namespace
