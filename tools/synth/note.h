// One event of the score: which voice plays, when, how long, at what pitch and where in the mix.
#pragma once

enum class Voice {
    // Pitched voices.
    Drone,    // low detuned saws under a slowly opening filter
    Brass,    // saw ensemble with a filter swell and late vibrato
    Strings,  // wide detuned saw pad
    Bass,     // saw and pulse with a plucked filter
    Pluck,    // bright pulse pluck: the lead and mario's voice
    Keys,     // FM electric-piano tone: luigi's voice
    Blip,     // sine thump with a falling pitch: the first goomba's voice
    Bell,     // inharmonic FM bell for arpeggios
    Boing,    // pitch arcs up and down over the note, like a hop
    // Percussion; pitch is used by Timpani and Tom only.
    Timpani,
    Tom,
    Kick,
    Snare,
    HiHat,  // length sets the ring: short closed, long open
    Crash,
    Riser,  // noise swept upwards over the note, swelling into the next downbeat
};

struct Note {
    Voice voice = Voice::Pluck;
    double start = 0.0;     // seconds from the music's start
    double length = 0.1;    // seconds held before the release
    float pitch = 60.0f;    // MIDI note number
    float velocity = 1.0f;  // 0..1
    float pan = 0.0f;       // -1 left .. +1 right
    float tone = 0.5f;      // 0 dark .. 1 bright
    float glide = 0.0f;     // semitones of the Boing arc
    float attack = 0.0f;    // seconds; 0 takes the voice's own
    float release = 0.0f;   // seconds; 0 takes the voice's own
    float reverb = 0.0f;    // send to the reverb
    float echo = 0.0f;      // send to the ping-pong delay
};
