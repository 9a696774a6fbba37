// What the browser gives the platform layer: the page's high-resolution clock (performance.now())
// for the tick, and paths with forward slashes in the preloaded file system.
#include "platform/asset_path.h"
#include "platform/clock.h"

#include <emscripten/emscripten.h>

#include <cstdint>

uint32_t systemTickCount()
{
    // Keep the low 32 bits, as a 32-bit tick counter would.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
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
