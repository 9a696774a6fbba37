// Test hook: lets tests make any operation of the sound layer return a chosen result code, so
// that every failure path of the callers can be driven. The program itself never sets it.
#pragma once

struct SoundForcedResult {
    int code = 0;   // the result to return; 0 leaves the operation alone
    int calls = 0;  // how many of the next calls return it; negative: every call from now on
};

struct SoundForcedResults {
    SoundForcedResult create;
    SoundForcedResult init;
    SoundForcedResult setSpeakerMode;
    SoundForcedResult createStream;
    SoundForcedResult playSound;
    SoundForcedResult setPaused;
    SoundForcedResult update;
};

extern SoundForcedResults soundForcedResults;

// The code that the operation must return instead of doing its work, or 0; counts the call.
int takeForcedResult(SoundForcedResult& forced);
