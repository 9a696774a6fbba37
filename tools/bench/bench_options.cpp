// Parsing of lumarq-bench's command line.
#include "bench_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// Past these a run is a typo rather than a measurement: the window would not fit any display
// the demo is built for, and a million frames would take hours on a software renderer.
constexpr int maxSide = 8192;
constexpr int maxFrames = 1000000;

bool parseInt(const char* text, int low, int high, int& value)
{
    errno = 0;
    char* end = nullptr;
    const long v = strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool parseSize(const char* text, int& width, int& height)
{
    const char* x = strchr(text, 'x');
    if (x == nullptr) {
        return false;
    }
    const std::string w(text, x);
    return parseInt(w.c_str(), 1, maxSide, width) && parseInt(x + 1, 1, maxSide, height);
}

bool parseFloat(const char* text, float low, float high, float& value)
{
    errno = 0;
    char* end = nullptr;
    const float v = strtof(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !(v >= low && v <= high)) {
        return false;
    }
    value = v;
    return true;
}

}  // namespace

const char* const benchUsage =
    "usage: lumarq-bench [--size WxH] [--frames N] [--warmup N] [--json FILE] [--callgrind]\n"
    "                    [--startup-only] [--style toon|shadow|bump] [--no-shadows] [--no-outline]\n"
    "                    [--line-width W] [--cold-startup FILE] [--callgrind-out FILE --callgrind-frames N]";

bool parseBenchOptions(int argc, const char* const* argv, BenchOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--size" || arg == "--frames" || arg == "--warmup" || arg == "--json" ||
                                arg == "--style" || arg == "--line-width" || arg == "--cold-startup" ||
                                arg == "--callgrind-out" || arg == "--callgrind-frames";
        if (takesValue && i + 1 >= argc) {
            error = arg + " needs a value";
            return false;
        }
        const char* value = takesValue ? argv[++i] : nullptr;
        if (arg == "--size") {
            if (!parseSize(value, options.width, options.height)) {
                error = "--size takes WxH, e.g. 1280x720";
                return false;
            }
        } else if (arg == "--frames") {
            if (!parseInt(value, 1, maxFrames, options.frames)) {
                error = "--frames takes a count from 1";
                return false;
            }
        } else if (arg == "--warmup") {
            if (!parseInt(value, 0, maxFrames, options.warmupFrames)) {
                error = "--warmup takes a count from 0";
                return false;
            }
        } else if (arg == "--json") {
            options.jsonFile = value;
        } else if (arg == "--callgrind") {
            options.callgrind = true;
        } else if (arg == "--startup-only") {
            options.startupOnly = true;
        } else if (arg == "--style") {
            const std::string style = value;
            if (style == "toon") {
                options.style = ForcedStyle::toon;
            } else if (style == "shadow") {
                options.style = ForcedStyle::shadow;
            } else if (style == "bump") {
                options.style = ForcedStyle::bump;
            } else {
                error = "--style takes toon, shadow or bump";
                return false;
            }
        } else if (arg == "--no-shadows") {
            options.noShadows = true;
        } else if (arg == "--no-outline") {
            options.noOutline = true;
        } else if (arg == "--line-width") {
            if (!parseFloat(value, 1.0f, 64.0f, options.lineWidth)) {
                error = "--line-width takes a width from 1 to 64";
                return false;
            }
        } else if (arg == "--cold-startup") {
            options.coldStartupFile = value;
        } else if (arg == "--callgrind-out") {
            options.callgrindFile = value;
        } else if (arg == "--callgrind-frames") {
            if (!parseInt(value, 1, maxFrames, options.callgrindFrames)) {
                error = "--callgrind-frames takes a count from 1";
                return false;
            }
        } else {
            error = "unknown argument " + arg;
            return false;
        }
    }
    if (options.callgrindFile.empty() != (options.callgrindFrames == 0)) {
        error = "--callgrind-out and --callgrind-frames go together";
        return false;
    }
    if (options.callgrind && options.startupOnly) {
        error = "--callgrind measures frames; it cannot go with --startup-only";
        return false;
    }
    return true;
}
