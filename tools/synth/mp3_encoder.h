// MP3 encoding through libmp3lame, in memory: constant bit rate, joint stereo, with a LAME info
// frame up front so that decoders can drop the coder's start delay and end padding.
#pragma once
#include "stereo_buffer.h"

#include <string>
#include <vector>

struct Mp3Settings {
    int kbps = 192;   // transparent enough for synth timbres, still a small file
    int quality = 2;  // lame's near-best search; the whole track still encodes in about a second
};

// False, with a reason in error, when the encoder refuses the settings or the input.
bool encodeMp3(const StereoBuffer& audio, const Mp3Settings& settings, std::vector<unsigned char>& out,
               std::string& error);
