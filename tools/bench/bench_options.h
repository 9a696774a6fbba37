// Command line of lumarq-bench: window size, frame counts, outputs, and the bench-only switches
// that force a style or leave out part of a frame to see what it costs.
#pragma once
#include "command_line_result.h"
#include "frame_plan.h"
#include "show_style.h"

#include <string>

struct BenchOptions {
    int width = 1280;
    int height = 720;
    int warmupFrames = defaultWarmupFrames;
    int frames = 600;
    std::string jsonFile;
    bool callgrind = false;    // collection on only around the measured frames
    bool startupOnly = false;  // start-up and first frame, then stop
    bool forceStyle = false;
    ShowStyle style = ShowStyle::toon;  // with forceStyle: the whole run in this style
    bool noShadows = false;             // shadow depth pass left empty in every style
    bool noOutline = false;             // outline pass clears and moves the camera but draws nothing
    float lineWidth = 0.0f;             // > 0: contour line width instead of the renderer's
    bool quadContours = false;          // the contour as quads
    std::string coldStartupFile;        // JSON of an earlier cold-cache run
    std::string callgrindFile;          // callgrind output of an earlier --callgrind run
    int callgrindFrames = 0;            // measured frames of that run
};

// Reads argv; see parseCommandLine for what `message` holds.
CommandLineResult parseBenchOptions(int argc, const char* const* argv, BenchOptions& options,
                                    std::string& message);
