// Moving the playing show to another show time: back to its start, then stepped, drawing nothing,
// through the tools' frame grid to that time, so that it stands as a run that played there would
// (the hops, the light, the stone, the spent style switches). For the page's tests, which reach
// the show's end without waiting for it.
#pragma once

struct Demo;
struct ShowStart;

// Leaves the show at `showMs` with the scripted camera; the caller moves the music and the clock.
void seekShow(Demo& demo, const ShowStart& start, double showMs);
