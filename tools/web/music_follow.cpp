// Placing the show's clock on the music's.
#include "music_follow.h"

#include "app/music.h"
#include "camera/timeline.h"
#include "platform/clock.h"
#include "sound/sound_result.h"
#include "sound/sound_system.h"

#include <algorithm>
#include <cmath>

namespace {

// Long enough for a few dozen readings; short enough to follow the drift between the audio
// device's clock and the page's.
constexpr double windowMs = 1000.0;

}  // namespace

void startFollowingMusic(MusicFollow& follow, Music& music)
{
    follow = MusicFollow();
    follow.following =
        music.musicPlaying && soundSystemGetOutputClock(music.system, &follow.startClockMs) == soundOk;
}

void followMusic(MusicFollow& follow, Music& music, Timeline& timeline)
{
    double clockMs = 0.0;
    if (!follow.following || soundSystemGetOutputClock(music.system, &clockMs) != soundOk) {
        return;
    }
    const double tick = static_cast<double>(tickCount());
    if (!follow.clockMoved) {
        follow.clockMoved = clockMs > follow.startClockMs;
        if (!follow.clockMoved) {
            timeline.startTick = tickCount();  // not sounding yet: the show waits at its start
            return;
        }
        follow.windowStartTick = tick;
        follow.windowLeast[0] = follow.windowLeast[1] = tick - (clockMs - follow.startClockMs);
    }
    const double startTick = tick - (clockMs - follow.startClockMs);
    if (tick - follow.windowStartTick >= windowMs) {
        follow.windowStartTick = tick;
        follow.windowLeast[0] = follow.windowLeast[1];
        follow.windowLeast[1] = startTick;
    }
    follow.windowLeast[1] = std::min(follow.windowLeast[1], startTick);
    const double least = std::min(follow.windowLeast[0], follow.windowLeast[1]);
    // The tick count wraps at 32 bits, and so does the start tick taken from it.
    timeline.startTick = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::llround(least))));
}
