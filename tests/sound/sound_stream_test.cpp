// Streams on OpenAL Soft's null output: opening real, missing and broken files, the decoder's
// own rate and channel count, decoding a little at a time, and recovering from running dry.
#include "sound/sound_channel.h"
#include "sound/sound_output.h"
#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_system.h"
#include "sound/sound_test_hook.h"
#include "support/audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

namespace {

// A frame far longer than a stream's queue.
constexpr int dryFrameMs = soundStreamBufferCount * soundStreamBufferMs + 300;

class SoundStreamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        useNullOutput();
        dir = makeTempDir("lumarq-sound-stream");
        ToneRequest longStereo;
        longStereo.toneMs = 5000;
        ASSERT_TRUE(makeToneMp3(dir + "/long.mp3", longStereo));
        ToneRequest mono;
        mono.rate = 22050;
        mono.channels = 1;
        mono.toneMs = 2000;
        ASSERT_TRUE(makeToneMp3(dir + "/mono.mp3", mono));
    }

    void SetUp() override
    {
        soundForcedResults = SoundForcedResults();
        ASSERT_EQ(soundSystemCreate(&system), soundOk);
        ASSERT_EQ(soundSystemInit(system, 4, soundInitNormal, nullptr), soundOk);
    }

    void TearDown() override
    {
        soundSystemRelease(system);
    }

    int open(const std::string& path)
    {
        stream = nullptr;
        return soundSystemCreateStream(system, path.c_str(), soundModeDefault, nullptr, &stream);
    }

    static std::string dir;
    SoundSystem* system = nullptr;
    SoundStream* stream = nullptr;
};

std::string SoundStreamTest::dir;

TEST_F(SoundStreamTest, FilesThatCannotBeStreamedGiveTheirOwnCodes)
{
    EXPECT_EQ(open(dir + "/missing.mp3"), soundErrFileNotFound);
    EXPECT_EQ(open(dir + "/long.mp3/inside"), soundErrFileNotFound);
    EXPECT_EQ(open(dir), soundErrFileRead);

    writeFile(dir + "/empty.mp3", "");
    EXPECT_EQ(open(dir + "/empty.mp3"), soundErrFormat);
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text += "this is a text file, not MPEG audio\n";
    }
    writeFile(dir + "/text.mp3", text);
    EXPECT_EQ(open(dir + "/text.mp3"), soundErrFormat);
    EXPECT_EQ(stream, nullptr);

    const std::string locked = dir + "/locked.mp3";
    writeFile(locked, readFile(dir + "/long.mp3"));
    chmod(locked.c_str(), 0);
    if (getuid() != 0) {  // root reads it regardless
        EXPECT_EQ(open(locked), soundErrFileRead);
    }
    EXPECT_EQ(system->streams, nullptr) << "a failed open must leave nothing behind";
}

TEST_F(SoundStreamTest, BadArgumentsAreRefused)
{
    const std::string path = dir + "/long.mp3";
    int info = 0;
    EXPECT_EQ(soundSystemCreateStream(system, path.c_str(), 1, nullptr, &stream), soundErrInvalidParam);
    EXPECT_EQ(soundSystemCreateStream(system, path.c_str(), soundModeDefault, &info, &stream),
              soundErrInvalidParam);
    EXPECT_EQ(soundSystemCreateStream(system, nullptr, soundModeDefault, nullptr, &stream), soundErrInvalidParam);
    EXPECT_EQ(soundSystemCreateStream(system, path.c_str(), soundModeDefault, nullptr, nullptr),
              soundErrInvalidParam);
    EXPECT_EQ(soundSystemCreateStream(nullptr, path.c_str(), soundModeDefault, nullptr, &stream),
              soundErrInvalidHandle);
}

TEST_F(SoundStreamTest, BackslashPathsAreOpened)
{
    std::string path = dir + "\\long.mp3";
    EXPECT_EQ(open(path), soundOk);
}

// The output is handed the decoder's layout unchanged; that it plays at that rate is heard in
// sound_playback_test.
TEST_F(SoundStreamTest, DecoderRateAndChannelsSetTheBufferLayout)
{
    ASSERT_EQ(open(dir + "/long.mp3"), soundOk);
    EXPECT_EQ(stream->rate, 44100);
    EXPECT_EQ(stream->channelCount, 2);
    EXPECT_EQ(stream->pcm.size(), 44100u * 2 * 2 * soundStreamBufferMs / 1000);

    ASSERT_EQ(open(dir + "/mono.mp3"), soundOk);
    EXPECT_EQ(stream->rate, 22050);
    EXPECT_EQ(stream->channelCount, 1);
    EXPECT_EQ(stream->pcm.size(), 22050u * 2 * soundStreamBufferMs / 1000);
    size_t bytes = 0;
    EXPECT_EQ(soundStreamDecode(*stream, &bytes), soundOk);
    EXPECT_EQ(bytes, stream->pcm.size()) << "a whole buffer from the middle of a file";
}

// The web page ends the show when the music's length has played, whatever the rate.
TEST_F(SoundStreamTest, LengthIsTheEncodedSoundsWithoutTheEncodersPadding)
{
    unsigned lengthMs = 1;
    EXPECT_EQ(soundStreamGetLength(nullptr, &lengthMs), soundErrInvalidParam);
    ASSERT_EQ(open(dir + "/long.mp3"), soundOk);
    ASSERT_EQ(soundStreamGetLength(stream, &lengthMs), soundOk);
    EXPECT_NEAR(lengthMs, 5000, 2);
    ASSERT_EQ(open(dir + "/mono.mp3"), soundOk);
    ASSERT_EQ(soundStreamGetLength(stream, &lengthMs), soundOk);
    EXPECT_NEAR(lengthMs, 2000, 2);
}

TEST_F(SoundStreamTest, OnlyTheQueueIsDecodedAheadAndItFillsUpABufferAnUpdate)
{
    ASSERT_EQ(open(dir + "/long.mp3"), soundOk);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, stream, true, &channel), soundOk);
    // The decoder may read one MPEG frame (1152 samples) beyond what it has handed out.
    auto expectDecodedBuffers = [&](int buffers) {
        EXPECT_EQ(soundVoiceQueued(channel->voice), buffers);
        const off_t queuedFrames = 44100 * buffers * soundStreamBufferMs / 1000;
        EXPECT_LE(mpg123_tell(stream->decoder), queuedFrames + 1152);
        EXPECT_GE(mpg123_tell(stream->decoder), queuedFrames);
    };
    expectDecodedBuffers(soundStreamStartBufferCount);
    // Paused, nothing plays: each update queues one buffer more, up to the full queue.
    for (int buffers = soundStreamStartBufferCount + 1; buffers <= soundStreamBufferCount; ++buffers) {
        ASSERT_EQ(soundSystemUpdate(system), soundOk);
        expectDecodedBuffers(buffers);
    }
    ASSERT_EQ(soundSystemUpdate(system), soundOk);
    expectDecodedBuffers(soundStreamBufferCount);
    EXPECT_FALSE(stream->endOfFile);
}

TEST_F(SoundStreamTest, PlaybackResumesAfterRunningDry)
{
    ASSERT_EQ(open(dir + "/mono.mp3"), soundOk);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, stream, false, &channel), soundOk);
    ASSERT_EQ(soundSystemUpdate(system), soundOk);
    // A frame far longer than the queue: the source plays everything and stops.
    std::this_thread::sleep_for(std::chrono::milliseconds(dryFrameMs));
    ASSERT_EQ(soundVoiceState(channel->voice), SoundVoiceState::stopped);
    const off_t decodedBefore = mpg123_tell(stream->decoder);

    ASSERT_EQ(soundSystemUpdate(system), soundOk);
    EXPECT_EQ(soundVoiceState(channel->voice), SoundVoiceState::playing);
    EXPECT_EQ(channel->stream, stream);
    EXPECT_GT(mpg123_tell(stream->decoder), decodedBefore) << "the refill must go on from where it was";

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (channel->stream != nullptr && std::chrono::steady_clock::now() < deadline) {
        ASSERT_EQ(soundSystemUpdate(system), soundOk);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(channel->stream, nullptr) << "the stream should end after its 2 s";
    EXPECT_TRUE(stream->endOfFile);
}

TEST_F(SoundStreamTest, PausedWhileDryStaysPausedUntilResumed)
{
    ASSERT_EQ(open(dir + "/mono.mp3"), soundOk);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, stream, false, &channel), soundOk);
    std::this_thread::sleep_for(std::chrono::milliseconds(dryFrameMs));
    ASSERT_EQ(soundChannelSetPaused(channel, true), soundOk);
    ASSERT_EQ(soundSystemUpdate(system), soundOk);
    EXPECT_NE(soundVoiceState(channel->voice), SoundVoiceState::playing);
    ASSERT_EQ(soundChannelSetPaused(channel, false), soundOk);
    EXPECT_EQ(soundVoiceState(channel->voice), SoundVoiceState::playing);
}

TEST_F(SoundStreamTest, TruncatedFilePlaysWhatItHas)
{
    const std::string whole = readFile(dir + "/long.mp3");
    writeFile(dir + "/cut.mp3", whole.substr(0, whole.size() / 10 + 77));
    ASSERT_EQ(open(dir + "/cut.mp3"), soundOk);
    SoundChannel* channel = nullptr;
    ASSERT_EQ(soundSystemPlaySound(system, soundChannelFree, stream, false, &channel), soundOk);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (channel->stream != nullptr && std::chrono::steady_clock::now() < deadline) {
        const int result = soundSystemUpdate(system);
        EXPECT_TRUE(result == soundOk || result == soundErrFileRead) << result;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(channel->stream, nullptr);
    EXPECT_EQ(soundSystemUpdate(system), soundOk);
}

}  // namespace
