// The sound system and its channels on OpenAL Soft's null output: argument and state checks,
// the speaker-mode fallback, the test hook, channel allocation and the end of a stream; and the
// show's music where the OpenAL library cannot be loaded.
#include "app/music.h"
#include "sound/sound_channel.h"
#include "sound/sound_output.h"
#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_system.h"
#include "sound/sound_test_hook.h"
#include "support/audio.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <thread>

namespace {

// The child's part of the tests without the OpenAL library: the show's music started and updated
// as the demo does it, then "playing=<0|1>" after a "--" line.
const int childExit = [] {
    if (std::getenv("LUMARQ_SOUND_LIBRARY_CHILD") == nullptr) {
        return 0;
    }
    Music music;
    createSoundSystem(music);
    openMusic(music);
    startMusic(music);
    for (int i = 0; i < 5; ++i) {
        updateMusic(music);
    }
    std::cout << "--\nplaying=" << (music.musicPlaying ? 1 : 0) << std::endl;
    std::exit(0);
}();

class SoundSystemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        useNullOutput();
        dir = makeTempDir("lumarq-sound-system");
        ToneRequest tone;
        tone.toneMs = 600;
        ASSERT_TRUE(makeToneMp3(dir + "/a.mp3", tone));
        ASSERT_TRUE(makeToneMp3(dir + "/b.mp3", tone));
    }

    void SetUp() override
    {
        soundForcedResults = SoundForcedResults();
        ASSERT_EQ(soundSystemCreate(&system), soundOk);
    }

    void TearDown() override
    {
        soundForcedResults = SoundForcedResults();
        soundSystemRelease(system);
    }

    void initWithStreams(int channels)
    {
        ASSERT_EQ(soundSystemInit(system, channels, soundInitNormal, nullptr), soundOk);
        ASSERT_EQ(soundSystemCreateStream(system, (dir + "/a.mp3").c_str(), soundModeDefault, nullptr, &a),
                  soundOk);
        ASSERT_EQ(soundSystemCreateStream(system, (dir + "/b.mp3").c_str(), soundModeDefault, nullptr, &b),
                  soundOk);
    }

    static std::string dir;
    SoundSystem* system = nullptr;
    SoundStream* a = nullptr;
    SoundStream* b = nullptr;
};

std::string SoundSystemTest::dir;

TEST_F(SoundSystemTest, NullHandlesAndUninitialisedSystemAreRefused)
{
    EXPECT_EQ(soundSystemCreate(nullptr), soundErrInvalidParam);
    EXPECT_EQ(soundSystemInit(nullptr, 100, soundInitNormal, nullptr), soundErrInvalidHandle);
    EXPECT_EQ(soundSystemSetSpeakerMode(nullptr, soundSpeakerModeStereo), soundErrInvalidHandle);
    EXPECT_EQ(soundSystemUpdate(nullptr), soundErrInvalidHandle);
    EXPECT_EQ(soundChannelSetPaused(nullptr, false), soundErrInvalidHandle);
    EXPECT_EQ(soundChannelSetPosition(nullptr, 0), soundErrInvalidHandle);
    double mixedMs = -1.0;
    EXPECT_EQ(soundSystemGetOutputClock(nullptr, &mixedMs), soundErrInvalidHandle);

    EXPECT_EQ(soundSystemUpdate(system), soundErrUninitialized);
    EXPECT_EQ(soundSystemGetOutputClock(system, &mixedMs), soundErrUninitialized);
    EXPECT_EQ(mixedMs, 0.0);
    double latencyMs = -1.0;
    EXPECT_EQ(soundSystemGetOutputLatency(nullptr, &latencyMs), soundErrInvalidHandle);
    EXPECT_EQ(soundSystemGetOutputLatency(system, &latencyMs), soundErrUninitialized);
    EXPECT_EQ(latencyMs, 0.0);
    SoundStream* stream = reinterpret_cast<SoundStream*>(1);
    EXPECT_EQ(soundSystemCreateStream(system, (dir + "/a.mp3").c_str(), soundModeDefault, nullptr, &stream),
              soundErrUninitialized);
    EXPECT_EQ(stream, nullptr);
    SoundChannel* channel = reinterpret_cast<SoundChannel*>(1);
    EXPECT_EQ(soundSystemPlaySound(system, soundChannelFree, nullptr, true, &channel), soundErrInvalidHandle);
    EXPECT_EQ(channel, nullptr);
}

TEST_F(SoundSystemTest, InitChecksItsArgumentsAndRunsOnce)
{
    int driverData = 0;
    EXPECT_EQ(soundSystemInit(system, 0, soundInitNormal, nullptr), soundErrInvalidParam);
    EXPECT_EQ(soundSystemInit(system, soundMaxChannels + 1, soundInitNormal, nullptr), soundErrInvalidParam);
    EXPECT_EQ(soundSystemInit(system, 100, 1, nullptr), soundErrInvalidParam);
    EXPECT_EQ(soundSystemInit(system, 100, soundInitNormal, &driverData), soundErrInvalidParam);
    EXPECT_FALSE(system->initialised);

    ASSERT_EQ(soundSystemInit(system, 100, soundInitNormal, nullptr), soundOk);
    EXPECT_EQ(system->channels.size(), 100u);
    EXPECT_EQ(soundSystemInit(system, 100, soundInitNormal, nullptr), soundErrInitialized);
    EXPECT_EQ(soundSystemUpdate(system), soundOk);
}

TEST_F(SoundSystemTest, SpeakerModeIsChosenBeforeInit)
{
    EXPECT_EQ(system->speakerMode, soundSpeakerMode5Point1);
    EXPECT_EQ(soundSystemSetSpeakerMode(system, 3), soundErrInvalidParam);
    EXPECT_EQ(soundSystemSetSpeakerMode(system, soundSpeakerModeStereo), soundOk);
    EXPECT_EQ(system->speakerMode, soundSpeakerModeStereo);
    ASSERT_EQ(soundSystemInit(system, 8, soundInitNormal, nullptr), soundOk);
    EXPECT_EQ(soundSystemSetSpeakerMode(system, soundSpeakerMode5Point1), soundErrInitialized);
    EXPECT_EQ(system->speakerMode, soundSpeakerModeStereo);
}

TEST_F(SoundSystemTest, NoSoundPlaysThroughEveryCallWithoutADevice)
{
    EXPECT_EQ(soundSystemSetOutput(system, 7), soundErrInvalidParam);
    ASSERT_EQ(soundSystemSetOutput(system, soundOutputNoSound), soundOk);
    initWithStreams(2);
    EXPECT_EQ(system->output, nullptr) << "no device may be opened";
    EXPECT_EQ(soundSystemSetOutput(system, soundOutputDevice), soundErrInitialized);

    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, true, &channel), soundOk);
    EXPECT_EQ(channel->stream, a);
    EXPECT_EQ(soundChannelSetPaused(channel, false), soundOk);
    EXPECT_FALSE(channel->paused);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // longer than the 600 ms stream
    EXPECT_EQ(soundSystemUpdate(system), soundOk);
    EXPECT_EQ(channel->stream, a) << "a stream that is not heard does not end";
    EXPECT_EQ(channel->voice, nullptr);
    EXPECT_EQ(soundChannelSetPosition(channel, 300), soundOk);
    double mixedMs = -1.0;
    EXPECT_EQ(soundSystemGetOutputClock(system, &mixedMs), soundErrUnsupported) << "nothing is mixed";
    EXPECT_EQ(soundSystemGetOutputLatency(system, &mixedMs), soundErrUnsupported);

    SoundChannel* other = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, b, false, &other), soundOk);
    EXPECT_NE(other, channel);
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, false, &other), soundErrChannelAlloc);
}

TEST_F(SoundSystemTest, FailedInitLeavesTheSystemUsableForAnotherInit)
{
    // A 58 from the layout check leaves nothing open, so a stereo init can follow.
    soundForcedResults.init = {soundErrOutputCreateBuffer, 1};
    EXPECT_EQ(soundSystemInit(system, 8, soundInitNormal, nullptr), soundErrOutputCreateBuffer);
    EXPECT_FALSE(system->initialised);
    EXPECT_EQ(system->output, nullptr);
    EXPECT_EQ(soundSystemSetSpeakerMode(system, soundSpeakerModeStereo), soundOk);
    EXPECT_EQ(soundSystemInit(system, 8, soundInitNormal, nullptr), soundOk);
    EXPECT_TRUE(system->initialised);
}

TEST_F(SoundSystemTest, ForcedResultsCountDownPerCall)
{
    soundForcedResults.update = {soundErrOutput, 2};
    ASSERT_EQ(soundSystemInit(system, 8, soundInitNormal, nullptr), soundOk);
    EXPECT_EQ(soundSystemUpdate(system), soundErrOutput);
    EXPECT_EQ(soundSystemUpdate(system), soundErrOutput);
    EXPECT_EQ(soundSystemUpdate(system), soundOk);

    soundForcedResults.update = {soundErrFileRead, -1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(soundSystemUpdate(system), soundErrFileRead);
    }
    soundForcedResults.create = {soundErrMemory, 1};
    SoundSystem* second = reinterpret_cast<SoundSystem*>(1);
    EXPECT_EQ(soundSystemCreate(&second), soundErrMemory);
    EXPECT_EQ(second, nullptr);
}

TEST_F(SoundSystemTest, FreeChannelsRunOutAndAnIndexTakesItsChannelOver)
{
    initWithStreams(1);
    SoundChannel* first = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, true, &first), soundOk);
    EXPECT_EQ(first, &system->channels[0]);
    EXPECT_EQ(a->channel, first);

    SoundChannel* second = reinterpret_cast<SoundChannel*>(1);
    EXPECT_EQ(soundSystemPlaySound(system, soundChannelFree, b, true, &second), soundErrChannelAlloc);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(soundSystemPlaySound(system, 1, b, true, &second), soundErrInvalidParam);
    EXPECT_EQ(soundSystemPlaySound(system, -2, b, true, &second), soundErrInvalidParam);

    ASSERT_EQ(soundSystemPlaySound(system, 0, b, true, &second), soundOk);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->stream, b);
    EXPECT_EQ(a->channel, nullptr);
    EXPECT_EQ(soundVoiceQueued(first->voice), soundStreamStartBufferCount)
        << "the old stream's buffers must be gone from the queue";
}

TEST_F(SoundSystemTest, PlayingAStreamAgainRestartsItOnOneChannel)
{
    initWithStreams(4);
    SoundChannel* first = nullptr;
    SoundChannel* second = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, false, &first), soundOk);
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, false, &second), soundOk);
    EXPECT_EQ(first->stream, nullptr);
    EXPECT_EQ(second->stream, a);
    EXPECT_EQ(a->channel, second);
    EXPECT_EQ(soundChannelSetPaused(first, true), soundErrInvalidHandle);
}

TEST_F(SoundSystemTest, PausedChannelStaysSilentUntilUnpaused)
{
    initWithStreams(2);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, true, &channel), soundOk);
    EXPECT_EQ(soundVoiceState(channel->voice), SoundVoiceState::initial);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(soundSystemUpdate(system), soundOk);
    EXPECT_EQ(soundVoiceState(channel->voice), SoundVoiceState::initial)
        << "update must not start a paused channel";

    EXPECT_EQ(soundChannelSetPaused(channel, false), soundOk);
    EXPECT_EQ(soundVoiceState(channel->voice), SoundVoiceState::playing);
    EXPECT_EQ(soundChannelSetPaused(channel, true), soundOk);
    EXPECT_EQ(soundVoiceState(channel->voice), SoundVoiceState::paused);
}

TEST_F(SoundSystemTest, StreamPlaysOnceThenTheChannelIsIdle)
{
    initWithStreams(2);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, false, &channel), soundOk);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (channel->stream != nullptr && std::chrono::steady_clock::now() < deadline) {
        ASSERT_EQ(soundSystemUpdate(system), soundOk);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(channel->stream, nullptr) << "the 600 ms stream never ended";
    EXPECT_EQ(a->channel, nullptr);
    EXPECT_EQ(soundVoiceQueued(channel->voice), 0);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(soundSystemUpdate(system), soundOk);
    }
    EXPECT_NE(soundVoiceState(channel->voice), SoundVoiceState::playing) << "the track must not loop";
    EXPECT_EQ(soundChannelSetPaused(channel, false), soundErrInvalidHandle);
}

// The web page pauses the whole output while it is hidden: the music and the clock that the show
// follows must stand still together, and go on together. The page places the music on the clock
// by how far the voice has played.
TEST_F(SoundSystemTest, PausedOutputHoldsItsClockAndItsStreams)
{
    EXPECT_EQ(soundSystemSetOutputPaused(system, true), soundErrUninitialized);
    initWithStreams(2);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, false, &channel), soundOk);
    double before = 0.0;
    ASSERT_EQ(soundSystemGetOutputClock(system, &before), soundOk);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    double playedMs = -1.0;
    ASSERT_EQ(soundVoicePlayedMs(channel->voice, &playedMs), soundOk);
    EXPECT_GT(playedMs, 50.0);
    EXPECT_LT(playedMs, 300.0) << "more than the three buffers it started with";
    ASSERT_EQ(soundSystemSetOutputPaused(system, true), soundOk);
    double paused = 0.0;
    ASSERT_EQ(soundSystemGetOutputClock(system, &paused), soundOk);
    double playedPaused = 0.0;
    ASSERT_EQ(soundVoicePlayedMs(channel->voice, &playedPaused), soundOk);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    double playedHeld = 0.0;
    ASSERT_EQ(soundVoicePlayedMs(channel->voice, &playedHeld), soundOk);
    EXPECT_EQ(playedHeld, playedPaused) << "the voice played on while the output was paused";
    // Longer than the 600 ms stream: unpaused, it would have played out and left its channel.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(900);
    while (std::chrono::steady_clock::now() < until) {
        ASSERT_EQ(soundSystemUpdate(system), soundOk);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    double held = 0.0;
    ASSERT_EQ(soundSystemGetOutputClock(system, &held), soundOk);
    EXPECT_EQ(held, paused) << "the clock moved while the output was paused";
    EXPECT_EQ(channel->stream, a) << "the stream played on while the output was paused";

    ASSERT_EQ(soundSystemSetOutputPaused(system, false), soundOk);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    double resumed = 0.0;
    ASSERT_EQ(soundSystemGetOutputClock(system, &resumed), soundOk);
    EXPECT_GT(resumed, held + 100.0) << "the clock did not go on";
    EXPECT_GE(held, before);
}

TEST_F(SoundSystemTest, MovedPastItsEndAStreamEndsAsIfItHadPlayedOut)
{
    initWithStreams(2);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, false, &channel), soundOk);
    EXPECT_EQ(soundChannelSetPosition(channel, 300), soundOk);
    ASSERT_EQ(channel->stream, a) << "inside the stream it plays on";
    EXPECT_EQ(soundChannelSetPosition(channel, 60000), soundOk);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(soundSystemUpdate(system), soundOk);
    EXPECT_EQ(channel->stream, nullptr);
    EXPECT_EQ(soundChannelSetPosition(channel, 0), soundErrInvalidHandle);
}

TEST_F(SoundSystemTest, ReleaseClosesTheDeviceForTheNextSystem)
{
    initWithStreams(2);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, a, false, &channel), soundOk);
    soundSystemRelease(system);
    ASSERT_EQ(soundSystemCreate(&system), soundOk);
    EXPECT_EQ(soundSystemInit(system, 2, soundInitNormal, nullptr), soundOk);
}

std::string errorLine(int code)
{
    return "FMOD error! (" + std::to_string(code) + ") " + soundErrorText(code) + "\n";
}

TEST(SoundWithoutOpenAl, TheMusicReportsNoOutputAndPlaysSilently)
{
    namespace fs = std::filesystem;
    const std::string dir = makeTempDir("lumarq-no-openal");
    fs::create_directories(dir + "/mp3");
    fs::create_directories(dir + "/lib");
    ToneRequest tone;
    tone.toneMs = 300;
    ASSERT_TRUE(makeToneMp3(dir + "/mp3/zarathustra2.mp3", tone));
    ProcessOptions options;
    options.workingDirectory = dir;
    options.setEnv = {"LUMARQ_SOUND_LIBRARY_CHILD=1", "ALSOFT_DRIVERS=null"};
    options.unsetEnv = {"ALSOFT_CONF"};

    const ProcessResult heard = runProcess({"/proc/self/exe"}, options);
    EXPECT_EQ(heard.exitStatus, 0);
    EXPECT_EQ(heard.out, "--\nplaying=1\n") << "with the library the music plays";

    // The loader looks in LD_LIBRARY_PATH first: a file there by the library's name stands in
    // front of the real one. An empty file cannot be loaded, as on a machine without OpenAL; the
    // C library (loaded already) loads but has none of OpenAL's functions. Either way the device
    // cannot be opened, which says so, the stream reports the uninitialised system, and the music
    // plays silently: no update, so no line per frame.
    options.setEnv.push_back("LD_LIBRARY_PATH=" + dir + "/lib");
    const std::string standIn = dir + "/lib/libopenal.so.1";
    writeFile(standIn, "");
    Dl_info libc;
    ASSERT_NE(dladdr(dlsym(RTLD_DEFAULT, "puts"), &libc), 0);
    for (const char* kind : {"missing", "without its functions"}) {
        SCOPED_TRACE(kind);
        const ProcessResult silent = runProcess({"/proc/self/exe"}, options);
        EXPECT_EQ(silent.exitStatus, 0);
        EXPECT_EQ(silent.err, "");
        EXPECT_EQ(silent.out, errorLine(soundErrNoOutput) + errorLine(soundErrUninitialized) + "--\nplaying=0\n");
        fs::remove(standIn);
        fs::create_symlink(libc.dli_fname, standIn);
    }
    fs::remove_all(dir);
}

}  // namespace
