// Result codes of the sound layer (0 is success) and the text that goes with each code.
#pragma once

constexpr int soundOk = 0;
constexpr int soundErrInvalidHandle = 1;  // a null handle, or one that belongs to another system
constexpr int soundErrInvalidParam = 2;   // an argument outside what the operation accepts
constexpr int soundErrUninitialized = 3;  // the system has not been initialised
constexpr int soundErrInitialized = 4;    // the call is only allowed before init
constexpr int soundErrNoOutput = 5;       // no audio output device could be opened
constexpr int soundErrOutputInit = 6;     // the device opened but refused a mixing context
constexpr int soundErrOutput = 7;         // the output rejected a buffer or playback request
constexpr int soundErrFileNotFound = 8;
constexpr int soundErrFileRead = 9;       // the file exists but cannot be read to the end
constexpr int soundErrFormat = 10;        // not an MPEG audio file, or an empty one
constexpr int soundErrChannelAlloc = 11;  // no free channel, or no playback voice left
constexpr int soundErrMemory = 12;
constexpr int soundErrUnsupported = 13;         // the output cannot do what was asked of it
constexpr int soundErrOutputCreateBuffer = 58;  // no output buffer in the speaker mode's layout

// The text for a result code; "Unknown error." for any code the layer does not use.
const char* soundErrorText(int code);
