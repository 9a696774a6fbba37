// The finale at 150 bpm: every sixteenth is one character's hop and sounds in that character's
// voice (mario lead, luigi keys, the goombas low), over kick, snare and hi-hat on the same grid.
// After the last hop a short tom fill lands on the final D major chord.
#include "cues.h"
#include "score.h"
#include "sections.h"

namespace {

constexpr int characters = 4;
constexpr int beats = hopSeriesCount / characters;
// Each hop's note is a little shorter than the gap to the next one, so the voices stay apart.
constexpr double hopNoteMs = 90.0;

const Chord bars[beats / 4] = {chordDm, chordBb, chordC, chordA, chordDm, chordBb, chordA};
// Mario's tune, one note per beat, all chord tones; luigi's harmony is taken from it.
const int finaleTune[beats] = {74, 77, 81, 77, 74, 77, 82, 81, 79, 76, 72, 76, 76, 73,
                               69, 73, 74, 77, 81, 86, 86, 82, 77, 74, 73, 76, 81, 85};

double hopMs(int hop)
{
    return hopSeriesMs + hopSpacingMs * hop;
}

void playHop(ScoreWriter& w, int hop)
{
    const int beat = hop / characters;
    const Chord& chord = bars[beat / 4];
    const int lowRoot = pitchAtOrAbove(chord.root, 38);
    const double ms = hopMs(hop);
    switch (hop % characters) {
    case 0: {
        Note& n = playMs(w, Voice::Pluck, ms, hopNoteMs, static_cast<float>(finaleTune[beat]), 0.5f, -0.3f);
        n.tone = 0.85f;
        break;
    }
    case 1: {
        const int harmony = chordToneBelow(chord, finaleTune[beat] - 2);
        playMs(w, Voice::Keys, ms, hopNoteMs, static_cast<float>(harmony), 0.6f, 0.35f).tone = 1.0f;
        break;
    }
    case 2: playMs(w, Voice::Blip, ms, hopNoteMs, static_cast<float>(lowRoot), 0.55f, -0.6f); break;
    default: {
        const int bounce = beat % 2 ? lowRoot + 7 : lowRoot + 12;
        playMs(w, Voice::Bass, ms, hopNoteMs, static_cast<float>(bounce), 0.5f, 0.6f).tone = 1.0f;
        break;
    }
    }
}

void playRhythm(ScoreWriter& w, int hop)
{
    const int beat = hop / characters;
    const int step = hop % characters;
    const double ms = hopMs(hop);
    // Every hop gets a crisp tick; the off-beat eighth rings a little longer.
    const float hatLevel[characters] = {0.4f, 0.55f, 0.65f, 0.55f};
    Note& hat = playMs(w, Voice::HiHat, ms, 30.0, 60.0f, hatLevel[step], step % 2 ? -0.3f : 0.3f);
    hat.length = step == 2 ? 0.05 : 0.025;
    if (step == 0) {
        playMs(w, Voice::Kick, ms, 100.0, 60.0f, 0.85f);
        if (beat % 2 == 1) {
            playMs(w, Voice::Snare, ms, 100.0, 60.0f, 0.65f, 0.05f);
        }
        // Crashes only where the tune starts again: their wash would blur the hops' ticks.
        if (beat % 16 == 0) {
            playMs(w, Voice::Crash, ms, 1000.0, 60.0f, beat == 0 ? 0.9f : 0.4f, -0.3f);
        }
    }
    if (step % 2 == 0) {
        const Chord& chord = bars[beat / 4];
        Note& bass = playMs(w, Voice::Bass, ms, 170.0, static_cast<float>(pitchAtOrAbove(chord.root, 26)), 0.5f);
        bass.tone = 0.3f;
    }
}

}  // namespace

void writeFinale(ScoreWriter& w)
{
    for (int hop = 0; hop < hopSeriesCount; ++hop) {
        playHop(w, hop);
        playRhythm(w, hop);
    }
    for (int bar = 0; bar < beats / 4; ++bar) {
        const double beat = finaleBeat + 4.0 * bar;
        playPad(w, beat, 3.9, bars[bar], 57, 4, 0.15f + 0.012f * bar);
        if (bar >= 4) {
            const std::vector<int> stab = chordVoicing(bars[bar], 62, 3);
            for (int pitch : stab) {
                Note& n = playBeats(w, Voice::Brass, beat, 1.5, static_cast<float>(pitch), 0.22f,
                                    pitch % 2 ? 0.4f : -0.4f);
                n.attack = 0.01f;
                n.release = 0.2f;
            }
        }
    }
    // The fill while the last goomba is in the air: three toms falling down the D major chord.
    const float fill[3] = {57.0f, 50.0f, 45.0f};
    for (int i = 0; i < 3; ++i) {
        const double ms = hopMs(hopSeriesCount + i);
        playMs(w, Voice::Tom, ms, 100.0, fill[i], 0.75f + 0.08f * i, 0.4f - 0.4f * i);
        playMs(w, Voice::Snare, ms, 100.0, 60.0f, 0.45f + 0.1f * i, 0.05f);
        playMs(w, Voice::HiHat, ms, 30.0, 60.0f, 0.3f, 0.3f).length = 0.03;
    }
    // Landing: the final chord rings out to the end of the piece.
    const double ringMs = pieceEndMs - lastHopEndMs - 900.0;
    playHit(w, lastHopEndMs, ringMs, {38, 50, 57, 62, 66, 69, 74}, 1.0f);
    Note& top = playMs(w, Voice::Bell, lastHopEndMs, 400.0, 86.0f, 0.3f, 0.3f);
    top.echo = 0.35f;
    playMs(w, Voice::Pluck, lastHopEndMs, 300.0, 74.0f, 0.45f, -0.3f);
}
