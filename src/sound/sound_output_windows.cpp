// The sound output on Windows: WinMM's waveOut, which every Windows has. A voice is one waveOut
// device opened through the wave mapper in the stream's layout, with its own buffers. The
// buffers' done flags are polled from the update, so no callback ever runs on another thread.
#include "sound/sound_output.h"

#include "sound/sound_result.h"
#include "sound/sound_system.h"

#include <windows.h>

#include <mmreg.h>
#include <mmsystem.h>

#include <ks.h>
#include <ksmedia.h>

#include <cstring>
#include <new>
#include <vector>

// Nothing to hold: each voice opens a device of its own.
struct SoundOutput {};

struct SoundVoice {
    HWAVEOUT device = nullptr;  // open while a layout is set
    std::vector<WAVEHDR> headers;
    std::vector<std::vector<char>> memory;  // each header's samples
    std::vector<bool> onQueue;              // written and not yet reclaimed
    bool started = false;                   // played since the last reset
    bool paused = false;
};

namespace {

WAVEFORMATEX pcmFormat(long rate, int channelCount)
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channelCount);
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channelCount * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    return format;
}

// Asks the wave mapper whether the device takes 16-bit buffers in the speaker mode's layout.
bool outputLayoutAvailable(int speakerMode)
{
    if (speakerMode != soundSpeakerMode5Point1) {
        WAVEFORMATEX stereo = pcmFormat(44100, 2);
        return waveOutOpen(nullptr, WAVE_MAPPER, &stereo, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
    }
    WAVEFORMATEXTENSIBLE surround = {};
    surround.Format = pcmFormat(44100, 6);
    surround.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    surround.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
    surround.Samples.wValidBitsPerSample = 16;
    surround.dwChannelMask = KSAUDIO_SPEAKER_5POINT1;
    surround.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    return waveOutOpen(nullptr, WAVE_MAPPER, &surround.Format, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
}

bool isDone(const WAVEHDR& header)
{
    // The driver sets the flag from its own thread.
    return (static_cast<volatile const DWORD&>(header.dwFlags) & WHDR_DONE) != 0;
}

void closeDevice(SoundVoice* voice)
{
    if (voice->device == nullptr) {
        return;
    }
    waveOutReset(voice->device);
    for (WAVEHDR& header : voice->headers) {
        if ((header.dwFlags & WHDR_PREPARED) != 0) {
            waveOutUnprepareHeader(voice->device, &header, sizeof(header));
        }
    }
    waveOutClose(voice->device);
    voice->device = nullptr;
}

}  // namespace

int soundOutputOpen(int speakerMode, SoundOutput** output)
{
    *output = nullptr;
    if (waveOutGetNumDevs() == 0) {
        return soundErrNoOutput;
    }
    if (!outputLayoutAvailable(speakerMode)) {
        return speakerMode == soundSpeakerModeStereo ? soundErrOutputInit : soundErrOutputCreateBuffer;
    }
    SoundOutput* made = new (std::nothrow) SoundOutput();
    if (made == nullptr) {
        return soundErrMemory;
    }
    *output = made;
    return soundOk;
}

int soundOutputClock(SoundOutput*, double* /*mixedMs*/)
{
    // Each voice is a waveOut device of its own: there is no mixer whose clock could be read.
    return soundErrUnsupported;
}

int soundOutputLatency(SoundOutput*, double* /*latencyMs*/)
{
    return soundErrUnsupported;  // no clock whose readings it could shift
}

int soundOutputSetPaused(SoundOutput*, bool /*paused*/)
{
    return soundErrUnsupported;  // each voice is a device of its own; channels pause one by one
}

void soundOutputClose(SoundOutput* output)
{
    delete output;
}

int soundVoiceCreate(SoundOutput* /*output*/, int bufferCount, SoundVoice** voice)
{
    *voice = new (std::nothrow) SoundVoice();
    if (*voice == nullptr) {
        return soundErrMemory;
    }
    const size_t count = static_cast<size_t>(bufferCount);
    (*voice)->headers.assign(count, WAVEHDR());
    (*voice)->memory.assign(count, std::vector<char>());
    (*voice)->onQueue.assign(count, false);
    return soundOk;
}

void soundVoiceRelease(SoundVoice* voice)
{
    closeDevice(voice);
    delete voice;
}

int soundVoiceReset(SoundVoice* voice, long rate, int channelCount, size_t bufferBytes)
{
    closeDevice(voice);
    voice->started = false;
    voice->paused = false;
    voice->onQueue.assign(voice->onQueue.size(), false);
    WAVEFORMATEX format = pcmFormat(rate, channelCount);
    HWAVEOUT device = nullptr;
    const MMRESULT opened = waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
    if (opened != MMSYSERR_NOERROR) {
        return opened == MMSYSERR_ALLOCATED ? soundErrChannelAlloc : soundErrOutput;
    }
    // Held until played: what is queued before that waits, as a paused channel's sound must.
    waveOutPause(device);
    voice->device = device;
    for (size_t i = 0; i < voice->headers.size(); ++i) {
        voice->memory[i].resize(bufferBytes);
        WAVEHDR& header = voice->headers[i];
        header = WAVEHDR();
        header.lpData = voice->memory[i].data();
        header.dwBufferLength = static_cast<DWORD>(bufferBytes);
        if (waveOutPrepareHeader(device, &header, sizeof(header)) != MMSYSERR_NOERROR) {
            closeDevice(voice);
            return soundErrMemory;
        }
    }
    return soundOk;
}

int soundVoiceQueue(SoundVoice* voice, const void* pcm, size_t bytes)
{
    for (size_t i = 0; i < voice->headers.size(); ++i) {
        if (voice->onQueue[i]) {
            continue;
        }
        WAVEHDR& header = voice->headers[i];
        if (voice->device == nullptr || bytes > voice->memory[i].size()) {
            return soundErrOutput;
        }
        std::memcpy(header.lpData, pcm, bytes);
        header.dwBufferLength = static_cast<DWORD>(bytes);
        header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        if (waveOutWrite(voice->device, &header, sizeof(header)) != MMSYSERR_NOERROR) {
            return soundErrOutput;
        }
        voice->onQueue[i] = true;
        return soundOk;
    }
    return soundErrOutput;
}

int soundVoiceReclaim(SoundVoice* voice)
{
    int finished = 0;
    for (size_t i = 0; i < voice->headers.size(); ++i) {
        if (voice->onQueue[i] && isDone(voice->headers[i])) {
            voice->onQueue[i] = false;
            ++finished;
        }
    }
    return finished;
}

int soundVoiceQueued(const SoundVoice* voice)
{
    int queued = 0;
    for (bool on : voice->onQueue) {
        queued += on ? 1 : 0;
    }
    return queued;
}

int soundVoicePlayedMs(const SoundVoice* /*voice*/, double* /*playedMs*/)
{
    return soundErrUnsupported;  // only the web page, on OpenAL, asks
}

SoundVoiceState soundVoiceState(const SoundVoice* voice)
{
    if (!voice->started) {
        return SoundVoiceState::initial;
    }
    if (voice->paused) {
        return SoundVoiceState::paused;
    }
    for (size_t i = 0; i < voice->headers.size(); ++i) {
        if (voice->onQueue[i] && !isDone(voice->headers[i])) {
            return SoundVoiceState::playing;
        }
    }
    return SoundVoiceState::stopped;
}

int soundVoicePlay(SoundVoice* voice)
{
    if (voice->device == nullptr || waveOutRestart(voice->device) != MMSYSERR_NOERROR) {
        return soundErrOutput;
    }
    voice->started = true;
    voice->paused = false;
    return soundOk;
}

int soundVoicePause(SoundVoice* voice)
{
    if (voice->device == nullptr || waveOutPause(voice->device) != MMSYSERR_NOERROR) {
        return soundErrOutput;
    }
    voice->paused = true;
    return soundOk;
}

void soundVoiceStop(SoundVoice* voice)
{
    if (voice->device != nullptr) {
        // Reset hands every written buffer back as done; the pause holds later writes until played.
        waveOutReset(voice->device);
        waveOutPause(voice->device);
    }
    voice->onQueue.assign(voice->onQueue.size(), false);
    voice->started = false;
    voice->paused = false;
}
