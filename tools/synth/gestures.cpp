// Gestures shared by the parts of the score: string pads and the big hits.
#include "sections.h"

void playPad(ScoreWriter& w, double beat, double beats, const Chord& chord, int lowest, int count, float velocity,
             float release)
{
    const std::vector<int> notes = chordVoicing(chord, lowest, count);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const float spread =
            notes.size() > 1 ? static_cast<float>(i) / static_cast<float>(notes.size() - 1) : 0.5f;
        Note& n = playBeats(w, Voice::Strings, beat, beats, static_cast<float>(notes[i]), velocity,
                            -0.6f + 1.2f * spread);
        n.tone = 0.45f;
        n.release = release;
    }
}

void playHit(ScoreWriter& w, double ms, double ringMs, const std::vector<int>& chord, float velocity)
{
    playMs(w, Voice::Kick, ms, 100.0, 60.0f, velocity);
    playMs(w, Voice::Snare, ms, 100.0, 60.0f, 0.7f * velocity, 0.05f);
    playMs(w, Voice::Crash, ms, 1800.0, 60.0f, 0.85f * velocity, -0.25f);
    playMs(w, Voice::Crash, ms, 1500.0, 60.0f, 0.6f * velocity, 0.35f);
    playMs(w, Voice::Timpani, ms, 100.0, 38.0f, velocity, -0.1f);
    Note& bass = playMs(w, Voice::Bass, ms, ringMs, 26.0f, 0.7f * velocity);
    bass.tone = 0.4f;
    bass.release = 0.4f;
    for (std::size_t i = 0; i < chord.size(); ++i) {
        const float pan = -0.5f + static_cast<float>(i) / static_cast<float>(chord.size());
        Note& brass =
            playMs(w, Voice::Brass, ms, 0.5 * ringMs, static_cast<float>(chord[i]), 0.5f * velocity, pan);
        brass.attack = 0.015f;
        brass.release = 0.5f;
        brass.tone = 0.8f;
        Note& strings =
            playMs(w, Voice::Strings, ms, ringMs, static_cast<float>(chord[i]), 0.35f * velocity, -pan);
        strings.attack = 0.02f;
        strings.release = 1.0f;
        strings.tone = 0.7f;
    }
}
