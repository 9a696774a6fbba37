// What the program tells the page around its canvas (web/lumarq.js), which shows the start and
// end screens and the messages, and what it reads of the canvas.
#pragma once
#include <string>

// The show is loaded and waits for the viewer's click (lumarq_start).
void pageReadyToStart();
// The show ended (Escape, or the music's end); the page offers to play again (lumarq_play_again).
void pageEnded();
// The still is drawn and stays on the canvas.
void pageStillReady();
// The show cannot run: `why` in words, shown on the page.
void pageFailed(const std::string& why);
// Something the viewer should know, while the show runs on: said on the start screen before the
// show, over the picture during it.
void pageNotice(const std::string& what);
// The show (or the still) holds until the textures it draws with have arrived; the page says how
// far they have come while `waiting`.
void pageWaitingForTextures(bool waiting);

// The size of the canvas's drawing buffer, which the page sets from the canvas's box at the
// device's pixel density: what the viewport fills.
void pageDrawingBufferSize(int& width, int& height);
// Why the page's audio does not run: the browser holds it back (its autoplay rules), the system
// has interrupted it (Safari's "interrupted": a call, another app), or there seems to be no way
// to play it.
enum class PageAudio { blocked, interrupted, none };
PageAudio pageAudioState();
