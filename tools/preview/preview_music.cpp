// Pausing and resuming the music's channel.
#include "preview_music.h"

#include "app/music.h"
#include "sound/sound_channel.h"

void playMusicFrom(Music& music, double)
{
    if (music.musicPlaying) {
        soundChannelSetPaused(music.channel, false);
    }
}

void pauseMusic(Music& music)
{
    if (music.musicPlaying) {
        soundChannelSetPaused(music.channel, true);
    }
}
