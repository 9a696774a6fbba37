// Where there is no null audio device to stream to (Windows, the browser): the music takes the
// sound layer's no-sound output, which plays through every call without a device.
#include "muted_sound.h"

#include "app/show_control.h"

void muteShowSound(ShowControl& show)
{
    show.music.audible = false;
}
