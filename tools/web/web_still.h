// A still of the show for tests and for sharing a moment: the show stepped under the virtual
// clock to a show time and drawn once, exactly as lumarq-capture --at draws it at the canvas's
// size, once the textures it draws with have arrived, then left on the canvas; drawn again when
// the canvas changes size or its context comes back.
#pragma once
#include "show_style.h"

struct WebStillSettings {
    double atMs = 0.0;  // within the show: a later time is the show's end
    int width = 1280;
    int height = 720;
    bool forceStyle = false;
    ShowStyle style = ShowStyle::toon;  // put in place right before the still's frame
};

// 0 when the show is opened and the still on its way (the page is told when it is drawn), 1 when
// the show could not be opened.
int renderWebStill(const WebStillSettings& settings);

extern "C" {
// The canvas changed size: the still is drawn again at the new size.
void lumarq_still_redraw();
// The browser took the WebGL context away, and gave it back: the still is made again and drawn
// once its textures are in again.
void lumarq_still_lost();
void lumarq_still_restored();
}
