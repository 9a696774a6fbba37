// The music under the preview's transport: paused with the show, started again at the show's
// time when the show plays on, and placed on the wall clock by the sound output's own clock, so
// that the show runs where the music sounds.
#pragma once

struct Music;

// The sound output's clock against the wall clock. The output mixes in blocks, so its clock
// moves in steps; the wall time less the clock, taken often, is least just after a step, and
// that least value (over the last second or two, to follow drift between the two clocks) is the
// wall time at which the output's clock read zero.
struct MusicClock {
    bool known = false;
    double windowStartMs = 0.0;          // wall clock
    double windowLeast[2] = {0.0, 0.0};  // the previous window's least value and the current one's
    bool playing = false;                // the music was started at startClockMs and plays on
    double startClockMs = 0.0;           // output clock at which the music's start position sits
};

// Takes one reading of the output's clock; once a frame.
void followOutputClock(MusicClock& clock, Music& music, double wallMs);

// Plays the music from the show time; a track that had played to its end is started again.
// Nothing happens (and nothing is printed) when the music never opened.
void playMusicFrom(Music& music, MusicClock& clock, double showMs);
void pauseMusic(Music& music, MusicClock& clock);

// The wall time at which the music's start position sounds, when the output's clock tells it.
bool musicStartWallMs(const MusicClock& clock, double& wallMs);
