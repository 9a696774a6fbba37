// The encoder on Linux: ffmpeg from the path, through the shell.
#include "encoder_pipe.h"

#include <cstdlib>

FILE* openEncoderPipe(const std::string& command, std::string& error)
{
    if (std::system("command -v ffmpeg > /dev/null 2>&1") != 0) {
        error = "ffmpeg is not installed; install it (apt-get install ffmpeg) to make videos";
        return nullptr;
    }
    FILE* pipe = popen(command.c_str(), "w");
    if (pipe == nullptr) {
        error = "cannot start ffmpeg";
    }
    return pipe;
}

bool closeEncoderPipe(FILE* pipe)
{
    return pclose(pipe) == 0;
}
