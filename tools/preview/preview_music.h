// The music under the preview's transport: paused with the show, and started again at the show's
// time when the show plays on.
#pragma once

struct Music;

// Plays the music from the show time; a track that had played to its end is started again.
// Silent (nothing is printed) when the music never opened.
void playMusicFrom(Music& music, double showMs);
void pauseMusic(Music& music);
