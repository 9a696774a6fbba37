// The tick count and seconds clock, with the virtual clock override.
#include "platform/clock.h"

#include <GLFW/glfw3.h>

#include <cmath>

VirtualClock virtualClock;

int32_t tickCount()
{
    if (virtualClock.enabled) {
        // Wrapped to 32 bits, as the system's counter is.
        return static_cast<int32_t>(
            static_cast<uint32_t>(static_cast<uint64_t>(std::floor(virtualClock.milliseconds))));
    }
    return static_cast<int32_t>(systemTickCount());
}

double secondsNow()
{
    if (virtualClock.enabled) {
        return virtualClock.milliseconds / 1000.0;
    }
    return glfwGetTime();
}
