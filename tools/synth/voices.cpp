// Dispatch of a note to its voice family.
#include "voices.h"

bool isPercussion(Voice voice)
{
    return voice >= Voice::Timpani;
}

std::vector<float> renderNote(const Note& note, std::uint32_t seed)
{
    return isPercussion(note.voice) ? renderPercussion(note, seed) : renderPitched(note, seed);
}
