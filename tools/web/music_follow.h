// The show's clock placed where the music sounds. The browser starts the audio only once it may
// (after the viewer's click) and mixes it on its own clock, the AudioContext's, which the sound
// output reads as its device clock: the show time is the music's position on that clock. Until
// the clock moves, the show stays at its start.
#pragma once

struct Music;
struct Timeline;

struct MusicFollow {
    bool following = false;     // the music plays and the output has a clock
    double startClockMs = 0.0;  // the output's clock when the music was started
    bool clockMoved = false;
    // The tick count less the music's position is least just after the clock steps (it moves a
    // mixed block at a time); that least value, over the last window or two, is the tick at which
    // the music started.
    double windowStartTick = 0.0;
    double windowLeast[2] = {0.0, 0.0};
};

// Right after the music was started.
void startFollowingMusic(MusicFollow& follow, Music& music);
// Once a frame, before the show advances: sets the timeline's start tick from the music.
void followMusic(MusicFollow& follow, Music& music, Timeline& timeline);
