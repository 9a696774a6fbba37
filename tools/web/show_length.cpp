// The show's length from its music, or from its script.
#include "show_length.h"

#include "app/music.h"
#include "app/show_script.h"
#include "sound/sound_result.h"
#include "sound/sound_stream.h"

double showLengthMs(Music& music)
{
    unsigned lengthMs = 0;
    if (music.stream != nullptr && soundStreamGetLength(music.stream, &lengthMs) == soundOk && lengthMs > 0) {
        return lengthMs;
    }
    return showSegments[showSegmentCount - 1].endMs;
}
