// Integrated loudness in LUFS (ITU-R BS.1770: K-weighting, 400 ms blocks, absolute and relative
// gates), used to level the mix to a broadcast-like target.
#pragma once
#include "stereo_buffer.h"

// Returns silenceLufs for a buffer with no gated block.
double integratedLoudness(const StereoBuffer& audio);

constexpr double silenceLufs = -200.0;
