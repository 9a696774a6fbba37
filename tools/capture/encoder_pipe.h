// A pipe into the video encoder (ffmpeg), where the platform's build can start one.
#pragma once
#include <cstdio>
#include <string>

// Starts `command` with its standard input on the returned stream; null with the reason, worded
// for the user, in `error`.
FILE* openEncoderPipe(const std::string& command, std::string& error);
// Waits for the encoder; true when it succeeded.
bool closeEncoderPipe(FILE* pipe);
