// Chord tones by counting through root, third and fifth.
#include "harmony.h"

static int intervalOf(const Chord& chord, int step)
{
    const int intervals[3] = {0, chord.third, 7};
    return intervals[step];
}

int pitchAtOrAbove(int pitchClass, int lowest)
{
    const int offset = ((pitchClass - lowest) % 12 + 12) % 12;
    return lowest + offset;
}

int chordTone(const Chord& chord, int index, int lowest)
{
    const int root = pitchAtOrAbove(chord.root, lowest);
    return root + 12 * (index / 3) + intervalOf(chord, index % 3);
}

std::vector<int> chordVoicing(const Chord& chord, int lowest, int count)
{
    std::vector<int> notes;
    for (int pitch = lowest; static_cast<int>(notes.size()) < count; ++pitch) {
        const int pc = ((pitch - chord.root) % 12 + 12) % 12;
        if (pc == 0 || pc == chord.third || pc == 7) {
            notes.push_back(pitch);
        }
    }
    return notes;
}

int chordToneBelow(const Chord& chord, int pitch)
{
    for (int p = pitch - 1;; --p) {
        const int pc = ((p - chord.root) % 12 + 12) % 12;
        if (pc == 0 || pc == chord.third || pc == 7) {
            return p;
        }
    }
}
