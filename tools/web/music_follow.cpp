// Placing the show's clock on the music's.
#include "music_follow.h"

#include "app/music.h"
#include "camera/timeline.h"
#include "platform/clock.h"
#include "sound/sound_channel.h"
#include "sound/sound_output.h"
#include "sound/sound_result.h"
#include "sound/sound_system.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Long enough for a few dozen readings; short enough to follow the drift between the audio
// device's clock and the page's.
constexpr double windowMs = 1000.0;
// A reading lies up to a mixed block (about 10 ms in browsers) after the least one. A clock that
// fell behind by less keeps the show within a frame of the music until the windows take it up.
constexpr double clockJitterMs = 10.0;
// Where every reading for this long, and at least two of them, lies further behind the least,
// the clock fell behind for good: held for the two windows, the show would run that far ahead of
// the music for up to two seconds. Two readings, so that one taken late (the page's thread
// descheduled between the clock and the tick) is passed over; no more, as frames on a busy
// machine can be a tenth of a second apart.
constexpr double clockLossMs = 100.0;
constexpr int clockLossReadings = 2;

double tickNow()
{
    return static_cast<double>(tickCount());
}

// The tick count wraps at 32 bits, and so does the start tick taken from it.
void setStartTick(Timeline& timeline, double startTick)
{
    timeline.startTick =
        static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::llround(startTick))));
}

bool readClock(Music& music, double& clockMs)
{
    return music.musicPlaying && soundSystemGetOutputClock(music.system, &clockMs) == soundOk;
}

void waitForClock(MusicFollow& follow, double clockMs)
{
    follow.phase = MusicFollow::Phase::waiting;
    follow.waitClockMs = clockMs;
    follow.waitStartTick = tickNow();
}

// No clock to follow: the show runs on from where it is held, and the music, which nobody hears,
// is paused, so that it cannot start out of step later.
void goSilent(MusicFollow& follow, Music& music, Timeline& timeline)
{
    follow.phase = MusicFollow::Phase::silent;
    follow.gaveUp = true;
    if (music.musicPlaying && music.channel != nullptr) {
        soundChannelSetPaused(music.channel, true);
    }
    setStartTick(timeline, tickNow() - follow.heldMs);
}

// The start tick to show from: the least of the last window or two, or, where the clock has
// fallen behind for good since, the least of the readings since, with which the windows start
// again.
double leastStartTick(MusicFollow& follow, double tick, double startTick)
{
    const double least = std::min(follow.windowLeast[0], follow.windowLeast[1]);
    if (startTick <= least + clockJitterMs) {
        follow.nearTick = tick;
        follow.farReadings = 0;
        return least;
    }
    follow.farLeast = follow.farReadings == 0 ? startTick : std::min(follow.farLeast, startTick);
    if (++follow.farReadings < clockLossReadings || tick - follow.nearTick < clockLossMs) {
        return least;
    }
    follow.windowStartTick = follow.nearTick = tick;
    follow.windowLeast[0] = follow.windowLeast[1] = follow.farLeast;
    follow.farReadings = 0;
    return follow.farLeast;
}

}  // namespace

void followMusicFrom(MusicFollow& follow, Music& music, Timeline& timeline, double showMs)
{
    follow.baseMs = follow.heldMs = showMs;
    setStartTick(timeline, tickNow() - showMs);
    double clockMs = 0.0;
    if (follow.gaveUp || !readClock(music, clockMs)) {
        follow.phase = MusicFollow::Phase::silent;
        return;
    }
    // The output began the music at its clock's reading when told to play, and handing it the
    // first buffers can take a block or two of that clock: where the output says how far the music
    // has played since, that is taken off.
    double playedMs = 0.0;
    follow.startClockMs = clockMs;
    if (music.channel != nullptr && music.channel->voice != nullptr &&
        soundVoicePlayedMs(music.channel->voice, &playedMs) == soundOk) {
        follow.startClockMs -= playedMs;
    }
    waitForClock(follow, clockMs);
}

bool followMusic(MusicFollow& follow, Music& music, Timeline& timeline)
{
    switch (follow.phase) {
    case MusicFollow::Phase::silent: return false;
    case MusicFollow::Phase::paused: setStartTick(timeline, tickNow() - follow.heldMs); return false;
    case MusicFollow::Phase::waiting:
    case MusicFollow::Phase::following: break;
    }
    double clockMs = 0.0;
    double latencyMs = 0.0;
    if (!readClock(music, clockMs)) {
        goSilent(follow, music, timeline);
        return true;
    }
    soundSystemGetOutputLatency(music.system, &latencyMs);  // none reported: none added
    // Taken after the clock, so that a stall between the two readings (the page's thread is
    // descheduled, a collection runs) can only put the show behind for this one reading, which the
    // window below then passes over. Taken before, it would put the show ahead by the stall, and
    // the window would keep that for up to two windows.
    const double tick = tickNow();
    // The music's position as heard now; before the first sound of it arrives, the show holds.
    const double heard = follow.baseMs + (clockMs - latencyMs - follow.startClockMs);
    if (follow.phase == MusicFollow::Phase::waiting) {
        if (clockMs <= follow.waitClockMs) {
            if (tick - follow.waitStartTick >= audioClockWaitMs) {
                goSilent(follow, music, timeline);
                return true;
            }
            setStartTick(timeline, tick - follow.heldMs);
            return false;
        }
        if (heard <= follow.heldMs) {
            setStartTick(timeline, tick - follow.heldMs);
            return false;
        }
        follow.phase = MusicFollow::Phase::following;
        follow.windowStartTick = follow.nearTick = tick;
        follow.windowLeast[0] = follow.windowLeast[1] = tick - heard;
        follow.farReadings = 0;
    }
    const double startTick = tick - heard;
    if (tick - follow.windowStartTick >= windowMs) {
        follow.windowStartTick = tick;
        follow.windowLeast[0] = follow.windowLeast[1];
        follow.windowLeast[1] = startTick;
    }
    follow.windowLeast[1] = std::min(follow.windowLeast[1], startTick);
    setStartTick(timeline, leastStartTick(follow, tick, startTick));
    return false;
}

void pauseMusicFollow(MusicFollow& follow, Music& music, double showMs)
{
    if (follow.phase == MusicFollow::Phase::paused) {
        return;
    }
    follow.pausedFrom = follow.phase;
    follow.phase = MusicFollow::Phase::paused;
    follow.heldMs = showMs;
    if (follow.pausedFrom != MusicFollow::Phase::silent) {
        soundSystemSetOutputPaused(music.system, true);
    }
}

void resumeMusicFollow(MusicFollow& follow, Music& music, Timeline& timeline)
{
    if (follow.phase != MusicFollow::Phase::paused) {
        return;
    }
    if (follow.pausedFrom == MusicFollow::Phase::silent) {
        follow.phase = MusicFollow::Phase::silent;
        setStartTick(timeline, tickNow() - follow.heldMs);
        return;
    }
    soundSystemSetOutputPaused(music.system, false);
    double clockMs = 0.0;
    if (!readClock(music, clockMs)) {
        goSilent(follow, music, timeline);
        return;
    }
    // The clock stood still with the music, so the music's position still follows from it.
    waitForClock(follow, clockMs);
}
