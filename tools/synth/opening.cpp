// The opening: out of a low drone the brass climbs a fifth and an octave, a D major chord swells
// under a timpani roll and arrives as the first flight ends; mario's hop answers it.
#include "cues.h"
#include "sections.h"

// The timpani roll's strokes: fast enough to blur into one crescendo.
constexpr double rollStrokeMs = 65.0;

void writeOpening(ScoreWriter& w)
{
    Note& lowDrone = playMs(w, Voice::Drone, 0.0, 11500.0, 26.0f, 0.6f);
    lowDrone.attack = 3.0f;
    lowDrone.release = 3.0f;
    lowDrone.tone = 0.7f;
    Note& drone = playMs(w, Voice::Drone, 300.0, 11200.0, 38.0f, 0.4f, 0.1f);
    drone.attack = 3.5f;
    drone.release = 3.0f;
    drone.tone = 0.8f;

    // The rising fifth and octave, each note held into the chord.
    const float rise[3] = {50.0f, 57.0f, 62.0f};
    const double riseMs[3] = {2000.0, 3500.0, 5000.0};
    const float risePan[3] = {-0.2f, 0.15f, 0.3f};
    for (int i = 0; i < 3; ++i) {
        Note& n = playMs(w, Voice::Brass, riseMs[i], firstFlightEndMs - riseMs[i], rise[i], 0.45f + 0.05f * i,
                         risePan[i]);
        n.attack = 0.25f;
        n.tone = 0.4f + 0.1f * i;
    }

    // The swell: strings from 5.6 s, upper brass from 7.5 s, peaking at the end of the flight.
    const std::vector<int> swell = chordVoicing(chordD, 50, 7);
    for (std::size_t i = 0; i < swell.size(); ++i) {
        Note& n = playMs(w, Voice::Strings, 5600.0, firstFlightEndMs - 5600.0 + 300.0,
                         static_cast<float>(swell[i]), 0.4f, -0.6f + 0.2f * static_cast<float>(i));
        n.attack = 4.2f;
        n.release = 1.6f;
        n.tone = 0.6f;
    }
    for (float pitch : {66.0f, 69.0f}) {
        Note& n = playMs(w, Voice::Brass, 7500.0, firstFlightEndMs - 7500.0, pitch, 0.4f,
                         pitch > 67.0f ? -0.35f : 0.35f);
        n.attack = 2.4f;
        n.tone = 0.7f;
    }
    playMs(w, Voice::Riser, 6691.0, firstFlightEndMs - 6691.0 - 40.0, 60.0f, 0.45f);
    for (double t = 7800.0; t < firstFlightEndMs - 40.0; t += rollStrokeMs) {
        const float x = static_cast<float>((t - 7800.0) / (firstFlightEndMs - 7800.0));
        playMs(w, Voice::Timpani, t, 50.0, 38.0f, 0.08f + 0.4f * x * x,
               (static_cast<int>(t) / 65) % 2 ? 0.1f : -0.1f);
    }

    // Arrival: the full chord as the camera comes to rest.
    playHit(w, firstFlightEndMs, 1400.0, chordVoicing(chordD, 50, 6), 0.9f);

    // Mario's first hop: a boing that arcs with him, and a bell on top.
    Note& hop = playMs(w, Voice::Boing, marioFirstHopMs, hopLengthMs, 74.0f, 0.7f, -0.3f);
    hop.glide = 7.0f;
    playMs(w, Voice::Bell, marioFirstHopMs, 200.0, 86.0f, 0.3f, -0.3f);

    // Bridge, two bars: D minor with an added ninth over a quiet pedal, a bell arpeggio.
    Note& pedal = playBeats(w, Voice::Drone, 0.0, 8.0, 38.0f, 0.35f);
    pedal.attack = 1.0f;
    pedal.release = 1.0f;
    pedal.tone = 0.3f;
    const int padNotes[4] = {50, 57, 64, 65};
    for (int i = 0; i < 4; ++i) {
        Note& n = playBeats(w, Voice::Strings, 0.5, 7.5, static_cast<float>(padNotes[i]), 0.3f, -0.45f + 0.3f * i);
        n.attack = 1.5f;
        n.release = 0.6f;
        n.tone = 0.3f;
    }
    const int arpeggio[8] = {62, 65, 69, 76, 74, 69, 65, 69};
    for (int step = 2; step < 16; ++step) {
        Note& n = playBeats(w, Voice::Bell, 0.5 * step, 0.5, static_cast<float>(arpeggio[step % 8]),
                            0.18f + 0.01f * step, step % 2 ? 0.4f : -0.4f);
        n.tone = 0.3f;
    }
}
