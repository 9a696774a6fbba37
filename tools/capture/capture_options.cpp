// Parsing of lumarq-capture's arguments; every value is checked before anything is rendered.
#include "capture_options.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

const char* const captureUsage =
    "usage: lumarq-capture --at MS[,MS...] --out DIR [--size WxH] [--fps N] [--keys MS:KEY,...]\n"
    "       lumarq-capture --video FILE.mp4 [--size WxH] [--fps N] [--to MS] [--keys MS:KEY,...]\n"
    "       lumarq-capture --sheet FILE.png [--size WxH] [--fps N]\n"
    "       lumarq-capture --poses DIR [--style toon|shadow|bump] [--size WxH]\n";

namespace {

constexpr int maxDimension = 8192;
constexpr int maxFps = 240;
constexpr int maxShowMs = 3600 * 1000;  // an hour of show time is more than anyone needs

bool parseInt(const std::string& text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    value = std::atoi(text.c_str());
    return value >= low && value <= high;
}

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items;
    std::string::size_type begin = 0;
    for (;;) {
        std::string::size_type comma = text.find(',', begin);
        items.push_back(text.substr(begin, comma - begin));
        if (comma == std::string::npos) {
            return items;
        }
        begin = comma + 1;
    }
}

bool setMode(CaptureOptions& options, CaptureMode mode, std::string& error)
{
    if (options.mode != CaptureMode::none) {
        error = "choose one of --at, --video, --sheet and --poses";
        return false;
    }
    options.mode = mode;
    return true;
}

}  // namespace

bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) {
            error = flag + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (flag == "--size") {
            std::string::size_type x = value.find('x');
            if (x == std::string::npos || !parseInt(value.substr(0, x), 16, maxDimension, options.width) ||
                !parseInt(value.substr(x + 1), 16, maxDimension, options.height)) {
                error = "--size takes WIDTHxHEIGHT, each from 16 to 8192";
                return false;
            }
        } else if (flag == "--fps") {
            if (!parseInt(value, 1, maxFps, options.fps)) {
                error = "--fps takes a whole number from 1 to 240";
                return false;
            }
        } else if (flag == "--to") {
            if (!parseInt(value, 1, maxShowMs, options.toMs)) {
                error = "--to takes milliseconds of show time, from 1 to 3600000";
                return false;
            }
        } else if (flag == "--style") {
            if (value != "toon" && value != "shadow" && value != "bump") {
                error = "--style is toon, shadow or bump";
                return false;
            }
            options.style = value;
        } else if (flag == "--out") {
            options.outDir = value;
        } else if (flag == "--at") {
            if (!setMode(options, CaptureMode::stills, error)) {
                return false;
            }
            for (const std::string& item : splitList(value)) {
                int ms = 0;
                if (!parseInt(item, 0, maxShowMs, ms)) {
                    error = "--at takes show times in milliseconds, separated by commas";
                    return false;
                }
                options.atMs.push_back(ms);
            }
            std::sort(options.atMs.begin(), options.atMs.end());
        } else if (flag == "--keys") {
            for (const std::string& item : splitList(value)) {
                std::string::size_type colon = item.find(':');
                int ms = 0;
                if (colon == std::string::npos || item.size() != colon + 2 || item[colon + 1] < '0' ||
                    item[colon + 1] > '3' || !parseInt(item.substr(0, colon), 0, maxShowMs, ms)) {
                    error = "--keys takes MS:KEY pairs with KEY from 0 to 3, separated by commas";
                    return false;
                }
                options.keys.push_back({ms, item[colon + 1]});
            }
        } else if (flag == "--video") {
            if (!setMode(options, CaptureMode::video, error)) {
                return false;
            }
            options.outFile = value;
        } else if (flag == "--sheet") {
            if (!setMode(options, CaptureMode::sheet, error)) {
                return false;
            }
            options.outFile = value;
        } else if (flag == "--poses") {
            if (!setMode(options, CaptureMode::poses, error)) {
                return false;
            }
            options.outDir = value;
        } else {
            error = "unknown option " + flag;
            return false;
        }
    }
    if (options.mode == CaptureMode::none) {
        error = "nothing to capture";
        return false;
    }
    if (options.mode == CaptureMode::stills && options.outDir.empty()) {
        error = "--at needs --out DIR";
        return false;
    }
    if (options.outFile.empty() && options.outDir.empty()) {
        error = "no output named";
        return false;
    }
    return true;
}
