// Renders one note to mono samples, starting at the note's onset and ending in silence.
#pragma once
#include "note.h"

#include <cstdint>
#include <vector>

std::vector<float> renderNote(const Note& note, std::uint32_t seed);

// The pitched and the percussive halves of renderNote.
std::vector<float> renderPitched(const Note& note, std::uint32_t seed);
std::vector<float> renderPercussion(const Note& note, std::uint32_t seed);
bool isPercussion(Voice voice);
