// Note construction with the mix's per-voice sends.
#include "score_writer.h"

#include <cstring>

struct Sends {
    float reverb;
    float echo;
};

// Sustained and melodic voices sit further back than the rhythm section; the lead and the bell
// get the delay. The riser stays nearly dry: its tail would smear the silence before a hit.
static Sends sendsFor(Voice voice)
{
    switch (voice) {
    case Voice::Drone: return {0.3f, 0.0f};
    case Voice::Brass: return {0.35f, 0.0f};
    case Voice::Strings: return {0.45f, 0.0f};
    case Voice::Bass: return {0.04f, 0.0f};
    case Voice::Pluck: return {0.2f, 0.22f};
    case Voice::Keys: return {0.25f, 0.08f};
    case Voice::Blip: return {0.1f, 0.0f};
    case Voice::Bell: return {0.4f, 0.25f};
    case Voice::Boing: return {0.3f, 0.15f};
    case Voice::Timpani: return {0.4f, 0.0f};
    case Voice::Tom: return {0.25f, 0.0f};
    case Voice::Kick: return {0.04f, 0.0f};
    case Voice::Snare: return {0.25f, 0.0f};
    case Voice::HiHat: return {0.08f, 0.0f};
    case Voice::Crash: return {0.2f, 0.0f};
    case Voice::Riser: return {0.1f, 0.0f};
    }
    return {0.0f, 0.0f};
}

Note& playMs(ScoreWriter& writer, Voice voice, double startMs, double lengthMs, float pitch, float velocity,
             float pan)
{
    Note note;
    note.voice = voice;
    note.start = startMs / 1000.0;
    note.length = lengthMs / 1000.0;
    note.pitch = pitch;
    note.velocity = velocity;
    note.pan = pan;
    const Sends sends = sendsFor(voice);
    note.reverb = sends.reverb;
    note.echo = sends.echo;
    writer.notes.push_back(note);
    return writer.notes.back();
}

Note& playBeats(ScoreWriter& writer, Voice voice, double beat, double beats, float pitch, float velocity,
                float pan)
{
    const double start = msAtBeat(writer.tempo, beat);
    return playMs(writer, voice, start, msAtBeat(writer.tempo, beat + beats) - start, pitch, velocity, pan);
}

static float stepLevel(char step)
{
    switch (step) {
    case 'X': return 1.0f;
    case 'x': return 0.75f;
    case 'o': return 0.4f;
    default: return 0.0f;
    }
}

void playDrumBar(ScoreWriter& writer, double barBeat, const DrumBar& bar, float level)
{
    struct Lane {
        const char* steps;
        Voice voice;
        float pan;
        double ringMs;  // the hi-hat's ring; ignored by the others
    };
    const Lane lanes[3] = {{bar.kick, Voice::Kick, 0.0f, 0.0},
                           {bar.snare, Voice::Snare, 0.05f, 0.0},
                           {bar.hat, Voice::HiHat, 0.3f, 35.0}};
    for (const Lane& lane : lanes) {
        const std::size_t steps = lane.steps == nullptr ? 0 : std::strlen(lane.steps);
        for (std::size_t s = 0; s < steps && s < 16; ++s) {
            const float v = stepLevel(lane.steps[s]);
            if (v > 0.0f) {
                Note& n = playBeats(writer, lane.voice, barBeat + 0.25 * s, 0.25, 60.0f, v * level, lane.pan);
                if (lane.voice == Voice::HiHat) {
                    n.length = lane.ringMs / 1000.0;
                }
            }
        }
    }
}
