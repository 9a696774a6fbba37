// The show in the page: the demo's own start-up, to the loaded scene; then, on the viewer's
// click, the music and show time 0 and one frame of the demo's loop per animation frame of the
// browser, until Escape ends it on the page's end screen.
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
}
