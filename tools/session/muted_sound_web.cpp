// The browser has no null audio device: the music takes the sound layer's no-sound output, which
// plays through every call without opening an AudioContext.
#include "muted_sound.h"

#include "app/show_control.h"

void muteShowSound(ShowControl& show)
{
    show.music.audible = false;
}
