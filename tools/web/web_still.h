// A still of the show for tests and for sharing a moment: the show stepped under the virtual
// clock to a show time and drawn once, exactly as lumarq-capture --at draws it, then left on the
// canvas.
#pragma once
#include "show_style.h"

struct WebStillSettings {
    double atMs = 0.0;
    int width = 1280;
    int height = 720;
    bool forceStyle = false;
    ShowStyle style = ShowStyle::toon;  // put in place right before the still's frame
};

// 0 when the still is drawn (the page is told), 1 when the show could not be opened.
int renderWebStill(const WebStillSettings& settings);
