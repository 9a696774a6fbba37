// The tools' show session in a window of the bench's size, started with each start-up step timed,
// and run one frame of the real loop at a time with the bench's timing brackets and variants.
#pragma once
#include "app/stage.h"
#include "bench_options.h"
#include "pass_timers.h"
#include "tool_session.h"

// One start-up row per stage object, in load order.
constexpr int benchModelCount = stageObjectCount;

// Start-up steps in milliseconds.
struct StartupTimes {
    double processToMain = 0.0;     // exec and dynamic linking; 10 ms resolution (/proc start time)
    double soundAndTimeline = 0.0;  // ShowControl::prepare
    double windowAndContext = 0.0;  // glfwInit, window, context, entry points
    double shaderPrograms = 0.0;    // Renderer constructor
    double modelRead[benchModelCount] = {};
    double modelUpload[benchModelCount] = {};  // buffers and tangents, textures not included
    double modelTextures[benchModelCount] = {};
    double textures = 0.0;
    int textureCount = 0;
    double sceneLoad = 0.0;     // the whole Scene::load
    double showStart = 0.0;     // hops registered, music started
    double firstFrame = 0.0;    // the first frame of the loop, swap and finish included
    double toFirstFrame = 0.0;  // process start to the end of the first frame
};

// Seconds on a monotonic clock, for every timing of the bench.
double benchClock();

// Opens the session, forces the options' style, and runs the first frame, timing each step from
// `mainEntry` (benchClock at main's start). Prints the reason and returns false when that fails.
bool openBenchSession(ToolSession& session, const BenchOptions& options, double mainEntry, StartupTimes& startup);

// One frame of the demo's loop at show time `ms` (not before the previous frame), with glFinish
// after the swap. With `timers`, each pass is bracketed by a timer query for measured frame
// `frame`; with `passCpuMs`, each pass is also bracketed by glFinish and timed on the CPU.
void runBenchFrame(ToolSession& session, const BenchOptions& options, double ms, PassTimers* timers, long frame,
                   double* passCpuMs);

// A bare clear and swap, finished: the floor of the driver and window system.
void runBareFrame(ToolSession& session);
