// What Linux gives the platform layer: a monotonic millisecond count for the tick, and paths with
// forward slashes.
#include "platform/asset_path.h"
#include "platform/clock.h"

#include <ctime>

uint32_t systemTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Keep the low 32 bits, as a 32-bit tick counter would.
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

std::string hostPath(const std::string& path)
{
    std::string result = path;
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}
