// What the program tells the page around its canvas (web/lumarq.js), which shows the start and
// end screens and the messages.
#pragma once
#include <string>

// The show is loaded and waits for the viewer's click (lumarq_start).
void pageReadyToStart();
// The show ended on Escape; the page offers to play again (lumarq_play_again).
void pageEnded();
// The still is drawn and stays on the canvas.
void pageStillReady();
// The show cannot run: `why` in words, shown on the page.
void pageFailed(const std::string& why);
// The show runs, but not whole (a shader or the music is missing): said on the start screen.
void pageNotice(const std::string& what);

// The canvas's size in device pixels, as the page sets it to fill the window.
void pageCanvasSize(int& width, int& height);
