// Two delay lines feeding each other; the send enters the left one.
#include "echo.h"

#include "audio_format.h"
#include "filter.h"

#include <algorithm>
#include <vector>

StereoBuffer renderEcho(const StereoBuffer& send, const EchoSettings& settings)
{
    const std::size_t frames = frameCount(send);
    const std::size_t delay =
        std::max<std::size_t>(1, static_cast<std::size_t>(settings.delaySeconds * sampleRate));
    std::vector<float> lineLeft(delay, 0.0f), lineRight(delay, 0.0f);
    OnePole toneLeft = makeOnePole(settings.toneHz), toneRight = makeOnePole(settings.toneHz);
    StereoBuffer wet = makeStereoBuffer(frames);
    std::size_t index = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const float outLeft = lineLeft[index];
        const float outRight = lineRight[index];
        const float in = 0.5f * (send.left[i] + send.right[i]);
        lineLeft[index] = in + settings.feedback * lowPass(toneLeft, outRight);
        lineRight[index] = settings.feedback * lowPass(toneRight, outLeft);
        wet.left[i] = outLeft;
        wet.right[i] = outRight;
        index = index + 1 == delay ? 0 : index + 1;
    }
    return wet;
}
