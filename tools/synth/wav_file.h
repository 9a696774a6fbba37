// 16-bit PCM WAV output, for listening to and inspecting a render.
#pragma once
#include "stereo_buffer.h"

#include <string>

bool writeWav(const std::string& path, const StereoBuffer& audio);
