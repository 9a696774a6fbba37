// The page's frame times, for setting beside lumarq-bench's on the same show frames: the show
// stepped under the virtual clock on the bench's frame plan (tools/session/frame_plan.h), each of
// its three passes drawn at the canvas's size and finished (a pixel read back), a frame an
// animation frame, once every texture is in. Prints the median per style on the console, as
// "lumarq-web bench: <style> <count> frames, median <ms> ms (passes: ...)", then
// "lumarq-web bench: done".
#pragma once

// 0 once the frames are on their way, 1 when the show could not be opened.
int runWebBench(int frames, int width, int height);
