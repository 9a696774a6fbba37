// What comes out of the speakers: each case runs this program again as a child whose output
// goes to OpenAL Soft's wave writer, then reads the wave file. Separate processes because
// OpenAL Soft picks its backend once per process, and because the wave file is only complete
// once the exit teardown has closed the device.
#include "sound/sound_channel.h"
#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_system.h"
#include "support/audio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int levelWindowMs = 10;
// Allowed difference between where a sound should start in the wave file and where it does:
// the mixer works in periods of about 20 ms and the scenario's clock readings are a few ms apart.
constexpr int onsetToleranceMs = 80;
// The "dry" scenario: updates for a while after the start, then one frame far longer than the
// stream's queue.
constexpr int queuedMs = soundStreamBufferCount * soundStreamBufferMs;
constexpr int dryAfterMs = 200;
constexpr int dryFrameMs = queuedMs + 600;

long msSince(Clock::time_point from)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - from).count());
}

void updateFor(SoundSystem* system, int ms, int* failures)
{
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
        if (soundSystemUpdate(system) != soundOk) {
            ++*failures;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The child's part. Prints "start=<ms>" (when the sound was unpaused, counted from the end of
// init, which is when the wave writer starts writing), "failures=<n>" and "idle=<0|1>".
int runScenario(const std::string& name, const std::string& mp3)
{
    SoundSystem* system = nullptr;
    SoundStream* stream = nullptr;
    SoundChannel* channel = nullptr;
    if (soundSystemCreate(&system) != soundOk ||
        soundSystemInit(system, 100, soundInitNormal, nullptr) != soundOk) {
        return 2;
    }
    const auto opened = Clock::now();
    if (soundSystemCreateStream(system, mp3.c_str(), soundModeDefault, nullptr, &stream) != soundOk ||
        soundSystemPlaySound(system, soundChannelFree, stream, true, &channel) != soundOk) {
        return 3;
    }
    int failures = 0;
    updateFor(system, 400, &failures);  // paused: nothing may sound yet
    const long start = msSince(opened);
    soundChannelSetPaused(channel, false);
    if (name == "dry") {
        updateFor(system, dryAfterMs, &failures);
        std::this_thread::sleep_for(std::chrono::milliseconds(dryFrameMs));  // far past the queue
    }
    updateFor(system, 2600, &failures);
    std::printf("start=%ld\nfailures=%d\nidle=%d\n", start, failures, channel->stream == nullptr ? 1 : 0);
    return 0;
}

// Runs before the tests when this program was started as a scenario child.
const int scenarioExit = [] {
    const char* name = std::getenv("LUMARQ_SOUND_SCENARIO");
    if (name != nullptr) {
        std::exit(runScenario(name, std::getenv("LUMARQ_SOUND_MP3")));
    }
    return 0;
}();

long valueAfter(const std::string& out, const std::string& key)
{
    const size_t at = out.find(key + "=");
    return at == std::string::npos ? -1 : std::atol(out.c_str() + at + key.size() + 1);
}

struct ScenarioRun {
    ProcessResult process;
    WaveFile wave;
    std::vector<double> levels;
    long startMs = -1;
};

ScenarioRun runChild(const std::string& scenario, const ToneRequest& tone)
{
    ScenarioRun run;
    const std::string dir = makeTempDir("lumarq-sound-playback");
    const std::string mp3 = dir + "/tone.mp3";
    if (!makeToneMp3(mp3, tone)) {
        ADD_FAILURE() << "could not encode the test tone";
        return run;
    }
    ProcessOptions options = waveOutputOptions(dir, dir + "/out.wav");
    options.setEnv.push_back("LUMARQ_SOUND_SCENARIO=" + scenario);
    options.setEnv.push_back("LUMARQ_SOUND_MP3=" + mp3);
    run.process = runProcess({"/proc/self/exe"}, options);
    run.wave = readWave(dir + "/out.wav");
    run.levels = windowLevels(run.wave, levelWindowMs);
    run.startMs = valueAfter(run.process.out, "start");
    return run;
}

int firstSounding(const std::vector<double>& levels, size_t from = 0)
{
    for (size_t i = from; i < levels.size(); ++i) {
        if (levels[i] > soundingLevel) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int countSounding(const std::vector<double>& levels)
{
    int count = 0;
    for (double level : levels) {
        count += level > soundingLevel ? 1 : 0;
    }
    return count;
}

void expectCleanExit(const ScenarioRun& run)
{
    EXPECT_EQ(run.process.exitStatus, 0) << run.process.err;
    EXPECT_EQ(run.process.err, "") << "the sound libraries must stay quiet, exit included";
    EXPECT_EQ(valueAfter(run.process.out, "failures"), 0) << run.process.out;
    ASSERT_TRUE(run.wave.valid);
    EXPECT_TRUE(run.wave.sizesFinal) << "the device was not closed at exit";
}

TEST(SoundPlayback, SoundStartsWhenUnpausedAndPlaysOnce)
{
    ToneRequest tone;
    tone.leadMs = 300;
    tone.toneMs = 1000;
    const ScenarioRun run = runChild("once", tone);
    expectCleanExit(run);
    ASSERT_GT(run.startMs, 0);

    const int onset = firstSounding(run.levels) * levelWindowMs;
    EXPECT_NEAR(onset, run.startMs + tone.leadMs, onsetToleranceMs) << "the paused time must stay silent";
    const int soundingMs = countSounding(run.levels) * levelWindowMs;
    EXPECT_NEAR(soundingMs, tone.toneMs, 40);
    const int end = onset / levelWindowMs + soundingMs / levelWindowMs;
    EXPECT_EQ(firstSounding(run.levels, static_cast<size_t>(end) + 5), -1) << "the track came round again";
    EXPECT_GT(run.levels.size() * levelWindowMs, static_cast<size_t>(onset + tone.toneMs + 500))
        << "the wave file should run on past the end of the track";
    EXPECT_EQ(valueAfter(run.process.out, "idle"), 1);
}

TEST(SoundPlayback, MonoAtItsOwnRateLastsAsLongAsTheFile)
{
    // Handed to the output in a wrong layout, the tone would sound for half or twice its length.
    ToneRequest tone;
    tone.toneMs = 1000;
    tone.rate = 22050;
    tone.channels = 1;
    const ScenarioRun run = runChild("once", tone);
    expectCleanExit(run);
    EXPECT_NEAR(countSounding(run.levels) * levelWindowMs, tone.toneMs, 40);
}

TEST(SoundPlayback, LongFrameLeavesAGapAndPlaybackGoesOn)
{
    ToneRequest tone;
    tone.toneMs = 3000;
    const ScenarioRun run = runChild("dry", tone);
    expectCleanExit(run);

    const int onset = firstSounding(run.levels);
    ASSERT_GE(onset, 0);
    EXPECT_NEAR(onset * levelWindowMs, run.startMs, onsetToleranceMs);
    // The updates before the long frame plus the queue play, then silence until the next update.
    const int gap = [&] {
        for (size_t i = static_cast<size_t>(onset); i < run.levels.size(); ++i) {
            if (run.levels[i] <= soundingLevel) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }();
    ASSERT_GT(gap, 0);
    EXPECT_NEAR((gap - onset) * levelWindowMs, dryAfterMs + queuedMs, 100);
    const int resumed = firstSounding(run.levels, static_cast<size_t>(gap));
    ASSERT_GT(resumed, gap) << "playback never resumed after running dry";
    EXPECT_NEAR((resumed - onset) * levelWindowMs, dryAfterMs + dryFrameMs, 120);
    // It comes back faded in: the first millisecond (one period of the tone) well below the
    // strength it has a little later, where a restart at full strength would click.
    const size_t channels = static_cast<size_t>(run.wave.channels);
    const size_t perMs = static_cast<size_t>(run.wave.rate) / 1000;
    size_t back = static_cast<size_t>(run.wave.rate) * static_cast<size_t>(resumed - 1) * levelWindowMs / 1000;
    while (back * channels < run.wave.samples.size() && std::abs(run.wave.samples[back * channels]) < 300) {
        ++back;
    }
    auto peak = [&](size_t fromMs, size_t toMs) {
        int most = 0;
        for (size_t i = back + fromMs * perMs; i < back + toMs * perMs && i * channels < run.wave.samples.size();
             ++i) {
            most = std::max(most, std::abs(static_cast<int>(run.wave.samples[i * channels])));
        }
        return most;
    };
    EXPECT_LT(peak(0, 1), 0.3 * peak(10, 20)) << "the sound came back at full strength";
    // Nothing lost and nothing repeated: the whole tone sounds exactly once, split in two.
    EXPECT_NEAR(countSounding(run.levels) * levelWindowMs, tone.toneMs, 60);
    EXPECT_EQ(valueAfter(run.process.out, "idle"), 1);
}

}  // namespace
