// The forced results that tests set, and their per-call countdown.
#include "sound/sound_test_hook.h"

SoundForcedResults soundForcedResults;

int takeForcedResult(SoundForcedResult& forced)
{
    if (forced.code == 0 || forced.calls == 0) {
        return 0;
    }
    if (forced.calls > 0) {
        --forced.calls;
    }
    return forced.code;
}
