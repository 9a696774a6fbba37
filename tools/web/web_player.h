// The show in the page: the demo's own start-up, to the loaded scene; then, on the viewer's
// click, the music and show time 0 and one frame of the demo's loop per animation frame of the
// browser, until Escape or the music's end brings up the page's end screen. The show and its
// music pause together while the page is hidden, a textured style waits for its textures or the
// sound was taken away, and a lost WebGL context is rebuilt when the browser gives it back; the
// keys are read meanwhile.
#pragma once

// Start-up as the demo's entry has it, at the canvas's size. Returns the demo's exit status when it
// fails (the page then says why), or 0 with the show waiting for the click.
int openWebPlayer(int width, int height);

extern "C" {
// The viewer's click: the music starts, the show clock is zeroed and the frames begin.
void lumarq_start();
// From the end screen: the show from its start once more, without loading it again.
void lumarq_play_again();
// Milliseconds of show time now, on the show's clock.
int lumarq_show_ms();
// The style the show is in (0 toon, 1 shadow, 2 bump), by the programs its objects use.
int lumarq_style();
// The page was hidden (1) or shown again (0).
void lumarq_set_hidden(int hidden);
// The page failed (a texture that did not arrive): the frames and the music stop for good.
void lumarq_stop();
// The page's AudioContext stopped running on its own (1) or runs again (0). Returns 1 when the show
// now holds with its music for it, 0 where the show stopped the sound itself, has not heard it yet
// or plays silently.
int lumarq_sound_stopped(int stopped);
// The page's AudioContext runs: where it started too late for the show, which went on silently,
// the music joins the show where it is.
void lumarq_sound_started();
// The playing show and its music moved to `showMs`, within the show (for the page's tests).
void lumarq_seek(int showMs);
// 1 while the camera flies free ('0'), 0 while it follows the script.
int lumarq_free_camera();
// The browser took the WebGL context away, and gave it back.
void lumarq_graphics_lost();
void lumarq_graphics_restored();
}
