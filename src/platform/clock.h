// The two clocks of the demo: the millisecond tick count that times the show, and the seconds
// clock (GLFW's timer) that times motion. A virtual clock can stand in for both, so that a
// capture renders the same pictures on every run.
#pragma once
#include <cstdint>

// Milliseconds from an arbitrary origin, wrapping at 2^32; only signed 32-bit differences of two
// readings mean anything.
int32_t tickCount();

// The platform's own millisecond counter, wrapping at 2^32 (platform/host_windows.cpp, platform/host_posix.cpp).
uint32_t systemTickCount();

// Seconds as glfwGetTime() reports them, or the virtual clock while one is in use.
double secondsNow();

// While enabled, tickCount() returns the virtual milliseconds (wrapped to 32 bits) and
// secondsNow() the same instant in seconds.
struct VirtualClock {
    bool enabled = false;
    double milliseconds = 0.0;
};
extern VirtualClock virtualClock;
