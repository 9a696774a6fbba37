// Transport bookkeeping: the wall clock anchor while playing, the loop jump and the show's end.
#include "transport.h"

#include <algorithm>
#include <cmath>

namespace {

double clampToShow(double showMs)
{
    return std::clamp(showMs, 0.0, showEndMs);
}

void anchor(Transport& transport, double wallMs)
{
    transport.anchorShowMs = transport.showMs;
    transport.anchorWallMs = wallMs;
}

}  // namespace

bool loopActive(const Transport& transport)
{
    return transport.loopEndMs >= 0.0;
}

NextFrame advanceTransport(Transport& transport, double wallMs)
{
    if (!transport.playing) {
        return {transport.showMs, false};
    }
    const double next = transport.anchorShowMs + (wallMs - transport.anchorWallMs);
    // Only a show that arrives at the end mark from before it loops: after a seek past the end
    // the show plays on.
    if (loopActive(transport) && transport.showMs <= transport.loopEndMs && next >= transport.loopEndMs) {
        transport.showMs = std::max(transport.loopStartMs, 0.0);
        anchor(transport, wallMs);
        return {transport.showMs, true};
    }
    if (next >= showEndMs) {
        transport.showMs = showEndMs;
        transport.playing = false;
        return {showEndMs, false};
    }
    transport.showMs = std::max(next, transport.showMs);
    return {transport.showMs, false};
}

double frameStepFrom(double showMs, int frames)
{
    // Well above the drift of many steps, far below a frame.
    constexpr double onFrameMs = 1e-6;
    const double frame = std::round(showMs / toolFrameMs);
    if (std::abs(showMs - frame * toolFrameMs) < onFrameMs) {
        // Multiplied before dividing, a whole second of frames is a whole number of ms exactly.
        return (frame + frames) * 1000.0 / toolFps;
    }
    return showMs + frames * toolFrameMs;
}

void seekTransport(Transport& transport, double showMs, double wallMs)
{
    transport.showMs = clampToShow(showMs);
    anchor(transport, wallMs);
}

void pauseTransport(Transport& transport)
{
    transport.playing = false;
}

void resumeTransport(Transport& transport, double wallMs)
{
    // At the end of the show, playing means playing it again.
    if (transport.showMs >= showEndMs) {
        transport.showMs = loopActive(transport) ? std::max(transport.loopStartMs, 0.0) : 0.0;
    }
    transport.playing = true;
    anchor(transport, wallMs);
}

void setLoopStart(Transport& transport)
{
    transport.loopStartMs = transport.showMs;
    if (transport.loopEndMs >= 0.0 && transport.loopEndMs <= transport.loopStartMs) {
        transport.loopEndMs = -1.0;
    }
}

void setLoopEnd(Transport& transport)
{
    if (transport.showMs <= 0.0) {
        return;  // nothing lies before it to loop
    }
    transport.loopEndMs = transport.showMs;
    if (transport.loopStartMs >= transport.loopEndMs) {
        transport.loopStartMs = -1.0;
    }
}

void clearLoop(Transport& transport)
{
    transport.loopStartMs = -1.0;
    transport.loopEndMs = -1.0;
}
