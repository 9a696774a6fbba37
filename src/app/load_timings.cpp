// The process-wide start-up timing record and its clock.
#include "app/load_timings.h"

#include <ctime>

LoadTimings loadTimings;

double loadTimingClock()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
