// OpenAL on the web: emscripten's, on Web Audio, linked directly. Its device clock is the
// AudioContext's: currentTime counts the sound the context has rendered since it started, as
// OpenAL Soft's clock counts what it mixed, and the context's latencies say how much later that
// sound reaches the listener. Pausing the device suspends the context. The page reaches the
// context as Module.lumarqAudioContext(), to start it within the viewer's click and to hear when
// the system stops it.
#include "sound/openal_api.h"

#include <emscripten/emscripten.h>

#include <cmath>

// Emscripten's ALC_SOFT_pause_device, under its own names: it suspends the AudioContext, whose
// clock stops with the sound.
extern "C" void emscripten_alcDevicePauseSOFT(ALCdevice* device);
extern "C" void emscripten_alcDeviceResumeSOFT(ALCdevice* device);

namespace {

// Seconds of sound the current OpenAL context's AudioContext has rendered; 0 while it is
// suspended (before the viewer's first click) and without a context.
// clang-format off
EM_JS(double, audioContextSeconds, (), {
    return (AL.currentCtx && AL.currentCtx.audioCtx) ? AL.currentCtx.audioCtx.currentTime : 0;
});
// From the context to the audio system (baseLatency) and on to the speaker (outputLatency), where
// the browser reports them: Bluetooth headphones add a few hundred milliseconds here.
EM_JS(double, audioContextLatencySeconds, (), {
    var context = AL.currentCtx && AL.currentCtx.audioCtx;
    return context ? (context.baseLatency || 0) + (context.outputLatency || 0) : 0;
});

// Emscripten's OpenAL hands each buffer to the AudioContext a little before it is due, 100 ms by
// default. A buffer handed over late starts late, and the music falls behind its clock for good; the
// page's main thread can stall longer than that (a texture's upload on a GPU that the CPU emulates,
// the first frames after the page is shown again on a busy machine), so every buffer the stream has
// queued, up to its second, is handed over at once.
EM_JS(void, scheduleAudioAhead, (double seconds), {
    AL.QUEUE_LOOKAHEAD = seconds;
});
constexpr double audioLookaheadSeconds = 1.0;

EM_JS(void, exposeAudioContext, (), {
    Module.lumarqAudioContext = function() { return AL.currentCtx ? AL.currentCtx.audioCtx : null; };
});

// The sound output tries a 5.1 layout first and, where the device cannot take it (emscripten's
// OpenAL has mono and stereo only), makes its context again in stereo. Emscripten leaves a
// destroyed context's AudioContext open, with its audio thread and its own autoplay state beside
// the one that plays: it is closed with the context, so the page has one.
EM_JS(void, closeAudioContext, (ALCcontext* context), {
    var made = AL.contexts[context];
    if (made) {
        made.audioCtx.close().catch(function() {});
    }
});
// clang-format on

void ALC_APIENTRY destroyContext(ALCcontext* context)
{
    closeAudioContext(context);
    ::alcDestroyContext(context);
}

ALCint64SOFT nanoseconds(double seconds)
{
    return static_cast<ALCint64SOFT>(std::llround(seconds * 1e9));
}

void ALC_APIENTRY audioContextClock(ALCdevice* /*device*/, ALCenum pname, ALsizei size, ALCint64SOFT* values)
{
    if (size < 1) {
        return;
    }
    switch (pname) {
    case ALC_DEVICE_CLOCK_SOFT: values[0] = nanoseconds(audioContextSeconds()); break;
    case ALC_DEVICE_LATENCY_SOFT: values[0] = nanoseconds(audioContextLatencySeconds()); break;
    default: break;
    }
}

}  // namespace

bool loadOpenAlApi(OpenAlApi& api)
{
#define LUMARQ_OPENAL_LINK(name, type) api.name = &::name;
    LUMARQ_OPENAL_FUNCTIONS(LUMARQ_OPENAL_LINK)
#undef LUMARQ_OPENAL_LINK
    api.alcDestroyContext = &destroyContext;
    api.deviceClock = &audioContextClock;
    api.devicePause = &emscripten_alcDevicePauseSOFT;
    api.deviceResume = &emscripten_alcDeviceResumeSOFT;
    scheduleAudioAhead(audioLookaheadSeconds);
    exposeAudioContext();
    return true;
}
