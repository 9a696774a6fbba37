// OpenAL on the web: emscripten's, on Web Audio, linked directly. It has no device clock
// (ALC_SOFT_device_clock), so the table offers one of its own: the AudioContext's currentTime, the
// time of the sound the context has rendered since it started, which is what OpenAL Soft's clock
// counts too.
#include "sound/openal_api.h"

#include <AL/alext.h>
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstring>

namespace {

// Seconds of sound the current OpenAL context's AudioContext has rendered; 0 while it is
// suspended (before the viewer's first click) and without a context.
// clang-format off
EM_JS(double, audioContextSeconds, (), {
    return (AL.currentCtx && AL.currentCtx.audioCtx) ? AL.currentCtx.audioCtx.currentTime : 0;
});
// clang-format on

const char* const deviceClockExtension = "ALC_SOFT_device_clock";

void ALC_APIENTRY deviceClock(ALCdevice* /*device*/, ALCenum pname, ALsizei size, ALCint64SOFT* values)
{
    if (pname == ALC_DEVICE_CLOCK_SOFT && size >= 1) {
        values[0] = static_cast<ALCint64SOFT>(std::llround(audioContextSeconds() * 1e9));
    }
}

ALCboolean ALC_APIENTRY isExtensionPresent(ALCdevice* device, const ALCchar* name)
{
    return std::strcmp(name, deviceClockExtension) == 0 ? ALC_TRUE : alcIsExtensionPresent(device, name);
}

void* ALC_APIENTRY getProcAddress(ALCdevice* device, const ALCchar* name)
{
    if (std::strcmp(name, "alcGetInteger64vSOFT") == 0) {
        return reinterpret_cast<void*>(&deviceClock);
    }
    return alcGetProcAddress(device, name);
}

}  // namespace

bool loadOpenAlApi(OpenAlApi& api)
{
#define LUMARQ_OPENAL_LINK(name, type) api.name = &::name;
    LUMARQ_OPENAL_FUNCTIONS(LUMARQ_OPENAL_LINK)
#undef LUMARQ_OPENAL_LINK
    api.alcIsExtensionPresent = &isExtensionPresent;
    api.alcGetProcAddress = &getProcAddress;
    return true;
}
