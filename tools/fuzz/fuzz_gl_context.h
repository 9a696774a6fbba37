// The hidden window whose GL context the fuzz targets upload into, and a scratch folder for the
// files they hand to the loaders.
#pragma once
#include <string>

// Opens a small hidden window with the demo's context set-up, once per process; aborts with a
// message when there is no display (run the targets under xvfb-run).
void openFuzzGlContext();

// A private temporary folder, made once per process; the process's working directory is left alone.
const std::string& fuzzScratchDir();

// Replaces the file's content with the given bytes; aborts when it cannot.
void writeFuzzFile(const std::string& path, const unsigned char* data, size_t size);
