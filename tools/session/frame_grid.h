// The tools' frame rate: every still, seek and frame step of the show passes through the frames of
// this grid, as the capture makes them by default, so every tool sees the show alike at a time.
#pragma once

constexpr double toolFps = 60.0;
constexpr double toolFrameMs = 1000.0 / toolFps;
