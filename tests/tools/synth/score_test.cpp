// The score against the show script: the beat grid, the accents and hits on their cues, and the
// finale's one-voice-per-character hop series.
#include "cues.h"
#include "harmony.h"
#include "score.h"
#include "voices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

double startMs(const Note& n)
{
    return n.start * 1000.0;
}

std::vector<const Note*> notesAt(const Score& score, double ms, Voice voice)
{
    std::vector<const Note*> found;
    for (const Note& n : score.notes) {
        if (n.voice == voice && std::fabs(startMs(n) - ms) < 0.01) {
            found.push_back(&n);
        }
    }
    return found;
}

TEST(TempoMap, InterpolatesBetweenAnchorsAndExtendsTheLastTempo)
{
    const TempoMap map{{{0.0, 1000.0}, {4.0, 3000.0}, {8.0, 4000.0}}};
    EXPECT_DOUBLE_EQ(msAtBeat(map, 0.0), 1000.0);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 2.0), 2000.0);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 4.0), 3000.0);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 6.0), 3500.0);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 10.0), 4500.0);
    EXPECT_DOUBLE_EQ(beatLengthMs(map, 1.0), 500.0);
    EXPECT_DOUBLE_EQ(beatLengthMs(map, 5.0), 250.0);
}

TEST(TempoMap, SoundtrackGridPutsDownbeatsOnTheCutsAndGathersPace)
{
    const TempoMap map = soundtrackTempo();
    EXPECT_DOUBLE_EQ(msAtBeat(map, 8.0), secondFlightMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 16.0), cutToTowersMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 32.0), shadowStyleMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 44.0), diveMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 56.0), cutToWalkMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 72.0), bumpStyleMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 84.0), riseMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 96.0), swingMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 108.0), circleMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, 120.0), approachMs);
    EXPECT_DOUBLE_EQ(msAtBeat(map, finaleBeat), hopSeriesMs);
    EXPECT_DOUBLE_EQ(beatLengthMs(map, finaleBeat + 10.0), 400.0);
    // Every phrase is between 80 and 150 bpm, and from the shadow look on it never slows down.
    for (double beat = 0.0; beat < finaleBeat + 28.0; beat += 1.0) {
        const double bpm = 60000.0 / beatLengthMs(map, beat);
        ASSERT_GE(bpm, 80.0) << beat;
        ASSERT_LE(bpm, 150.0 + 1e-9) << beat;
        if (beat >= 33.0) {
            ASSERT_GE(bpm + 0.5, 60000.0 / beatLengthMs(map, beat - 1.0)) << beat;
        }
    }
}

TEST(Harmony, ChordTonesAndVoicings)
{
    EXPECT_EQ(pitchAtOrAbove(2, 60), 62);
    EXPECT_EQ(pitchAtOrAbove(2, 62), 62);
    EXPECT_EQ(pitchAtOrAbove(0, 61), 72);
    EXPECT_EQ(chordTone(chordDm, 0, 60), 62);
    EXPECT_EQ(chordTone(chordDm, 1, 60), 65);
    EXPECT_EQ(chordTone(chordA, 1, 60), 73);
    EXPECT_EQ(chordTone(chordDm, 4, 60), 77);
    EXPECT_EQ(chordVoicing(chordD, 50, 4), (std::vector<int>{50, 54, 57, 62}));
    EXPECT_EQ(chordVoicing(chordBb, 60, 3), (std::vector<int>{62, 65, 70}));
    EXPECT_EQ(chordToneBelow(chordDm, 74), 69);
    EXPECT_EQ(chordToneBelow(chordC, 72), 67);
}

TEST(Score, EveryNoteIsPlayableAndInsideThePiece)
{
    const Score score = composeSoundtrack();
    ASSERT_GT(score.notes.size(), 500u);
    EXPECT_GE(score.lengthSeconds, 86.0);
    EXPECT_LE(score.lengthSeconds, 92.0);
    for (const Note& n : score.notes) {
        ASSERT_GE(n.start, 0.0);
        ASSERT_LT(n.start + n.length, score.lengthSeconds);
        ASSERT_GT(n.velocity, 0.0f);
        ASSERT_LE(n.velocity, 1.0f);
        ASSERT_GE(n.pitch, 24.0f);
        ASSERT_LE(n.pitch, 96.0f);
        ASSERT_LE(std::fabs(n.pan), 1.0f);
    }
}

TEST(Score, FirstHopsAreAccentedAndTheLookChangesAreHits)
{
    const Score score = composeSoundtrack();
    EXPECT_EQ(notesAt(score, marioFirstHopMs, Voice::Boing).size(), 1u);
    EXPECT_EQ(notesAt(score, luigiFirstHopMs, Voice::Boing).size(), 1u);
    EXPECT_EQ(notesAt(score, goombasFirstHopMs, Voice::Boing).size(), 2u);
    for (double hit : {shadowStyleMs, bumpStyleMs}) {
        SCOPED_TRACE(hit);
        EXPECT_EQ(notesAt(score, hit, Voice::Kick).size(), 1u);
        EXPECT_FALSE(notesAt(score, hit, Voice::Crash).empty());
        EXPECT_GE(notesAt(score, hit, Voice::Brass).size(), 5u);
        // The breath before the hit: nothing struck in the last 150 ms.
        for (const Note& n : score.notes) {
            const double t = startMs(n);
            if (isPercussion(n.voice) && t > hit - 150.0 && t < hit) {
                ADD_FAILURE() << "percussion at " << t;
            }
        }
    }
}

TEST(Score, FinaleGivesEachHopItsCharactersVoiceOnTheSixteenthGrid)
{
    const Score score = composeSoundtrack();
    const Voice characterVoice[4] = {Voice::Pluck, Voice::Keys, Voice::Blip, Voice::Bass};
    for (int hop = 0; hop < hopSeriesCount; ++hop) {
        const double t = hopSeriesMs + hopSpacingMs * hop;
        EXPECT_EQ(notesAt(score, t, characterVoice[hop % 4]).size(), 1u) << "hop " << hop;
        EXPECT_EQ(notesAt(score, t, Voice::HiHat).size(), 1u) << "hop " << hop;
        if (hop % 4 == 0) {
            EXPECT_EQ(notesAt(score, t, Voice::Kick).size(), 1u) << "hop " << hop;
        }
    }
    // Nothing in the finale starts off the 100 ms grid, up to and including the final chord.
    std::map<long, int> onGrid;
    for (const Note& n : score.notes) {
        const double t = startMs(n);
        if (t >= hopSeriesMs && t <= lastHopEndMs) {
            const double slot = (t - hopSeriesMs) / hopSpacingMs;
            ASSERT_NEAR(slot, std::round(slot), 1e-6) << "note at " << t;
            ++onGrid[std::lround(slot)];
        }
    }
    EXPECT_EQ(onGrid.size(), static_cast<std::size_t>(hopSeriesCount + 4));
    EXPECT_FALSE(notesAt(score, lastHopEndMs, Voice::Crash).empty());
    EXPECT_GE(notesAt(score, lastHopEndMs, Voice::Strings).size(), 5u);
}

}  // namespace
