// lumarq-preview's command line.
#pragma once
#include "command_line_result.h"

#include <string>

struct PreviewOptions {
    int fromMs = 0;
    int width = 1280;
    int height = 720;
    bool fullscreen = false;
    std::string shaderSourceDir;  // --shaders: where the shader files are edited
    bool quadContours = false;    // --quad-contours
};

// The keys, as the help and the README list them.
extern const char* const previewKeys;

// Reads argv; see parseCommandLine for what `message` holds.
CommandLineResult parsePreviewOptions(int argc, const char* const* argv, PreviewOptions& options,
                                      std::string& message);
