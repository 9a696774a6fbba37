// The whole piece: the tempo grid and the three parts in order.
#include "score.h"

#include "cues.h"
#include "sections.h"

TempoMap soundtrackTempo()
{
    // Beat 0 is mario's first hop. Each camera segment gets two, three or four bars, so the
    // tempo gathers pace from about 90 to 147 bpm before the finale's fixed 150 bpm.
    return TempoMap{{{0.0, kMarioFirstHopMs},
                     {8.0, kSecondFlightMs},
                     {16.0, kCutToTowersMs},
                     {32.0, kShadowStyleMs},
                     {44.0, kDiveMs},
                     {56.0, kCutToWalkMs},
                     {72.0, kBumpStyleMs},
                     {84.0, kRiseMs},
                     {96.0, kSwingMs},
                     {108.0, kCircleMs},
                     {120.0, kApproachMs},
                     {kFinaleBeat, kHopSeriesMs},
                     {kFinaleBeat + 1.0, kHopSeriesMs + 4.0 * kHopSpacingMs}}};
}

Score composeSoundtrack()
{
    ScoreWriter writer;
    writer.tempo = soundtrackTempo();
    writeOpening(writer);
    writeMiddle(writer);
    writeFinale(writer);
    return Score{writer.notes, kPieceEndMs / 1000.0};
}
