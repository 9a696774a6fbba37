// The preview's transport: which show time the next frame shows, whether the show plays, and
// the loop marks. Only bookkeeping of times; the session applies its answers to the show and
// the music.
#pragma once
#include "frame_grid.h"

// The show as far as the preview reaches: from the music's start until its last chord has rung.
constexpr double showEndMs = 88500.0;

struct Transport {
    bool playing = true;
    double showMs = 0.0;        // show time of the latest frame
    double anchorShowMs = 0.0;  // while playing: the show time at anchorWallMs
    double anchorWallMs = 0.0;
    double loopStartMs = -1.0;  // a negative mark is not set
    double loopEndMs = -1.0;
};

// The show time of the next frame, and whether the show must be set to it afresh (a loop jump)
// rather than carried on from the latest frame.
struct NextFrame {
    double showMs;
    bool jumped;
};

// While playing the show time follows the wall clock (milliseconds, any origin). When it
// reaches the loop's end mark it jumps back to the start mark (the show's start when only the
// end is set); at the end of the show it pauses.
NextFrame advanceTransport(Transport& transport, double wallMs);

// The show time `frames` frames after `showMs` (before it, for a negative count). From a frame's
// time, the step lands on a frame's time exactly, the time the capture and a seek step through:
// a sixtieth of a second added again and again would drift off them and, at a whole millisecond,
// show the frame of the millisecond before.
double frameStepFrom(double showMs, int frames);

// To a show time, clamped to the show; playing or paused as before.
void seekTransport(Transport& transport, double showMs, double wallMs);
void pauseTransport(Transport& transport);
void resumeTransport(Transport& transport, double wallMs);

// The marks are set at the latest frame's time. A mark that would leave the end at or before
// the start clears the other one.
void setLoopStart(Transport& transport);
void setLoopEnd(Transport& transport);
void clearLoop(Transport& transport);
bool loopActive(const Transport& transport);
