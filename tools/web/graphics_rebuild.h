// A lost WebGL context given back by the browser: every GL object of the show made again in it,
// from what the program still holds (the shader files, the imported models, the textures, which
// the page streams in again), with the show's state kept as the frames left it.
#pragma once

struct GLFWwindow;
struct Scene;
struct ShowStart;

// The renderer, every object's buffers, contour and textures, and the GL state set at start-up,
// in the context of `window`. Each object keeps its place, program and bump switch; `start` gets
// the new objects too, so that playing again draws with them.
void rebuildGraphics(GLFWwindow* window, Scene& scene, ShowStart& start);
