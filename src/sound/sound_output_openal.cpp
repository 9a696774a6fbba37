// The sound output over OpenAL (OpenAL Soft on Linux). A device with one context; a voice is an
// OpenAL source with its own buffers, queued and unqueued as the stream plays. Every OpenAL call
// goes through the output's entry-point table (sound/openal_api.h).
#include "sound/openal_api.h"
#include "sound/sound_output.h"
#include "sound/sound_result.h"
#include "sound/sound_system.h"

#include <cstdint>
#include <new>
#include <vector>

struct SoundOutput {
    OpenAlApi al;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
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

// Each system has a context of its own, and several may be alive at once. Clears the error
// state, so that what a call checks afterwards is its own.
const OpenAlApi& select(const SoundVoice* voice)
{
    const OpenAlApi& al = voice->output->al;
    al.alcMakeContextCurrent(voice->output->context);
    al.alGetError();
    return al;
}

int outcome(const OpenAlApi& al)
{
    return al.alGetError() == AL_NO_ERROR ? soundOk : soundErrOutput;
}

// Makes and drops one buffer in the speaker mode's layout. A 5.1 layout needs the multichannel
// buffer formats of AL_EXT_MCFORMATS, which not every OpenAL implementation offers.
bool outputLayoutAvailable(const OpenAlApi& al, int speakerMode)
{
    ALenum format = AL_FORMAT_STEREO16;
    int channels = 2;
    if (speakerMode == soundSpeakerMode5Point1) {
        if (!al.alIsExtensionPresent("AL_EXT_MCFORMATS")) {
            return false;
        }
        format = al.alGetEnumValue("AL_FORMAT_51CHN16");
        channels = 6;
        if (format == 0 || format == -1) {
            return false;
        }
    }
    const int16_t silence[6] = {};
    al.alGetError();
    ALuint buffer = 0;
    al.alGenBuffers(1, &buffer);
    al.alBufferData(buffer, format, silence, static_cast<ALsizei>(sizeof(int16_t) * channels), 44100);
    const bool made = al.alGetError() == AL_NO_ERROR;
    al.alDeleteBuffers(1, &buffer);
    return made;
}

}  // namespace

int soundOutputOpen(int speakerMode, SoundOutput** output)
{
    *output = nullptr;
    OpenAlApi al;
    if (!loadOpenAlApi(al)) {
        return soundErrNoOutput;
    }
    ALCdevice* device = al.alcOpenDevice(nullptr);
    if (device == nullptr) {
        return soundErrNoOutput;
    }
    ALCcontext* context = al.alcCreateContext(device, nullptr);
    if (context == nullptr) {
        al.alcCloseDevice(device);
        return soundErrOutputInit;
    }
    const bool current = al.alcMakeContextCurrent(context) == ALC_TRUE;
    SoundOutput* made =
        current && outputLayoutAvailable(al, speakerMode) ? new (std::nothrow) SoundOutput() : nullptr;
    if (made == nullptr) {
        al.alcMakeContextCurrent(nullptr);
        al.alcDestroyContext(context);
        al.alcCloseDevice(device);
        return !current ? soundErrOutputInit : soundErrOutputCreateBuffer;
    }
    made->al = al;
    made->device = device;
    made->context = context;
    *output = made;
    return soundOk;
}

namespace {

int readDeviceClock(SoundOutput* output, ALCenum what, double* ms)
{
    if (output->al.deviceClock == nullptr) {
        return soundErrUnsupported;
    }
    ALCint64SOFT nanoseconds = 0;
    output->al.deviceClock(output->device, what, 1, &nanoseconds);
    *ms = static_cast<double>(nanoseconds) / 1e6;
    return soundOk;
}

}  // namespace

int soundOutputClock(SoundOutput* output, double* mixedMs)
{
    return readDeviceClock(output, ALC_DEVICE_CLOCK_SOFT, mixedMs);
}

int soundOutputLatency(SoundOutput* output, double* latencyMs)
{
    return readDeviceClock(output, ALC_DEVICE_LATENCY_SOFT, latencyMs);
}

int soundOutputSetPaused(SoundOutput* output, bool paused)
{
    const OpenAlApi& al = output->al;
    if (al.devicePause == nullptr || al.deviceResume == nullptr) {
        return soundErrUnsupported;
    }
    (paused ? al.devicePause : al.deviceResume)(output->device);
    return soundOk;
}

void soundOutputClose(SoundOutput* output)
{
    const OpenAlApi& al = output->al;
    al.alcMakeContextCurrent(nullptr);
    al.alcDestroyContext(output->context);
    al.alcCloseDevice(output->device);
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
    const OpenAlApi& al = select(made);
    al.alGenSources(1, &made->source);
    if (al.alGetError() != AL_NO_ERROR) {
        delete made;
        return soundErrChannelAlloc;
    }
    al.alGenBuffers(bufferCount, made->buffers.data());
    if (al.alGetError() != AL_NO_ERROR) {
        al.alDeleteSources(1, &made->source);
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
    const OpenAlApi& al = voice->output->al;
    al.alDeleteSources(1, &voice->source);
    al.alDeleteBuffers(static_cast<ALsizei>(voice->buffers.size()), voice->buffers.data());
    delete voice;
}

int soundVoiceReset(SoundVoice* voice, long rate, int channelCount, size_t /*bufferBytes*/)
{
    soundVoiceStop(voice);
    const OpenAlApi& al = voice->output->al;
    al.alSourceRewind(voice->source);  // back to AL_INITIAL
    voice->format = channelCount == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    voice->rate = static_cast<ALsizei>(rate);
    return outcome(al);
}

int soundVoiceQueue(SoundVoice* voice, const void* pcm, size_t bytes)
{
    if (voice->free.empty()) {
        return soundErrOutput;
    }
    const OpenAlApi& al = select(voice);
    const ALuint buffer = voice->free.back();
    voice->free.pop_back();
    al.alBufferData(buffer, voice->format, pcm, static_cast<ALsizei>(bytes), voice->rate);
    al.alSourceQueueBuffers(voice->source, 1, &buffer);
    return outcome(al);
}

int soundVoiceReclaim(SoundVoice* voice)
{
    const OpenAlApi& al = select(voice);
    ALint processed = 0;
    al.alGetSourcei(voice->source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed; ++i) {
        ALuint buffer = 0;
        al.alSourceUnqueueBuffers(voice->source, 1, &buffer);
        voice->free.push_back(buffer);
    }
    return processed;
}

int soundVoiceQueued(const SoundVoice* voice)
{
    const OpenAlApi& al = select(voice);
    ALint queued = 0;
    al.alGetSourcei(voice->source, AL_BUFFERS_QUEUED, &queued);
    return queued;
}

SoundVoiceState soundVoiceState(const SoundVoice* voice)
{
    const OpenAlApi& al = select(voice);
    ALint state = AL_INITIAL;
    al.alGetSourcei(voice->source, AL_SOURCE_STATE, &state);
    switch (state) {
    case AL_PLAYING: return SoundVoiceState::playing;
    case AL_PAUSED: return SoundVoiceState::paused;
    case AL_STOPPED: return SoundVoiceState::stopped;
    default: return SoundVoiceState::initial;
    }
}

int soundVoicePlayedMs(const SoundVoice* voice, double* playedMs)
{
    const OpenAlApi& al = select(voice);
    ALfloat seconds = 0.0f;
    al.alGetSourcef(voice->source, AL_SEC_OFFSET, &seconds);
    *playedMs = 1000.0 * seconds;
    return outcome(al);
}

int soundVoicePlay(SoundVoice* voice)
{
    const OpenAlApi& al = select(voice);
    al.alSourcePlay(voice->source);
    return outcome(al);
}

int soundVoicePause(SoundVoice* voice)
{
    const OpenAlApi& al = select(voice);
    al.alSourcePause(voice->source);
    return outcome(al);
}

void soundVoiceStop(SoundVoice* voice)
{
    const OpenAlApi& al = select(voice);
    al.alSourceStop(voice->source);
    al.alSourcei(voice->source, AL_BUFFER, 0);  // drops the whole queue
    voice->free = voice->buffers;
}
