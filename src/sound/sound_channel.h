// A channel: one voice of the output that plays a stream from its queue of buffers.
#pragma once

struct SoundSystem;
struct SoundStream;
struct SoundVoice;

constexpr int soundChannelFree = -1;  // playSound's channel index for "any idle channel"

struct SoundChannel {
    SoundSystem* system = nullptr;
    SoundVoice* voice = nullptr;    // made the first time the channel plays
    SoundStream* stream = nullptr;  // what it plays; null while idle
    bool paused = false;
};

// Starts `stream` from its beginning on channel `channelIndex` (or any idle one), paused or
// not; a stream plays on one channel at a time, so playing it again restarts it.
int soundSystemPlaySound(SoundSystem* system, int channelIndex, SoundStream* stream, bool paused,
                         SoundChannel** channel);
// Pauses or resumes; an idle channel (its stream ended) is an invalid handle.
int soundChannelSetPaused(SoundChannel* channel, bool paused);
// Moves the playing stream to `positionMs` from its start: what is queued is dropped and the
// queue refilled from there, playing or paused as before. Past the end, the channel ends as if
// the stream had played out; a channel that cannot be moved is left idle too.
int soundChannelSetPosition(SoundChannel* channel, unsigned positionMs);

// The per-update work for a busy channel: refill, recover from running dry, detect the end.
int soundChannelService(SoundChannel& channel);
// Stops the channel and leaves it idle.
void soundChannelStop(SoundChannel& channel);
