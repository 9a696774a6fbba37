// Texts for the sound layer's result codes, worded as whole sentences with a trailing blank so
// that they read well after the code in an error line.
#include "sound/sound_result.h"

const char* soundErrorText(int code)
{
    switch (code) {
    case soundOk: return "No errors.";
    case soundErrInvalidHandle: return "An invalid sound handle was used. ";
    case soundErrInvalidParam: return "An invalid parameter was passed to a sound function. ";
    case soundErrUninitialized: return "The sound system has not been initialized. ";
    case soundErrInitialized: return "This call is not allowed after the sound system is initialized. ";
    case soundErrNoOutput: return "No audio output device could be opened. ";
    case soundErrOutputInit: return "Error initializing the audio output device. ";
    case soundErrOutput: return "The audio output rejected a playback request. ";
    case soundErrFileNotFound: return "File not found. ";
    case soundErrFileRead: return "Error reading the sound file. ";
    case soundErrFormat: return "Unsupported file or audio format. ";
    case soundErrChannelAlloc: return "No free channel could be allocated. ";
    case soundErrMemory: return "Not enough memory or resources. ";
    case soundErrUnsupported: return "The audio output does not support this operation. ";
    case soundErrOutputCreateBuffer: return "Error creating hardware sound buffer. ";
    default: return "Unknown error.";
    }
}
