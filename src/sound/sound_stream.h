// A music stream: an MPEG audio file decoded by mpg123 a little at a time into a few OpenAL
// buffers that a channel keeps queued, so the file is never decoded whole.
#pragma once
#include <AL/al.h>
#include <mpg123.h>

#include <vector>

struct SoundSystem;
struct SoundChannel;

constexpr int soundModeDefault = 0;  // play once from the start; the only mode there is
// Four buffers of 100 ms each: 400 ms queued covers a slow frame, and a buffer is small
// enough to decode within a frame.
constexpr int soundStreamBufferCount = 4;
constexpr int soundStreamBufferMs = 100;

struct SoundStream {
    SoundSystem* system = nullptr;
    mpg123_handle* decoder = nullptr;
    int file = -1;
    long rate = 0;  // the decoder's rate and channel count, handed to OpenAL as they are
    int channelCount = 0;
    ALenum format = 0;  // 16-bit mono or stereo
    ALuint buffers[soundStreamBufferCount] = {};
    std::vector<unsigned char> pcm;  // one buffer of decoded audio, reused for every refill
    bool endOfFile = false;
    SoundChannel* channel = nullptr;  // the channel playing it, or null
    SoundStream* next = nullptr;      // the system's list of streams
};

// Opens `path` (written with either separator) on an initialised system. exinfo is reserved and
// must be null.
int soundSystemCreateStream(SoundSystem* system, const char* path, int mode, const void* exinfo,
                            SoundStream** stream);

// Back to the first sample.
int soundStreamRewind(SoundStream& stream);
// Decodes up to one buffer's worth into `buffer`; *filled tells whether anything went in.
int soundStreamFill(SoundStream& stream, ALuint buffer, bool* filled);
// Frees the decoder, the file and the buffers; the stream must not be playing.
void soundStreamRelease(SoundStream* stream);
