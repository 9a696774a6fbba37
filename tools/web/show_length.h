// How long the show lasts on the page: as long as its music, or, where the music could not be
// opened, until the camera's last segment ends. The page ends the show there and refuses stills
// past it.
#pragma once

struct Music;

double showLengthMs(Music& music);
