// OpenAL on Linux: OpenAL Soft (or any libopenal.so.1), opened at run time.
#include "sound/openal_api.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>

#include <cstdlib>

namespace {

constexpr const char* openAlLibrary = "libopenal.so.1";

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

}  // namespace

bool loadOpenAlApi(OpenAlApi& api)
{
    quietAudioLibraries();
    // Kept open for the rest of the process: the library's mixer threads may outlive any device.
    void* library = dlopen(openAlLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return false;
    }
    bool complete = true;
#define LUMARQ_OPENAL_RESOLVE(name, type)                                                                         \
    api.name = reinterpret_cast<type>(dlsym(library, #name));                                                     \
    complete = complete && api.name != nullptr;
    LUMARQ_OPENAL_FUNCTIONS(LUMARQ_OPENAL_RESOLVE)
#undef LUMARQ_OPENAL_RESOLVE
    // Only OpenAL Soft has a device clock and pauses its device (ALC_SOFT_device_clock,
    // ALC_SOFT_pause_device); other libraries play without.
    api.deviceClock = reinterpret_cast<LPALCGETINTEGER64VSOFT>(dlsym(library, "alcGetInteger64vSOFT"));
    api.devicePause = reinterpret_cast<LPALCDEVICEPAUSESOFT>(dlsym(library, "alcDevicePauseSOFT"));
    api.deviceResume = reinterpret_cast<LPALCDEVICERESUMESOFT>(dlsym(library, "alcDeviceResumeSOFT"));
    return complete;
}
