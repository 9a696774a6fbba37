// The OpenAL entry points that the sound output calls, as one table. Linux opens the library at
// run time (openal_api_linux.cpp), so a machine without OpenAL plays the show silently rather
// than refusing to start; a platform that links OpenAL fills the table from its own symbols.
#pragma once
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

// Each entry: the function's name and its pointer type from the OpenAL headers.
// clang-format off
#define LUMARQ_OPENAL_FUNCTIONS(entry)                          \
    entry(alcOpenDevice, LPALCOPENDEVICE)                       \
    entry(alcCloseDevice, LPALCCLOSEDEVICE)                     \
    entry(alcCreateContext, LPALCCREATECONTEXT)                 \
    entry(alcDestroyContext, LPALCDESTROYCONTEXT)               \
    entry(alcMakeContextCurrent, LPALCMAKECONTEXTCURRENT)       \
    entry(alGetError, LPALGETERROR)                             \
    entry(alIsExtensionPresent, LPALISEXTENSIONPRESENT)         \
    entry(alGetEnumValue, LPALGETENUMVALUE)                     \
    entry(alGenBuffers, LPALGENBUFFERS)                         \
    entry(alDeleteBuffers, LPALDELETEBUFFERS)                   \
    entry(alBufferData, LPALBUFFERDATA)                         \
    entry(alGenSources, LPALGENSOURCES)                         \
    entry(alDeleteSources, LPALDELETESOURCES)                   \
    entry(alSourcei, LPALSOURCEI)                               \
    entry(alGetSourcei, LPALGETSOURCEI)                         \
    entry(alGetSourcef, LPALGETSOURCEF)                         \
    entry(alSourcePlay, LPALSOURCEPLAY)                         \
    entry(alSourcePause, LPALSOURCEPAUSE)                       \
    entry(alSourceStop, LPALSOURCESTOP)                         \
    entry(alSourceRewind, LPALSOURCEREWIND)                     \
    entry(alSourceQueueBuffers, LPALSOURCEQUEUEBUFFERS)         \
    entry(alSourceUnqueueBuffers, LPALSOURCEUNQUEUEBUFFERS)
// clang-format on

struct OpenAlApi {
#define LUMARQ_OPENAL_FIELD(name, type) type name = nullptr;
    LUMARQ_OPENAL_FUNCTIONS(LUMARQ_OPENAL_FIELD)
#undef LUMARQ_OPENAL_FIELD
    // The device's clock, asked as ALC_SOFT_device_clock asks it: ALC_DEVICE_CLOCK_SOFT (the
    // nanoseconds of sound mixed since the device opened) and ALC_DEVICE_LATENCY_SOFT (how long
    // the sound mixed now takes to be heard). Null where the platform has no clock: Linux takes
    // OpenAL Soft's own, the web answers from the AudioContext.
    LPALCGETINTEGER64VSOFT deviceClock = nullptr;
    // The whole device paused and resumed, its clock with it (ALC_SOFT_pause_device); null where
    // the platform's OpenAL cannot.
    LPALCDEVICEPAUSESOFT devicePause = nullptr;
    LPALCDEVICERESUMESOFT deviceResume = nullptr;
};

// Fills the table, before the first device is opened; false when the library or one of its
// functions cannot be found, and then there is no sound output.
bool loadOpenAlApi(OpenAlApi& api);
