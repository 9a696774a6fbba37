// Note placement, panning, sends and the effect returns.
#include "mix.h"

#include "audio_format.h"
#include "echo.h"
#include "reverb.h"
#include "voices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

void panGains(float pan, float& left, float& right)
{
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * pi / 4.0;
    left = static_cast<float>(std::cos(angle));
    right = static_cast<float>(std::sin(angle));
}

StereoBuffer mixNotes(const std::vector<Note>& notes, double lengthSeconds)
{
    const std::size_t frames = static_cast<std::size_t>(std::llround(lengthSeconds * sampleRate));
    StereoBuffer dry = makeStereoBuffer(frames);
    StereoBuffer reverbSend = makeStereoBuffer(frames);
    StereoBuffer echoSend = makeStereoBuffer(frames);
    for (std::size_t n = 0; n < notes.size(); ++n) {
        const Note& note = notes[n];
        // Seeds depend only on the note's place in the score, so every render is identical.
        const std::vector<float> samples = renderNote(note, static_cast<std::uint32_t>(n) * 2654435761u + 12345u);
        const long long start = std::llround(note.start * sampleRate);
        float gainLeft = 0.0f, gainRight = 0.0f;
        panGains(note.pan, gainLeft, gainRight);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const long long at = start + static_cast<long long>(i);
            if (at < 0 || at >= static_cast<long long>(frames)) {
                continue;
            }
            const float l = samples[i] * gainLeft;
            const float r = samples[i] * gainRight;
            dry.left[at] += l;
            dry.right[at] += r;
            reverbSend.left[at] += note.reverb * l;
            reverbSend.right[at] += note.reverb * r;
            echoSend.left[at] += note.echo * l;
            echoSend.right[at] += note.echo * r;
        }
    }
    const StereoBuffer reverb = renderReverb(reverbSend, ReverbSettings{});
    const StereoBuffer echo = renderEcho(echoSend, EchoSettings{});
    for (std::size_t i = 0; i < frames; ++i) {
        dry.left[i] += reverb.left[i] + echo.left[i];
        dry.right[i] += reverb.right[i] + echo.right[i];
    }
    return dry;
}
