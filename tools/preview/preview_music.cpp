// Starting the music's channel at a show time, pausing it, and following the output's clock.
#include "preview_music.h"

#include "app/music.h"
#include "sound/sound_channel.h"
#include "sound/sound_result.h"
#include "sound/sound_system.h"

#include <algorithm>
#include <cmath>

namespace {

// Long enough for a few dozen readings at any frame rate; short enough to follow the slow drift
// between an audio device's clock and the system's.
constexpr double clockWindowMs = 1000.0;

// A channel that has played its track to the end (or was set there) holds no stream any more.
bool musicOnChannel(const Music& music)
{
    return music.musicPlaying && music.channel != nullptr && music.channel->stream != nullptr;
}

}  // namespace

void followOutputClock(MusicClock& clock, Music& music, double wallMs)
{
    double mixedMs = 0.0;
    if (soundSystemGetOutputClock(music.system, &mixedMs) != soundOk) {
        return;
    }
    const double wallAtZero = wallMs - mixedMs;
    if (!clock.known) {
        clock.known = true;
        clock.windowStartMs = wallMs;
        clock.windowLeast[0] = clock.windowLeast[1] = wallAtZero;
        return;
    }
    if (wallMs - clock.windowStartMs >= clockWindowMs) {
        clock.windowStartMs = wallMs;
        clock.windowLeast[0] = clock.windowLeast[1];
        clock.windowLeast[1] = wallAtZero;
    }
    clock.windowLeast[1] = std::min(clock.windowLeast[1], wallAtZero);
}

bool musicStartWallMs(const MusicClock& clock, double& wallMs)
{
    if (!clock.known || !clock.playing) {
        return false;
    }
    wallMs = std::min(clock.windowLeast[0], clock.windowLeast[1]) + clock.startClockMs;
    return true;
}

void playMusicFrom(Music& music, MusicClock& clock, double showMs)
{
    clock.playing = false;
    if (music.stream == nullptr) {
        return;  // the music never opened; its error line was printed at start-up
    }
    const unsigned position = static_cast<unsigned>(std::lround(std::max(showMs, 0.0)));
    int result = soundChannelSetPosition(music.channel, position);
    if (result == soundErrInvalidHandle) {
        // The track had played to its end, which leaves its channel idle: start it again.
        result = soundSystemPlaySound(music.system, soundChannelFree, music.stream, true, &music.channel);
        music.musicPlaying = result == soundOk;
        if (music.musicPlaying) {
            result = soundChannelSetPosition(music.channel, position);
        }
    }
    checkSoundResult(result);
    if (result != soundOk || !musicOnChannel(music)) {
        return;  // failed (and printed), or set at the very end: nothing left to play
    }
    checkSoundResult(soundChannelSetPaused(music.channel, false));
    // The channel starts with the next block the output mixes, which begins at the clock's
    // reading now.
    clock.playing = soundSystemGetOutputClock(music.system, &clock.startClockMs) == soundOk;
}

void pauseMusic(Music& music, MusicClock& clock)
{
    clock.playing = false;
    if (musicOnChannel(music)) {
        checkSoundResult(soundChannelSetPaused(music.channel, true));
    }
}
