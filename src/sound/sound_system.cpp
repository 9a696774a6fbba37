// The sound system over OpenAL Soft: device and context set-up with the speaker-layout check,
// the per-frame update and the teardown that runs at process exit.
#include "sound/sound_system.h"

#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_test_hook.h"

#include <AL/al.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

SoundSystem* liveSystems = nullptr;

// OpenAL Soft warns on standard error about devices left open when the process ends, and the
// program never releases its system; closing everything from an exit handler keeps exit quiet.
void releaseLiveSystems()
{
    while (liveSystems != nullptr) {
        soundSystemRelease(liveSystems);
    }
}

// Makes and drops one buffer in the speaker mode's layout. A 5.1 layout needs the multichannel
// buffer formats of AL_EXT_MCFORMATS, which not every OpenAL implementation offers.
bool outputLayoutAvailable(int speakerMode)
{
    ALenum format = AL_FORMAT_STEREO16;
    int channels = 2;
    if (speakerMode == soundSpeakerMode5Point1) {
        if (!alIsExtensionPresent("AL_EXT_MCFORMATS")) {
            return false;
        }
        format = alGetEnumValue("AL_FORMAT_51CHN16");
        channels = 6;
        if (format == 0 || format == -1) {
            return false;
        }
    }
    const int16_t silence[6] = {};
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, format, silence, static_cast<ALsizei>(sizeof(int16_t) * channels), 44100);
    const bool made = alGetError() == AL_NO_ERROR;
    alDeleteBuffers(1, &buffer);
    return made;
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
    ALCdevice* device = alcOpenDevice(nullptr);
    if (device == nullptr) {
        return soundErrNoOutput;
    }
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (context == nullptr) {
        alcCloseDevice(device);
        return soundErrOutputInit;
    }
    const bool current = alcMakeContextCurrent(context) == ALC_TRUE;
    if (!current || !outputLayoutAvailable(system->speakerMode)) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
        return current ? soundErrOutputCreateBuffer : soundErrOutputInit;
    }
    system->device = device;
    system->context = context;
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
    alcMakeContextCurrent(system->context);
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

void soundSystemRelease(SoundSystem* system)
{
    if (system == nullptr) {
        return;
    }
    if (system->initialised) {
        alcMakeContextCurrent(system->context);
        for (SoundChannel& channel : system->channels) {
            if (channel.stream != nullptr) {
                soundChannelStop(channel);
            }
            if (channel.source != 0) {
                alDeleteSources(1, &channel.source);
            }
        }
    }
    while (system->streams != nullptr) {
        SoundStream* stream = system->streams;
        system->streams = stream->next;
        soundStreamRelease(stream);
    }
    if (system->initialised) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(system->context);
        alcCloseDevice(system->device);
    }
    for (SoundSystem** link = &liveSystems; *link != nullptr; link = &(*link)->nextLive) {
        if (*link == system) {
            *link = system->nextLive;
            break;
        }
    }
    delete system;
}
