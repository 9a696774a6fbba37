// Music playback: the error line, the call order with the stereo fallback, and every failure
// of the sound layer, each forced through the layer's test hook or made real (missing and
// broken files, no output device), checked by the lines printed at start-up and per frame.
#include "app/music.h"
#include "sound/sound_result.h"
#include "sound/sound_system.h"
#include "sound/sound_test_hook.h"
#include "support/audio.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

constexpr int framesPerRun = 5;

// Start-up and a few frames, in the show's order, with standard output captured.
struct MusicRun {
    Music music;
    std::string startup;   // lines printed by create, open and start
    std::string perFrame;  // lines printed by the frames' updates
};

MusicRun runMusic(int frames = framesPerRun)
{
    MusicRun run;
    std::ostringstream captured;
    std::streambuf* previous = std::cout.rdbuf(captured.rdbuf());
    createSoundSystem(run.music);
    openMusic(run.music);
    startMusic(run.music);
    run.startup = captured.str();
    captured.str("");
    for (int i = 0; i < frames; ++i) {
        updateMusic(run.music);
    }
    run.perFrame = captured.str();
    std::cout.rdbuf(previous);
    return run;
}

std::string line(int code)
{
    return "FMOD error! (" + std::to_string(code) + ") " + soundErrorText(code) + "\n";
}

std::string repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// The child's part for the cases that need a process of their own: the music run as the show
// makes it, then "playing=<0|1>" after a "--" line.
const int childExit = [] {
    const char* frames = std::getenv("LUMARQ_MUSIC_FRAMES");
    if (frames == nullptr) {
        return 0;
    }
    Music music;
    music.audible = std::getenv("LUMARQ_MUSIC_INAUDIBLE") == nullptr;
    createSoundSystem(music);
    openMusic(music);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    startMusic(music);
    for (int i = 0; i < std::atoi(frames); ++i) {
        updateMusic(music);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::cout << "--\nplaying=" << (music.musicPlaying ? 1 : 0) << std::endl;
    std::exit(0);
}();

class MusicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        useNullOutput();
        showDir = makeTempDir("lumarq-music");
        ASSERT_EQ(system(("mkdir -p " + showDir + "/mp3").c_str()), 0);
        ToneRequest tone;
        tone.toneMs = 700;
        ASSERT_TRUE(makeToneMp3(showDir + "/mp3/zarathustra2.mp3", tone));
    }

    void SetUp() override
    {
        soundForcedResults = SoundForcedResults();
        previousDir = std::string(getcwd(nullptr, 0));
        enterDir(showDir);
    }

    void TearDown() override
    {
        soundForcedResults = SoundForcedResults();
        enterDir(previousDir);
        for (MusicRun& done : runs) {
            soundSystemRelease(done.music.system);
        }
    }

    static void enterDir(const std::string& dir)
    {
        ASSERT_EQ(chdir(dir.c_str()), 0) << dir;
    }

    MusicRun& run(int frames = framesPerRun)
    {
        runs.push_back(runMusic(frames));
        return runs.back();
    }

    static std::string showDir;
    std::string previousDir;
    std::deque<MusicRun> runs;  // a deque keeps the references that run() hands out valid
};

std::string MusicTest::showDir;

TEST(CheckSoundResult, LineFormat)
{
    std::ostringstream captured;
    std::streambuf* previous = std::cout.rdbuf(captured.rdbuf());
    checkSoundResult(0);
    const std::string afterSuccess = captured.str();
    checkSoundResult(58);
    checkSoundResult(-7);
    checkSoundResult(1000);
    std::cout.rdbuf(previous);
    EXPECT_EQ(afterSuccess, "");
    EXPECT_EQ(captured.str(), "FMOD error! (58) Error creating hardware sound buffer. \n"
                              "FMOD error! (-7) Unknown error.\n"
                              "FMOD error! (1000) Unknown error.\n");
}

TEST_F(MusicTest, EverythingWorksSilently)
{
    MusicRun& r = run();
    EXPECT_EQ(r.startup, "");
    EXPECT_EQ(r.perFrame, "");
    EXPECT_TRUE(r.music.musicPlaying);
    ASSERT_NE(r.music.channel, nullptr);
    EXPECT_FALSE(r.music.channel->paused);
    EXPECT_EQ(r.music.system->channels.size(), 100u);
    EXPECT_EQ(r.music.system->speakerMode, soundSpeakerMode5Point1) << "no fallback was needed";
}

TEST_F(MusicTest, CreateFailureIsReportedAndTheLaterCallsReportTheirOwn)
{
    soundForcedResults.create = {soundErrMemory, 1};
    MusicRun& r = run();
    EXPECT_EQ(r.startup, line(soundErrMemory) + line(soundErrInvalidHandle) + line(soundErrInvalidHandle));
    EXPECT_FALSE(r.music.musicPlaying);
    EXPECT_EQ(r.perFrame, "");
}

TEST_F(MusicTest, StereoFallbackThatWorksPrintsNothing)
{
    soundForcedResults.init = {soundErrOutputCreateBuffer, 1};
    MusicRun& r = run();
    EXPECT_EQ(r.startup, "");
    EXPECT_EQ(r.music.system->speakerMode, soundSpeakerModeStereo);
    EXPECT_TRUE(r.music.system->initialised);
    EXPECT_TRUE(r.music.musicPlaying);
    EXPECT_EQ(r.perFrame, "");
}

TEST_F(MusicTest, FailingSpeakerModeIsReportedAndInitIsStillTried)
{
    soundForcedResults.init = {soundErrOutputCreateBuffer, 1};
    soundForcedResults.setSpeakerMode = {soundErrInvalidParam, 1};
    MusicRun& r = run();
    EXPECT_EQ(r.startup, line(soundErrInvalidParam));
    EXPECT_TRUE(r.music.system->initialised);
    EXPECT_TRUE(r.music.musicPlaying);
}

TEST_F(MusicTest, LastInitFailureIsReportedOnce)
{
    soundForcedResults.init = {soundErrOutputCreateBuffer, -1};
    MusicRun& fallbackFails = run();
    EXPECT_EQ(fallbackFails.startup, line(soundErrOutputCreateBuffer) + line(soundErrUninitialized));
    EXPECT_FALSE(fallbackFails.music.musicPlaying);
    EXPECT_EQ(fallbackFails.perFrame, "");

    // Any other first result is final: no fallback, and the speaker mode is left alone.
    soundForcedResults.init = {soundErrOutputInit, 1};
    soundForcedResults.setSpeakerMode = {soundErrInvalidParam, -1};
    MusicRun& other = run();
    EXPECT_EQ(other.startup, line(soundErrOutputInit) + line(soundErrUninitialized));
    EXPECT_EQ(other.music.system->speakerMode, soundSpeakerMode5Point1);
    EXPECT_EQ(soundForcedResults.setSpeakerMode.calls, -1);
}

TEST_F(MusicTest, CreateStreamFailureLeavesTheShowSilent)
{
    soundForcedResults.createStream = {soundErrFormat, 1};
    MusicRun& r = run();
    EXPECT_EQ(r.startup, line(soundErrFormat));
    EXPECT_FALSE(r.music.musicPlaying);
    EXPECT_EQ(r.perFrame, "");
}

TEST_F(MusicTest, PlayFailureIsSilentAndStopsTheUpdates)
{
    soundForcedResults.playSound = {soundErrChannelAlloc, 1};
    soundForcedResults.setPaused = {soundErrOutput, 1};
    soundForcedResults.update = {soundErrOutput, -1};
    MusicRun& r = run();
    EXPECT_EQ(r.startup, "");
    EXPECT_FALSE(r.music.musicPlaying);
    EXPECT_EQ(r.perFrame, "") << "no update may be made";
    EXPECT_EQ(soundForcedResults.setPaused.calls, 1) << "no unpause may be tried";
}

TEST_F(MusicTest, UnpauseFailureIsIgnored)
{
    soundForcedResults.setPaused = {soundErrOutput, 1};
    MusicRun& r = run();
    EXPECT_EQ(r.startup, "");
    EXPECT_TRUE(r.music.musicPlaying);
    EXPECT_EQ(soundForcedResults.setPaused.calls, 0);
}

TEST_F(MusicTest, FailingUpdatePrintsOneLinePerFrame)
{
    soundForcedResults.update = {soundErrFileRead, -1};
    MusicRun& r = run(7);
    EXPECT_EQ(r.startup, "");
    EXPECT_EQ(r.perFrame, repeated(line(soundErrFileRead), 7));
}

TEST_F(MusicTest, MissingOrBrokenMusicFile)
{
    const std::string empty = makeTempDir("lumarq-music-none");
    enterDir(empty);
    MusicRun& missing = run();
    EXPECT_EQ(missing.startup, line(soundErrFileNotFound));
    EXPECT_FALSE(missing.music.musicPlaying);
    EXPECT_EQ(missing.perFrame, "");

    ASSERT_EQ(system("mkdir mp3"), 0);
    writeFile("mp3/zarathustra2.mp3", "");
    MusicRun& zeroBytes = run();
    EXPECT_EQ(zeroBytes.startup, line(soundErrFormat));
    EXPECT_EQ(zeroBytes.perFrame, "");

    writeFile("mp3/zarathustra2.mp3", repeated("ID3 junk that is not MPEG audio. ", 3000));
    MusicRun& junk = run();
    EXPECT_EQ(junk.startup, line(soundErrFormat));
    EXPECT_EQ(junk.perFrame, "");
}

ProcessResult runChild(const ProcessOptions& base, int frames)
{
    ProcessOptions options = base;
    options.setEnv.push_back("LUMARQ_MUSIC_FRAMES=" + std::to_string(frames));
    return runProcess({"/proc/self/exe"}, options);
}

TEST_F(MusicTest, NoOutputDevice)
{
    ProcessOptions options;
    options.workingDirectory = showDir;
    // An empty backend list leaves OpenAL Soft with no device to open.
    options.setEnv = {"ALSOFT_DRIVERS=none"};
    options.unsetEnv = {"ALSOFT_CONF"};
    const ProcessResult child = runChild(options, 10);
    EXPECT_EQ(child.exitStatus, 0);
    EXPECT_EQ(child.err, "");
    EXPECT_EQ(child.out, line(soundErrNoOutput) + line(soundErrUninitialized) + "--\nplaying=0\n");

    // The tools' inaudible music opens no device, so it plays there all the same.
    options.setEnv.push_back("LUMARQ_MUSIC_INAUDIBLE=1");
    const ProcessResult inaudible = runChild(options, 10);
    EXPECT_EQ(inaudible.exitStatus, 0);
    EXPECT_EQ(inaudible.err, "");
    EXPECT_EQ(inaudible.out, "--\nplaying=1\n");
}

TEST_F(MusicTest, NoSoundCardLeavesOnlyOurLines)
{
    // OpenAL Soft's ALSA output with an ALSA configuration that has no device at all, as on a
    // machine without a sound card: both libraries would complain on standard error.
    const std::string dir = makeTempDir("lumarq-music-no-card");
    writeFile(dir + "/asound.conf", "");
    ProcessOptions options;
    options.workingDirectory = showDir;
    options.setEnv = {"ALSOFT_DRIVERS=alsa", "ALSA_CONFIG_PATH=" + dir + "/asound.conf"};
    options.unsetEnv = {"ALSOFT_CONF", "ALSOFT_LOGLEVEL"};
    const ProcessResult quiet = runChild(options, 3);
    EXPECT_EQ(quiet.exitStatus, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, line(soundErrNoOutput) + line(soundErrUninitialized) + "--\nplaying=0\n");

    // A user who asks for OpenAL Soft's log gets the libraries' own lines, ALSA's included.
    options.setEnv.push_back("ALSOFT_LOGLEVEL=1");
    const ProcessResult asked = runChild(options, 3);
    EXPECT_EQ(asked.out, quiet.out);
    EXPECT_NE(asked.err.find("ALSA lib "), std::string::npos) << asked.err;
    EXPECT_NE(asked.err.find("AL lib: (EE) "), std::string::npos) << asked.err;
}

TEST_F(MusicTest, MusicSoundsFromTheShowStartOnAndExitIsQuiet)
{
    const std::string dir = makeTempDir("lumarq-music-wave");
    ASSERT_EQ(system(("mkdir -p " + dir + "/mp3").c_str()), 0);
    ToneRequest tone;
    tone.toneMs = 800;
    ASSERT_TRUE(makeToneMp3(dir + "/mp3/zarathustra2.mp3", tone));
    const ProcessResult child = runChild(waveOutputOptions(dir, dir + "/out.wav"), 150);
    EXPECT_EQ(child.exitStatus, 0);
    EXPECT_EQ(child.out, "--\nplaying=1\n");
    EXPECT_EQ(child.err, "");

    const WaveFile wave = readWave(dir + "/out.wav");
    ASSERT_TRUE(wave.valid);
    EXPECT_TRUE(wave.sizesFinal);
    const std::vector<double> levels = windowLevels(wave, 10);
    int first = -1;
    int sounding = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] > soundingLevel) {
            first = first < 0 ? static_cast<int>(i) : first;
            ++sounding;
        }
    }
    // The child waits 300 ms between opening the music and starting it.
    EXPECT_NEAR(first * 10, 300, 80) << "silent until the show starts, then at once";
    EXPECT_NEAR(sounding * 10, tone.toneMs, 60);
}

}  // namespace
