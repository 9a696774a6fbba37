// GPU time of the three passes of a frame from GL_TIME_ELAPSED queries in a ring, read back a few
// frames after they were issued so that reading them does not wait for the renderer.
#pragma once
#include <glad/gl.h>

#include <vector>

enum BenchPass { shadowPass = 0, outlinePass = 1, shadedPass = 2, benchPassCount = 3 };
// "shadow", "outline", "shaded": the passes in the table and the JSON.
extern const char* const benchPassNames[benchPassCount];

// Frames between issuing a frame's queries and reading them back.
constexpr int passTimerRing = 4;

struct PassTimers {
    GLuint queries[passTimerRing][benchPassCount] = {};
    long slotFrame[passTimerRing] = {};      // measured-frame index using each slot, -1 when free
    std::vector<double> ms[benchPassCount];  // per measured frame; negative until read back
};

// Creates the queries and sizes the result arrays for `frames` measured frames.
void createPassTimers(PassTimers& timers, int frames);
// Reads back the slot that `frame` is about to use, then opens/closes its pass queries.
void beginPassTimer(PassTimers& timers, long frame, BenchPass pass);
void endPassTimer();
// Reads back every slot still pending (after the last frame).
void drainPassTimers(PassTimers& timers);
void deletePassTimers(PassTimers& timers);
