// The part of a frame of the demo's loop that comes before drawing: sound update, time step,
// light and stone motion, show advance. The demo, the capture and the bench all step through it.
#pragma once

struct Scene;
struct ShowControl;

// `prevSeconds` is the seconds clock after the previous frame's step; it is read again at the
// end, so the time spent here is not counted in the next frame's step.
void advanceFrame(ShowControl& show, Scene& scene, double& prevSeconds);
