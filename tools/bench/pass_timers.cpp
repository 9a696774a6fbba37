// Timer-query ring: frame f uses slot f % passTimerRing; before reuse, the slot's previous frame
// is read back, by which time (passTimerRing - 1 frames later) its results are long available.
#include "pass_timers.h"

#include <cstddef>

namespace {

void readSlot(PassTimers& timers, int slot)
{
    const long frame = timers.slotFrame[slot];
    if (frame < 0) {
        return;
    }
    for (int pass = 0; pass < benchPassCount; ++pass) {
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(timers.queries[slot][pass], GL_QUERY_RESULT, &nanoseconds);
        timers.ms[pass][static_cast<size_t>(frame)] = static_cast<double>(nanoseconds) * 1e-6;
    }
    timers.slotFrame[slot] = -1;
}

}  // namespace

const char* const benchPassNames[benchPassCount] = {"shadow", "outline", "shaded"};

void createPassTimers(PassTimers& timers, int frames)
{
    for (int slot = 0; slot < passTimerRing; ++slot) {
        glGenQueries(benchPassCount, timers.queries[slot]);
        timers.slotFrame[slot] = -1;
    }
    for (std::vector<double>& perFrame : timers.ms) {
        perFrame.assign(static_cast<size_t>(frames), -1.0);
    }
}

void beginPassTimer(PassTimers& timers, long frame, BenchPass pass)
{
    const int slot = static_cast<int>(frame % passTimerRing);
    if (timers.slotFrame[slot] != frame) {
        readSlot(timers, slot);
        timers.slotFrame[slot] = frame;
    }
    glBeginQuery(GL_TIME_ELAPSED, timers.queries[slot][pass]);
}

void endPassTimer()
{
    glEndQuery(GL_TIME_ELAPSED);
}

void drainPassTimers(PassTimers& timers)
{
    for (int slot = 0; slot < passTimerRing; ++slot) {
        readSlot(timers, slot);
    }
}

void deletePassTimers(PassTimers& timers)
{
    for (int slot = 0; slot < passTimerRing; ++slot) {
        glDeleteQueries(benchPassCount, timers.queries[slot]);
    }
}
