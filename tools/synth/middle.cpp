// The middle: each camera segment is a phrase of two to four bars whose downbeat is the cut. The
// groove builds through two snare-roll climaxes that break off an eighth early, so the hits on
// the changes of look land in a breath of silence.
#include "cues.h"
#include "sections.h"

namespace {

// Strings stop this quickly before a hit, so the breath before it is silent.
constexpr float breathRelease = 0.15f;

struct MelodyNote {
    double beat;  // from the phrase's first beat
    double beats;
    int pitch;
};

void playMelody(ScoreWriter& w, double beat, const std::vector<MelodyNote>& melody, int transpose, float velocity)
{
    for (const MelodyNote& m : melody) {
        Note& n = playBeats(w, Voice::Pluck, beat + m.beat, m.beats * 0.9, static_cast<float>(m.pitch + transpose),
                            velocity, -0.15f);
        n.tone = 0.65f;
    }
}

// Eight eighths per bar: 'R' root, 'O' root an octave up, 'F' fifth, anything else a rest.
void playBassBar(ScoreWriter& w, double beat, const Chord& chord, const char* eighths, float velocity)
{
    const int root = pitchAtOrAbove(chord.root, 33);
    for (int e = 0; e < 8 && eighths[e] != '\0'; ++e) {
        int pitch = 0;
        switch (eighths[e]) {
        case 'R': pitch = root; break;
        case 'O': pitch = root + 12; break;
        case 'F': pitch = root + 7; break;
        default: continue;
        }
        Note& n = playBeats(w, Voice::Bass, beat + 0.5 * e, 0.42, static_cast<float>(pitch), velocity);
        n.tone = 0.45f;
    }
}

void playBellArpeggio(ScoreWriter& w, double beat, const Chord& chord, float velocity)
{
    const int order[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    for (int e = 0; e < 8; ++e) {
        Note& n = playBeats(w, Voice::Bell, beat + 0.5 * e, 0.5,
                            static_cast<float>(chordTone(chord, order[e], 62)), velocity, e % 2 ? 0.45f : -0.45f);
        n.tone = 0.35f;
    }
}

// A melodic figure made of chord-tone numbers, so that one rhythm fits any chord.
struct Figure {
    double beat;
    double beats;
    int toneIndex;
};

void playFigure(ScoreWriter& w, double beat, const Chord& chord, const std::vector<Figure>& figure, float velocity)
{
    for (const Figure& f : figure) {
        Note& n = playBeats(w, Voice::Pluck, beat + f.beat, f.beats * 0.85,
                            static_cast<float>(chordTone(chord, f.toneIndex, 60)), velocity, -0.15f);
        n.tone = 0.7f;
    }
}

void playCrash(ScoreWriter& w, double beat, float velocity)
{
    playBeats(w, Voice::Crash, beat, 0.0, 60.0f, velocity, -0.3f).length = 1.4;
    playBeats(w, Voice::Kick, beat, 0.25, 60.0f, 0.9f * velocity);
}

// A roll of sixteenths over the bar, rising in level, that stops an eighth before its end.
void playSnareRoll(ScoreWriter& w, double beat, float from, float to)
{
    for (int s = 0; s < 14; ++s) {
        const float x = static_cast<float>(s) / 13.0f;
        playBeats(w, Voice::Snare, beat + 0.25 * s, 0.25, 60.0f, from + (to - from) * x, s % 2 ? 0.1f : -0.1f);
    }
    for (int q = 0; q < 4; ++q) {
        playBeats(w, Voice::Kick, beat + q, 0.25, 60.0f, 0.8f);
    }
}

const DrumBar pulseBar{"x.......x.......", nullptr, "....o.......o..."};
const DrumBar backbeat{"x.......x.......", "....x.......x...", "o.x.o.x.o.x.o.x."};
const DrumBar grooveBar{"X......x.xx.....", "....X.......X..o", "x.o.x.o.x.o.x.o."};
const DrumBar grooveFill{"X......x.x......", "....X.......XoXx", "x.o.x.o.x.o.x.o."};
// The same grooves for the bar after a hit, whose downbeat the hit already plays.
const DrumBar grooveAfterHit{".......x.xx.....", "....X.......X..o", "..o.x.o.x.o.x.o."};
const DrumBar driveAfterHit{"....x...X...x...", "....X.......X...", "..XoxoXoxoXoxoXo"};
const DrumBar drive{"X...x...X...x...", "....X.......X...", "xoXoxoXoxoXoxoXo"};
const DrumBar fourFloor{"X...X...X...X...", "....x.......x...", "o.x.o.x.o.x.o.x."};

// The groove's tune, three bars over D minor, B flat and C.
const std::vector<MelodyNote> theme = {{0.5, 0.5, 69}, {1.0, 0.5, 74}, {1.5, 0.5, 76},  {2.0, 1.0, 77},
                                       {3.0, 0.5, 76}, {3.5, 0.5, 74}, {4.0, 1.5, 74},  {5.5, 0.5, 72},
                                       {6.0, 0.5, 74}, {6.5, 0.5, 77}, {7.0, 1.0, 74},  {8.0, 1.0, 76},
                                       {9.0, 0.5, 79}, {9.5, 0.5, 76}, {10.0, 1.5, 72}, {11.5, 0.5, 76}};
// Its answer over D minor, G minor and A, falling to the leading note.
const std::vector<MelodyNote> answerPhrase = {{0.0, 1.0, 81}, {1.0, 0.5, 79}, {1.5, 0.5, 77}, {2.0, 1.0, 76},
                                              {3.0, 1.0, 74}, {4.0, 1.5, 74}, {5.5, 0.5, 70}, {6.0, 1.0, 67},
                                              {7.0, 1.0, 70}, {8.0, 2.0, 73}, {10.0, 2.0, 76}};
// The climb's figures: a rising one and a turning one.
const std::vector<Figure> climbA = {{0.0, 0.75, 4}, {0.75, 0.75, 3}, {1.5, 0.5, 2},
                                    {2.0, 1.0, 3},  {3.0, 0.5, 4},   {3.5, 0.5, 5}};
const std::vector<Figure> climbB = {{0.0, 0.5, 5}, {0.5, 0.5, 4}, {1.0, 0.5, 3},
                                    {1.5, 0.5, 4}, {2.0, 1.5, 2}, {3.5, 0.5, 3}};

}  // namespace

void writeMiddle(ScoreWriter& w)
{
    // Second flight, two bars: B flat and C; bass and a soft pulse enter.
    playBeats(w, Voice::Timpani, 8.0, 0.5, 46.0f, 0.45f);
    playBeats(w, Voice::Crash, 8.0, 0.0, 60.0f, 0.3f, 0.3f).length = 1.5;
    const Chord flight[2] = {chordBb, chordC};
    for (int bar = 0; bar < 2; ++bar) {
        const double beat = 8.0 + 4.0 * bar;
        playPad(w, beat, 4.0, flight[bar], 53, 4, 0.3f);
        playBellArpeggio(w, beat, flight[bar], 0.22f);
        playBassBar(w, beat, flight[bar], "R...R.O.", 0.45f);
        playDrumBar(w, beat, pulseBar, 0.55f);
    }

    // Towers, four bars to the shadow look: D minor, B flat, G minor, A; the roll breaks off.
    playCrash(w, 16.0, 0.45f);
    const Chord towers[4] = {chordDm, chordBb, chordGm, chordA};
    for (int bar = 0; bar < 4; ++bar) {
        const double beat = 16.0 + 4.0 * bar;
        const bool last = bar == 3;
        playPad(w, beat, last ? 3.4 : 4.0, towers[bar], 53, 4, 0.3f + 0.04f * bar, last ? breathRelease : 0.0f);
        playBellArpeggio(w, beat, towers[bar], 0.2f);
        playBassBar(w, beat, towers[bar], last ? "RRRRRRR." : "R.RRR.RO", 0.5f);
        if (last) {
            playSnareRoll(w, beat, 0.25f, 0.8f);
        } else {
            playDrumBar(w, beat, backbeat, 0.6f + 0.05f * bar);
        }
    }
    Note& towerBrass = playBeats(w, Voice::Brass, 28.0, 3.4, 61.0f, 0.4f, 0.2f);
    towerBrass.attack = 1.0f;
    towerBrass.release = 0.05f;
    playBeats(w, Voice::Riser, 24.0, 7.45, 60.0f, 0.45f);

    // The shadow look: the first hit, luigi's first hop, the groove and its tune.
    playHit(w, shadowStyleMs, 1600.0, {50, 57, 62, 65, 69, 74}, 1.0f);
    Note& luigiHop = playMs(w, Voice::Boing, luigiFirstHopMs, hopLengthMs, 69.0f, 0.65f, 0.35f);
    luigiHop.glide = 7.0f;
    const Chord grooveA[3] = {chordDm, chordBb, chordC};
    for (int bar = 0; bar < 3; ++bar) {
        const double beat = 32.0 + 4.0 * bar;
        playPad(w, beat, 4.0, grooveA[bar], 55, 3, 0.22f);
        playBassBar(w, beat, grooveA[bar], "R..RR.OR", 0.6f);
        playDrumBar(w, beat, bar == 0 ? grooveAfterHit : bar == 2 ? grooveFill : grooveBar, 0.75f);
    }
    playMelody(w, 32.0, theme, 0, 0.45f);

    // The dive: the answer, and a breakdown while the camera stands still.
    playCrash(w, 44.0, 0.5f);
    const Chord dive[3] = {chordDm, chordGm, chordA};
    for (int bar = 0; bar < 3; ++bar) {
        const double beat = 44.0 + 4.0 * bar;
        playPad(w, beat, 4.0, dive[bar], 55, bar == 2 ? 5 : 3, bar == 2 ? 0.3f : 0.22f);
        if (bar < 2) {
            playBassBar(w, beat, dive[bar], "R..RR.OR", 0.6f);
            playDrumBar(w, beat, grooveBar, 0.75f);
        } else {
            playBellArpeggio(w, beat, dive[bar], 0.25f);
            playBeats(w, Voice::Timpani, beat, 0.5, 45.0f, 0.5f);
        }
    }
    playMelody(w, 44.0, answerPhrase, 0, 0.45f);

    // The long glide to the bump look: four bars, four on the floor, a rising brass line.
    playCrash(w, 56.0, 0.4f);
    const Chord glide[4] = {chordBb, chordC, chordGm, chordA};
    const float glideBrass[4] = {65.0f, 67.0f, 70.0f, 73.0f};
    for (int bar = 0; bar < 4; ++bar) {
        const double beat = 56.0 + 4.0 * bar;
        const bool last = bar == 3;
        playPad(w, beat, last ? 3.4 : 4.0, glide[bar], 53, 4, 0.26f + 0.03f * bar, last ? breathRelease : 0.0f);
        playBassBar(w, beat, glide[bar], last ? "OROROR.." : "R.RRR.RR", 0.55f);
        Note& brass =
            playBeats(w, Voice::Brass, beat, last ? 3.4 : 3.9, glideBrass[bar], 0.35f + 0.04f * bar, 0.25f);
        brass.attack = 0.4f;
        brass.release = last ? 0.05f : 0.3f;
        if (last) {
            playSnareRoll(w, beat, 0.3f, 0.9f);
        } else {
            playDrumBar(w, beat, bar < 2 ? backbeat : fourFloor, 0.65f + 0.05f * bar);
        }
    }
    playBeats(w, Voice::Riser, 64.0, 7.45, 60.0f, 0.5f);

    // The bump look: the second hit, both goombas' first hops, the groove again an octave up.
    playHit(w, bumpStyleMs, 1600.0, {50, 57, 62, 65, 69, 74, 77}, 1.0f);
    for (float pan : {-0.6f, 0.6f}) {
        Note& hop = playMs(w, Voice::Boing, goombasFirstHopMs, hopLengthMs, pan < 0.0f ? 50.0f : 57.0f, 0.6f, pan);
        hop.glide = 5.0f;
    }
    for (int bar = 0; bar < 3; ++bar) {
        const double beat = 72.0 + 4.0 * bar;
        playPad(w, beat, 4.0, grooveA[bar], 55, 4, 0.24f);
        playBassBar(w, beat, grooveA[bar], "R..RR.OR", 0.6f);
        playDrumBar(w, beat, bar == 0 ? driveAfterHit : bar == 2 ? grooveFill : drive, 0.8f);
        Note& brass =
            playBeats(w, Voice::Brass, beat, 3.8, static_cast<float>(chordTone(grooveA[bar], 1, 57)), 0.28f, 0.4f);
        brass.attack = 0.2f;
    }
    playMelody(w, 72.0, theme, 12, 0.38f);

    // The climb: four joined segments, three bars each, a crash on every join; the last one
    // rises into the hop series and breaks off an eighth early.
    const Chord climb[4][3] = {{chordF, chordC, chordDm},
                               {chordBb, chordF, chordC},
                               {chordGm, chordBb, chordC},
                               {chordDm, chordBb, chordA}};
    for (int segment = 0; segment < 4; ++segment) {
        const double start = 84.0 + 12.0 * segment;
        playCrash(w, start, 0.55f);
        for (int bar = 0; bar < 3; ++bar) {
            const double beat = start + 4.0 * bar;
            const Chord& chord = climb[segment][bar];
            const bool last = segment == 3 && bar == 2;
            playPad(w, beat, last ? 3.4 : 4.0, chord, 55, 4, 0.24f + 0.02f * segment, last ? breathRelease : 0.0f);
            playBassBar(w, beat, chord, last ? "OROROR.." : "R.ORR.OR", 0.6f);
            if (last) {
                playSnareRoll(w, beat, 0.35f, 1.0f);
            } else {
                playDrumBar(w, beat, segment % 2 ? fourFloor : drive, 0.75f + 0.04f * segment);
                playFigure(w, beat, chord, bar % 2 ? climbB : climbA, 0.4f);
            }
        }
    }
    playBeats(w, Voice::Riser, 124.0, 7.45, 60.0f, 0.55f);
    Note& lead = playBeats(w, Voice::Brass, 128.0, 3.45, 76.0f, 0.45f, -0.2f);
    lead.attack = 0.8f;
    lead.release = 0.05f;
}
