// What Linux and the browser give the platform layer: a monotonic millisecond count for the tick
// (in the browser, emscripten's clock is the page's performance.now()), paths with forward
// slashes (in the browser, those of the preloaded file system), and no controller library to hold.
#include "platform/asset_path.h"
#include "platform/clock.h"
#include "platform/input_libraries.h"

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

void keepInputLibrariesLoaded() {}
