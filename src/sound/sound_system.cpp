// The sound system: the output device opened in its speaker mode, the channel table, the
// per-frame update and the teardown that runs at process exit.
#include "sound/sound_system.h"

#include "sound/sound_output.h"
#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_test_hook.h"

#include <cstdlib>
#include <new>

namespace {

SoundSystem* liveSystems = nullptr;

// The program never releases its system, but an output should be closed before the process
// ends: OpenAL Soft warns on standard error about devices left open, its wave writer completes
// its file only on close, and waveOut drops what it still holds. An exit handler closes them.
void releaseLiveSystems()
{
    while (liveSystems != nullptr) {
        soundSystemRelease(liveSystems);
    }
}

}  // namespace

int soundSystemCreate(SoundSystem** system)
{
    if (system == nullptr) {
        return soundErrInvalidParam;
    }
    *system = nullptr;
    if (int forced = takeForcedResult(soundForcedResults.create)) {
        return forced;
    }
    static const bool teardownRegistered = std::atexit(releaseLiveSystems) == 0;
    if (!teardownRegistered) {
        return soundErrMemory;
    }
    SoundSystem* made = new (std::nothrow) SoundSystem();
    if (made == nullptr) {
        return soundErrMemory;
    }
    made->nextLive = liveSystems;
    liveSystems = made;
    *system = made;
    return soundOk;
}

int soundSystemSetSpeakerMode(SoundSystem* system, int mode)
{
    if (int forced = takeForcedResult(soundForcedResults.setSpeakerMode)) {
        return forced;
    }
    if (system == nullptr) {
        return soundErrInvalidHandle;
    }
    if (system->initialised) {
        return soundErrInitialized;
    }
    if (mode != soundSpeakerModeStereo && mode != soundSpeakerMode5Point1) {
        return soundErrInvalidParam;
    }
    system->speakerMode = mode;
    return soundOk;
}

int soundSystemSetOutput(SoundSystem* system, int outputType)
{
    if (system == nullptr) {
        return soundErrInvalidHandle;
    }
    if (system->initialised) {
        return soundErrInitialized;
    }
    if (outputType != soundOutputDevice && outputType != soundOutputNoSound) {
        return soundErrInvalidParam;
    }
    system->outputType = outputType;
    return soundOk;
}

int soundSystemInit(SoundSystem* system, int maxChannels, int flags, void* driverData)
{
    if (int forced = takeForcedResult(soundForcedResults.init)) {
        return forced;
    }
    if (system == nullptr) {
        return soundErrInvalidHandle;
    }
    if (system->initialised) {
        return soundErrInitialized;
    }
    if (maxChannels < 1 || maxChannels > soundMaxChannels || flags != soundInitNormal || driverData != nullptr) {
        return soundErrInvalidParam;
    }
    SoundOutput* output = nullptr;
    if (system->outputType == soundOutputDevice) {
        if (int opened = soundOutputOpen(system->speakerMode, &output)) {
            return opened;
        }
    }
    system->output = output;
    system->channels.assign(static_cast<size_t>(maxChannels), SoundChannel());
    for (SoundChannel& channel : system->channels) {
        channel.system = system;
    }
    system->initialised = true;
    return soundOk;
}

int soundSystemUpdate(SoundSystem* system)
{
    if (int forced = takeForcedResult(soundForcedResults.update)) {
        return forced;
    }
    if (system == nullptr) {
        return soundErrInvalidHandle;
    }
    if (!system->initialised) {
        return soundErrUninitialized;
    }
    int result = soundOk;
    for (SoundChannel& channel : system->channels) {
        if (channel.stream != nullptr) {
            const int serviced = soundChannelService(channel);
            if (serviced != soundOk) {
                result = serviced;
            }
        }
    }
    return result;
}

namespace {

// soundOk where the system has an output device open, or the result that says why not.
int outputOpen(const SoundSystem* system)
{
    if (system == nullptr) {
        return soundErrInvalidHandle;
    }
    if (!system->initialised) {
        return soundErrUninitialized;
    }
    if (system->output == nullptr) {
        return soundErrUnsupported;  // no sound: nothing is mixed
    }
    return soundOk;
}

}  // namespace

int soundSystemGetOutputClock(SoundSystem* system, double* mixedMs)
{
    if (mixedMs == nullptr) {
        return soundErrInvalidParam;
    }
    *mixedMs = 0.0;
    const int open = outputOpen(system);
    return open != soundOk ? open : soundOutputClock(system->output, mixedMs);
}

int soundSystemGetOutputLatency(SoundSystem* system, double* latencyMs)
{
    if (latencyMs == nullptr) {
        return soundErrInvalidParam;
    }
    *latencyMs = 0.0;
    const int open = outputOpen(system);
    return open != soundOk ? open : soundOutputLatency(system->output, latencyMs);
}

int soundSystemSetOutputPaused(SoundSystem* system, bool paused)
{
    const int open = outputOpen(system);
    return open != soundOk ? open : soundOutputSetPaused(system->output, paused);
}

void soundSystemRelease(SoundSystem* system)
{
    if (system == nullptr) {
        return;
    }
    for (SoundChannel& channel : system->channels) {
        if (channel.stream != nullptr) {
            soundChannelStop(channel);
        }
        if (channel.voice != nullptr) {
            soundVoiceRelease(channel.voice);
        }
    }
    while (system->streams != nullptr) {
        SoundStream* stream = system->streams;
        system->streams = stream->next;
        soundStreamRelease(stream);
    }
    if (system->output != nullptr) {
        soundOutputClose(system->output);
    }
    for (SoundSystem** link = &liveSystems; *link != nullptr; link = &(*link)->nextLive) {
        if (*link == system) {
            *link = system->nextLive;
            break;
        }
    }
    delete system;
}
