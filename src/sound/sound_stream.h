// A music stream: an MPEG audio file decoded by mpg123 a little at a time, one output buffer's
// worth per call, so the file is never decoded whole.
#pragma once
#include <mpg123.h>

#include <cstddef>
#include <vector>

struct SoundSystem;
struct SoundChannel;

constexpr int soundModeDefault = 0;  // play once from the start; the only mode there is
// Ten buffers of 100 ms each: a second queued rides out a frame loop (or, on a busy machine, an
// audio thread) held up for most of a second, and a buffer is small enough to decode within a
// frame.
constexpr int soundStreamBufferCount = 10;
constexpr int soundStreamBufferMs = 100;
// A stream starts, and starts again after a seek, on this many, so that it sounds at once; each
// update after that tops the queue up by one more buffer until it is full.
constexpr int soundStreamStartBufferCount = 3;
// Where a voice ran dry and plays again, the sound comes back over this long rather than at
// once, which would click.
constexpr int soundStreamFadeInMs = 5;

struct SoundStream {
    SoundSystem* system = nullptr;
    mpg123_handle* decoder = nullptr;
    long rate = 0;  // the decoder's rate and channel count, handed to the output as they are
    int channelCount = 0;
    std::vector<unsigned char> pcm;  // one buffer of decoded 16-bit audio, reused for every refill
    bool endOfFile = false;
    SoundChannel* channel = nullptr;  // the channel playing it, or null
    SoundStream* next = nullptr;      // the system's list of streams
};

// Opens `path` (written with either separator) on an initialised system. exinfo is reserved and
// must be null.
int soundSystemCreateStream(SoundSystem* system, const char* path, int mode, const void* exinfo,
                            SoundStream** stream);

// The whole stream's length in milliseconds, as the decoder reckons it: exact where the file says
// how many samples it holds (LAME's info tag does), estimated from its size otherwise.
int soundStreamGetLength(SoundStream* stream, unsigned* lengthMs);
// To the sample frame `frame` (0 is the first); past the end, the stream has nothing more to give.
int soundStreamSeek(SoundStream& stream, long long frame);
// Decodes up to one buffer's worth into stream.pcm; *bytes tells how much went in (0 at the end).
int soundStreamDecode(SoundStream& stream, size_t* bytes);
// Ramps the first soundStreamFadeInMs of the `bytes` decoded into stream.pcm up from silence.
void soundStreamFadeIn(SoundStream& stream, size_t bytes);
// Frees the decoder and closes the file; the stream must not be playing.
void soundStreamRelease(SoundStream* stream);
