// Beats to show time: anchors pin chosen beats to cue times and the tempo is even in between,
// so each camera segment gets whole bars and every downbeat of a section lands on its cue.
#pragma once
#include <vector>

struct TempoAnchor {
    double beat;
    double ms;
};

// Anchors in ascending order of both beat and time; past the last one the last tempo holds.
struct TempoMap {
    std::vector<TempoAnchor> anchors;
};

double msAtBeat(const TempoMap& map, double beat);
// Milliseconds per beat at the given beat.
double beatLengthMs(const TempoMap& map, double beat);
