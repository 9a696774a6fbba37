// Channels: starting a stream on a voice of the output, pausing it, and keeping its queue fed.
#include "sound/sound_channel.h"

#include "sound/sound_output.h"
#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_system.h"
#include "sound/sound_test_hook.h"

#include <cstddef>

namespace {

// Decodes the next buffer's worth and queues it, faded in where the sound comes back after
// running dry; *queued tells whether anything was left to.
int refill(SoundChannel& channel, bool* queued, bool fadeIn = false)
{
    *queued = false;
    SoundStream& stream = *channel.stream;
    size_t bytes = 0;
    const int decoded = soundStreamDecode(stream, &bytes);
    if (bytes == 0) {
        return decoded;
    }
    if (fadeIn) {
        soundStreamFadeIn(stream, bytes);
    }
    *queued = true;
    const int result = soundVoiceQueue(channel.voice, stream.pcm.data(), bytes);
    return decoded != soundOk ? decoded : result;
}

// Queues the first few buffers on a reset voice, so that playing starts the sound at once; *queued
// tells whether the stream had anything left to give. On failure the channel is stopped.
int fillQueue(SoundChannel& channel, bool* queued)
{
    *queued = false;
    for (int i = 0; i < soundStreamStartBufferCount; ++i) {
        bool more = false;
        if (int filled = refill(channel, &more)) {
            soundChannelStop(channel);
            return filled;
        }
        if (!more) {
            break;
        }
        *queued = true;
    }
    return soundOk;
}

// Drops whatever the voice has queued and fills its queue from `frame` of the stream on;
// *queued tells whether the stream had anything left from there. On failure the channel is
// stopped.
int queueFrom(SoundChannel& channel, long long frame, bool* queued)
{
    *queued = false;
    SoundStream& stream = *channel.stream;
    int result = soundVoiceReset(channel.voice, stream.rate, stream.channelCount, stream.pcm.size());
    if (result == soundOk) {
        result = soundStreamSeek(stream, frame);
    }
    if (result != soundOk) {
        soundChannelStop(channel);
        return result;
    }
    return fillQueue(channel, queued);
}

// Starts the voice on its queue unless the channel is paused. On failure the channel is stopped.
int playUnlessPaused(SoundChannel& channel)
{
    if (channel.paused) {
        return soundOk;
    }
    const int played = soundVoicePlay(channel.voice);
    if (played != soundOk) {
        soundChannelStop(channel);
    }
    return played;
}

}  // namespace

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
    if (system->output == nullptr) {
        // No sound: the channel holds the stream, rewound, and nothing is decoded.
        if (int rewound = soundStreamSeek(*stream, 0)) {
            return rewound;
        }
        target->stream = stream;
        target->paused = paused;
        stream->channel = target;
        *channel = target;
        return soundOk;
    }
    if (target->voice == nullptr) {
        if (int made = soundVoiceCreate(system->output, soundStreamBufferCount, &target->voice)) {
            return made;
        }
    }
    target->stream = stream;
    target->paused = paused;
    stream->channel = target;
    bool queued = false;
    if (int filled = queueFrom(*target, 0, &queued)) {
        return filled;
    }
    if (int played = playUnlessPaused(*target)) {
        return played;
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
    int result = soundOk;
    if (channel->voice != nullptr) {  // with no sound only the flag changes
        const SoundVoiceState state = soundVoiceState(channel->voice);
        if (paused && state == SoundVoiceState::playing) {
            result = soundVoicePause(channel->voice);
        } else if (!paused && state != SoundVoiceState::playing) {
            result = soundVoicePlay(channel->voice);
        }
    }
    channel->paused = paused;
    return result;
}

int soundChannelSetPosition(SoundChannel* channel, unsigned positionMs)
{
    if (channel == nullptr || channel->system == nullptr || channel->stream == nullptr) {
        return soundErrInvalidHandle;
    }
    SoundStream& stream = *channel->stream;
    const long long frame = static_cast<long long>(positionMs) * stream.rate / 1000;
    if (channel->voice == nullptr) {
        return soundStreamSeek(stream, frame);  // no sound
    }
    // What is queued was decoded from the old position: drop all of it, played or not.
    bool queued = false;
    if (int filled = queueFrom(*channel, frame, &queued)) {
        return filled;
    }
    if (!queued) {
        soundChannelStop(*channel);  // past the end: as if the stream had played out
        return soundOk;
    }
    return playUnlessPaused(*channel);
}

int soundChannelService(SoundChannel& channel)
{
    if (channel.voice == nullptr) {
        return soundOk;  // no sound: nothing to play, nothing ever ends
    }
    int result = soundOk;
    // The state is read before the finished buffers are counted: a voice that is stopped at this
    // point has played every buffer counted below, so replaying its queue afterwards repeats
    // nothing.
    const SoundVoiceState state = soundVoiceState(channel.voice);
    // A voice that ran dry has played every buffer: the first refill is the first it plays.
    bool fadeIn = state == SoundVoiceState::stopped;
    // Every buffer that has played is refilled, and one more while the queue is still filling
    // up after a start.
    int refills = soundVoiceReclaim(channel.voice);
    if (soundVoiceQueued(channel.voice) + refills < soundStreamBufferCount) {
        ++refills;
    }
    for (; refills > 0; --refills) {
        bool queued = false;
        if (int filled = refill(channel, &queued, fadeIn)) {
            result = filled;
        }
        fadeIn = false;
    }
    if (state == SoundVoiceState::stopped) {
        if (soundVoiceQueued(channel.voice) == 0) {
            soundChannelStop(channel);  // the stream has played to its end
        } else if (!channel.paused) {
            // Ran dry during a long frame; go on from the refill.
            if (int played = soundVoicePlay(channel.voice); played != soundOk && result == soundOk) {
                result = played;
            }
        }
    }
    return result;
}

void soundChannelStop(SoundChannel& channel)
{
    if (channel.voice != nullptr) {
        soundVoiceStop(channel.voice);
    }
    if (channel.stream != nullptr) {
        channel.stream->channel = nullptr;
    }
    channel.stream = nullptr;
    channel.paused = false;
}
