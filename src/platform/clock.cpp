// Monotonic tick count and seconds clock, with the virtual clock override.
#include "platform/clock.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <ctime>

VirtualClock virtualClock;

int32_t tickCount()
{
    uint64_t ms;
    if (virtualClock.enabled) {
        ms = static_cast<uint64_t>(std::floor(virtualClock.milliseconds));
    } else {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    }
    // Keep the low 32 bits, as a 32-bit tick counter would.
    return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

double secondsNow()
{
    if (virtualClock.enabled) {
        return virtualClock.milliseconds / 1000.0;
    }
    return glfwGetTime();
}
