// Triads and their voicings, as MIDI note numbers.
#pragma once
#include <vector>

struct Chord {
    int root;   // pitch class, C = 0
    int third;  // 3 minor, 4 major
};

// The chords of the piece, which sits in D minor and ends in D major.
constexpr Chord chordDm{2, 3};
constexpr Chord chordBb{10, 4};
constexpr Chord chordC{0, 4};
constexpr Chord chordGm{7, 3};
constexpr Chord chordA{9, 4};
constexpr Chord chordF{5, 4};
constexpr Chord chordD{2, 4};

// The lowest note of the pitch class at or above `lowest`.
int pitchAtOrAbove(int pitchClass, int lowest);
// Chord tone number `index` (0 root, 1 third, 2 fifth, 3 root an octave up, ...) counted from the
// root placed at or above `lowest`.
int chordTone(const Chord& chord, int index, int lowest);
// `count` chord tones stacked upwards from the first one at or above `lowest`.
std::vector<int> chordVoicing(const Chord& chord, int lowest, int count);
// The highest chord tone strictly below `pitch`.
int chordToneBelow(const Chord& chord, int pitch);
