// The music track over the sound layer, in the order the show relies on: create, init with the
// stereo fallback, open the stream, play paused and unpause, update each frame.
#include "app/music.h"

#include "sound/sound_channel.h"
#include "sound/sound_result.h"
#include "sound/sound_stream.h"
#include "sound/sound_system.h"

#include <iostream>

namespace {

constexpr int musicChannelCount = 100;
const char* const musicPath = "mp3\\zarathustra2.mp3";

}  // namespace

void checkSoundResult(int result)
{
    if (result != soundOk) {
        std::cout << "FMOD error! (" << result << ") " << soundErrorText(result) << std::endl;
    }
}

void createSoundSystem(Music& music)
{
    checkSoundResult(soundSystemCreate(&music.system));
    if (!music.audible) {
        checkSoundResult(soundSystemSetOutput(music.system, soundOutputNoSound));
    }
}

void openMusic(Music& music)
{
    int result = soundSystemInit(music.system, musicChannelCount, soundInitNormal, nullptr);
    if (result == soundErrOutputCreateBuffer) {
        checkSoundResult(soundSystemSetSpeakerMode(music.system, soundSpeakerModeStereo));
        result = soundSystemInit(music.system, musicChannelCount, soundInitNormal, nullptr);
    }
    checkSoundResult(result);
    checkSoundResult(soundSystemCreateStream(music.system, musicPath, soundModeDefault, nullptr, &music.stream));
}

void startMusic(Music& music)
{
    // Playing paused and then unpausing makes the start of the sound one last, quick step that
    // the show clock can be zeroed right after. Neither result is reported.
    const int result = soundSystemPlaySound(music.system, soundChannelFree, music.stream, true, &music.channel);
    music.musicPlaying = result == soundOk;
    if (music.musicPlaying) {
        soundChannelSetPaused(music.channel, false);
    }
}

void updateMusic(Music& music)
{
    if (music.musicPlaying) {
        checkSoundResult(soundSystemUpdate(music.system));
    }
}
