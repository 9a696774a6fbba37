// Renders every note of a score into a dry bus and two effect sends, runs the effects and sums
// them into one stereo mix (not yet levelled or limited).
#pragma once
#include "note.h"
#include "stereo_buffer.h"

#include <vector>

StereoBuffer mixNotes(const std::vector<Note>& notes, double lengthSeconds);

// Constant-power pan gains for pan in [-1, 1].
void panGains(float pan, float& left, float& right);
