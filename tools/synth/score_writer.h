// Helpers the sections of the score are written with: notes placed by beat or by cue time, with
// each voice's usual effect sends, and drum bars written as step patterns.
#pragma once
#include "note.h"
#include "tempo_map.h"

#include <vector>

struct ScoreWriter {
    std::vector<Note> notes;
    TempoMap tempo;
};

// The returned note may be adjusted before the next note is added.
Note& playMs(ScoreWriter& writer, Voice voice, double startMs, double lengthMs, float pitch, float velocity,
             float pan = 0.0f);
Note& playBeats(ScoreWriter& writer, Voice voice, double beat, double beats, float pitch, float velocity,
                float pan = 0.0f);

// One bar of sixteen steps per drum: 'X' accent, 'x' normal, 'o' ghost, anything else a rest.
struct DrumBar {
    const char* kick;
    const char* snare;
    const char* hat;
};

void playDrumBar(ScoreWriter& writer, double barBeat, const DrumBar& bar, float level);
