// The sound system: one audio output device with a table of channels and the streams opened on
// it. Every operation returns a result code from sound/sound_result.h.
#pragma once
#include "sound/sound_channel.h"

#include <vector>

struct SoundOutput;
struct SoundStream;

// Speaker layouts. A new system asks for 5.1; stereo is what every output can take.
constexpr int soundSpeakerModeStereo = 2;
constexpr int soundSpeakerMode5Point1 = 6;

// Where a system's sound goes: the default audio device, or nowhere. With no sound every call
// succeeds and streams play on their channels without being decoded or heard, for the tools that
// run the show off-line.
constexpr int soundOutputDevice = 0;
constexpr int soundOutputNoSound = 1;

constexpr int soundInitNormal = 0;  // the only init flag set there is
// Upper bound for init's channel count: outputs give a few hundred voices at most (OpenAL Soft
// 256 by default), and a table far beyond that would only hold channels that can never get one.
constexpr int soundMaxChannels = 4096;

struct SoundSystem {
    int speakerMode = soundSpeakerMode5Point1;
    int outputType = soundOutputDevice;
    bool initialised = false;
    SoundOutput* output = nullptr;       // the open device, once initialised with one
    std::vector<SoundChannel> channels;  // sized once by init; their addresses are channel handles
    SoundStream* streams = nullptr;      // streams opened on this system, newest first
    SoundSystem* nextLive = nullptr;     // the process-wide list that the exit teardown walks
};

// Makes a system that is not yet initialised. The first call also arranges a quiet teardown at
// process exit for every system still alive then.
int soundSystemCreate(SoundSystem** system);
// Chooses the speaker layout; only before init.
int soundSystemSetSpeakerMode(SoundSystem* system, int mode);
// Chooses the output type; only before init.
int soundSystemSetOutput(SoundSystem* system, int outputType);
// Opens the default output device. Returns soundErrOutputCreateBuffer when the output cannot
// take buffers in the speaker mode's layout; the system then stays uninitialised and a later
// init in stereo may succeed. driverData is reserved and must be null.
int soundSystemInit(SoundSystem* system, int maxChannels, int flags, void* driverData);
// Refills the playing streams, resumes a channel that ran dry and frees channels whose stream
// has ended. Call regularly, from the thread that made the other calls.
int soundSystemUpdate(SoundSystem* system);
// The output's clock: how much sound it has mixed since the system was initialised, in
// milliseconds. A channel told to play starts with the next block mixed, at the clock's reading.
int soundSystemGetOutputClock(SoundSystem* system, double* mixedMs);
// How long the sound that the clock counts takes to reach the listener, in milliseconds: the
// clock less this is what is heard now.
int soundSystemGetOutputLatency(SoundSystem* system, double* latencyMs);
// Pauses or resumes the output device: every channel's sound and the output's clock stand still
// together, and go on from where they stood.
int soundSystemSetOutputPaused(SoundSystem* system, bool paused);
// Stops every channel, closes every stream and the device, and frees the system.
void soundSystemRelease(SoundSystem* system);
