// lumarq-preview's command line.
#pragma once
#include <string>

struct PreviewOptions {
    int fromMs = 0;
    int width = 1280;
    int height = 720;
    bool sizeGiven = false;
    bool fullscreen = false;
    std::string shaderSourceDir;  // --shaders: where the shader files are edited
};

// The keys, as the help and the README list them.
extern const char* const previewKeys;

// Returns -1 when the preview should start; otherwise the exit status, with what to print in
// `message`: 0 with the help (standard output), 2 with the reason for a bad command line
// (standard error).
int parsePreviewOptions(int argc, const char* const* argv, PreviewOptions& options, std::string& message);
