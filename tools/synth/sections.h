// The three parts of the score, each writing its notes into the shared writer.
#pragma once
#include "harmony.h"
#include "score_writer.h"

#include <vector>

// Drone, rising fifth and octave, swelling chord to the end of the first flight; mario's first
// hop; a quiet two-bar bridge.
void writeOpening(ScoreWriter& writer);
// From the second flight to the hop series: phrases fitted to the camera segments, with a hit on
// each change of look.
void writeMiddle(ScoreWriter& writer);
// The hop series at 150 bpm, one voice per character, and the final chord.
void writeFinale(ScoreWriter& writer);

// Shared gestures.
// String chord spread across the stereo field; release 0 keeps the strings' own long release.
void playPad(ScoreWriter& writer, double beat, double beats, const Chord& chord, int lowest, int count,
             float velocity, float release = 0.0f);
// Drums, timpani, crash and a full brass and string chord at one instant.
void playHit(ScoreWriter& writer, double ms, double ringMs, const std::vector<int>& chord, float velocity);
