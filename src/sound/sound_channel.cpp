// Channels: starting a stream on an OpenAL source, pausing it, and keeping its queue fed.
#include "sound/sound_channel.h"

#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_system.h"
#include "sound/sound_test_hook.h"

int soundSystemPlaySound(SoundSystem* system, int channelIndex, SoundStream* stream, bool paused,
                         SoundChannel** channel)
{
    if (channel != nullptr) {
        *channel = nullptr;
    }
    if (int forced = takeForcedResult(soundForcedResults.playSound)) {
        return forced;
    }
    if (channel == nullptr) {
        return soundErrInvalidParam;
    }
    if (system == nullptr || stream == nullptr || stream->system != system) {
        return soundErrInvalidHandle;
    }
    if (!system->initialised) {
        return soundErrUninitialized;
    }
    alcMakeContextCurrent(system->context);

    SoundChannel* target = nullptr;
    if (channelIndex == soundChannelFree) {
        for (SoundChannel& candidate : system->channels) {
            if (candidate.stream == nullptr) {
                target = &candidate;
                break;
            }
        }
        if (target == nullptr) {
            return soundErrChannelAlloc;
        }
    } else if (channelIndex >= 0 && static_cast<size_t>(channelIndex) < system->channels.size()) {
        target = &system->channels[static_cast<size_t>(channelIndex)];
    } else {
        return soundErrInvalidParam;
    }

    if (target->stream != nullptr) {
        soundChannelStop(*target);
    }
    if (stream->channel != nullptr) {
        soundChannelStop(*stream->channel);
    }
    if (target->source == 0) {
        alGetError();
        alGenSources(1, &target->source);
        if (alGetError() != AL_NO_ERROR) {
            target->source = 0;
            return soundErrChannelAlloc;
        }
    }
    if (int rewound = soundStreamRewind(*stream)) {
        return rewound;
    }
    // Fill the whole queue now, so that unpausing starts the sound at once.
    for (ALuint buffer : stream->buffers) {
        bool filled = false;
        if (int decoded = soundStreamFill(*stream, buffer, &filled)) {
            alSourcei(target->source, AL_BUFFER, 0);
            return decoded;
        }
        if (!filled) {
            break;
        }
        alSourceQueueBuffers(target->source, 1, &buffer);
    }
    target->stream = stream;
    target->paused = paused;
    stream->channel = target;
    if (!paused) {
        alSourcePlay(target->source);
    }
    if (alGetError() != AL_NO_ERROR) {
        soundChannelStop(*target);
        return soundErrOutput;
    }
    *channel = target;
    return soundOk;
}

int soundChannelSetPaused(SoundChannel* channel, bool paused)
{
    if (int forced = takeForcedResult(soundForcedResults.setPaused)) {
        return forced;
    }
    if (channel == nullptr || channel->system == nullptr || channel->stream == nullptr) {
        return soundErrInvalidHandle;
    }
    alcMakeContextCurrent(channel->system->context);
    ALint state = AL_INITIAL;
    alGetSourcei(channel->source, AL_SOURCE_STATE, &state);
    if (paused && state == AL_PLAYING) {
        alSourcePause(channel->source);
    } else if (!paused && state != AL_PLAYING) {
        alSourcePlay(channel->source);
    }
    channel->paused = paused;
    return alGetError() == AL_NO_ERROR ? soundOk : soundErrOutput;
}

int soundChannelService(SoundChannel& channel)
{
    SoundStream& stream = *channel.stream;
    int result = soundOk;
    // The state is read before the processed count: a source that is stopped at this point has
    // played every buffer counted below, so replaying its queue afterwards repeats nothing.
    ALint state = AL_INITIAL;
    ALint processed = 0;
    alGetSourcei(channel.source, AL_SOURCE_STATE, &state);
    alGetSourcei(channel.source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(channel.source, 1, &buffer);
        bool filled = false;
        if (int decoded = soundStreamFill(stream, buffer, &filled)) {
            result = decoded;
        }
        if (filled) {
            alSourceQueueBuffers(channel.source, 1, &buffer);
        }
    }
    if (state == AL_STOPPED) {
        ALint queued = 0;
        alGetSourcei(channel.source, AL_BUFFERS_QUEUED, &queued);
        if (queued == 0) {
            soundChannelStop(channel);  // the stream has played to its end
        } else if (!channel.paused) {
            alSourcePlay(channel.source);  // ran dry during a long frame; go on from the refill
        }
    }
    if (alGetError() != AL_NO_ERROR && result == soundOk) {
        result = soundErrOutput;
    }
    return result;
}

void soundChannelStop(SoundChannel& channel)
{
    alSourceStop(channel.source);
    alSourcei(channel.source, AL_BUFFER, 0);  // drops the whole queue
    if (channel.stream != nullptr) {
        channel.stream->channel = nullptr;
    }
    channel.stream = nullptr;
    channel.paused = false;
}
