// Command line of lumarq-capture: which pictures or video to make of the show, and how.
#pragma once
#include <string>
#include <vector>

enum class CaptureMode { none, poses, stills, video, sheet };

// A key held down during the frame at a show time: '0' to '3'.
struct KeyPress {
    int timeMs;
    char key;
};

struct CaptureOptions {
    CaptureMode mode = CaptureMode::none;
    int width = 1280;
    int height = 720;
    int fps = 60;
    int toMs = 88000;            // end of the video
    std::string style = "toon";  // for --poses
    std::string outDir;          // --poses DIR, --out DIR
    std::string outFile;         // --video FILE, --sheet FILE
    std::vector<int> atMs;       // --at
    std::vector<KeyPress> keys;  // --keys
};

// Parses argv; on a bad command line returns false with the reason in `error`.
bool parseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error);

extern const char* const captureUsage;
