// The real soundtrack through the sound layer: a child process plays its first seconds to
// OpenAL Soft's wave writer with a frame loop's updates (a few of them late, as after a long
// frame), and the recording must follow the decoded file block by block, with no gap or repeat.
#include "sound/sound_channel.h"
#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_system.h"
#include "support/audio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string soundtrack = std::string(LUMARQ_RUN_DIR) + "/mp3/zarathustra2.mp3";
constexpr int sampleRate = 44100;
constexpr int playMs = 6000;
// A frame every 16 ms, and every 1.5 s one that takes 150 ms: well inside the queued audio.
constexpr int frameMs = 16;
constexpr int longFrameEveryMs = 1500;
constexpr int longFrameMs = 150;

int runChild()
{
    SoundSystem* system = nullptr;
    SoundStream* stream = nullptr;
    SoundChannel* channel = nullptr;
    if (soundSystemCreate(&system) != soundOk ||
        soundSystemInit(system, 100, soundInitNormal, nullptr) != soundOk ||
        soundSystemCreateStream(system, soundtrack.c_str(), soundModeDefault, nullptr, &stream) != soundOk ||
        soundSystemPlaySound(system, soundChannelFree, stream, true, &channel) != soundOk) {
        return 2;
    }
    soundChannelSetPaused(channel, false);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto nextLong = start + std::chrono::milliseconds(longFrameEveryMs);
    auto lastUpdate = start;
    Clock::duration longestBetweenUpdates{};
    int failures = 0;
    while (Clock::now() - start < std::chrono::milliseconds(playMs)) {
        failures += soundSystemUpdate(system) != soundOk;
        const auto now = Clock::now();
        longestBetweenUpdates = std::max(longestBetweenUpdates, now - lastUpdate);
        lastUpdate = now;
        const bool late = now >= nextLong;
        if (late) {
            nextLong += std::chrono::milliseconds(longFrameEveryMs);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(late ? longFrameMs : frameMs));
    }
    // How much the device had mixed while the loop still kept the stream fed: what it mixes
    // after this, while the process tears the sound down, is not the stream's doing.
    double mixedMs = 0.0;
    if (soundSystemGetOutputClock(system, &mixedMs) != soundOk) {
        return 4;
    }
    std::printf("mixed=%.1f\nlongest=%lld\n", mixedMs,
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(longestBetweenUpdates).count()));
    return failures == 0 ? 0 : 3;
}

const int childExit = [] {
    if (std::getenv("LUMARQ_SOUNDTRACK_CHILD") != nullptr) {
        std::exit(runChild());
    }
    return 0;
}();

TEST(SoundtrackStream, PlaysThroughLateFramesWithoutAGapOrARepeat)
{
    const std::vector<double> decoded = mono(decodeMp3Start(soundtrack, playMs / 1000 + 1));
    ASSERT_GT(decoded.size(), static_cast<size_t>(sampleRate) * 5) << "cannot decode " << soundtrack;

    const std::string dir = makeTempDir("lumarq-soundtrack");
    ProcessOptions options = waveOutputOptions(dir, dir + "/out.wav");
    options.setEnv.push_back("LUMARQ_SOUNDTRACK_CHILD=1");
    const ProcessResult child = runProcess({"/proc/self/exe"}, options);
    ASSERT_EQ(child.exitStatus, 0) << child.err;
    double mixedMs = 0.0;
    long long longestMs = 0;
    ASSERT_EQ(std::sscanf(child.out.c_str(), "mixed=%lf\nlongest=%lld", &mixedMs, &longestMs), 2) << child.out;
    const WaveFile wave = readWave(dir + "/out.wav");
    ASSERT_TRUE(wave.valid);
    ASSERT_EQ(wave.rate, sampleRate);
    ASSERT_EQ(wave.channels, 2);
    const std::vector<double> recorded = mono(wave.samples);

    // Where the recording of the file begins: the lag at which a stretch of the opening, three
    // seconds in, matches best (the wave file starts when the device opens, before play).
    const size_t probe = 3 * sampleRate;
    const size_t probeLength = 4096;
    size_t lag = 0;
    double best = -1.0;
    for (size_t candidate = 0; candidate + probe + probeLength < recorded.size() && candidate < sampleRate;
         ++candidate) {
        const double c = correlation(decoded, probe, recorded, probe + candidate, probeLength);
        if (c > best) {
            best = c;
            lag = candidate;
        }
    }
    ASSERT_GT(best, 0.99) << "the recording does not contain the soundtrack's opening";

    // From a quarter second in to where the device had mixed when the loop ended (the wave file
    // starts at the device clock's zero), every 50 ms block lines up with the file at that one
    // lag: a gap or a repeated buffer would shift all that follows it.
    const size_t block = sampleRate / 20;
    const size_t mixed = static_cast<size_t>(mixedMs * sampleRate / 1000.0);
    ASSERT_GT(mixed, lag + sampleRate) << "the device mixed only " << mixedMs << " ms";
    const size_t end = std::min({decoded.size(), recorded.size() - lag, mixed - lag}) - block;
    int checked = 0;
    for (size_t at = sampleRate / 4; at < end; at += block) {
        const double c = correlation(decoded, at, recorded, at + lag, block);
        // Blocks of near silence say nothing about alignment.
        double energy = 0.0;
        for (size_t i = at; i < at + block; ++i) {
            energy += decoded[i] * decoded[i];
        }
        if (std::sqrt(energy / block) < 200.0) {
            continue;
        }
        EXPECT_GT(c, 0.98) << "block at " << at * 1000 / sampleRate << " ms of the file; the longest time "
                           << "between two updates was " << longestMs << " ms";
        ++checked;
    }
    EXPECT_GT(checked, 60) << "too little of the soundtrack was heard";
}

}  // namespace
