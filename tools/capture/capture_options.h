// Command line of lumarq-capture: which pictures or video to make of the show, and how.
#pragma once
#include "command_line_result.h"
#include "frame_grid.h"
#include "show_style.h"
#include "tool_session.h"

#include <string>
#include <vector>

enum class CaptureMode { none, poses, stills, video, sheet };

struct CaptureOptions {
    CaptureMode mode = CaptureMode::none;
    int width = 1280;
    int height = 720;
    int fps = static_cast<int>(toolFps);  // the tools' frame grid
    int toMs = 88000;                     // end of the video
    ShowStyle style = ShowStyle::toon;    // for --poses
    std::string outDir;                   // --poses DIR, --out DIR
    std::string outFile;                  // --video FILE, --sheet FILE
    std::vector<int> atMs;                // --at, sorted
    std::vector<KeyPress> keys;           // --keys
    bool quadContours = false;            // --quad-contours
};

// Reads argv; see parseCommandLine for what `message` holds.
CommandLineResult parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options,
                                      std::string& message);
