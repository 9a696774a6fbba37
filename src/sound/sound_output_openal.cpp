// The sound output on Linux: OpenAL Soft. A device with one context; a voice is an OpenAL
// source with its own buffers, queued and unqueued as the stream plays.
#include "sound/sound_output.h"

#include "sound/sound_result.h"
#include "sound/sound_system.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <alsa/asoundlib.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

struct SoundOutput {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    // OpenAL Soft's device clock (ALC_SOFT_device_clock), looked up once: null without it.
    LPALCGETINTEGER64VSOFT getInteger64 = nullptr;
};

struct SoundVoice {
    SoundOutput* output = nullptr;
    ALuint source = 0;
    std::vector<ALuint> buffers;  // every buffer of the voice, made with it
    std::vector<ALuint> free;     // those not on the source's queue
    ALenum format = AL_FORMAT_STEREO16;
    ALsizei rate = 0;
};

namespace {

void ignoreAlsaError(const char* /*file*/, int /*line*/, const char* /*function*/, int /*error*/,
                     const char* /*format*/, ...)
{
}

// Without a sound card, ALSA and OpenAL Soft print a dozen lines of their own on standard error
// around the program's own sound error lines, which already say what failed. Both stay quiet
// unless the user asked for OpenAL Soft's log by setting ALSOFT_LOGLEVEL; then ALSA speaks too.
// OpenAL Soft reads its level when the first device is opened, so this runs before that.
void quietAudioLibraries()
{
    if (std::getenv("ALSOFT_LOGLEVEL") == nullptr) {
        setenv("ALSOFT_LOGLEVEL", "0", 0);
        snd_lib_error_set_handler(ignoreAlsaError);
    }
}

// Each system has a context of its own, and several may be alive at once. Clears the error
// state, so that what a call checks afterwards is its own.
void select(const SoundVoice* voice)
{
    alcMakeContextCurrent(voice->output->context);
    alGetError();
}

int outcome()
{
    return alGetError() == AL_NO_ERROR ? soundOk : soundErrOutput;
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

int soundOutputOpen(int speakerMode, SoundOutput** output)
{
    *output = nullptr;
    quietAudioLibraries();
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
    SoundOutput* made = current && outputLayoutAvailable(speakerMode) ? new (std::nothrow) SoundOutput() : nullptr;
    if (made == nullptr) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
        return !current ? soundErrOutputInit : soundErrOutputCreateBuffer;
    }
    made->device = device;
    made->context = context;
    if (alcIsExtensionPresent(device, "ALC_SOFT_device_clock")) {
        made->getInteger64 =
            reinterpret_cast<LPALCGETINTEGER64VSOFT>(alcGetProcAddress(device, "alcGetInteger64vSOFT"));
    }
    *output = made;
    return soundOk;
}

int soundOutputClock(SoundOutput* output, double* mixedMs)
{
    if (output->getInteger64 == nullptr) {
        return soundErrUnsupported;
    }
    ALCint64SOFT nanoseconds = 0;  // of sound mixed
    output->getInteger64(output->device, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
    *mixedMs = static_cast<double>(nanoseconds) / 1e6;
    return soundOk;
}

void soundOutputClose(SoundOutput* output)
{
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(output->context);
    alcCloseDevice(output->device);
    delete output;
}

int soundVoiceCreate(SoundOutput* output, int bufferCount, SoundVoice** voice)
{
    *voice = nullptr;
    SoundVoice* made = new (std::nothrow) SoundVoice();
    if (made == nullptr) {
        return soundErrMemory;
    }
    made->output = output;
    made->buffers.assign(static_cast<size_t>(bufferCount), 0);
    made->free.reserve(made->buffers.size());
    select(made);
    alGenSources(1, &made->source);
    if (alGetError() != AL_NO_ERROR) {
        delete made;
        return soundErrChannelAlloc;
    }
    alGenBuffers(bufferCount, made->buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        alDeleteSources(1, &made->source);
        delete made;
        return soundErrMemory;
    }
    made->free = made->buffers;
    *voice = made;
    return soundOk;
}

void soundVoiceRelease(SoundVoice* voice)
{
    soundVoiceStop(voice);
    alDeleteSources(1, &voice->source);
    alDeleteBuffers(static_cast<ALsizei>(voice->buffers.size()), voice->buffers.data());
    delete voice;
}

int soundVoiceReset(SoundVoice* voice, long rate, int channelCount, size_t /*bufferBytes*/)
{
    soundVoiceStop(voice);
    alSourceRewind(voice->source);  // back to AL_INITIAL
    voice->format = channelCount == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    voice->rate = static_cast<ALsizei>(rate);
    return outcome();
}

int soundVoiceQueue(SoundVoice* voice, const void* pcm, size_t bytes)
{
    if (voice->free.empty()) {
        return soundErrOutput;
    }
    select(voice);
    const ALuint buffer = voice->free.back();
    voice->free.pop_back();
    alBufferData(buffer, voice->format, pcm, static_cast<ALsizei>(bytes), voice->rate);
    alSourceQueueBuffers(voice->source, 1, &buffer);
    return outcome();
}

int soundVoiceReclaim(SoundVoice* voice)
{
    select(voice);
    ALint processed = 0;
    alGetSourcei(voice->source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed; ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(voice->source, 1, &buffer);
        voice->free.push_back(buffer);
    }
    return processed;
}

int soundVoiceQueued(const SoundVoice* voice)
{
    select(voice);
    ALint queued = 0;
    alGetSourcei(voice->source, AL_BUFFERS_QUEUED, &queued);
    return queued;
}

SoundVoiceState soundVoiceState(const SoundVoice* voice)
{
    select(voice);
    ALint state = AL_INITIAL;
    alGetSourcei(voice->source, AL_SOURCE_STATE, &state);
    switch (state) {
    case AL_PLAYING: return SoundVoiceState::playing;
    case AL_PAUSED: return SoundVoiceState::paused;
    case AL_STOPPED: return SoundVoiceState::stopped;
    default: return SoundVoiceState::initial;
    }
}

int soundVoicePlay(SoundVoice* voice)
{
    select(voice);
    alSourcePlay(voice->source);
    return outcome();
}

int soundVoicePause(SoundVoice* voice)
{
    select(voice);
    alSourcePause(voice->source);
    return outcome();
}

void soundVoiceStop(SoundVoice* voice)
{
    select(voice);
    alSourceStop(voice->source);
    alSourcei(voice->source, AL_BUFFER, 0);  // drops the whole queue
    voice->free = voice->buffers;
}
