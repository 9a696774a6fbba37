// The soundtrack as a list of notes on the show clock.
#pragma once
#include "note.h"
#include "tempo_map.h"

#include <vector>

struct Score {
    std::vector<Note> notes;
    double lengthSeconds = 0.0;
};

Score composeSoundtrack();
// The beat grid the piece is written on: bars fitted to the camera segments, then 150 bpm.
TempoMap soundtrackTempo();
// The beat on which the hop series (and the 150 bpm finale) begins.
constexpr double finaleBeat = 132.0;
