// The music track: the sound system, the stream and its channel, started once and updated every
// frame; every failure is printed as an "FMOD error!" line and the show goes on.
#pragma once

struct SoundSystem;
struct SoundStream;
struct SoundChannel;

struct Music {
    SoundSystem* system = nullptr;
    SoundStream* stream = nullptr;
    SoundChannel* channel = nullptr;
    bool musicPlaying = false;  // the play call succeeded; only then is the system updated
    // Set false before the system is made by the tools that run the show off-line: the music
    // then plays through every call as in the demo, but nothing reaches the audio device.
    bool audible = true;
};

// Prints "FMOD error! (<code>) <text>" for a non-zero result; never ends the program.
void checkSoundResult(int result);

void createSoundSystem(Music& music);  // before anything else in the run
void openMusic(Music& music);          // init (with the stereo fallback) and open the stream
void startMusic(Music& music);         // play paused, then unpause
void updateMusic(Music& music);        // once per frame, while musicPlaying
