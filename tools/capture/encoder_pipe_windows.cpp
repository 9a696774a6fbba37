// The Windows build makes stills and contact sheets only: videos need the encoder that the Linux
// build runs.
#include "encoder_pipe.h"

FILE* openEncoderPipe(const std::string& /*command*/, std::string& error)
{
    error = "videos are made by the Linux build of lumarq-capture; this one makes stills and sheets";
    return nullptr;
}

bool closeEncoderPipe(FILE* /*pipe*/)
{
    return false;
}
