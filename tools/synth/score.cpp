// The whole piece: the tempo grid and the three parts in order.
#include "score.h"

#include "cues.h"
#include "sections.h"

TempoMap soundtrackTempo()
{
    // Beat 0 is mario's first hop. Each camera segment gets two, three or four bars, so the
    // tempo gathers pace from about 90 to 147 bpm before the finale's fixed 150 bpm.
    return TempoMap{{{0.0, marioFirstHopMs},
                     {8.0, secondFlightMs},
                     {16.0, cutToTowersMs},
                     {32.0, shadowStyleMs},
                     {44.0, diveMs},
                     {56.0, cutToWalkMs},
                     {72.0, bumpStyleMs},
                     {84.0, riseMs},
                     {96.0, swingMs},
                     {108.0, circleMs},
                     {120.0, approachMs},
                     {finaleBeat, hopSeriesMs},
                     {finaleBeat + 1.0, hopSeriesMs + 4.0 * hopSpacingMs}}};
}

Score composeSoundtrack()
{
    ScoreWriter writer;
    writer.tempo = soundtrackTempo();
    writeOpening(writer);
    writeMiddle(writer);
    writeFinale(writer);
    return Score{writer.notes, pieceEndMs / 1000.0};
}
