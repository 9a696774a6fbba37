// The shaded pass's state set-up, which the scene's render step runs once before the first
// drawShaded of a frame: window framebuffer and viewport, back-face culling, filled polygons.
#pragma once

struct Renderer;

void setUpShadedPass(Renderer& renderer);
