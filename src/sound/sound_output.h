// The sound layer's output backend: an audio device and the voices that play queues of 16-bit
// PCM buffers on it. Each platform has its own implementation (sound_output_openal.cpp over
// OpenAL, sound_output_windows.cpp over WinMM's waveOut); the build picks one. Every call
// that can fail returns a result code from sound/sound_result.h.
#pragma once
#include <cstddef>

struct SoundOutput;
struct SoundVoice;

enum class SoundVoiceState {
    initial,  // never played since it was made or reset
    playing,
    paused,
    stopped,  // played its whole queue and ran dry, or was never refilled
};

// Opens the default output device for the speaker mode (sound/sound_system.h). Returns
// soundErrNoOutput when there is no device, soundErrOutputInit when it cannot be set up, and
// soundErrOutputCreateBuffer when it cannot take buffers in the mode's layout; nothing is left
// open on failure.
int soundOutputOpen(int speakerMode, SoundOutput** output);
void soundOutputClose(SoundOutput* output);
// How much sound the device has mixed since it was opened, in milliseconds: a clock that moves
// a mixed block at a time. soundErrUnsupported where the output has no mixer of its own.
int soundOutputClock(SoundOutput* output, double* mixedMs);
// How long the sound mixed now takes to reach the listener, in milliseconds; soundErrUnsupported
// where the output cannot tell.
int soundOutputLatency(SoundOutput* output, double* latencyMs);
// Pauses or resumes the whole device: every voice and the clock stand still together.
// soundErrUnsupported where the output cannot.
int soundOutputSetPaused(SoundOutput* output, bool paused);

// A voice with room for `bufferCount` queued buffers; soundErrChannelAlloc when the device has
// no voice left.
int soundVoiceCreate(SoundOutput* output, int bufferCount, SoundVoice** voice);
void soundVoiceRelease(SoundVoice* voice);
// Stops the voice, empties its queue and sets the layout of the buffers queued from now on:
// `rate` frames per second of `channelCount` interleaved 16-bit samples, at most `bufferBytes`
// bytes per buffer. The voice is then in its initial state.
int soundVoiceReset(SoundVoice* voice, long rate, int channelCount, size_t bufferBytes);
// Appends one buffer to the queue; a free one must be at hand (fewer than bufferCount queued).
int soundVoiceQueue(SoundVoice* voice, const void* pcm, size_t bytes);
// Takes the buffers that have finished playing off the queue and returns how many there were.
int soundVoiceReclaim(SoundVoice* voice);
// Buffers on the queue: waiting, playing, or finished and not yet reclaimed.
int soundVoiceQueued(const SoundVoice* voice);
SoundVoiceState soundVoiceState(const SoundVoice* voice);
// How far the voice has played into its queue, in milliseconds from the start of the oldest buffer
// on it; soundErrUnsupported where the output cannot tell.
int soundVoicePlayedMs(const SoundVoice* voice, double* playedMs);
// Starts or resumes playing from the head of the queue.
int soundVoicePlay(SoundVoice* voice);
int soundVoicePause(SoundVoice* voice);
// Stops and empties the queue.
void soundVoiceStop(SoundVoice* voice);
