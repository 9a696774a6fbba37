// The show's clock placed where the music is heard. The browser starts the audio only once it may
// (after the viewer's click) and mixes it on its own clock, the AudioContext's, which the sound
// output reads as its device clock: the show time is the music's position on that clock, less the
// time the sound takes to reach the listener. Until the clock moves and the music is heard, the
// show holds where it is; if the clock has not moved a second after the music started, the browser
// blocked the sound or has no device, and the show plays on the page's own clock, silent. A pause
// (a hidden page, textures on their way) stops the output, and with it the music and its clock.
#pragma once

struct Music;
struct Timeline;

// How long the show waits for the audio clock to move before it plays on without sound.
constexpr double audioClockWaitMs = 1000.0;

struct MusicFollow {
    enum class Phase {
        waiting,    // the music was started or moved, or the output resumed: its clock has not moved yet
        following,  // the show time is the music's position as heard
        paused,     // the output is paused: the show holds
        silent,     // no audio clock: the show runs on the tick count, the music paused
    };
    Phase phase = Phase::silent;
    Phase pausedFrom = Phase::silent;  // the phase to go back to on resume
    bool gaveUp = false;               // the clock did not move: silent until the show plays again
    // The music's position heard at the output clock's reading startClockMs, less the latency.
    double baseMs = 0.0;
    double startClockMs = 0.0;
    double heldMs = 0.0;       // the show time held while waiting or paused; never gone back on
    double waitClockMs = 0.0;  // the clock's reading when the wait began
    double waitStartTick = 0.0;
    // The tick count less the music's position is least just after the clock steps (it moves a
    // mixed block at a time); that least value, over the last window or two, is the tick at which
    // the music started.
    double windowStartTick = 0.0;
    double windowLeast[2] = {0.0, 0.0};
    // The clock falls behind the tick for good where the output stops for a moment (the browser's
    // audio thread held up): the tick of the last reading near the least, and the least of the
    // readings since, all further off.
    double nearTick = 0.0;
    double farLeast = 0.0;
    int farReadings = 0;
};

// Right after the music was started (at 0) or moved to `showMs`: the show holds at `showMs` until
// the music is heard. Without an audio clock (or with the music off, or once it gave up on the
// clock) the show runs from `showMs` on the tick count.
void followMusicFrom(MusicFollow& follow, Music& music, Timeline& timeline, double showMs);
// Once a frame, before the show advances: sets the timeline's start tick. Returns true in the
// frame in which it gave up waiting for the audio clock (the show is silent from then on).
bool followMusic(MusicFollow& follow, Music& music, Timeline& timeline);
// Stops the output (the music and the clock) and holds the show at `showMs`, its time now.
void pauseMusicFollow(MusicFollow& follow, Music& music, double showMs);
// Starts the output again; the show goes on once the clock moves, or on the tick count when silent.
void resumeMusicFollow(MusicFollow& follow, Music& music, Timeline& timeline);
